#!/bin/sh
# Seeds for the fuzz targets: the sample screens, files cut short around the
# size limit and inside the line-change table, and screens with long tables
# (one change for every row; thousands of records that change nothing
# before the ones that do); with CORPUS, the photo-like screens the build
# makes there too, each cut to the 64 KiB the fuzzers take; with
# READER_SEEDS (the fuzz build's screen_reader_seeds), screens of every mode
# in fuzz_screen_reader's input form, in DIR/screen_reader; with DISK_SEEDS
# (its disk_reader_seeds), small SAD and EDSK images, in DIR/disk_reader.
#   fuzz_seeds.sh DIR [CORPUS [READER_SEEDS [DISK_SEEDS]]]
set -eu
dir=$1
rm -rf "$dir" && mkdir -p "$dir"
cp samples/*.ss4 "$dir/"
if [ $# -gt 1 ]; then
  for f in "$2"/photo_*.ss4; do head -c 65536 "$f" >"$dir/$(basename "$f")"; done
fi
if [ $# -gt 2 ]; then
  mkdir "$dir/screen_reader"
  "$3" "$dir/screen_reader"
fi
if [ $# -gt 3 ]; then
  mkdir "$dir/disk_reader"
  "$4" "$dir/disk_reader"
fi
for n in 0 100 24616 24617 24618 24619 24620 24622; do
  head -c "$n" samples/raster_bars.ss4 >"$dir/cut_$n"
done
fixed() { head -c 24616 samples/test_pattern.ss4; }
record() { printf "\\$(printf %03o "$1")\\$(printf %03o "$2")\\$(printf %03o "$3")\\000"; }
{
  fixed
  i=0
  while [ $i -lt 191 ]; do record $i $((i % 16)) $((i * 5 % 128)); i=$((i + 1)); done
  printf '\277'
} >"$dir/table_every_row"
{
  fixed
  i=0
  while [ $i -lt 4000 ]; do record $((i % 191)) 16 0; i=$((i + 1)); done
  record 95 3 100
  record 95 4 101
} >"$dir/table_long_unterminated"
