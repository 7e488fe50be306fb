#!/usr/bin/env bash
# The installed shared-mime-info package is accepted by update-mime-database
# and gives *.ss1 to *.ss4, in any case, each its mode's screen type (the
# SCREEN$ header's signature is checked through gdk-pixbuf, in
# tests/pixbuf_loader), and *.mgt, *.sad and the SAD signature the disk image
# type.
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

for mode in 1 2 3 4; do
  type=image/x-sam-screen-mode$mode
  [ $mode -lt 4 ] || type=image/x-sam-screen
  grep -qx "50:$type:\*\.ss$mode" "$mime/globs2" || fail "globs2 lacks a case-insensitive *.ss$mode: $(cat "$mime/globs2")"
  grep -q 'SAM Coup' "$mime/$type.xml" || fail "$type has no comment"
done
disk=application/x-sam-disk-image
for glob in mgt sad; do
  grep -qx "50:$disk:\*\.$glob" "$mime/globs2" || fail "globs2 lacks a case-insensitive *.$glob: $(cat "$mime/globs2")"
done
grep -qx "\[50:$disk\]" <(tr -d '\000' < "$mime/magic") || fail "the magic file has no rule for $disk"
grep -q "Aley's disk backup" "$mime/magic" || fail "the magic file lacks the SAD signature"
grep -q 'SAM Coup' "$mime/$disk.xml" || fail "$disk has no comment"
echo "PASS: image/x-sam-screen and -mode1 to -mode3 for *.ss4 and *.ss1 to *.ss3; $disk for *.mgt, *.sad and SAD"
