#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# The shipping 32-bit program is built and linked, warning-free; this machine cannot run it.
cmake --workflow --preset windows-x86
# The 64-bit Windows program and its unit tests, run under Wine.
cmake --workflow --preset windows-x64
# The Linux build, its tests, and the end-to-end cases against both the Linux program and,
# under Wine, the windows-x64 program built above.
cmake --workflow --preset linux
# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --workflow --preset linux-asan
# Each fuzzer for a bounded time from its seed corpus.
scripts/fuzz.sh 30
