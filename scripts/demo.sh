#!/usr/bin/env bash
# Installs what is missing, builds, and runs qvhelp-remove on a demo Wine prefix under build/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target qvhelp-remove

prefix="$PWD/build/demo-prefix"
scripts/make-demo-prefix.sh "$prefix"
catalogue="$prefix/drive_c/BDS/Help/Common/bds3.HxT"
help="$prefix/drive_c/Program Files/Borland/BDS/3.0/Help/ThirdParty"

echo "== Catalogue C:\\BDS\\Help\\Common\\bds3.HxT before:"
cat "$catalogue" | tr -d '\r'
echo "== Library help files before:"
ls -1 "$help"

status=0
WINEPREFIX="$prefix" build/linux/qvhelp-remove || status=$?
echo "== qvhelp-remove ended with status $status"

echo "== Catalogue after:"
cat "$catalogue" | tr -d '\r'
echo "== Library help files after:"
if [ -z "$(ls -A "$help")" ]; then echo "(none left)"; else ls -1 "$help"; fi
