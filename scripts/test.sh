#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# The 32-bit programs run emulated in a user namespace of their own; where none can be made,
# their tests are skipped, and this says why.
if ! reason=$(scripts/emulate-i386.sh --check); then
  echo "The 32-bit Windows program is built but not run: $reason"
fi
# The shipping 32-bit Windows program and its unit tests, under 32-bit Wine.
cmake --workflow --preset windows-x86
# The 64-bit Windows program and its unit tests, under Wine.
cmake --workflow --preset windows-x64
# The Linux build, its tests, and the end-to-end cases against the Linux program and, under
# Wine, both Windows programs built above.
cmake --workflow --preset linux
# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --workflow --preset linux-asan
# Each fuzzer for a bounded time from its seed corpus.
scripts/fuzz.sh 30
