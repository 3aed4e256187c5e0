#!/usr/bin/env python3
"""Draws the emoticons at build time: SVG frames from recipes.py, rendered with rsvg-convert and
put together with ImageMagick's convert.

  make_emotions.py gif <emotions.txt> <output folder> <work folder> <rsvg-convert> <convert>
      every picture file: a looping animated GIF of 24 x 24 pixels
  make_emotions.py bmp <emotions.txt> <output folder> <work folder> <rsvg-convert> <convert>
      every picker bitmap: a 24-bit BMP of 26 x 26 pixels, one frame on the picker's tile

GIF keeps one bit of transparency. The chat's text views are light, so the edges are blended
onto white: a pixel covered by at least a quarter becomes opaque in its blended colour, the rest
clear, which looks smooth on a light view.
"""

import os
import subprocess
import sys

# The drawings are imported from the source tree, which the build leaves untouched.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from recipes import RECIPES, frame_count  # noqa: E402
from shapes import gradients  # noqa: E402

# Hundredths of a second per frame; slow drawings take longer.
DELAYS = {"sleep": 22, "sad": 18, "rose": 16, "proud": 16, "heart": 14}
DEFAULT_DELAY = 12

# The picker's tile: the bitmaps are opaque, so they carry the picker panel's look themselves.
TILE = ('<rect width="26" height="26" fill="#13243F"/>'
        '<rect x="0.5" y="0.5" width="25" height="25" rx="4" fill="#1A3154" stroke="#2A4469"/>')
TILE_COLOUR = "#13243F"


def read_table(path):
    rows = []
    with open(path, encoding="utf-8") as table:
        for line in table:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            number, gif, bmp, recipe, phase = line.split()
            if recipe not in RECIPES:
                sys.exit(f"{path}: no drawing named {recipe}")
            rows.append((int(number), gif, None if bmp == "-" else bmp, recipe, int(phase) / 100))
    return rows


def svg(size, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 {size} {size}">{gradients()}{body}</svg>')


def render(rsvg, svg_text, svg_path, png_path, size):
    with open(svg_path, "w", encoding="utf-8") as out:
        out.write(svg_text)
    subprocess.run([rsvg, f"--width={size}", f"--height={size}", "--format=png",
                    f"--output={png_path}", svg_path], check=True)


def replace_atomically(convert, arguments, image_format, target):
    """Writes through a partial file, so a failed run never leaves a picture that looks done."""
    partial = target + ".part"
    subprocess.run([convert, *arguments, f"{image_format}:{partial}"], check=True)
    os.replace(partial, target)


def matte_on_white(convert, png, out):
    """The frame blended onto white, with its transparency cut to one bit."""
    subprocess.run([convert, png,
                    "(", "+clone", "-alpha", "extract", "-threshold", "25%", ")",
                    "(", "-clone", "0", "-background", "white", "-alpha", "remove", ")",
                    "-delete", "0", "+swap", "-alpha", "off", "-compose", "CopyOpacity",
                    "-composite", f"PNG32:{out}"], check=True)


def make_gif(row, out_dir, work, rsvg, convert):
    _, gif, _, recipe, _ = row
    frames = []
    count = frame_count(recipe)
    for index in range(count):
        base = os.path.join(work, f"{recipe}-{index}")
        render(rsvg, svg(24, RECIPES[recipe](index / count)), base + ".svg", base + ".png", 24)
        matte_on_white(convert, base + ".png", base + "-matte.png")
        frames.append(base + "-matte.png")
    delay = DELAYS.get(recipe, DEFAULT_DELAY)
    replace_atomically(convert, ["-delay", str(delay), "-dispose", "Background", "-loop", "0",
                                 *frames, "+dither", "-colors", "255"],
                       "GIF", os.path.join(out_dir, gif))


def make_bmp(row, out_dir, work, rsvg, convert):
    _, _, bmp, recipe, phase = row
    base = os.path.join(work, f"{recipe}-picker")
    body = TILE + f'<g transform="translate(1 1)">{RECIPES[recipe](phase)}</g>'
    render(rsvg, svg(26, body), base + ".svg", base + ".png", 26)
    replace_atomically(convert, [base + ".png", "-background", TILE_COLOUR, "-alpha", "remove",
                                 "-alpha", "off", "-type", "TrueColor"],
                       "BMP3", os.path.join(out_dir, bmp))


def main(argv):
    if len(argv) != 7 or argv[1] not in ("gif", "bmp"):
        sys.exit(__doc__)
    kind, table, out_dir, work, rsvg, convert = argv[1:]
    os.makedirs(out_dir, exist_ok=True)
    os.makedirs(work, exist_ok=True)
    for row in read_table(table):
        if kind == "gif":
            make_gif(row, out_dir, work, rsvg, convert)
        elif row[2] is not None:
            make_bmp(row, out_dir, work, rsvg, convert)


if __name__ == "__main__":
    main(sys.argv)
