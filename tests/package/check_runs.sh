#!/usr/bin/env bash
# What the package unpacks runs from where it lands: both programs answer
# --version, ss4topng converts a screen, and the loader module, registered
# through a loader cache of its own, opens the screen (recognised by the
# package's file type) with the same pixels as ss4topng's PNG at that size.
# Usage: check_runs.sh DEB LOADER_PATH_UNDER_USR VERSION SAMPLE
set -euo pipefail
source "$(dirname "$0")/unpack.sh"
loader=$root/usr/$1
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

[ -f "$loader" ] || fail "the package has no loader module at ${loader#$root/}"
query=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
query=/usr/lib/$query/gdk-pixbuf-2.0/gdk-pixbuf-query-loaders
"$query" "$loader" > "$work/loaders.cache" || fail "gdk-pixbuf-query-loaders rejects the loader"
grep -q "\"$loader\"" "$work/loaders.cache" || fail "the loader cache does not list ${loader#$root/}"
# gdk-pixbuf picks the loader by the file type that the package's MIME file
# gives the name, as on a system the package is installed on.
update-mime-database "$root/usr/share/mime" || fail "update-mime-database rejects the package's MIME file"
XDG_DATA_DIRS=$root/usr/share:/usr/share GDK_PIXBUF_MODULE_FILE=$work/loaders.cache /usr/bin/python3 "$here/compare_loader.py" "$sample" "$work/x1.png" "$work/x2.png" ||
  fail "the loader's picture differs from ss4topng's"
echo "PASS: ss4topng and tesselon run from the unpacked package; its loader opens $(basename "$sample") as ss4topng renders it"
