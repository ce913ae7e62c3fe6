#!/usr/bin/python3
"""Checks the Windows program's resources, read back out of the built exe with pefile: the
application manifest (run as the caller, never virtualized, the Windows versions it supports)
and the version resource, field by field.

  check_resources.py EXE VERSION
"""
import sys
import xml.etree.ElementTree as ElementTree

import pefile

RT_MANIFEST = 24
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def manifest(pe):
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != RT_MANIFEST:
            continue
        for resource in kind.directory.entries:
            if resource.id == 1:
                data = resource.directory.entries[0].data.struct
                return pe.get_data(data.OffsetToData, data.Size)
    return None


def check_manifest(pe, version):
    text = manifest(pe)
    expect(text is not None, "no RT_MANIFEST resource 1")
    if text is None:
        return
    root = ElementTree.fromstring(text)
    identity = root.find(ASM_V1 + "assemblyIdentity")
    expect(identity is not None and identity.get("version") == version + ".0",
           "assemblyIdentity version is not " + version + ".0")
    levels = root.findall(f"{ASM_V3}trustInfo/{ASM_V3}security/{ASM_V3}requestedPrivileges/"
                          f"{ASM_V3}requestedExecutionLevel")
    expect(len(levels) == 1, "not one requestedExecutionLevel")
    for level in levels:
        expect(level.get("level") == "asInvoker", "level is not asInvoker")
        expect(level.get("uiAccess") == "false", "uiAccess is not false")
    ids = [os.get("Id") for os in root.findall(
        f"{COMPATIBILITY}compatibility/{COMPATIBILITY}application/{COMPATIBILITY}supportedOS")]
    expect(sorted(ids) == sorted(SUPPORTED_OS), f"supportedOS entries are {ids}")


def check_version(pe, version):
    major, minor, patch = (int(part) for part in version.split("."))
    fixed = pe.VS_FIXEDFILEINFO[0]
    expect((fixed.FileVersionMS, fixed.FileVersionLS) == (major << 16 | minor, patch << 16),
           "FILEVERSION is not " + version + ".0")
    expect((fixed.ProductVersionMS, fixed.ProductVersionLS) == (major << 16 | minor, patch << 16),
           "PRODUCTVERSION is not " + version + ".0")
    strings = {}
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    expected = {"ProductName": "qvhelp-remove", "OriginalFilename": "qvhelp-remove.exe",
                "FileVersion": version, "ProductVersion": version}
    for key, value in expected.items():
        expect(strings.get(key) == value, f"{key} is {strings.get(key)!r}, not {value!r}")
    expect("Quorvane" in strings.get("FileDescription", ""),
           "FileDescription does not say what the program does")
    expect("LegalCopyright" not in strings, "LegalCopyright is set")


def main():
    exe, version = sys.argv[1], sys.argv[2]
    pe = pefile.PE(exe)
    check_manifest(pe, version)
    check_version(pe, version)
    for failure in failures:
        print(f"{exe}: {failure}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
