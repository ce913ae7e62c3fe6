#!/usr/bin/env bash
# Builds the program and runs the benchmark of docs/performance.md: the table on standard
# output, the plot in docs/performance.png. Arguments go to bench/bench.py (for example
# --dir /dev/shm/qvbench to keep the disk out of the figures).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
if ! command -v gnuplot >/dev/null; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends gnuplot-nox
fi
cmake --preset linux >/dev/null
cmake --build --preset linux --target qvhelp-remove qvhelp_bound_io qvhelp_text_rules_bench
python3 bench/bench.py --program build/linux/qvhelp-remove \
  --bound-io build/linux/bench/qvhelp_bound_io --plot docs/performance.png "$@"
echo
build/linux/bench/qvhelp_text_rules_bench
