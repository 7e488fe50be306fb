# Sourced by the install tests: installs the build into a fresh temporary
# prefix, $prefix, removed again when the test ends.
# Arguments of the sourcing script: the cmake program and the build folder.

cmake_program=$1
build_dir=$2
shift 2

prefix=$(mktemp -d "${TMPDIR:-/tmp}/tesselon-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT

if ! "$cmake_program" --install "$build_dir" --prefix "$prefix" > "$prefix.log" 2>&1; then
  cat "$prefix.log" >&2
  rm -f "$prefix.log"
  echo "FAIL: cmake --install $build_dir --prefix $prefix" >&2
  exit 1
fi
rm -f "$prefix.log"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
