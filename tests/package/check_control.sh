#!/usr/bin/env bash
# The package's control fields, its dependencies as dpkg-shlibdeps found
# them from what the programs and the loader link, and its maintainer
# scripts.
# Usage: check_control.sh DEB VERSION DESCRIPTION_FILE
set -euo pipefail
source "$(dirname "$0")/unpack.sh"
version=$1
description_file=$2

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tesselon ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), the project's is $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = graphics ] || fail "Section is $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority is $(field Priority)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^@\>]+\>$ ]] || fail "Maintainer is not a name and address: $(field Maintainer)"
description=$(field Description)
# The long text is the description file's, word for word (a ";" once cut
# two sentences into one on its way through CMake).
[ "$(tail -n +2 <<< "$description" | sed 's/^ //')" = "$(cat "$description_file")" ] ||
  fail "the description is not packaging/description's text: $description"

# The libraries behind the two programs and the loader: the C and C++
# runtimes, GTK for the viewer's windows, libpng for the PNG files,
# gdk-pixbuf for the loader. zlib reaches the programs through libpng only.
depends=$(field Depends)
names=$(sed 's/ *([^)]*)//g; s/ *| */\n/g; s/, */\n/g' <<< "$depends" | sort)
for lib in libc6 libstdc++6 libgcc-s1 libgtk-3-0 libglib2.0-0 libpng16-16 libgdk-pixbuf-2.0-0; do
  grep -qx "$lib" <<< "$names" || fail "Depends lacks $lib: $depends"
done
! grep -E -- '-dev$|^tesselon$' <<< "$names" || fail "Depends names a development package or itself: $depends"
# dpkg-shlibdeps gives each shared library with symbol versions a minimum.
grep -q 'libc6 (>= ' <<< "$depends" || fail "libc6 has no minimum version: $depends"

[ "$(field Recommends)" = webp-pixbuf-loader ] || fail "Recommends is $(field Recommends), not webp-pixbuf-loader"

control=$work/control
dpkg-deb -e "$deb" "$control"
for script in postinst postrm; do
  [ -f "$control/$script" ] || fail "no $script"
  [ "$(stat -c %a "$control/$script")" = 755 ] || fail "$script has mode $(stat -c %a "$control/$script")"
  [ "$(head -n 1 "$control/$script")" = '#!/bin/sh' ] || fail "$script does not start with #!/bin/sh"
  grep -qx 'set -e' "$control/$script" || fail "$script does not set -e"
  sh -n "$control/$script" || fail "$script is not valid sh"
done
echo "PASS: Depends: $depends"
