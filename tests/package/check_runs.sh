#!/usr/bin/env bash
# What the package unpacks runs from where it lands: both programs answer
# --version, ss4topng converts a screen, and the loader modules, registered
# through a loader cache of their own, open the screen (recognised by the
# package's file type) with the same pixels as ss4topng's PNG at that size,
# and a copy named .ss3 as a mode 3 screen (512 x 384).
# Usage: check_runs.sh DEB LOADER_FOLDER_UNDER_USR VERSION SAMPLE
set -euo pipefail
source "$(dirname "$0")/unpack.sh"
loaders=$root/usr/$1
version=$2
sample=$3
here=$(dirname "$0")

bin=$root/usr/bin
for program in ss4topng pngtoss4 tesselon; do
  missing=$(ldd "$bin/$program" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$program needs libraries not on this system: $missing"
  out=$(env -u DISPLAY "$bin/$program" --version) || fail "$program --version failed"
  grep -q "$version" <<< "$out" || fail "$program --version does not say $version: $out"
done

"$bin/ss4topng" --rgb -s 2 -o "$work/x2.png" "$sample" || fail "ss4topng could not convert $sample"
"$bin/ss4topng" --rgb -s 1 -o "$work/x1.png" "$sample" || fail "ss4topng -s 1 could not convert $sample"

query=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
query=/usr/lib/$query/gdk-pixbuf-2.0/gdk-pixbuf-query-loaders
modules=("$loaders/libpixbufloader-ss4.so" "$loaders/libpixbufloader-ss3.so")
for loader in "${modules[@]}"; do
  [ -f "$loader" ] || fail "the package has no loader module at ${loader#$root/}"
done
"$query" "${modules[@]}" > "$work/loaders.cache" || fail "gdk-pixbuf-query-loaders rejects the loaders"
for loader in "${modules[@]}"; do
  grep -q "\"$loader\"" "$work/loaders.cache" || fail "the loader cache does not list ${loader#$root/}"
done
# gdk-pixbuf picks the loader by the file type that the package's MIME file
# gives the name, as on a system the package is installed on.
update-mime-database "$root/usr/share/mime" || fail "update-mime-database rejects the package's MIME file"
export XDG_DATA_DIRS=$root/usr/share:/usr/share GDK_PIXBUF_MODULE_FILE=$work/loaders.cache
/usr/bin/python3 "$here/compare_loader.py" "$sample" "$work/x1.png" "$work/x2.png" ||
  fail "the loader's picture differs from ss4topng's"
cp "$sample" "$work/mode3.ss3"
size=$(/usr/bin/python3 -c 'import sys, gi
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf
p = GdkPixbuf.Pixbuf.new_from_file(sys.argv[1])
print(p.get_width(), p.get_height())' "$work/mode3.ss3") || fail "the loaders cannot open a .ss3 file"
[ "$size" = "512 384" ] || fail "a .ss3 file opens as $size, not as a mode 3 screen (512 384)"
echo "PASS: ss4topng and tesselon run from the unpacked package; its loaders open $(basename "$sample") as ss4topng renders it, and a .ss3 copy as mode 3"
