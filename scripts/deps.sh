#!/usr/bin/env bash
# Installs the Debian packages the build, tests and benchmarks need, skipping
# what is already there. Safe to run any number of times.
set -euo pipefail

# clang and its runtime libraries build the fuzz target (libFuzzer). The
# package checks need dpkg-dev (dpkg-shlibdeps), fakeroot, lintian and
# appstream; the image loader's checks gdk-pixbuf's tools and eog.
# pngtoss4's tests read WebP through webp-pixbuf-loader and check its
# reduced JPEG decoding against libjpeg's own (libjpeg-dev).
# ss4topng writes animated GIFs through giflib (libgif-dev).
packages=(g++ cmake ninja-build pkg-config libpng-dev zlib1g-dev libgtest-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth xdotool jwm wmctrl x11-apps x11-utils imagemagick python3 python3-gi gir1.2-gtk-3.0 libgtk-3-dev desktop-file-utils shared-mime-info groff-base libxml2-utils fonts-dejavu-core dpkg-dev fakeroot file lintian appstream libgdk-pixbuf-2.0-dev libgdk-pixbuf2.0-bin eog dbus webp-pixbuf-loader libjpeg-dev libgif-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "deps.sh: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
