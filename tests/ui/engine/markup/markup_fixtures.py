#!/usr/bin/env python3
"""Writes the skin archives the markup file-loading tests read.

Usage: markup_fixtures.py OUTDIR

OUTDIR/markup.zip    made by Python's zipfile: a skin tree with DEFLATE and
                     stored entries, an empty entry and one just over 4 MiB
OUTDIR/bad_crc.zip   one stored entry whose data no longer matches its CRC-32
OUTDIR/not_a_zip.zip bytes that are no archive
"""
import os
import sys
import zipfile

MAX_FILE = 4 * 1024 * 1024

HINT = (b'<?xml version="1.0" encoding="utf-8"?>\n'
        b'<Window size="400,230"><Label name="title" text="\xe6\x9b\xb4\xe6\x96\xb0" /></Window>\n')
MAIN = b'<Window>' + b''.join(b'<Control name="c%d" />' % i for i in range(200)) + b'</Window>'


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    over = b'<a>' + b' ' * (MAX_FILE + 1 - len(b'<a></a>')) + b'</a>'
    assert len(over) == MAX_FILE + 1
    with zipfile.ZipFile(os.path.join(out, 'markup.zip'), 'w') as z:
        z.writestr('MsgBox/UpdateHintBox.xml', HINT, zipfile.ZIP_DEFLATED)
        z.writestr('MainFrame.xml', MAIN, zipfile.ZIP_DEFLATED)
        z.writestr('Stored.xml', HINT, zipfile.ZIP_STORED)
        z.writestr('empty.xml', b'', zipfile.ZIP_STORED)
        z.writestr('over.xml', over, zipfile.ZIP_DEFLATED)
        z.writestr('broken.xml', b'<Window><Label text=1/></Window>', zipfile.ZIP_DEFLATED)

    bad = os.path.join(out, 'bad_crc.zip')
    with zipfile.ZipFile(bad, 'w') as z:
        z.writestr('Main.xml', MAIN, zipfile.ZIP_STORED)
    data = bytearray(open(bad, 'rb').read())
    at = data.index(b'c150')
    data[at] = ord('C')
    open(bad, 'wb').write(bytes(data))

    with open(os.path.join(out, 'not_a_zip.zip'), 'wb') as f:
        f.write(b'PK\x03\x04 this is not really an archive ' * 20)


if __name__ == '__main__':
    main()
