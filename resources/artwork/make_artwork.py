#!/usr/bin/env python3
"""Draws the launcher's skin pictures and application icon with ImageMagick.

The pictures are checked in beside the skin files; run this after changing
the design:

    python3 resources/artwork/make_artwork.py            # rewrite resources/
    python3 resources/artwork/make_artwork.py --out DIR  # draw into DIR

Button strips hold one 90 x 30 cell per state, left to right: normal, then
hot (the skin shows the second cell while the mouse is over the button or
presses it); the cancel strip has a third, disabled cell. Output carries no
time stamps, so drawing twice gives the same bytes.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
CONVERT = shutil.which("convert") or "convert"

# Brand colours: a blue-to-violet sweep, ink for text, quiet greys for
# secondary actions.
BLUE = "#3E7BFA"
VIOLET = "#7C5CF5"
BLUE_LIGHT = "#5A92FF"
VIOLET_LIGHT = "#9072FA"
INK = "#333333"
MUTED = "#555555"

PNG_OUT = ["-strip", "-define", "png:exclude-chunk=date,time,tIME"]


def convert(*args):
    subprocess.run([CONVERT, *args], check=True)


def save(path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return ["+repage", *PNG_OUT, "PNG32:" + path]


def rounded_mask(width, height, radius):
    return ["(", "-size", f"{width}x{height}", "xc:black", "-fill", "white",
            "-draw", f"roundrectangle 0,0 {width - 1},{height - 1} {radius},{radius}", ")"]


def cell(path, width, height, fill, border, text, text_color, size=14, radius=None):
    """One button state: a rounded, filled shape with a hairline border and
    centred text. `fill` is a colour or a (top, bottom) gradient pair."""
    radius = height // 2 if radius is None else radius
    background = f"gradient:{fill[0]}-{fill[1]}" if isinstance(fill, tuple) else f"xc:{fill}"
    args = ["-size", f"{width}x{height}", background,
            *rounded_mask(width, height, radius), "-alpha", "off", "-compose", "CopyOpacity", "-composite",
            "-compose", "over"]
    if border:
        args += ["-fill", "none", "-stroke", border, "-strokewidth", "1",
                 "-draw", f"roundrectangle 0.5,0.5 {width - 1.5},{height - 1.5} {radius - 0.5},{radius - 0.5}"]
    if text:
        args += ["-stroke", "none", "-font", FONT, "-pointsize", str(size), "-fill", text_color,
                 "-gravity", "center", "-annotate", "+0+0", text]
    convert(*args, *save(path))


def strip(path, cells):
    convert(*cells, "-background", "none", "+append", *save(path))


def update_buttons(out, work):
    primary = [
        (os.path.join(work, "now0.png"), (BLUE_LIGHT, BLUE), None, "立即更新", "white"),
        (os.path.join(work, "now1.png"), ("#7AA8FF", "#5B8CFF"), None, "立即更新", "white"),
    ]
    later = [
        (os.path.join(work, "later0.png"), "#FFFFFF", "#CDD3DD", "下次再说", MUTED),
        (os.path.join(work, "later1.png"), "#EEF3FF", BLUE_LIGHT, "下次再说", BLUE),
    ]
    cancel = [
        (os.path.join(work, "cancel0.png"), "#FFFFFF", "#CDD3DD", "取消", MUTED),
        (os.path.join(work, "cancel1.png"), "#EEF3FF", BLUE_LIGHT, "取消", BLUE),
        (os.path.join(work, "cancel2.png"), "#F2F3F5", "#E3E6EB", "取消", "#B8BEC8"),
    ]
    for name, states in (("updateNow.png", primary), ("nextChoose.png", later), ("cancel.png", cancel)):
        for path, fill, border, text, colour in states:
            cell(path, 90, 30, fill, border, text, colour)
        strip(os.path.join(out, "MsgBox", name), [s[0] for s in states])


def update_background(out, work):
    """380 x 266: a gradient header with a soft wave edge and an upgrade
    badge over a white body where the message and the buttons sit."""
    width, height = 380, 266
    header = os.path.join(work, "header.png")
    convert("-size", f"{width}x160", "-define", "gradient:angle=115", f"gradient:{BLUE}-{VIOLET}",
            # soft light circles for depth
            "-fill", "rgba(255,255,255,0.07)", "-draw", "circle 352,18 352,98",
            "-fill", "rgba(255,255,255,0.06)", "-draw", "circle 40,150 40,215",
            "-fill", "rgba(255,255,255,0.05)", "-draw", "circle 250,-20 250,40",
            # the wave: header above a wide, shallow ellipse
            "(", "-size", f"{width}x160", "xc:black", "-fill", "white",
            "-draw", f"rectangle 0,0 {width},118",
            "-draw", "ellipse 190,118 250,26 0,360", ")",
            "-alpha", "off", "-compose", "CopyOpacity", "-composite", *save(header))

    badge = os.path.join(work, "badge.png")
    # A white disc with a gradient up-arrow over a base line: "upgrade".
    convert("-size", "96x96", "xc:none",
            "-fill", "rgba(20,30,90,0.28)", "-draw", "circle 48,52 48,86", "-blur", "0x5",
            "-fill", "white", "-draw", "circle 48,47 48,81",
            "(", "-size", "96x96", "-define", "gradient:angle=135", f"gradient:{BLUE_LIGHT}-{VIOLET}",
            "(", "-size", "96x96", "xc:black", "-fill", "white",
            "-draw", "polygon 48,24 68,46 56,46 56,62 40,62 40,46 28,46",
            "-draw", "roundrectangle 30,66 66,71 2,2", ")",
            "-alpha", "off", "-compose", "CopyOpacity", "-composite", ")",
            "-compose", "over", "-composite", *save(badge))

    body = os.path.join(out, "updatebkimg.png")
    convert("-size", f"{width}x{height}", "xc:#FFFFFF",
            # a faint wash under the message so the header does not end abruptly
            "(", "-size", f"{width}x70", "gradient:#F3F6FF-#FFFFFF", ")",
            "-geometry", "+0+118", "-compose", "over", "-composite",
            header, "-geometry", "+0+0", "-composite",
            badge, "-geometry", "+262+22", "-composite",
            "-font", FONT, "-fill", "white", "-pointsize", "26", "-annotate", "+30+66", "发现新版本",
            "-fill", "rgba(255,255,255,0.86)", "-pointsize", "13", "-annotate", "+31+93",
            "Tarsel 直播 · 更流畅、更稳定",
            # a small pill tag beside the title
            "-fill", "rgba(255,255,255,0.22)", "-draw", "roundrectangle 168,44 206,62 9,9",
            "-fill", "white", "-pointsize", "11", "-annotate", "+175+58", "NEW",
            # window outline: rounded like the window region, clear outside it
            *rounded_mask(width, height, 15), "-alpha", "off", "-compose", "CopyOpacity", "-composite",
            "-compose", "over", "-fill", "none", "-stroke", "rgba(40,50,90,0.12)",
            "-draw", f"roundrectangle 0.5,0.5 {width - 1.5},{height - 1.5} 15,15",
            *save(body))


def message_box_pictures(out, work):
    """Pictures of the general message box, title bar and hint window."""
    states = [("#FFFFFF", "#CDD3DD", MUTED), ("#EEF3FF", BLUE_LIGHT, BLUE), ("#DDE7FF", BLUE, BLUE)]
    cells = []
    for i, (fill, border, _) in enumerate(states):
        path = os.path.join(work, f"btn{i}.png")
        cell(path, 60, 24, fill, border, None, None, radius=4)
        cells.append(path)
    strip(os.path.join(out, "MsgBox", "btn.png"), cells)

    closes = []
    for i, colour in enumerate(("#9AA3B2", "#FFFFFF", "#E6E9F0")):
        path = os.path.join(work, f"close{i}.png")
        convert("-size", "11x12", "xc:none", "-stroke", colour, "-strokewidth", "1.6",
                "-draw", "line 1.5,2 9.5,10", "-draw", "line 9.5,2 1.5,10", *save(path))
        closes.append(path)
    strip(os.path.join(out, "MsgBox", "close.png"), closes)

    convert("-size", "32x32", "xc:none", "-fill", BLUE, "-draw", "circle 16,16 16,1",
            "-fill", "white", "-draw", "roundrectangle 14,13 18,25 1,1", "-draw", "circle 16,8.5 16,6.5",
            *save(os.path.join(out, "MsgBox", "sys_info.png")))

    stops = []
    for i, (top, bottom) in enumerate(((("#F25F5C", "#E04848")), ("#FF7A75", "#F25F5C"),
                                      ("#D94444", "#C73A3A"))):
        path = os.path.join(work, f"stop{i}.png")
        cell(path, 75, 26, (top, bottom), None, None, None, radius=4)
        stops.append(path)
    strip(os.path.join(out, "HintWnd", "stop.png"), stops)

    for name, glyph in (("minbtn.png", ["-draw", "line 13,18 23,18"]),
                        ("closebtn.png", ["-draw", "line 13,13 23,23", "-draw", "line 23,13 13,23"])):
        parts = []
        for i, back in enumerate(("none", "rgba(255,255,255,0.16)", "rgba(0,0,0,0.14)")):
            path = os.path.join(work, f"{name}{i}")
            convert("-size", "36x36", f"xc:{back}", "-stroke", "white", "-strokewidth", "1.5", *glyph, *save(path))
            parts.append(path)
        strip(os.path.join(out, "Titlebar", name), parts)


def app_icon(out, work):
    logo = os.path.join(work, "logo.png")
    convert("-size", "256x256", "-define", "gradient:angle=135", f"gradient:{BLUE_LIGHT}-{VIOLET}",
            *rounded_mask(256, 256, 56), "-alpha", "off", "-compose", "CopyOpacity", "-composite",
            "-compose", "over",
            "-fill", "rgba(255,255,255,0.12)", "-draw", "circle 200,50 200,130",
            "-fill", "white", "-stroke", "white", "-strokewidth", "14", "-draw", "polygon 100,72 100,184 190,128",
            *save(logo))
    shutil.copyfile(logo, os.path.join(out, "artwork", "logo.png"))
    convert(logo, "-define", "icon:auto-resize=256,48,32,16", os.path.join(out, "tarsel.ico"))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.dirname(here), help="resources folder to write into")
    args = parser.parse_args()
    if not os.path.exists(FONT):
        sys.exit(f"font missing: {FONT} (package fonts-wqy-microhei)")
    os.makedirs(os.path.join(args.out, "artwork"), exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        update_buttons(args.out, work)
        update_background(args.out, work)
        message_box_pictures(args.out, work)
        app_icon(args.out, work)


if __name__ == "__main__":
    main()
