# Sourced by the package checks: unpacks the package's files into $root, a
# temporary folder removed again when the check ends.
# First argument of the sourcing script: the .deb.

deb=$1
shift

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ -f "$deb" ] || fail "no package at $deb (make package makes it)"
work=$(mktemp -d "${TMPDIR:-/tmp}/tesselon-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x $deb"
