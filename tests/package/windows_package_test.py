#!/usr/bin/env python3
"""Packs the Windows build with CPack and checks the ZIP and the Orvida.exe inside it.

The ZIP must hold one folder with Orvida.exe, conf.ini, the DLLs it loads and only the two
Qt plugins it uses, and the licences. The executable is read back with pefile: a GUI
program whose version resource and icon group are the ones resources/orvida.rc describes,
and whose every DLL is either in the folder or part of Windows.

Exit status: 0 passed, 1 failed, 77 skipped (no python3-pefile).
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

try:
    import pefile
except ImportError:
    # Debian's python3-pefile belongs to Debian's python3, which may not be the first on PATH.
    debian = "/usr/bin/python3"
    if os.path.exists(debian) and os.path.realpath(sys.executable) != os.path.realpath(debian):
        os.execv(debian, [debian] + sys.argv)
    pefile = None

from package_checks import check, verdict

QT_DLLS = {"Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll"}
RUNTIME_DLLS = {"libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll"}
PLUGINS = {"platforms/qwindows.dll", "styles/qwindowsvistastyle.dll"}
LICENCES = {
    "licences/LICENSE",
    "licences/OFL.txt",
    "licences/CREDITS.md",
    "licences/qt/LGPL-3.0-only.txt",
    "licences/qt/SOURCE.txt",
}
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2


def is_system_dll(name):
    """DLLs every Windows has: the Win32 API sets and the system's own libraries."""
    lower = name.lower()
    return lower.startswith(("api-ms-win-", "ext-ms-")) or os.path.exists(
        os.path.join("/usr/x86_64-w64-mingw32/lib", "lib" + lower[:-4] + ".a")
    )


def imports(pe):
    return [entry.dll.decode() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]


def version_strings(pe):
    tables = {}
    for info in getattr(pe, "FileInfo", []):
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                tables[table.LangID.decode()] = {
                    k.decode(): v.decode() for k, v in table.entries.items()
                }
    return tables


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--version", required=True, help="the project's version, as 1.0.0.1")
    args = parser.parse_args()
    if pefile is None:
        print("skipped: no pefile (Debian package python3-pefile)")
        return 77

    temp = tempfile.mkdtemp(prefix="orvida-windows-package-")
    try:
        config = os.path.join(args.build_dir, "CPackConfig.cmake")
        subprocess.run([args.cpack, "--config", config, "-G", "ZIP", "-B", temp], check=True,
                       stdout=subprocess.DEVNULL)
        name = "Orvida-%s-win64.zip" % args.version
        zip_path = os.path.join(temp, name)
        check(os.path.exists(zip_path), "cpack makes " + name)
        if not os.path.exists(zip_path):
            return 1
        print("size: %d bytes" % os.path.getsize(zip_path))
        top = name[: -len(".zip")]
        with zipfile.ZipFile(zip_path) as archive:
            names = [n for n in archive.namelist() if not n.endswith("/")]
            check(all(n.startswith(top + "/") for n in names), "one folder, " + top)
            archive.extractall(temp)
        folder = os.path.join(temp, top)
        files = {os.path.relpath(n, top) for n in names}
        expected = {"Orvida.exe", "conf.ini"} | QT_DLLS | RUNTIME_DLLS | PLUGINS
        check(expected <= files, "Orvida.exe, conf.ini, the DLLs, the two plugins are there")
        check(LICENCES <= files, "the licences are there")
        plugins = {f for f in files if "/" in f and not f.startswith("licences/")}
        check(plugins == PLUGINS, "no other plugin (%s)" % sorted(plugins - PLUGINS))
        shipped = os.path.join(args.source_dir, "resources", "conf.ini")
        check(
            open(os.path.join(folder, "conf.ini"), "rb").read() == open(shipped, "rb").read(),
            "conf.ini is the shipped presets file",
        )

        # Every DLL that a shipped executable or DLL loads is shipped or part of Windows.
        binaries = [f for f in files if f.endswith((".exe", ".dll"))]
        shipped_dlls = {os.path.basename(f).lower() for f in binaries}
        for binary in sorted(binaries):
            pe = pefile.PE(os.path.join(folder, binary), fast_load=True)
            pe.parse_data_directories(
                directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"]]
            )
            missing = [d for d in imports(pe) if d.lower() not in shipped_dlls
                       and not is_system_dll(d)]
            check(not missing, "%s finds every DLL it loads %s" % (binary, missing or ""))

        exe = pefile.PE(os.path.join(folder, "Orvida.exe"))
        check(exe.FILE_HEADER.Machine == 0x8664, "Orvida.exe is x86-64")
        check(exe.OPTIONAL_HEADER.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI,
              "Orvida.exe is a GUI program (no console window)")

        major, minor, patch, build = (int(p) for p in args.version.split("."))
        fixed = exe.VS_FIXEDFILEINFO[0]
        check((fixed.FileVersionMS, fixed.FileVersionLS) == ((major << 16) | minor,
                                                             (patch << 16) | build),
              "FileVersion is %d,%d,%d,%d" % (major, minor, patch, build))
        check((fixed.ProductVersionMS, fixed.ProductVersionLS)
              == (fixed.FileVersionMS, fixed.FileVersionLS), "ProductVersion is the same")
        tables = version_strings(exe)
        check(list(tables) == ["041004b0"], "one string table, 041004b0 (%s)" % list(tables))
        strings = tables.get("041004b0", {})
        shown = "%d.%02d.%04d" % (major, minor, build)
        for key in ("FileVersion", "ProductVersion"):
            check(strings.get(key) == shown, "%s is %r (%r)" % (key, shown, strings.get(key)))
        check(strings.get("OriginalFilename") == "Orvida.exe", "OriginalFilename is Orvida.exe")

        # The icon group: number 1, listing every picture of orvida.ico, each stored whole.
        ico = open(os.path.join(args.source_dir, "resources", "images", "orvida.ico"), "rb").read()
        (count,) = struct.unpack_from("<H", ico, 4)
        ico_sizes = sorted(struct.unpack_from("<I", ico, 6 + 16 * i + 8)[0] for i in range(count))
        resources = {}
        for kind in exe.DIRECTORY_ENTRY_RESOURCE.entries:
            for entry in kind.directory.entries:
                for language in entry.directory.entries:
                    data = exe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
                    resources.setdefault(kind.id, {})[entry.id] = data
        groups = resources.get(pefile.RESOURCE_TYPE["RT_GROUP_ICON"], {})
        icons = resources.get(pefile.RESOURCE_TYPE["RT_ICON"], {})
        check(list(groups) == [1], "one icon group, number 1 (%s)" % list(groups))
        if 1 in groups:
            (listed,) = struct.unpack_from("<H", groups[1], 4)
            check(listed == count, "the icon group lists the %d pictures of orvida.ico" % count)
        check(sorted(len(d) for d in icons.values()) == ico_sizes,
              "the %d pictures are stored whole" % count)
    finally:
        shutil.rmtree(temp, ignore_errors=True)

    return verdict("windows package")


if __name__ == "__main__":
    sys.exit(main())
