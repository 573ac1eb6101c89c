#!/usr/bin/env python3
"""Compiles the Windows resource script with MinGW's windres and checks what it holds.

The compiled .res file is read back by a small parser of its own (resource headers, the
VS_VERSIONINFO tree, the icon group), so the check does not rest on windres alone; windres'
own decompiled text of the version block is printed for the record.

Exit status: 0 passed, 1 failed, 77 skipped (no x86_64-w64-mingw32-windres).
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys

from package_checks import check, verdict

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
LANG_ITALIAN_ITALY = 0x0410
CODEPAGE_UNICODE = 1200

EXPECTED_STRINGS = {
    "Comments": "Un generatore di valori casuali per AD&D terza edizione",
    "ProductName": "Orvida",
    "InternalName": "Orvida",
    "OriginalFilename": "Orvida.exe",
}
# Our own entries: present and not empty.
OWN_STRINGS = ("CompanyName", "LegalCopyright")

# --- Reading a .res file -----------------------------------------------------------------------


def align4(offset):
    return (offset + 3) & ~3


def read_id(data, offset):
    """A resource type or name: 0xFFFF and a number, or a zero-terminated UTF-16 string."""
    (first,) = struct.unpack_from("<H", data, offset)
    if first == 0xFFFF:
        (number,) = struct.unpack_from("<H", data, offset + 2)
        return number, offset + 4
    return read_utf16z(data, offset)


def read_utf16z(data, offset):
    end = offset
    while data[end : end + 2] != b"\0\0":
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def read_res(data):
    """The resources of a .res file as (type, name, language, data) tuples."""
    resources = []
    offset = 0
    while offset + 8 <= len(data):
        size, header_size = struct.unpack_from("<II", data, offset)
        kind, at = read_id(data, offset + 8)
        name, at = read_id(data, at)
        at = align4(at)
        _data_version, _flags, language = struct.unpack_from("<IHH", data, at)
        body = data[offset + header_size : offset + header_size + size]
        if not (kind == 0 and size == 0):  # the empty entry that opens every .res file
            resources.append((kind, name, language, body))
        offset = align4(offset + header_size + size)
    return resources


def read_version_node(data, offset):
    """One node of the VS_VERSIONINFO tree: (key, value, children, end offset)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key, at = read_utf16z(data, offset + 6)
    at = align4(at)
    if value_type == 1:  # text: the length counts UTF-16 units, the terminator included
        raw = data[at : at + 2 * value_length]
        value = raw.decode("utf-16-le").rstrip("\0")
        at += 2 * value_length
    else:
        value = data[at : at + value_length]
        at += value_length
    children = []
    at = align4(at)
    while at < end:
        child = read_version_node(data, at)
        children.append(child)
        at = align4(child[3])
    return key, value, children, end


# --- The test ------------------------------------------------------------------------------------


def find_windres():
    for name in (os.environ.get("ORVIDA_WINDRES"), "x86_64-w64-mingw32-windres"):
        if name and shutil.which(name):
            return shutil.which(name)
    return None


def preprocessor_args():
    """windres runs the C preprocessor over the script. Without the MinGW compiler, the
    build machine's own gcc does: the script includes no Windows headers."""
    if shutil.which("x86_64-w64-mingw32-gcc"):
        return []
    for compiler in ("gcc", "cc", "clang"):
        if shutil.which(compiler):
            return ["--preprocessor=" + compiler] + [
                "--preprocessor-arg=" + arg for arg in ("-E", "-xc", "-DRC_INVOKED")
            ]
    return None


