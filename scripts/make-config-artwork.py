#!/usr/bin/env python3
"""Draws the configuration dialog's three 16 x 16 menu pictures (add, delete,
rename) and writes them side by side into src/win32/res/ConfigImages.bmp.

    python3 scripts/make-config-artwork.py [--preview DIR]

Uses the renderer and palette of make-artwork.py, so the pictures match the
tool bar's; commit this script together with the file it wrote.
"""

import argparse
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
_spec = importlib.util.spec_from_file_location('artwork', os.path.join(HERE, 'make-artwork.py'))
art = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(art)

GREEN = art.rgb('#2f9e44')
GREEN_DARK = art.rgb('#1f6f2f')
RED = art.rgb('#d9383a')
RED_DARK = art.rgb('#8f1f21')
PENCIL = art.rgb('#f2b632')
PENCIL_DARK = art.rgb('#9a6a10')
TIP = art.rgb('#f4d9b0')
LEAD = art.rgb('#3a3a3a')


def folder_base(c):
    """A small group folder in the lower left, like a tab of the main window."""
    c.box(0, 6, 6, 8, art.FRAME_DARK)
    c.box(0, 7, 11, 15, art.FRAME_DARK)
    c.box(1, 8, 10, 14, art.linear(0, 8, 0, 14, art.FRAME_LIGHT, art.FRAME))


def add_image(c):
    folder_base(c)
    # a plus sign in the upper right, outlined so it reads on any colour
    c.box(9, 0, 13, 10, GREEN_DARK)
    c.box(6, 3, 16, 7, GREEN_DARK)
    c.box(10, 1, 12, 9, GREEN)
    c.box(7, 4, 15, 6, GREEN)


def delete_image(c):
    folder_base(c)
    for w, colour in ((3.2, RED_DARK), (1.8, RED)):
        c.fill(art.segment(8.5, 0.5, 15.5, 7.5, w), colour)
        c.fill(art.segment(15.5, 0.5, 8.5, 7.5, w), colour)


def rename_image(c):
    # a text line with a caret, and a pencil writing on it
    c.box(0, 11, 16, 16, art.FRAME_DARK)
    c.box(1, 12, 15, 15, art.PAPER)
    c.box(2, 13, 7, 14, art.FRAME)
    c.box(8, 12, 9, 15, LEAD)
    c.fill(art.segment(6.0, 9.0, 14.0, 1.0, 3.6), PENCIL_DARK)
    c.fill(art.segment(6.4, 8.6, 13.6, 1.4, 2.2), PENCIL)
    c.fill(art.polygon([(3.5, 11.0), (4.6, 7.6), (7.4, 10.4)]), TIP)
    c.fill(art.polygon([(3.5, 11.0), (4.0, 9.6), (4.9, 10.5)]), LEAD)


IMAGES = (add_image, delete_image, rename_image)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--out', default=os.path.join(HERE, '..', 'src', 'win32', 'res'))
    parser.add_argument('--preview', metavar='DIR')
    args = parser.parse_args()
    strip = art.Canvas(16 * len(IMAGES), 16)
    for i, draw in enumerate(IMAGES):
        c = art.Canvas(16, 16)
        draw(c)
        strip.blit(c, 16 * i, 0)
    with open(os.path.join(args.out, 'ConfigImages.bmp'), 'wb') as f:
        f.write(art.bmp32_bytes(strip.rgba8()))
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        rows = strip.rgba8()
        with open(os.path.join(args.preview, 'ConfigImages.png'), 'wb') as f:
            f.write(art.png_bytes(art.stacked([art.zoom(rows, 8, (0xf0, 0xf0, 0xf0)),
                                               art.zoom(rows, 1, (0xf0, 0xf0, 0xf0))])))


if __name__ == '__main__':
    main()
