#!/usr/bin/env bash
# Installs what is missing, builds, and runs qvhelp-remove on a demo Wine prefix under build/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target qvhelp-remove

prefix="$PWD/build/demo-prefix"
rm -rf "$prefix"
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/BDS/Help/Common" \
  "$prefix/drive_c/Program Files/Borland/BDS/3.0/Help/ThirdParty"
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s / "$prefix/dosdevices/z:"
cat > "$prefix/system.reg" <<'HIVE'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Wow6432Node\\Borland\\BDS\\3.0] 1796960020
#time=1dd893f4e265336
"RootDir"="C:\\BDS"
HIVE
catalogue="$prefix/drive_c/BDS/Help/Common/bds3.HxT"
printf '%s\r\n' '<?xml version="1.0"?>' '<HelpTOC DTDVersion="1.0">' \
  '  <HelpTOCNode Title="Delphi Reference" Url="delphi.HxS"/>' \
  '  <HelpTOCNode Title="Quorvane Components" Url="QV3LibraryDoc.HxS">' \
  '    <HelpTOCNode Url="QV3LibraryDoc.HxS#index"/>' \
  '  </HelpTOCNode>' \
  '  <HelpTOCNode Title="VCL Reference" Url="vcl.HxS"/>' '</HelpTOC>' > "$catalogue"
help="$prefix/drive_c/Program Files/Borland/BDS/3.0/Help/ThirdParty"
echo demo > "$help/QV3LibraryDoc.HxS"
echo demo > "$help/QV3LibraryDoc.HxI"

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
