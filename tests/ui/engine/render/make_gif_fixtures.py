#!/usr/bin/env python3
"""Writes the animated-picture and oversized-entry fixtures into OUTDIR.

    make_gif_fixtures.py OUTDIR

  one.gif        one 40x30 red frame (ImageMagick)
  frames.gif     three 40x30 frames, red, lime, blue, shown for 10, 25 and
                 70 hundredths of a second (ImageMagick)
  truncated.gif  frames.gif cut off inside its last frame
  not_a_gif.gif  text
  gifs.zip       the four as Anim/NAME, packed by zip -9
  oversize.zip   Skin/Huge.png, whose local and central records both
                 declare 0xFFFFFFFF bytes, and Skin/Fine.png, a good copy
"""
import os
import shutil
import struct
import subprocess
import sys
import zipfile


def run(args, cwd=None):
    subprocess.run(args, check=True, cwd=cwd)


def image_starts(gif):
    """Offsets of the image descriptors of a GIF file."""
    pos = 6
    flags = gif[10]
    pos += 7
    if flags & 0x80:
        pos += 3 * (2 << (flags & 7))
    starts = []
    while pos < len(gif):
        block = gif[pos]
        if block == 0x3B:
            break
        if block == 0x21:
            pos += 2
        elif block == 0x2C:
            starts.append(pos)
            local = gif[pos + 9]
            pos += 10
            if local & 0x80:
                pos += 3 * (2 << (local & 7))
            pos += 1  # LZW minimum code size
        else:
            sys.exit("unexpected GIF block 0x%02x at %d" % (block, pos))
        while gif[pos] != 0:  # sub-blocks
            pos += 1 + gif[pos]
        pos += 1
    return starts


def make_gifs(out):
    one = os.path.join(out, "one.gif")
    frames = os.path.join(out, "frames.gif")
    run(["convert", "-size", "40x30", "xc:red", one])
    run(["convert", "-size", "40x30", "-delay", "10", "xc:red", "-delay", "25", "xc:lime",
         "-delay", "70", "xc:blue", "-loop", "0", frames])
    with open(frames, "rb") as f:
        data = f.read()
    starts = image_starts(data)
    if len(starts) != 3:
        sys.exit("frames.gif has %d frames" % len(starts))
    with open(os.path.join(out, "truncated.gif"), "wb") as f:
        f.write(data[:starts[-1] + 12])
    with open(os.path.join(out, "not_a_gif.gif"), "wb") as f:
        f.write(b"GIF? no: this file only has a picture's name.\n")

    staged = os.path.join(out, "staged", "Anim")
    os.makedirs(staged)
    for name in ("one.gif", "frames.gif", "truncated.gif", "not_a_gif.gif"):
        shutil.copy(os.path.join(out, name), staged)
    run(["zip", "-q", "-9", "-r", os.path.join(out, "gifs.zip"), "Anim"], cwd=os.path.dirname(staged))


def patch_declared_size(archive, entry, size):
    """Sets the uncompressed size of `entry` in its local and central record."""
    with open(archive, "r+b") as f:
        data = bytearray(f.read())
        name = entry.encode()
        patched = 0
        # (signature, offset of the uncompressed size, of the name length, of the name)
        for signature, size_at, length_at, name_at in ((b"PK\x03\x04", 22, 26, 30), (b"PK\x01\x02", 24, 28, 46)):
            pos = data.find(signature)
            while pos >= 0:
                name_length = struct.unpack_from("<H", data, pos + length_at)[0]
                if data[pos + name_at:pos + name_at + name_length] == name:
                    struct.pack_into("<I", data, pos + size_at, size)
                    patched += 1
                pos = data.find(signature, pos + 4)
        if patched != 2:
            sys.exit("patched %d records of %s" % (patched, entry))
        f.seek(0)
        f.write(data)


def make_oversize(out):
    with open(os.path.join(out, "one.gif"), "rb") as f:
        picture = f.read()
    archive = os.path.join(out, "oversize.zip")
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("Skin/Huge.png", picture)
        z.writestr("Skin/Fine.png", picture)
    patch_declared_size(archive, "Skin/Huge.png", 0xFFFFFFFF)


def main():
    out = sys.argv[1]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    make_gifs(out)
    make_oversize(out)


if __name__ == "__main__":
    main()
