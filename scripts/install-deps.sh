#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

# The Linux build and its tests; the Windows builds (MinGW-w64), and Wine to run them: wine64
# for the x64 one, Debian's i386 Wine for the x86 one; clang with its runtime for the fuzzers;
# Python and GNU time for the benchmark; strace for the test of the order of the system calls
# that replace the catalogue; pefile, lintian and groff for the checks of the packages.
packages=(cmake ninja-build g++ libgtest-dev googletest libbenchmark-dev clang-format python3 time strace
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386 clang libclang-rt-14-dev
  python3-pefile lintian groff-base)

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# QEMU for the i386 code of 32-bit Wine, fetched into the build folder. Without it the 32-bit
# program's tests are skipped, and the test command says so.
"$(dirname "$0")/fetch-qemu.sh" || echo "qemu-user could not be fetched from bookworm-backports"

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
