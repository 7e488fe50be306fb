#!/usr/bin/env bash
# The installed manual pages format without a single warning, and each
# converter's page describes every option its --help lists.
# Usage: check_man_pages.sh CMAKE BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/install_prefix.sh"

pages=$prefix/share/man/man1
for page in "$pages/tesselon.1" "$pages/ss4topng.1" "$pages/pngtoss4.1"; do
  if command -v groff > /dev/null; then
    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || fail "groff failed on $page"
  else
    warnings=$(man --warnings -l "$page" 2>&1 > /dev/null) || fail "man failed on $page"
  fi
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  # Each page points to the other programs.
  see_also=$(sed -n '/^\.SH SEE ALSO/,$p' "$page")
  for other in tesselon ss4topng pngtoss4; do
    [ "$(basename "$page" .1)" = "$other" ] || grep -q "^\.BR $other (1)" <<< "$see_also" ||
      fail "$(basename "$page") does not name $other(1) under SEE ALSO"
  done
done

described=""
for program in ss4topng pngtoss4; do
  options=$("$prefix/bin/$program" --help | sed -n 's/^  \(-[-a-z]*\).*/\1/p')
  [ -n "$options" ] || fail "no options found in $program --help"
  for option in $options; do
    # In roff every hyphen of an option is written \-.
    grep -qF -- "${option//-/\\-}" "$pages/$program.1" || fail "$program.1 does not describe $option"
  done
  described+=" $program:"$(echo $options)
done
echo "PASS: manual pages; options of$described"
