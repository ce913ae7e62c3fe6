#!/usr/bin/python3
"""Checks the ZIP of a Windows build: the program and the text for Windows users, with CR LF
line ends, in one folder named after the package.

  check_zip.py ZIP
"""
import os
import sys
import zipfile

path = sys.argv[1]
folder = os.path.basename(path)[: -len(".zip")]
with zipfile.ZipFile(path) as archive:
    names = sorted(name for name in archive.namelist() if not name.endswith("/"))
    expected = [f"{folder}/README.txt", f"{folder}/qvhelp-remove.exe"]
    failures = []
    if names != expected:
        failures.append(f"holds {names}, not {expected}")
    else:
        text = archive.read(f"{folder}/README.txt")
        if text.count(b"\n") != text.count(b"\r\n"):
            failures.append("README.txt has line ends other than CR LF")
        if not archive.read(f"{folder}/qvhelp-remove.exe").startswith(b"MZ"):
            failures.append("qvhelp-remove.exe is not an exe")
for failure in failures:
    print(f"{path}: {failure}")
sys.exit(1 if failures else 0)
