#!/usr/bin/env python3
"""Packs one folder into a .zip or a .tar.gz whose bytes depend on nothing but the files' names
and contents: entries in byte order of their paths, every time stamp SOURCE_DATE_EPOCH, owner
and group root, modes 755 for folders and programs and 644 for the rest, no extra fields.

    pack-folder.py FOLDER OUTPUT.zip|OUTPUT.tar.gz

The archive holds FOLDER's own name as its one top folder.
"""

import gzip
import io
import os
import sys
import tarfile
import time
import zipfile

# The earliest time a ZIP entry can carry: 1 January 1980.
ZIP_EPOCH = 315532800


def entries(folder):
    """(path in the archive, path on disk, is a folder), folders before what they hold."""
    top = os.path.basename(os.path.normpath(folder))
    found = [(top, folder, True)]
    for here, dirs, files in os.walk(folder):
        dirs.sort()
        for name in sorted(dirs + files):
            path = os.path.join(here, name)
            if os.path.islink(path):
                sys.exit(f"pack-folder.py: {path} is a link, which a release does not carry")
            inside = os.path.join(top, os.path.relpath(path, folder))
            found.append((inside, path, os.path.isdir(path)))
    return sorted(found, key=lambda entry: entry[0].encode())


def mode(path, is_folder):
    return 0o755 if is_folder or os.stat(path).st_mode & 0o111 else 0o644


def write_zip(output, folder, epoch):
    stamp = time.gmtime(max(epoch, ZIP_EPOCH))[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for inside, path, is_folder in entries(folder):
            info = zipfile.ZipInfo(inside + ("/" if is_folder else ""), stamp)
            info.create_system = 3  # Unix: the mode below is read by unzip.
            if is_folder:
                info.external_attr = (0o040000 | 0o755) << 16 | 0x10
                archive.writestr(info, b"")
            else:
                info.external_attr = (0o100000 | mode(path, False)) << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as source:
                    archive.writestr(info, source.read(), compresslevel=9)


def write_tar_gz(output, folder, epoch):
    with open(output, "wb") as raw, gzip.GzipFile(
        filename="", mode="wb", fileobj=raw, mtime=epoch, compresslevel=9
    ) as packed, tarfile.open(fileobj=packed, mode="w", format=tarfile.GNU_FORMAT) as archive:
        for inside, path, is_folder in entries(folder):
            info = tarfile.TarInfo(inside)
            info.mtime = epoch
            info.uid = info.gid = 0
            info.uname = info.gname = "root"
            info.mode = mode(path, is_folder)
            if is_folder:
                info.type = tarfile.DIRTYPE
                archive.addfile(info)
            else:
                with open(path, "rb") as source:
                    data = source.read()
                info.size = len(data)
                archive.addfile(info, io.BytesIO(data))


def main():
    if len(sys.argv) != 3 or not os.path.isdir(sys.argv[1]):
        sys.exit("usage: pack-folder.py FOLDER OUTPUT.zip|OUTPUT.tar.gz")
    folder, output = sys.argv[1], sys.argv[2]
    if not os.environ.get("SOURCE_DATE_EPOCH", "").isdigit():
        sys.exit("pack-folder.py: SOURCE_DATE_EPOCH must give the time stamp, in seconds")
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    if output.endswith(".zip"):
        write_zip(output, folder, epoch)
    elif output.endswith(".tar.gz"):
        write_tar_gz(output, folder, epoch)
    else:
        sys.exit(f"pack-folder.py: {output} is neither a .zip nor a .tar.gz")


if __name__ == "__main__":
    main()
