#!/usr/bin/env bash
# The installed thumbnailers' commands, run as a file manager runs them: %s
# the size, %i the file, %o a temporary name without an extension. A screen
# and a disk image's first screen give a 128 x 96 PNG; a disk image with no
# screen gives none, and its command fails, as a thumbnailer should.
# Usage: check_thumbnailer.sh CMAKE BUILD_DIR SAMPLE MAKE_TEST_DISKS
set -euo pipefail
source "$(dirname "$0")/install_prefix.sh"
sample=$1
make_test_disks=$2

# Runs the Exec line of thumbnailer entry $1 on file $2 into $3.
thumbnail() {
  local exec_line word
  exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/$1")
  # Split first, then fill in: the names may hold spaces.
  read -r -a words <<< "$exec_line"
  argv=()
  for word in "${words[@]}"; do
    word=${word//%s/128}
    word=${word//%i/$2}
    argv+=("${word//%o/$3}")
  done
  PATH="$prefix/bin:$PATH" "${argv[@]}"
}

# The PNG signature, then the IHDR chunk's width and height.
check_png() {
  local header width height
  header=$(od -An -tx1 -N24 "$1" | tr -d ' \n')
  [ "${header:0:16}" = 89504e470d0a1a0a ] || fail "the thumbnail of $2 is not a PNG"
  width=$((16#${header:32:8}))
  height=$((16#${header:40:8}))
  [ "$width" -eq 128 ] && [ "$height" -eq 96 ] || fail "the thumbnail of $2 is ${width}x$height, not 128x96"
}

thumbnail tesselon.thumbnailer "$sample" "$prefix/thumbnail" || fail "the thumbnailer command failed: ${argv[*]}"
check_png "$prefix/thumbnail" "$sample"
screen_command=${argv[*]}

"$make_test_disks" "$prefix" || fail "$make_test_disks could not write the test disks"
thumbnail tesselon-disk.thumbnailer "$prefix/screens.mgt" "$prefix/disk-thumbnail" ||
  fail "the disk thumbnailer command failed: ${argv[*]}"
check_png "$prefix/disk-thumbnail" screens.mgt
if thumbnail tesselon-disk.thumbnailer "$prefix/no_screens.sad" "$prefix/none" 2> /dev/null; then
  fail "the disk thumbnailer succeeded on a disk with no screens: ${argv[*]}"
fi
[ ! -e "$prefix/none" ] || fail "the disk thumbnailer wrote a thumbnail of a disk with no screens"
echo "PASS: $screen_command; ${argv[*]} fails, writing nothing"
