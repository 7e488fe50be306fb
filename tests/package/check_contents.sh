#!/usr/bin/env bash
# The package holds exactly the installed files (no headers, static
# libraries or tests), owned by root with Debian's modes, the programs and
# the loaders stripped, the manual pages and changelog compressed the way
# Debian wants, and a machine-readable copyright file carrying LICENSE.
# Usage: check_contents.sh DEB LOADER_FOLDER_UNDER_USR LICENSE
set -euo pipefail
source "$(dirname "$0")/unpack.sh"
loaders="usr/$1/libpixbufloader-ss4.so usr/$1/libpixbufloader-ss3.so"
license=$2

programs="usr/bin/pngtoss4 usr/bin/ss4topng usr/bin/tesselon"
expected=$(printf '%s\n' $programs $loaders \
  usr/share/applications/tesselon.desktop \
  usr/share/doc/tesselon/changelog.gz \
  usr/share/doc/tesselon/copyright \
  usr/share/icons/hicolor/scalable/apps/tesselon.svg \
  usr/share/man/man1/pngtoss4.1.gz \
  usr/share/man/man1/ss4topng.1.gz \
  usr/share/man/man1/tesselon.1.gz \
  usr/share/metainfo/tesselon.metainfo.xml \
  usr/share/mime/packages/tesselon.xml \
  usr/share/thumbnailers/tesselon.thumbnailer \
  usr/share/thumbnailers/tesselon-disk.thumbnailer | sort)

# dpkg-deb -c: mode, owner/group, size, date, time, ./path.
listing=$(dpkg-deb -c "$deb") || fail "dpkg-deb -c $deb"
files=$(awk '$1 !~ /^d/ { sub("^\\./", "", $6); print $6 }' <<< "$listing" | sort)
missing=$(comm -23 <(echo "$expected") <(echo "$files"))
extra=$(comm -13 <(echo "$expected") <(echo "$files"))
[ -z "$missing" ] || fail "missing from the package: $(echo $missing)"
[ -z "$extra" ] || fail "in the package but not expected: $(echo $extra)"

while read -r mode owner _ _ _ path; do
  path=${path#./}
  [ "$owner" = root/root ] || fail "$path is owned by $owner"
  case "$mode:$path" in
    d*) want=drwxr-xr-x ;;
    *:usr/bin/*) want=-rwxr-xr-x ;;
    *) want=-rw-r--r-- ;;
  esac
  [ "$mode" = "$want" ] || fail "$path has mode $mode, not $want"
done <<< "$listing"

for f in $programs $loaders; do
  file -b "$root/$f" | grep -q ', stripped' || fail "$f is not stripped: $(file -b "$root/$f")"
done

# gzip -9n: no stored name (flags 00), no time stamp, "best" in XFL (02).
for f in usr/share/man/man1/{pngtoss4,ss4topng,tesselon}.1.gz usr/share/doc/tesselon/changelog.gz; do
  header=$(od -An -tx1 -N10 "$root/$f" | tr -d ' \n')
  [ "$header" = 1f8b0800000000000203 ] || fail "$f is not gzip -9n output (header $header)"
  gzip -t "$root/$f" || fail "$f is a broken gzip file"
done
for program in tesselon ss4topng pngtoss4; do
  zcat "$root/usr/share/doc/tesselon/changelog.gz" | grep -q "$program" || fail "the changelog does not name $program"
done
zcat "$root/usr/share/man/man1/ss4topng.1.gz" | head -n 1 | grep -q '^\.TH SS4TOPNG 1' || fail "ss4topng.1.gz is not the manual page"

copyright=$root/usr/share/doc/tesselon/copyright
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
grep -qx 'Files: \*' "$copyright" || fail "the copyright file has no Files: * paragraph"
holder=$(sed -n 's/^Copyright (c) //p' "$license")
grep -qx "Copyright: $holder" "$copyright" || fail "the copyright file does not name $holder"
# The licence paragraph's text, its continuation lines unindented, is
# LICENSE's text after the copyright line.
text=$(sed -n '/^License: /,$p' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//')
[ "$text" = "$(sed '1,/^Copyright (c)/d' "$license" | sed '/./,$!d')" ] ||
  fail "the copyright file's licence text differs from LICENSE"

echo "PASS: $(wc -l <<< "$files") files, modes and owners as Debian wants, binaries stripped, pages compressed"
