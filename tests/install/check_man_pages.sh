#!/usr/bin/env bash
# The installed manual pages format without a single warning, and the
# converter's page describes every option its --help lists.
# Usage: check_man_pages.sh CMAKE BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/install_prefix.sh"

pages=$prefix/share/man/man1
for page in "$pages/tesselon.1" "$pages/ss4topng.1"; do
  if command -v groff > /dev/null; then
    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || fail "groff failed on $page"
  else
    warnings=$(man --warnings -l "$page" 2>&1 > /dev/null) || fail "man failed on $page"
  fi
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

options=$("$prefix/bin/ss4topng" --help | sed -n 's/^  \(-[-a-z]*\).*/\1/p')
[ -n "$options" ] || fail "no options found in ss4topng --help"
for option in $options; do
  # In roff every hyphen of an option is written \-.
  grep -qF -- "${option//-/\\-}" "$pages/ss4topng.1" || fail "ss4topng.1 does not describe $option"
done
echo "PASS: manual pages; options:" $options