def windres(tool, *args):
    result = subprocess.run(
        [tool, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True
    )
    if result.returncode != 0:
        print(result.stderr, file=sys.stderr)
        raise SystemExit("windres %s failed" % " ".join(args))
    return result.stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rc", required=True)
    parser.add_argument("--ico", required=True)
    parser.add_argument("--version", required=True, help="the project's version, as 1.0.0.1")
    parser.add_argument("--shown-version", required=True, help="the version as shown, as 1.00.0001")
    parser.add_argument("--work-dir", required=True)
    args = parser.parse_args()
    EXPECTED_STRINGS["FileVersion"] = EXPECTED_STRINGS["ProductVersion"] = args.shown_version

    tool = find_windres()
    if not tool:
        print("skipped: x86_64-w64-mingw32-windres not found "
              "(Debian package binutils-mingw-w64-x86-64)")
        return 77
    preprocess = preprocessor_args()
    if preprocess is None:
        print("skipped: no C preprocessor for windres")
        return 77

    os.makedirs(args.work_dir, exist_ok=True)
    res_path = os.path.join(args.work_dir, "orvida.res")
    obj_path = os.path.join(args.work_dir, "orvida.rc.obj")
    # As the Windows build does it: a COFF object to link into the executable ...
    windres(tool, *preprocess, "-i", args.rc, "-O", "coff", "-o", obj_path)
    check(os.path.getsize(obj_path) > 0, "the script compiles to a COFF object")
    # ... and a .res file to read back.
    windres(tool, *preprocess, "-i", args.rc, "-O", "res", "-o", res_path)
    decompiled = windres(tool, "-J", "res", "-i", res_path, "-O", "rc")
    start = decompiled.find("VERSIONINFO")
    print("--- version block, as windres reads it back ---")
    print(decompiled[decompiled.rfind("\n", 0, start) + 1 :].strip())
    print("---")

    resources = read_res(open(res_path, "rb").read())
    versions = [r for r in resources if r[0] == RT_VERSION]
    check(len(versions) == 1, "one version resource")
    if not versions:
        return 1
    _, name, language, body = versions[0]
    check(name == 1, "the version resource is VS_VERSION_INFO (1)")
    check(language == LANG_ITALIAN_ITALY, "the version resource is Italian (0x%04x)" % language)

    key, fixed, children, _ = read_version_node(body, 0)
    check(key == "VS_VERSION_INFO", "the tree starts at VS_VERSION_INFO")
    fields = struct.unpack_from("<13I", fixed)
    signature, _, file_ms, file_ls, product_ms, product_ls, mask, flags, os_, ftype = fields[:10]
    check(signature == 0xFEEF04BD, "VS_FIXEDFILEINFO signature")
    major, minor, patch, build = (int(part) for part in args.version.split("."))
    wanted_ms, wanted_ls = (major << 16) | minor, (patch << 16) | build
    check((file_ms, file_ls) == (wanted_ms, wanted_ls), "FILEVERSION is %s" % args.version)
    check((product_ms, product_ls) == (wanted_ms, wanted_ls), "PRODUCTVERSION is %s" % args.version)
    check(flags & mask == 0, "no debug, pre-release or patched flag")
    check(os_ == 0x40004, "FILEOS is VOS_NT_WINDOWS32")
    check(ftype == 1, "FILETYPE is VFT_APP")
    shown = "%d.%02d.%04d" % (major, minor, build)
    check(shown == EXPECTED_STRINGS["FileVersion"], "the version is shown as " + shown)

    blocks = {child[0]: child for child in children}
    string_info = blocks.get("StringFileInfo")
    check(string_info is not None, "a StringFileInfo block")
    tables = {child[0]: child for child in (string_info[2] if string_info else [])}
    check(list(tables) == ["041004b0"], "one string table, 041004b0: Italian, Unicode")
    table = tables.get("041004b0")
    strings = {child[0]: child[1] for child in (table[2] if table else [])}
    for name, value in EXPECTED_STRINGS.items():
        check(strings.get(name) == value, "%s is %r (found %r)" % (name, value, strings.get(name)))
    for name in OWN_STRINGS:
        check(bool(strings.get(name)), "%s is set (%r)" % (name, strings.get(name)))
    check(
        "Orvida developers" in strings.get("LegalCopyright", ""),
        "the copyright is the Orvida developers'",
    )

    var_info = blocks.get("VarFileInfo")
    translations = {child[0]: child[1] for child in (var_info[2] if var_info else [])}
    check(
        translations.get("Translation") == struct.pack("<HH", LANG_ITALIAN_ITALY, CODEPAGE_UNICODE),
        "Translation is 0x410, 1200",
    )

    # The icon: one group holding every picture of orvida.ico.
    ico = open(args.ico, "rb").read()
    _, ico_type, ico_count = struct.unpack_from("<HHH", ico, 0)
    groups = [r for r in resources if r[0] == RT_GROUP_ICON]
    icons = [r for r in resources if r[0] == RT_ICON]
    check(ico_type == 1 and ico_count > 0, "orvida.ico holds %d pictures" % ico_count)
    check(len(groups) == 1 and groups[0][1] == 1, "one icon group, number 1")
    if groups:
        (group_count,) = struct.unpack_from("<H", groups[0][3], 4)
        check(group_count == ico_count, "the icon group lists all %d pictures" % ico_count)
    check(len(icons) == ico_count, "all %d pictures are in the resources" % ico_count)
    sizes = sorted(struct.unpack_from("<I", ico, 6 + 16 * i + 8)[0] for i in range(ico_count))
    check(sorted(len(r[3]) for r in icons) == sizes, "the pictures are stored whole")

    return verdict("windres")


if __name__ == "__main__":
    sys.exit(main())
