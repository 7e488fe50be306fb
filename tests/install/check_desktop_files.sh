#!/usr/bin/env bash
# The launcher entry, the thumbnailer entry and the icon, as installed: the
# entry passes the freedesktop validator, and the three agree with each other
# and with the installed file types: the viewer is offered for mode 4 files
# only, thumbnails are made for every screen type and for disk images.
# Usage: check_desktop_files.sh CMAKE BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/install_prefix.sh"

share=$prefix/share
desktop=$share/applications/tesselon.desktop
thumbnailer=$share/thumbnailers/tesselon.thumbnailer
mime_type=image/x-sam-screen
screen_types="$mime_type;image/x-sam-screen-mode1;image/x-sam-screen-mode2;image/x-sam-screen-mode3;image/x-sam-screen-file;"

# Fields of a key file: value of KEY in its one group.
field() { sed -n "s/^$2=//p" "$1"; }

command -v desktop-file-validate > /dev/null || fail "desktop-file-validate is missing (scripts/deps.sh installs it)"
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"

[ "$(field "$desktop" Exec)" = "tesselon %f" ] || fail "launcher Exec is $(field "$desktop" Exec)"
icon=$(field "$desktop" Icon)
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no installed icon named $icon"
[ "$(field "$desktop" MimeType)" = "$mime_type;" ] || fail "launcher MimeType is $(field "$desktop" MimeType)"

[ "$(head -n 1 "$thumbnailer")" = "[Thumbnailer Entry]" ] || fail "thumbnailer group missing"
[ "$(field "$thumbnailer" MimeType)" = "$screen_types" ] || fail "thumbnailer MimeType is $(field "$thumbnailer" MimeType)"
[ -x "$prefix/bin/$(field "$thumbnailer" TryExec)" ] || fail "thumbnailer TryExec names no installed program"
disk_thumbnailer=$share/thumbnailers/tesselon-disk.thumbnailer
[ "$(head -n 1 "$disk_thumbnailer")" = "[Thumbnailer Entry]" ] || fail "disk thumbnailer group missing"
[ "$(field "$disk_thumbnailer" MimeType)" = "application/x-sam-disk-image;" ] ||
  fail "disk thumbnailer MimeType is $(field "$disk_thumbnailer" MimeType)"
[ -x "$prefix/bin/$(field "$disk_thumbnailer" TryExec)" ] || fail "disk thumbnailer TryExec names no installed program"
for type in ${screen_types//;/ } application/x-sam-disk-image; do
  grep -q "<mime-type type=\"$type\"" "$share/mime/packages/tesselon.xml" || fail "the MIME package does not declare $type"
done

if command -v xmllint > /dev/null; then
  xmllint --noout "$share/icons/hicolor/scalable/apps/$icon.svg" || fail "the icon is not well-formed XML"
fi
echo "PASS: launcher entry, thumbnailer entry and icon"
