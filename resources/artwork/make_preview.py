#!/usr/bin/env python3
"""Composes a picture of the update hint box from the skin's pictures, for
judging the artwork without running the launcher:

    python3 resources/artwork/make_preview.py [--out build/preview_update_box.png]

Left: the prompt (next time / update now, the latter with the mouse over
it); right: the forced update (cancel / update now). Positions follow
MsgBox/UpdateHintBox.xml: the message label fills 0,150-380,186 and the
buttons sit at x 84 and 206, y 206, each 90 x 30.
"""

import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)
sys.path.insert(0, HERE)
from make_artwork import CONVERT, FONT  # noqa: E402

WIDTH, HEIGHT = 380, 266


def convert(*args):
    subprocess.run([CONVERT, *args], check=True)


def cell(strip, index):
    return ["(", os.path.join(RESOURCES, "MsgBox", strip), "-crop", f"90x30+{90 * index}+0", "+repage", ")"]


def dialog(path, text, left, right):
    """The box as the engine would draw it: background, label, two buttons."""
    convert(os.path.join(RESOURCES, "updatebkimg.png"),
            "-font", FONT, "-pointsize", "18", "-fill", "#333333",
            "-gravity", "north", "-annotate", "+0+157", text, "-gravity", "northwest",
            *left, "-geometry", "+84+206", "-composite",
            *right, "-geometry", "+206+206", "-composite", path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", default=os.path.join(os.path.dirname(RESOURCES), "build", "preview_update_box.png"))
    args = parser.parse_args()
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        prompt = os.path.join(work, "prompt.png")
        forced = os.path.join(work, "forced.png")
        dialog(prompt, "检测到新版本，是否立即更新?", cell("nextChoose.png", 0), cell("updateNow.png", 1))
        dialog(forced, "检测到新版本，请升级后使用！", cell("cancel.png", 0), cell("updateNow.png", 0))
        shadow = os.path.join(work, "shadow.png")
        # The window shadow: size 5, darkness 30 of 255, soft edge.
        convert("-size", f"{WIDTH + 40}x{HEIGHT + 40}", "xc:none", "-fill", "rgba(0,0,0,0.32)",
                "-draw", f"roundrectangle 15,15 {WIDTH + 24},{HEIGHT + 24} 18,18", "-blur", "0x5", shadow)
        convert("-size", "880x372", "gradient:#E9EDF3-#D9DFE8",
                shadow, "-geometry", "+20+14", "-composite", prompt, "-geometry", "+40+34", "-composite",
                shadow, "-geometry", "+440+14", "-composite", forced, "-geometry", "+460+34", "-composite",
                "-font", FONT, "-pointsize", "13", "-fill", "#556070",
                "-annotate", "+40+332", "提示更新（样式 36）：下次再说 / 立即更新（悬停）",
                "-annotate", "+460+332", "强制更新（样式 1）：取消 / 立即更新",
                args.out)
    print(args.out)


if __name__ == "__main__":
    main()
