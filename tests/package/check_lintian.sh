#!/usr/bin/env bash
# lintian finds no error in the package. Its warnings are printed, and the
# line `make test` sums up with is written to SUMMARY.
# Usage: check_lintian.sh DEB SUMMARY
set -euo pipefail
deb=$1
summary=$2

# lintian complains on stderr when run as root; its findings are on stdout.
status=0
report=$(lintian --fail-on error "$deb" 2> /dev/null) || status=$?
errors=$(grep -c '^E: ' <<< "$report" || true)
warnings=$(grep -c '^W: ' <<< "$report" || true)
[ -z "$report" ] || echo "$report"
size=$(( ($(stat -c %s "$deb") + 1023) / 1024 ))
echo "package: $(basename "$deb"), $size KB, lintian: $errors errors, $warnings warnings" > "$summary"
if [ "$status" -ne 0 ] || [ "$errors" -ne 0 ]; then
  echo "FAIL: lintian exits $status with $errors errors" >&2
  exit 1
fi
echo "PASS: lintian: $errors errors, $warnings warnings"
