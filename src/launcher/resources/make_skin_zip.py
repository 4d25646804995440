#!/usr/bin/env python3
"""Packs the skin files into the archive the launcher carries as resource
102 "ZIPRES".

    make_skin_zip.py OUTPUT RESOURCES_DIR NAME...

Each NAME is a path relative to RESOURCES_DIR ("MsgBox/UpdateHintBox.xml")
and is stored under that name with "/" separators. Entries are DEFLATE
compressed with fixed times, in the order given, so the same files always
give the same archive; the archive is written beside OUTPUT and renamed into
place, so a failed run never leaves a half-written one.
"""

import os
import sys
import zipfile


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    output, root, names = argv[1], argv[2], argv[3:]
    partial = output + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name.replace("\\", "/"), date_time=(2026, 1, 1, 0, 0, 0))
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            with open(os.path.join(root, name), "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)
    os.replace(partial, output)


if __name__ == "__main__":
    main(sys.argv)
