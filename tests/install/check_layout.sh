#!/usr/bin/env bash
# Every expected file arrives in the prefix, programs executable, and nothing
# else does (no libraries, tests or headers).
# Usage: check_layout.sh CMAKE BUILD_DIR RELATIVE_PATH...
set -euo pipefail
source "$(dirname "$0")/install_prefix.sh"

for path in "$@"; do
  [ -s "$prefix/$path" ] || fail "$path was not installed"
  case "$path" in
    */bin/*|bin/*) [ -x "$prefix/$path" ] || fail "$path is not executable" ;;
  esac
done

expected=$(printf '%s\n' "$@" | sort)
installed=$(cd "$prefix" && find . -type f -printf '%P\n' | sort)
extra=$(comm -13 <(echo "$expected") <(echo "$installed"))
[ -z "$extra" ] || fail "installed but not expected: $extra"
echo "PASS: $# files installed"
