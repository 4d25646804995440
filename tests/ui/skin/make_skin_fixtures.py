#!/usr/bin/env python3
"""Writes the skin-archive and image fixtures the skin and render tests read.

Usage: make_skin_fixtures.py OUTDIR

Every archive is made by a real tool from the same small skin tree, so the
tests can compare each entry's bytes with the file it came from:
  OUTDIR/tree/...            the original files
  OUTDIR/files.txt           their relative names, one a line ("/" separated)
  OUTDIR/archives.txt        the archive file names, one a line
  OUTDIR/images/...          pictures in formats stb_image_write cannot write,
                             and images.zip holding one as "Skin/Pattern.png"
Fails loudly when a tool does not produce what a test relies on (for
example data descriptors from a piped zip), rather than letting a test pass
on the wrong input.
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import zipfile


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_tree(tree):
    rng = random.Random(20261209)
    hint = b'<?xml version="1.0" encoding="utf-8"?>\n<Window size="400,230">\n'
    hint += b'  <Label name="title" text="Update" />\n'
    hint += b"  <Button name=\"ok\" />\n</Window>\n"
    hint = hint.ljust(346, b" ") + b"\n"
    assert len(hint) == 347
    files = {
        "MsgBox/UpdateHintBox.xml": hint,
        "MainFrame.xml": b"".join(
            b'<Control name="c%d" pos="%d,0,10,10" bkcolor="#FF%06X" />\n' % (i, i, i * 977)
            for i in range(60)
        ),
        "Bkimg.png": bytes(rng.getrandbits(8) for _ in range(3000)),
        "Button/btn_share.png": bytes(rng.getrandbits(8) for _ in range(5000)),
        # Large enough to need many 16 KiB input blocks and several calls.
        "big/text.xml": b"".join(
            b'<Item id="%d" text="entry %d of the long list" />\n' % (i, rng.randrange(1 << 20))
            for i in range(7000)
        ),
        "big/noise.bin": bytes(rng.getrandbits(8) for _ in range(70000)),
        "empty.txt": b"",
    }
    for name, data in files.items():
        write(os.path.join(tree, *name.split("/")), data)
    os.makedirs(os.path.join(tree, "empty_dir"), exist_ok=True)
    return sorted(files)


def run(args, cwd=None, **kw):
    subprocess.run(args, cwd=cwd, check=True, **kw)


def flags_of_entries(path):
    with zipfile.ZipFile(path) as z:
        return {info.filename: info.flag_bits for info in z.infolist()}


def make_archives(out, tree, names):
    archives = []

    def add(name):
        archives.append(name)
        return os.path.join(out, name)

    run(["zip", "-q", "-9", "-r", add("zip9.zip"), "."], cwd=tree)
    run(["zip", "-q", "-0", "-r", add("zip0.zip"), "."], cwd=tree)

    # zip writing into a pipe cannot seek back: every entry gets a data
    # descriptor (general-purpose bit 3).
    piped = add("zip_piped.zip")
    with open(piped, "wb") as f:
        zipper = subprocess.Popen(["zip", "-q", "-9", "-r", "-", "."], cwd=tree, stdout=subprocess.PIPE)
        shutil.copyfileobj(zipper.stdout, f)
        if zipper.wait() != 0:
            sys.exit("zip into a pipe failed")
    files = {n: bits for n, bits in flags_of_entries(piped).items() if not n.endswith("/")}
    if not all(bits & 8 for bits in files.values()):
        sys.exit("zip into a pipe wrote entries without data descriptors")

    def python_zip(name, comment):
        with zipfile.ZipFile(add(name), "w", zipfile.ZIP_DEFLATED) as z:
            z.writestr("empty_dir/", b"")
            for entry in names:
                z.write(os.path.join(tree, *entry.split("/")), entry)
            z.comment = comment

    python_zip("python.zip", b"made by zipfile")
    # A comment holding the end record's signature must not hide the real
    # end record (zip's and Python's own readers give up on this one).
    python_zip("decoy_comment.zip", b"skin build 7 PK\x05\x06" + b"\xff" * 20 + b" end")

    # Skins made on Chinese Windows store names in code page 936, which the
    # reader compares byte for byte with the request converted to ANSI.
    ansi_name = "皮肤/背景.xml".encode("cp936")
    placeholder = "p" * len(ansi_name)
    named = os.path.join(out, "cp936_names.zip")  # not a copy of the tree: unlisted
    with zipfile.ZipFile(named, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(placeholder, b"<Window cp936='yes' />")
        z.writestr("皮肤/背景.xml", b"<Window utf8='yes' />")
    with open(named, "rb") as f:
        data = f.read()
    if data.count(placeholder.encode()) != 2:
        sys.exit("cp936_names.zip: the placeholder name is not where expected")
    write(named, data.replace(placeholder.encode(), ansi_name))

    run(["7z", "a", "-tzip", "-mx=9", add("7z.zip"), "."], cwd=tree, stdout=subprocess.DEVNULL)
    run(["cmake", "-E", "tar", "cf", add("cmake_tar.zip"), "--format=zip"] + names, cwd=tree)

    # The archive behind an executable-like prefix, offsets counted from
    # the archive's own start, as when it is appended to a program.
    rng = random.Random(7)
    prefix = b"MZ" + bytes(rng.getrandbits(8) for _ in range(8190))
    with open(os.path.join(out, "zip9.zip"), "rb") as f:
        body = f.read()
    write(add("prefixed.zip"), prefix + body)

    run(["zip", "-q", "-9", "-r", add("commented.zip"), "."], cwd=tree)
    run(["zip", "-q", "-z", os.path.join(out, "commented.zip")], input=b"Tarsel skin\nsecond line\n")
    return archives


def png_header(path):
    with open(path, "rb") as f:
        data = f.read(33)
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", data[16:29])
    return colour, interlace


def make_images(out):
    """Pictures stb_image_write cannot write: palette and interlaced PNG, GIF.

    The source is a 9x7 opaque pattern (pixel x,y = (x*28, y*36, 255-x*20))
    written as a binary PPM; the tests recompute it.
    """
    images = os.path.join(out, "images")
    os.makedirs(images, exist_ok=True)
    width, height = 9, 7
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            pixels += bytes((x * 28, y * 36, 255 - x * 20))
    source = os.path.join(images, "pattern.ppm")
    write(source, b"P6\n%d %d\n255\n" % (width, height) + bytes(pixels))
    run(["convert", source, "-define", "png:color-type=3", "PNG8:" + os.path.join(images, "palette.png")])
    run(["convert", source, "-interlace", "PNG", "-define", "png:color-type=2",
         "PNG24:" + os.path.join(images, "interlaced.png")])
    run(["convert", source, os.path.join(images, "pattern.gif")])
    # The same picture inside an archive, for loading images from a skin archive.
    staged = os.path.join(images, "staged", "Skin")
    os.makedirs(staged, exist_ok=True)
    shutil.copy(os.path.join(images, "interlaced.png"), os.path.join(staged, "Pattern.png"))
    run(["zip", "-q", "-9", "-r", os.path.join(images, "images.zip"), "Skin"], cwd=os.path.dirname(staged))
    if png_header(os.path.join(images, "palette.png"))[0] != 3:
        sys.exit("palette.png is not a palette PNG")
    if png_header(os.path.join(images, "interlaced.png"))[1] != 1:
        sys.exit("interlaced.png is not interlaced")


def main():
    out = sys.argv[1]
    shutil.rmtree(out, ignore_errors=True)
    tree = os.path.join(out, "tree")
    names = make_tree(tree)
    archives = make_archives(out, tree, names)
    write(os.path.join(out, "files.txt"), "".join(n + "\n" for n in names).encode())
    write(os.path.join(out, "archives.txt"), "".join(a + "\n" for a in archives).encode())
    make_images(out)


if __name__ == "__main__":
    main()
