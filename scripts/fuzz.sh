#!/usr/bin/env bash
# Builds the libFuzzer targets and runs them side by side, each for a bounded time (seconds;
# default 30) from its seed corpus, copied under build/ so that the corpus in the tree stays as
# it is.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}

cmake --workflow --preset linux-fuzz >/dev/null
pids=()
for target in catalogue_text:catalogue hive_reader:hive; do
  fuzzer=${target%%:*}
  corpus=build/linux-fuzz/corpus/${target##*:}
  rm -rf "$corpus" && mkdir -p "$corpus"
  cp tests/fuzz/corpus/"${target##*:}"/* "$corpus"/
  build/linux-fuzz/tests/fuzz/"${fuzzer}"_fuzzer -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 "$corpus" >"build/linux-fuzz/$fuzzer.log" 2>&1 &
  pids+=("$!:$fuzzer")
done
status=0
for entry in "${pids[@]}"; do
  fuzzer=${entry#*:}
  wait "${entry%%:*}" || status=1
  echo "== ${fuzzer}_fuzzer for ${seconds} s"
  grep -E '^(stat::number_of_executed_units|Done|==[0-9]+==ERROR|SUMMARY)' \
    "build/linux-fuzz/$fuzzer.log" || true
done
exit "$status"
