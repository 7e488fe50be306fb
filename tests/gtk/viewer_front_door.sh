#!/bin/bash
# tesselon before any window opens: help and version need no display, and a
# start without one says why on one line and fails.
#   viewer_front_door.sh TESSELON SAMPLE
set -u
tesselon=$1 sample=$2
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
failed=0

# check STATUS STDOUT_PREFIX STDERR_PREFIX COMMAND...: the exit status, how
# standard output and standard error begin (empty: nothing at all), and at
# most one line on standard error.
check() {
  local want_status=$1 want_out=$2 want_err=$3
  shift 3
  "$@" >"$work/out" 2>"$work/err"
  local status=$? out err
  out=$(cat "$work/out") err=$(cat "$work/err")
  if [ "$status" != "$want_status" ] || [[ "$out" != "$want_out"* ]] || [[ "$err" != "$want_err"* ]] ||
     { [ -z "$want_out" ] && [ -n "$out" ]; } || { [ -z "$want_err" ] && [ -n "$err" ]; } ||
     [ "$(wc -l <"$work/err")" -gt 1 ]; then
    echo "FAIL: $* -> status $status (want $want_status)"
    echo "  stdout: $out"
    echo "  stderr: $err"
    failed=1
  fi
}

nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY)
check 0 "usage: tesselon" "" "${nodisplay[@]}" "$tesselon" --help
check 0 "usage: tesselon" "" "${nodisplay[@]}" "$tesselon" -h
check 0 "tesselon (Tesselon) " "" "${nodisplay[@]}" "$tesselon" --version
check 0 "usage: tesselon" "" env DISPLAY=:999 "$tesselon" --help
# Help that cannot be written is a failure.
"${nodisplay[@]}" "$tesselon" --help >/dev/full 2>"$work/err"
status=$?
if [ $status != 1 ] || ! grep -q "^tesselon: cannot write to standard output: " "$work/err"; then
  echo "FAIL: --help >/dev/full -> status $status, stderr: $(cat "$work/err")"
  failed=1
fi
check 1 "" "tesselon: no X display to open a window on" "${nodisplay[@]}" "$tesselon" "$sample"
check 1 "" "tesselon: no X display to open a window on" "${nodisplay[@]}" "$tesselon" -- --help
check 1 "" "tesselon: no X display to open a window on" "${nodisplay[@]}" "$tesselon" --help "$sample"
check 1 "" "tesselon: cannot open the X display \":999\"" env -u WAYLAND_DISPLAY DISPLAY=:999 "$tesselon" "$sample"
# Nothing was written anywhere.
[ -z "$(ls -A "$work" | grep -v -e '^out$' -e '^err$')" ] || { echo "FAIL: files left: $(ls -A "$work")"; failed=1; }
exit $failed
