#!/usr/bin/env bash
# Makes a demo Wine prefix in DIR, as a 32-bit IDE's installer leaves one: the IDE's key in the
# 32-bit view, a help catalogue with the library's entry, and the library's two help files.
#
#   make-demo-prefix.sh DIR
set -euo pipefail

prefix=$1
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

