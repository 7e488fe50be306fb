#!/bin/sh
# Runs one fuzz target for a while and prints one line: how many inputs it
# ran, how fast, and that it found nothing; on a finding, the end of its log
# and a failure.
#   fuzz_smoke.sh FUZZER SECONDS WORKDIR SEEDS [LIBFUZZER FLAGS...]
set -u
fuzzer=$1 seconds=$2 work=$3 seeds=$4
shift 4
name=$(basename "$fuzzer")
mkdir -p "$work/corpus/$name"
log="$work/$name.log"
if ! "$fuzzer" "$@" -max_total_time="$seconds" -print_final_stats=1 "$work/corpus/$name" "$seeds" >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "$name: FOUND A FAULT (see $log)"
  exit 1
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
echo "$name: ${runs:-?} inputs in $seconds s (${rate:-?} a second), no findings"
