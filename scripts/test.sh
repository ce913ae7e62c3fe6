#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Each step's time is shown at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

times=()
step() {
  local start=$SECONDS
  "$@"
  times+=("$(printf '%4d s  %s' $((SECONDS - start)) "$*")")
}

step scripts/install-deps.sh
# The 32-bit programs run emulated in a user namespace of their own; where none can be made,
# their tests are skipped, and this says why.
if ! reason=$(scripts/emulate-i386.sh --check); then
  echo "The 32-bit Windows program is built but not run: $reason"
fi
# The shipping 32-bit Windows program and its unit tests, under 32-bit Wine.
step cmake --workflow --preset windows-x86
# The 64-bit Windows program and its unit tests, under Wine.
step cmake --workflow --preset windows-x64
# The Linux build, its tests, the fault and kill sweeps but the allocation one, and the
# end-to-end cases against the Linux program and, under Wine, both Windows programs built
# above, on the prefixes their unit tests made. Two tests at a time.
step cmake --workflow --preset linux
# The unit, end-to-end and fault tests again with AddressSanitizer and UndefinedBehaviorSanitizer,
# and the sweep that fails every allocation in turn, which runs here alone.
step cmake --workflow --preset linux-asan
# The fuzzers side by side, each for a bounded time from its seed corpus.
step scripts/fuzz.sh 30

printf '%s\n' "Time taken:" "${times[@]}" "$(printf '%4d s  in all' $SECONDS)"
