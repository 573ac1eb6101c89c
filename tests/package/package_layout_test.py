#!/usr/bin/env python3
"""Installs the build into a temporary prefix and packs it with CPack, then checks both.

The installed folder must hold the program with its presets beside it, the licences and, on
Linux, the menu entry and the icons; installing again must keep saved presets; the .tar.gz
must unpack to the same files as the installation.

Exit status: 0 passed, 1 failed.
"""

import argparse
import filecmp
import os
import platform
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile
import zipfile

from package_checks import check, verdict

ICON_SIZES = (16, 32, 48, 64, 128, 256)

def run(*args):
    result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        print(result.stdout, file=sys.stderr)
        raise SystemExit("%s failed with status %d" % (" ".join(args), result.returncode))
    return result.stdout


def tree(root):
    """The files under root, as relative paths."""
    found = set()
    for folder, _, files in os.walk(root):
        for name in files:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


def same_bytes(a, b):
    return filecmp.cmp(a, b, shallow=False)


def check_installation(prefix, source, linux):
    files = tree(prefix)
    program = os.path.join(prefix, "bin", "Orvida")
    check(os.path.isfile(program) and os.access(program, os.X_OK), "bin/Orvida is a program")
    conf = os.path.join(prefix, "bin", "conf.ini")
    check(
        os.path.isfile(conf) and same_bytes(conf, os.path.join(source, "resources", "conf.ini")),
        "bin/conf.ini is the shipped conf.ini, byte for byte",
    )
    for name, origin in (
        ("LICENSE", "LICENSE"),
        ("OFL.txt", "resources/fonts/OFL.txt"),
        ("CREDITS.md", "resources/art/CREDITS.md"),
    ):
        installed = os.path.join(prefix, "share", "doc", "orvida", name)
        check(
            os.path.isfile(installed) and same_bytes(installed, os.path.join(source, origin)),
            "share/doc/orvida/%s is %s" % (name, origin),
        )
    expected = {
        "bin/Orvida",
        "bin/conf.ini",
        "share/doc/orvida/LICENSE",
        "share/doc/orvida/OFL.txt",
        "share/doc/orvida/CREDITS.md",
    }
    if linux:
        desktop = os.path.join(prefix, "share", "applications", "orvida.desktop")
        check(os.path.isfile(desktop), "share/applications/orvida.desktop is there")
        entries = {}
        if os.path.isfile(desktop):
            for line in open(desktop, encoding="utf-8"):
                name, sep, value = line.rstrip("\n").partition("=")
                if sep:
                    entries[name] = value
        # Undone as a menu reads it: the string's escapes, the quoted argument's, then %%.
        exec_line = entries.get("Exec", "").replace("\\\\", "\\")
        quoted = re.fullmatch(r'"((?:[^"\\]|\\.)*)"', exec_line)
        command = re.sub(r"\\(.)", r"\1", quoted.group(1)).replace("%%", "%") if quoted else ""
        check(
            os.path.isfile(command) and os.path.samefile(command, program),
            "the menu entry starts the installed program by its full path: %r" % exec_line,
        )
        for name, value in (
            ("Type", "Application"),
            ("Name", "Orvida"),
            ("Icon", "orvida"),
            ("Categories", "Game;"),
        ):
            check(entries.get(name) == value, "the menu entry has %s=%s" % (name, value))
        check(bool(entries.get("Comment")), "the menu entry has a comment")
        validator = shutil.which("desktop-file-validate")
        if validator:
            output = run(validator, desktop).strip()
            check(output == "", "desktop-file-validate finds nothing to say")
        expected.add("share/applications/orvida.desktop")
        for size in ICON_SIZES:
            relative = "share/icons/hicolor/%dx%d/apps/orvida.png" % (size, size)
            icon = os.path.join(prefix, relative)
            origin = os.path.join(source, "resources", "images", "die-%d.png" % size)
            check(os.path.isfile(icon) and same_bytes(icon, origin), relative + " is the die")
            expected.add(relative)
    check(files == expected, "nothing else is installed: %s" % sorted(files ^ expected))
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--source-dir", required=True)
    args = parser.parse_args()
    linux = platform.system() == "Linux"

    temp = tempfile.mkdtemp(prefix="orvida-package-")
    try:
        # Off PATH, and with the characters a menu entry must quote.
        prefix = os.path.join(temp, 'my "games" $HOME 100%')
        run(args.cmake, "--install", args.build_dir, "--prefix", prefix)
        files = check_installation(prefix, args.source_dir, linux)

        # Installing again over it keeps the presets saved there.
        conf = os.path.join(prefix, "bin", "conf.ini")
        saved = b"".join(b"Mio %d\r\n 1\r\n 6\r\n" % i for i in range(1, 21))
        with open(conf, "wb") as out:
            out.write(saved)
        run(args.cmake, "--install", args.build_dir, "--prefix", prefix)
        check(open(conf, "rb").read() == saved, "installing again keeps the saved conf.ini")
        os.remove(conf)
        run(args.cmake, "--install", args.build_dir, "--prefix", prefix)

        # The archives unpack to the same folder.
        packages = os.path.join(temp, "packages")
        config = os.path.join(args.build_dir, "CPackConfig.cmake")
        run(args.cpack, "--config", config, "-G", "TGZ;ZIP", "-B", packages)
        tarballs = [name for name in os.listdir(packages) if name.endswith(".tar.gz")]
        zips = [name for name in os.listdir(packages) if name.endswith(".zip")]
        check(len(tarballs) == 1 and len(zips) == 1, "cpack makes a .tar.gz and a .zip")
        if tarballs:
            check(tarballs[0].startswith("Orvida-"), "the archive is " + tarballs[0])
            top = tarballs[0][: -len(".tar.gz")]
            unpacked = os.path.join(temp, "unpacked")
            with tarfile.open(os.path.join(packages, tarballs[0])) as archive:
                names = archive.getnames()
                check(
                    all(name == top or name.startswith(top + "/") for name in names),
                    "everything in the archive lies in the folder " + top,
                )
                if hasattr(tarfile, "data_filter"):
                    archive.extractall(unpacked, filter="data")
                else:
                    archive.extractall(unpacked)
            folder = os.path.join(unpacked, top)
            check(tree(folder) == files, "the .tar.gz holds the installed files")
            # The menu entry differs: an archive's names the program alone.
            entry = "share/applications/orvida.desktop"
            check(
                all(
                    same_bytes(os.path.join(folder, f), os.path.join(prefix, f))
                    for f in files - {entry}
                ),
                "the .tar.gz's files are the installed ones, byte for byte",
            )
            program = os.path.join(folder, "bin", "Orvida")
            check(os.access(program, os.X_OK), "the unpacked program can be run")
        if zips:
            with zipfile.ZipFile(os.path.join(packages, zips[0])) as archive:
                top = zips[0][: -len(".zip")]
                listed = {
                    os.path.relpath(name, top)
                    for name in archive.namelist()
                    if not name.endswith("/")
                }
                check(listed == files, "the .zip holds the installed files")
    finally:
        shutil.rmtree(temp, ignore_errors=True)

    return verdict("package")


if __name__ == "__main__":
    sys.exit(main())
