#!/usr/bin/env python3
"""Writes the small icon, cursor and animated cursor files the Windows tests
draw from. Every pixel is chosen here, so the tests can check exact colours.

    python3 tests/win32/data/make-icon-files.py   # rewrites the files beside it

red.ico    16x16 and 32x32: a red square with a blue centre and a transparent
           border (uses red and blue, not lime).
seven.ico  16x16 and 32x32: stripes of red, lime, yellow, silver, blue,
           fuchsia and aqua under a transparent band.
lime.cur   32x32 cursor: a lime square with a transparent border, hot spot 1,1.
steps.ani  animated cursor of three 32x32 frames: red, lime, blue squares.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

RED, LIME, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
YELLOW, SILVER, FUCHSIA, AQUA = (255, 255, 0), (192, 192, 192), (255, 0, 255), (0, 255, 255)


def square(size, fill, centre=None):
    """Pixels top-down, None is transparent: a border of size/8, the centre
    half filled with `centre`. The 16 pixel picture is exactly the 32 pixel
    one halved, so a system that scales the large image down (Wine's
    extraction does) shows the same pixels as one that takes the small one."""
    border, low, high = size // 8, size // 4, size - size // 4
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if x < border or y < border or x >= size - border or y >= size - border:
                row.append(None)
            elif centre and low <= x < high and low <= y < high:
                row.append(centre)
            else:
                row.append(fill)
        rows.append(row)
    return rows


def stripes(size):
    """Stripes size/8 wide of the seven colours (the last one wider) under a
    transparent band size/16 high."""
    colours = [RED, LIME, YELLOW, SILVER, BLUE, FUCHSIA, AQUA]
    band = size // 8
    return [[None if y < size // 16 else colours[min(x // band, 6)] for x in range(size)] for y in range(size)]


def dib(pixels):
    """A 32-bit icon image (alpha 255 or 0): header, colour rows and mask
    rows, bottom-up. Wine's extraction from .ico files garbles 24-bit images."""
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''
    mask = b''
    for row in reversed(pixels):
        colour += b''.join(bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255)) for p in row)
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (size - 1 - x)
        line = bits.to_bytes(size // 8, 'big')
        mask += line + b'\0' * (-len(line) % 4)
    return header + colour + mask


def icon_file(images, kind=1, hotspot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) file holding the given images."""
    data = [dib(p) for p in images]
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for pixels, d in zip(images, data):
        size = len(pixels)
        a, b = (1, 32) if kind == 1 else hotspot
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, a, b, len(d), offset)
        offset += len(d)
    return out + b''.join(data)


def chunk(tag, body):
    return tag + struct.pack('<I', len(body)) + body + (b'\0' if len(body) % 2 else b'')


def ani_file(frames, rate=10):
    anih = struct.pack('<9I', 36, len(frames), len(frames), 0, 0, 0, 0, rate, 1)  # AF_ICON
    fram = b'fram' + b''.join(chunk(b'icon', f) for f in frames)
    body = b'ACON' + chunk(b'anih', anih) + chunk(b'LIST', fram)
    return b'RIFF' + struct.pack('<I', len(body)) + body


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


write('red.ico', icon_file([square(16, RED, BLUE), square(32, RED, BLUE)]))
write('seven.ico', icon_file([stripes(16), stripes(32)]))
write('lime.cur', icon_file([square(32, LIME)], kind=2, hotspot=(1, 1)))
write('steps.ani', ani_file([icon_file([square(32, c)], kind=2, hotspot=(1, 1)) for c in (RED, LIME, BLUE)]))
