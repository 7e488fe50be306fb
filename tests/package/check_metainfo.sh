#!/usr/bin/env bash
# The packaged AppStream metainfo validates, and agrees with the rest of the
# package: its launcher entry and programs are there, each file type it
# provides is declared by the package's MIME file, and its newest release is
# the package's version.
# Usage: check_metainfo.sh DEB VERSION
set -euo pipefail
source "$(dirname "$0")/unpack.sh"
version=$1

metainfo=$root/usr/share/metainfo/tesselon.metainfo.xml
[ -f "$metainfo" ] || fail "the package has no metainfo"
report=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli validate: $report"

/usr/bin/python3 - "$metainfo" "$root/usr" "$version" <<'PY' || fail "the metainfo disagrees with the package"
import os
import sys
import xml.etree.ElementTree as ET

metainfo, usr, version = sys.argv[1:4]
component = ET.parse(metainfo).getroot()
problems = []
for launchable in component.iter("launchable"):
    if not os.path.isfile(os.path.join(usr, "share/applications", launchable.text)):
        problems.append(f"no launcher entry {launchable.text}")
for binary in component.iter("binary"):
    if not os.access(os.path.join(usr, "bin", binary.text), os.X_OK):
        problems.append(f"no program {binary.text}")
mime = ET.parse(os.path.join(usr, "share/mime/packages/tesselon.xml")).getroot()
ns = "{http://www.freedesktop.org/standards/shared-mime-info}"
declared = {t.get("type") for t in mime.iter(ns + "mime-type")} | {a.get("type") for a in mime.iter(ns + "alias")}
for mediatype in component.iter("mediatype"):
    if mediatype.text not in declared:
        problems.append(f"file type {mediatype.text} is not in the MIME package")
releases = [r.get("version") for r in component.iter("release")]
if not releases or releases[0] != version:
    problems.append(f"newest release is {releases[:1]}, the package is {version}")
for p in problems:
    print(p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
echo "PASS: appstreamcli validate --no-net: ${report##*$'\n'}"
