#!/usr/bin/env bash
# The installed shared-mime-info package is accepted by update-mime-database
# and gives *.ss4, in any case, the screen type.
# Usage: check_mime_package.sh CMAKE BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/install_prefix.sh"

mime=$prefix/share/mime
package=$mime/packages/tesselon.xml

if command -v xmllint > /dev/null; then
  xmllint --noout "$package" || fail "tesselon.xml is not well-formed"
fi
command -v update-mime-database > /dev/null || fail "update-mime-database is missing (scripts/deps.sh installs it)"
# It reports a bad package on standard output and still succeeds; the note
# about the prefix not being searched goes to standard error.
report=$(update-mime-database "$mime" 2> /dev/null) || fail "update-mime-database failed"
[ -z "$report" ] || fail "update-mime-database: $report"

grep -qx '50:image/x-sam-screen:\*\.ss4' "$mime/globs2" || fail "globs2 lacks a case-insensitive *.ss4: $(cat "$mime/globs2")"
grep -q 'SAM Coup' "$mime/image/x-sam-screen.xml" || fail "the type has no comment"
echo "PASS: image/x-sam-screen for *.ss4"
