#!/usr/bin/env python3
"""Makes catalogues and hives that look like a real IDE's, for the benchmark.

  generate.py catalogue SIZE_BYTES crlf|lf PATH   a help table of contents, the library's
                                                  three-line entry in the middle
  generate.py hive SIZE_BYTES PATH                a 64-bit Wine hive, the IDE's key at the end
"""
import sys

MARKER_BLOCK = [
    '    <HelpTOCNode Title="Quorvane Components" Url="ms-help://QV3/QV3LibraryDoc/index.htm">',
    '      <HelpTOCNode Url="ms-help://QV3/QV3LibraryDoc/toc.HxT"/>',
    "    </HelpTOCNode>",
]


def catalogue(size, line_break, path):
    brk = b"\r\n" if line_break == "crlf" else b"\n"
    with open(path, "wb") as out:
        out.write(b'<?xml version="1.0" encoding="utf-8"?>' + brk)
        out.write(b'<HelpTOC DTDVersion="1.0" Id="BDS3">' + brk)
        written, topic, placed = 0, 0, False
        chunk = []
        while written < size:
            if not placed and written >= size // 2:
                lines = [line.encode() for line in MARKER_BLOCK]
                placed = True
            elif topic % 40 == 0:
                lines = [b'  <HelpTOCNode Title="Chapter %d" Url="ms-help://BDS/Help/ch%d.htm">'
                         % (topic, topic)]
            elif topic % 40 == 39:
                lines = [b"  </HelpTOCNode>"]
            else:
                lines = [b'    <HelpTOCNode Title="Topic %d" Url="ms-help://BDS/Help/t%d.htm"/>'
                         % (topic, topic)]
            topic += 1
            for line in lines:
                chunk.append(line + brk)
                written += len(line) + len(brk)
            if len(chunk) > 4096:
                out.write(b"".join(chunk))
                chunk = []
        out.write(b"".join(chunk))
        out.write(b"</HelpTOC>" + brk)


def hive(size, path):
    with open(path, "w", newline="\n") as out:
        out.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n")
        written, key = 0, 0
        while written < size:
            text = (f"[Software\\\\Classes\\\\CLSID\\\\{{{key:08X}-0000-0000-C000-000000000046}}] "
                    f"1796960020\n#time=1dd893f4d6c4ee6\n@=\"Component {key}\"\n"
                    f"\"ThreadingModel\"=\"Both\"\n\"Data\"=hex:01,02,03,04,05,06,07,08\n\n")
            out.write(text)
            written += len(text)
            key += 1
        out.write("[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3.0] 1796960020\n"
                  "#time=1dd893f4e265336\n\"RootDir\"=\"C:\\\\BDS\"\n")


if __name__ == "__main__":
    if sys.argv[1] == "catalogue":
        catalogue(int(float(sys.argv[2])), sys.argv[3], sys.argv[4])
    elif sys.argv[1] == "hive":
        hive(int(float(sys.argv[2])), sys.argv[3])
    else:
        sys.exit(__doc__)
