#!/usr/bin/env bash
# The installed thumbnailer's command, run as a file manager runs it: %s the
# size, %i the screen, %o a temporary name without an extension.
# Usage: check_thumbnailer.sh CMAKE BUILD_DIR SAMPLE
set -euo pipefail
source "$(dirname "$0")/install_prefix.sh"
sample=$1

exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/tesselon.thumbnailer")
output=$prefix/thumbnail
# Split first, then fill in: the names may hold spaces.
read -r -a words <<< "$exec_line"
argv=()
for word in "${words[@]}"; do
  word=${word//%s/128}
  word=${word//%i/$sample}
  argv+=("${word//%o/$output}")
done
PATH="$prefix/bin:$PATH" "${argv[@]}" || fail "the thumbnailer command failed: ${argv[*]}"

# The PNG signature, then the IHDR chunk's width and height.
header=$(od -An -tx1 -N24 "$output" | tr -d ' \n')
[ "${header:0:16}" = 89504e470d0a1a0a ] || fail "the thumbnail is not a PNG"
width=$((16#${header:32:8}))
height=$((16#${header:40:8}))
[ "$width" -eq 128 ] && [ "$height" -eq 96 ] || fail "the thumbnail is ${width}x$height, not 128x96"
echo "PASS: ${argv[*]}"
