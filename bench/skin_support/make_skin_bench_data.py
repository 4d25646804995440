#!/usr/bin/env python3
"""Writes the inputs of bench/skin into OUTDIR:
  OUTDIR/skin.xml     about 1 MiB of skin markup (UTF-8, well-formed XML)
  OUTDIR/tree/...     a 200-file skin: 140 markup files and 60 PNG images
The content is generated from a fixed seed, so every run measures the same
bytes."""
import os
import random
import struct
import sys
import zlib

rng = random.Random(516220)
LABELS = ["更新", "取消", "立即更新", "版本说明", "Tarsel", "settings", "直播"]


def control(depth, index):
    pad = "  " * depth
    kind = rng.choice(["Button", "Label", "Control", "Text"])
    if kind == "Button":
        return (f'{pad}<Button name="btn_{index}" pos="{rng.randrange(400)},{rng.randrange(300)},'
                f'{rng.randrange(400, 800)},{rng.randrange(300, 600)}" float="true" '
                f'normalimage="file=\'Button/btn_{index % 60}.png\' source=\'0,0,76,26\' corner=\'2,2,2,2\'" '
                f'hotimage="file=\'Button/btn_{index % 60}.png\' source=\'76,0,152,26\'" '
                f'text="{rng.choice(LABELS)}" tooltip="&quot;{index}&quot; &amp; more" />\n')
    if kind == "Label":
        return (f'{pad}<Label name="lbl_{index}" text="{rng.choice(LABELS)} {index}" font="{rng.randrange(4)}" '
                f'textcolor="#FF{rng.randrange(1 << 24):06X}" align="center" />\n')
    if kind == "Text":
        return f'{pad}<Text name="txt_{index}" showhtml="true">{rng.choice(LABELS)} &lt;b&gt;{index}&lt;/b&gt;</Text>\n'
    return f'{pad}<Control height="{rng.randrange(1, 40)}" bkcolor="#FF{rng.randrange(1 << 24):06X}" />\n'


def layout(target_bytes, start_index=0):
    parts = ['<?xml version="1.0" encoding="utf-8"?>\n',
             '<Window size="520,340" caption="0,0,0,36" roundcorner="4,4">\n',
             '  <Font name="微软雅黑" size="12" default="true" />\n',
             '  <Default name="Button" value="textcolor=&quot;#FF333333&quot;" />\n',
             '  <!-- generated for the benchmark -->\n',
             '  <VerticalLayout bkcolor="#FFFFFFFF">\n']
    size = sum(len(p.encode()) for p in parts)
    index = start_index
    while size < target_bytes:
        block = ['    <HorizontalLayout height="40" childpadding="4">\n']
        for _ in range(rng.randrange(2, 8)):
            block.append(control(3, index))
            index += 1
        block.append('    </HorizontalLayout>\n')
        size += sum(len(p.encode()) for p in block)
        parts += block
    parts += ['  </VerticalLayout>\n', '</Window>\n']
    return "".join(parts).encode()


def png(width, height, noisy):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            if noisy:
                raw += bytes(rng.getrandbits(8) for _ in range(4))
            else:
                raw += bytes(((x * 3) & 255, (y * 5) & 255, ((x + y) * 2) & 255, 255))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    out = sys.argv[1]
    write(os.path.join(out, "skin.xml"), layout(1 << 20))
    tree = os.path.join(out, "tree")
    for i in range(140):
        folder = ["", "MsgBox/", "Setting/", "Common/"][i % 4]
        write(os.path.join(tree, f"{folder}page_{i}.xml"), layout(rng.randrange(2000, 40000), i * 1000))
    for i in range(60):
        write(os.path.join(tree, f"Button/btn_{i}.png"),
              png(rng.randrange(40, 160), rng.randrange(20, 80), noisy=(i % 5 == 0)))


if __name__ == "__main__":
    main()
