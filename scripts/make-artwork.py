#!/usr/bin/env python3
"""Draws Dorvane's artwork and writes it into src/win32/res/.

    python3 scripts/make-artwork.py [--preview DIR]

Writes Dorvane.ico (16, 20, 24, 32, 40, 48, 64 and 256 px), ToolImages.bmp
and ToolImages20, -24 and -32.bmp (the nine tool-bar images side by side at
16, 20, 24 and 32 px, 32-bit with alpha) and Splash.bmp (the
307 x 298 splash and about-box picture, 8-bit with a palette) and PickerImages16.bmp,
-20, -24 and -32.bmp (the icon picker's three source buttons side by side at
each size, 32-bit with alpha). With --preview it also writes
enlarged PNGs into DIR for looking at (never into the repository).

Everything is drawn here from geometry with the Python standard library only,
and the same script gives the same files on every run: change the drawing
here, run it, look at the previews, and commit the script together with the
files it wrote.

The renderer is small: every shape is a signed distance function (negative
inside), and a pixel's coverage is read off the distance at its centre, which
gives clean anti-aliased edges. Shapes on whole-pixel coordinates come out
crisp, which is what the 16-pixel images rely on.
"""

import argparse
import math
import os
import struct
import zlib

# --------------------------------------------------------------------------
# Colours

def rgb(hexstr, a=1.0):
    """'#rrggbb' to an (r, g, b, a) tuple of floats in 0..1."""
    h = hexstr.lstrip('#')
    return (int(h[0:2], 16) / 255.0, int(h[2:4], 16) / 255.0,
            int(h[4:6], 16) / 255.0, a)


def mix(c1, c2, t):
    return tuple(c1[i] + (c2[i] - c1[i]) * t for i in range(4))


def with_alpha(c, a):
    return (c[0], c[1], c[2], a)


# One palette for everything, light from the top left.
FRAME_DARK = rgb('#1b4479')      # outlines of blue frames
FRAME = rgb('#2c6bc0')           # window frame and title bar
FRAME_LIGHT = rgb('#5f9ee8')     # lit top of the title bar
FRAME_HI = rgb('#a9cdf6')        # highlights on blue
PAPER = rgb('#ffffff')
PAPER_SHADE = rgb('#e3ebf5')     # the bottom of a window's client area
INK = rgb('#33414f')             # neutral outline
STEEL = rgb('#8593a3')
STEEL_LIGHT = rgb('#c4ced9')
STEEL_DARK = rgb('#56626f')
LINE_GREY = rgb('#a7b3c0')

# The four tiles of the program's mark, and two more for the desktop icons.
TILE_CORAL = rgb('#ef6a3a')
TILE_TEAL = rgb('#17a398')
TILE_AMBER = rgb('#f5b324')
TILE_VIOLET = rgb('#8a5ad6')
TILE_GREEN = rgb('#52b043')
TILE_SKY = rgb('#2d9be0')
TILES = (TILE_CORAL, TILE_TEAL, TILE_AMBER, TILE_VIOLET)

FOLDER = rgb('#f3c04c')
FOLDER_LIGHT = rgb('#fbe19a')
FOLDER_DARK = rgb('#b9841b')
GOLD = rgb('#ebb531')
GOLD_LIGHT = rgb('#f9de8a')
GOLD_DARK = rgb('#9c6d0f')


def lighten(c, t):
    return mix(c, (1.0, 1.0, 1.0, c[3]), t)


def darken(c, t):
    return mix(c, (0.0, 0.0, 0.0, c[3]), t)


# --------------------------------------------------------------------------
# Shapes: a distance function and a bounding box

class Shape:
    def __init__(self, d, bbox):
        self.d = d
        self.bbox = bbox  # x0, y0, x1, y1

    def __or__(self, other):
        a, b = self.d, other.d
        return Shape(lambda x, y: min(a(x, y), b(x, y)),
                     _bbox_union(self.bbox, other.bbox))

    def __and__(self, other):
        a, b = self.d, other.d
        return Shape(lambda x, y: max(a(x, y), b(x, y)),
                     _bbox_intersect(self.bbox, other.bbox))

    def __sub__(self, other):
        a, b = self.d, other.d
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.bbox)

    def grow(self, r):
        a = self.d
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: a(x, y) - r, (x0 - r, y0 - r, x1 + r, y1 + r))

    def shifted(self, dx, dy):
        a = self.d
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: a(x - dx, y - dy),
                     (x0 + dx, y0 + dy, x1 + dx, y1 + dy))

    def outline(self, w):
        """A band of width w centred on the edge."""
        a = self.d
        x0, y0, x1, y1 = self.bbox
        h = w / 2.0
        return Shape(lambda x, y: abs(a(x, y)) - h, (x0 - h, y0 - h, x1 + h, y1 + h))

    def inner_band(self, w):
        """A band of width w just inside the edge."""
        a = self.d
        return Shape(lambda x, y: abs(a(x, y) + w / 2.0) - w / 2.0, self.bbox)


def _bbox_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def _bbox_intersect(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def rect(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0, (y1 - y0) / 2.0
    r = min(r, hx, hy)

    def d(x, y):
        qx = abs(x - cx) - hx + r
        qy = abs(y - cy) - hy + r
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return Shape(d, (x0, y0, x1, y1))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r,
                 (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    def d(x, y):
        px, py = (x - cx) / rx, (y - cy) / ry
        k0 = math.hypot(px, py)
        if k0 == 0.0:
            return -min(rx, ry)
        k1 = math.hypot(px / rx, py / ry)
        return k0 * (k0 - 1.0) / k1
    return Shape(d, (cx - rx, cy - ry, cx + rx, cy + ry))


def segment(x0, y0, x1, y1, w):
    """A stroke of width w with round caps."""
    vx, vy = x1 - x0, y1 - y0
    ll = vx * vx + vy * vy or 1e-9
    h = w / 2.0

    def d(x, y):
        px, py = x - x0, y - y0
        t = max(0.0, min(1.0, (px * vx + py * vy) / ll))
        return math.hypot(px - vx * t, py - vy * t) - h
    return Shape(d, (min(x0, x1) - h, min(y0, y1) - h, max(x0, x1) + h, max(y0, y1) + h))


def polygon(pts):
    n = len(pts)

    def d(x, y):
        best = float('inf')
        sign = 1.0
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            ee = ex * ex + ey * ey or 1e-9
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / ee))
            dx, dy = wx - ex * t, wy - ey * t
            best = min(best, dx * dx + dy * dy)
            c1 = y >= ay
            c2 = y < by
            c3 = ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
        return sign * math.sqrt(best)
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return Shape(d, (min(xs), min(ys), max(xs), max(ys)))


def rotated(shape, cx, cy, angle):
    """shape turned by angle (radians) about (cx, cy)."""
    c, s = math.cos(angle), math.sin(angle)
    a = shape.d
    x0, y0, x1, y1 = shape.bbox
    r = max(math.hypot(px - cx, py - cy) for px in (x0, x1) for py in (y0, y1))
    return Shape(lambda x, y: a(cx + (x - cx) * c + (y - cy) * s,
                                cy - (x - cx) * s + (y - cy) * c),
                 (cx - r, cy - r, cx + r, cy + r))


# --------------------------------------------------------------------------
# Paints: (x, y) -> colour

def _stops(stops):
    """Colours spread evenly, or (t, colour) pairs as given."""
    if len(stops[0]) == 4:
        n = len(stops)
        return tuple((i / (n - 1), c) for i, c in enumerate(stops))
    return stops


def linear(x0, y0, x1, y1, *stops):
    """Gradient along (x0,y0)-(x1,y1); stops are colours, or (t, colour)."""
    stops = _stops(stops)
    vx, vy = x1 - x0, y1 - y0
    ll = vx * vx + vy * vy or 1e-9

    def paint(x, y):
        t = ((x - x0) * vx + (y - y0) * vy) / ll
        return _at(stops, t)
    return paint


def radial(cx, cy, r, *stops):
    """Gradient outwards from (cx, cy), reaching the last stop at radius r."""
    stops = _stops(stops)

    def paint(x, y):
        return _at(stops, math.hypot(x - cx, y - cy) / r)
    return paint


def _at(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / ((t1 - t0) or 1e-9))
    return stops[-1][1]


# --------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats

class Canvas:
    def __init__(self, w, h, fill=(0.0, 0.0, 0.0, 0.0)):
        self.w, self.h = w, h
        r, g, b, a = fill
        self.px = [r * a, g * a, b * a, a] * (w * h)

    def fill(self, shape, paint, opacity=1.0, soft=1.0, clip=None):
        """Paints shape. soft is the width of the edge ramp in pixels: 1 for
        a clean anti-aliased edge, more for a blurred one (shadows, glows)."""
        if isinstance(paint, tuple):
            colour = paint
            paint = lambda x, y: colour
        h = soft / 2.0
        x0, y0, x1, y1 = shape.bbox
        ix0 = max(0, int(math.floor(x0 - h)))
        iy0 = max(0, int(math.floor(y0 - h)))
        ix1 = min(self.w, int(math.ceil(x1 + h)))
        iy1 = min(self.h, int(math.ceil(y1 + h)))
        d = shape.d
        cd = clip.d if clip is not None else None
        px = self.px
        for y in range(iy0, iy1):
            fy = y + 0.5
            row = y * self.w
            for x in range(ix0, ix1):
                fx = x + 0.5
                cov = 0.5 - d(fx, fy) / soft
                if cov <= 0.0:
                    continue
                if cov > 1.0:
                    cov = 1.0
                if cd is not None:
                    cc = 0.5 - cd(fx, fy)
                    if cc <= 0.0:
                        continue
                    if cc < 1.0:
                        cov *= cc
                r, g, b, a = paint(fx, fy)
                a *= cov * opacity
                if a <= 0.0:
                    continue
                i = (row + x) * 4
                k = 1.0 - a
                px[i] = r * a + px[i] * k
                px[i + 1] = g * a + px[i + 1] * k
                px[i + 2] = b * a + px[i + 2] * k
                px[i + 3] = a + px[i + 3] * k

    def box(self, x0, y0, x1, y1, paint):
        """Crisp fill of the whole pixels x0..x1-1, y0..y1-1."""
        self.fill(rect(x0, y0, x1, y1), paint)

    def dot(self, x, y, colour):
        """Replaces one pixel."""
        if 0 <= x < self.w and 0 <= y < self.h:
            r, g, b, a = colour
            i = (y * self.w + x) * 4
            self.px[i:i + 4] = [r * a, g * a, b * a, a]

    def blit(self, other, dx, dy):
        """other over self at (dx, dy)."""
        for y in range(other.h):
            for x in range(other.w):
                tx, ty = x + dx, y + dy
                if not (0 <= tx < self.w and 0 <= ty < self.h):
                    continue
                j = (y * other.w + x) * 4
                i = (ty * self.w + tx) * 4
                a = other.px[j + 3]
                k = 1.0 - a
                for c in range(4):
                    self.px[i + c] = other.px[j + c] + self.px[i + c] * k

    def rgba8(self):
        """Rows top to bottom of straight-alpha (r, g, b, a) byte tuples."""
        out = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                i = (y * self.w + x) * 4
                a = self.px[i + 3]
                if a <= 0.0:
                    row.append((0, 0, 0, 0))
                    continue
                a = min(a, 1.0)
                row.append(tuple(_byte(self.px[i + c] / a) for c in range(3)) + (_byte(a),))
            out.append(row)
        return out


def _byte(v):
    return max(0, min(255, int(v * 255.0 + 0.5)))


# --------------------------------------------------------------------------
# File formats

def png_bytes(rows):
    """8-bit RGBA PNG of rows of (r, g, b, a)."""
    h = len(rows)
    w = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for p in row:
            raw.extend(p)

    def chunk(tag, data):
        body = tag + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))


def dib32(rows, with_mask):
    """BITMAPINFOHEADER + bottom-up BGRA pixels (+ the AND mask of an icon
    image, whose header then states twice the height)."""
    h = len(rows)
    w = len(rows[0])
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels.extend((b, g, r, a))
    mask = bytearray()
    if with_mask:
        stride = ((w + 31) // 32) * 4
        for row in reversed(rows):
            line = bytearray(stride)
            for x, p in enumerate(row):
                if p[3] == 0:
                    line[x // 8] |= 0x80 >> (x % 8)
            mask.extend(line)
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2 if with_mask else h, 1, 32, 0,
                         len(pixels) + len(mask), 2835, 2835, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def bmp32_bytes(rows):
    """A 32-bit BI_RGB .bmp whose fourth byte is straight (not premultiplied)
    alpha: what a 32-bit image list expects from ImageList_Add."""
    dib = dib32(rows, with_mask=False)
    return struct.pack('<2sIHHI', b'BM', 14 + len(dib), 0, 0, 14 + 40) + dib


def quantize(rows, colours=256, rounds=6):
    """A palette of at most `colours` entries for rows of (r, g, b, a) and
    each pixel's entry in it. Median cut by weighted variance, then a few
    rounds of k-means over the distinct colours, so that the large soft
    areas (the wall's gradient) get the entries they need and do not band.
    The bottom-left pixel, the transparent colour of a picture shown
    transparent (unique_corner made it unlike any other), keeps an entry of
    its own that no other pixel uses."""
    corner = rows[-1][0][:3]
    counts = {}
    for y, row in enumerate(rows):
        for x, p in enumerate(row):
            if (x, y) != (0, len(rows) - 1):
                counts[p[:3]] = counts.get(p[:3], 0) + 1
    # Weighing a colour by the root of its pixel count keeps entries for the
    # small saturated parts (the lamp, the window buttons) too.
    counts = {c: n ** 0.5 for c, n in counts.items()}
    colours_list = sorted(counts)

    def spread(box):
        best = None
        for axis in range(3):
            n = sum(counts[c] for c in box)
            mean = sum(c[axis] * counts[c] for c in box) / n
            sse = sum((c[axis] - mean) ** 2 * counts[c] for c in box)
            if best is None or sse > best[0]:
                best = (sse, axis)
        return best
    boxes = [(spread(colours_list), colours_list)]
    while len(boxes) < colours - 1:
        boxes.sort(key=lambda b: b[0][0])
        (sse, axis), box = boxes[-1]
        if sse <= 0 or len(box) < 2:
            break
        boxes.pop()
        box = sorted(box, key=lambda c: c[axis])
        half = sum(counts[c] for c in box) / 2
        acc = 0
        cut = 1
        for i, c in enumerate(box[:-1]):
            acc += counts[c]
            if acc >= half:
                cut = i + 1
                break
        for part in (box[:cut], box[cut:]):
            boxes.append((spread(part), part))

    def centre(members):
        n = sum(counts[c] for c in members)
        return tuple(sum(c[k] * counts[c] for c in members) / n for k in range(3))
    centres = [centre(b) for _, b in boxes]

    def nearest(c):
        return min(range(len(centres)),
                   key=lambda i: (c[0] - centres[i][0]) ** 2 + (c[1] - centres[i][1]) ** 2
                   + (c[2] - centres[i][2]) ** 2)
    for _ in range(rounds):
        groups = [[] for _ in centres]
        for c in colours_list:
            groups[nearest(c)].append(c)
        centres = [centre(g) if g else centres[i] for i, g in enumerate(groups)]
    palette = [tuple(int(v + 0.5) for v in c) for c in centres]
    # The corner's own entry, a colour no other entry has.
    r, g, b = corner
    while (r, g, b) in palette:
        r = r - 1 if r > 0 else 255
    palette.append((r, g, b))
    return palette, diffuse(rows, palette)


def diffuse(rows, palette):
    """Each pixel's palette entry, with Floyd-Steinberg error diffusion: 256
    colours cannot follow a soft gradient step by step, and without it the
    wall shows contour lines. Colours the palette holds exactly stay as they
    are. The bottom-left pixel takes the last entry, its own."""
    h = len(rows)
    w = len(rows[0])
    last = len(palette) - 1
    found = {}

    def nearest(c):
        if c not in found:
            found[c] = min(range(last), key=lambda i: (c[0] - palette[i][0]) ** 2 + (c[1] - palette[i][1]) ** 2
                           + (c[2] - palette[i][2]) ** 2)
        return found[c]
    error = [[0.0] * (3 * (w + 2)) for _ in range(2)]
    indices = []
    for y in range(h):
        here, below = error[y % 2], error[(y + 1) % 2]
        for k in range(len(below)):
            below[k] = 0.0
        line = []
        for x in range(w):
            if (x, y) == (0, h - 1):
                line.append(last)
                continue
            want = [rows[y][x][k] + here[3 * (x + 1) + k] for k in range(3)]
            i = nearest(tuple(max(0, min(255, int(v + 0.5))) for v in want))
            line.append(i)
            for k in range(3):
                # Three quarters of the error, at most 16 a channel: the
                # full error scatters odd-coloured dots around small bright
                # parts that the palette has few entries for.
                e = max(-16, min(16, want[k] - palette[i][k])) * 0.75
                here[3 * (x + 2) + k] += e * 7 / 16
                below[3 * x + k] += e * 3 / 16
                below[3 * (x + 1) + k] += e * 5 / 16
                below[3 * (x + 2) + k] += e * 1 / 16
        indices.append(line)
    return indices


def rle8_line(line):
    """One row in BI_RLE8: runs as (count, index), other stretches of three
    or more pixels in absolute mode (0, count, indices, padded to a word)."""
    out = bytearray()
    x = 0
    n = len(line)

    def run_at(i):
        j = i
        while j < n and j - i < 255 and line[j] == line[i]:
            j += 1
        return j - i
    while x < n:
        run = run_at(x)
        if run >= 3 or n - x < 3:
            out += bytes((run, line[x]))
            x += run
            continue
        start = x
        while x < n and x - start < 255 and run_at(x) < 3:
            x += 1
        literal = line[start:x]
        if len(literal) < 3:
            for v in literal:
                out += bytes((1, v))
        else:
            out += bytes((0, len(literal))) + bytes(literal)
            if len(literal) % 2:
                out.append(0)
    return bytes(out + b'\0\0')


def bmp8_bytes(rows):
    """An 8-bit palette .bmp, BI_RLE8-compressed where that is smaller: a
    third of the 24-bit file's size, or much less for even areas."""
    palette, indices = quantize(rows)
    h = len(rows)
    w = len(rows[0])
    stride = (w + 3) & ~3
    plain = b''.join(bytes(line) + b'\0' * (stride - w) for line in reversed(indices))
    packed = b''.join(rle8_line(line) for line in reversed(indices))[:-2] + b'\0\1'
    compression, pixels = (1, packed) if len(packed) < len(plain) else (0, plain)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, compression, len(pixels), 2835, 2835, len(palette), 0)
    offset = 14 + 40 + len(table)
    return struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset) + header + table + pixels


def ico_bytes(images):
    """images: rows of each size, smallest first. From 40 pixels on they are
    stored as PNG (Vista and later read it; a third of the bytes of a DIB),
    the small ones as 32-bit DIBs with a mask."""
    blobs = []
    for rows in images:
        size = len(rows)
        blobs.append(png_bytes(rows) if size >= 40 else dib32(rows, with_mask=True))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, blob in zip(images, blobs):
        size = len(rows)
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


# --------------------------------------------------------------------------
# The 16 x 16 tool-bar images

def small_window(c, x0, y0, x1, y1):
    """A window: dark blue outline, two-row title bar, white client area."""
    c.box(x0, y0, x1, y1, FRAME_DARK)
    c.box(x0 + 1, y0 + 1, x1 - 1, y0 + 3, linear(0, y0 + 1, 0, y0 + 3, FRAME_LIGHT, FRAME))
    # a glint on the title bar where the caption buttons sit
    c.box(x1 - 3, y0 + 1, x1 - 2, y0 + 2, FRAME_HI)
    c.box(x0 + 1, y0 + 3, x1 - 1, y1 - 1, linear(0, y0 + 3, 0, y1 - 1, PAPER, PAPER_SHADE))


def icon_tile(c, x0, y0, w, h, colour):
    """A small coloured tile with a lit top-left edge."""
    c.box(x0, y0, x0 + w, y0 + h, colour)
    c.box(x0, y0, x0 + w, y0 + 1, lighten(colour, 0.35))
    c.box(x0, y0 + 1, x0 + 1, y0 + h, lighten(colour, 0.18))
    c.box(x0 + 1, y0 + h - 1, x0 + w, y0 + h, darken(colour, 0.18))


def tool_empty_window(c):
    small_window(c, 0, 1, 16, 15)


def tool_window_icons(c):
    small_window(c, 0, 1, 16, 15)
    colours = (TILE_CORAL, TILE_TEAL, TILE_AMBER, TILE_VIOLET, TILE_GREEN, TILE_SKY)
    for i, colour in enumerate(colours):
        col, line = i % 3, i // 3
        icon_tile(c, 2 + col * 4, 5 + line * 4, 3, 3, colour)


def pixmap(c, x0, y0, rows, palette):
    """Hand-placed pixels: one character a pixel, '.' leaves it alone."""
    for y, line in enumerate(rows):
        for x, ch in enumerate(line):
            if ch != '.':
                c.dot(x0 + x, y0 + y, palette[ch])


def tool_settings(c):
    small_window(c, 0, 1, 16, 15)
    # a ticked box with its label, and a slider
    pixmap(c, 2, 5, (
        'oooo.',
        'oggo.',
        'oggo.',
        'oooo.',
    ), {'o': STEEL_DARK, 'g': TILE_GREEN})
    c.box(7, 6, 14, 7, LINE_GREY)
    c.box(7, 7, 11, 8, LINE_GREY)
    c.box(2, 11, 14, 12, LINE_GREY)
    c.box(2, 11, 8, 12, FRAME_LIGHT)
    pixmap(c, 8, 9, (
        'oho',
        'ohb',
        'obb',
        'obb',
        '.o.',
    ), {'o': FRAME_DARK, 'h': FRAME_HI, 'b': FRAME})


def tool_folder_search(c):
    pixmap(c, 0, 2, (
        '.dddddd.......',
        'dTTTTTTddddddd',
        'dBBBBBBBBBBBBd',
        'dBBBBBBBBBBBBd',
        'dddddddddddddd',
        'dHHHHHHHHHHHHd',
        'dLLLLLLLLLLLLd',
        'dLLLLLLLLLLLLd',
        'dFFFFFFFFFFFFd',
        'dFFFFFFFFFFFFd',
        'dGGGGGGGGGGGGd',
        'dddddddddddddd',
    ), {'d': FOLDER_DARK, 'T': FOLDER, 'B': darken(FOLDER, 0.12), 'H': lighten(FOLDER_LIGHT, 0.5),
        'L': FOLDER_LIGHT, 'F': mix(FOLDER_LIGHT, FOLDER, 0.5), 'G': FOLDER})
    # the magnifying glass over it, its handle reaching out of the corner
    c.fill(segment(12.3, 11.3, 14.6, 13.6, 2.6), INK)
    pixmap(c, 6, 4, (
        '.aqkkqa.',
        'akwwggka',
        'qwwggge' + 'q',
        'kwggggek',
        'kggggeek',
        'qgggeeeq',
        'akeeeeka',
        '.aqkkqa.',
    ), {'k': INK, 'q': mix(INK, rgb('#8cc3ec'), 0.25), 'a': with_alpha(INK, 0.45),
        'w': rgb('#ffffff'), 'g': rgb('#cfe8fb'), 'e': rgb('#8cc3ec')})


def tool_monitor(c):
    c.box(0, 1, 16, 12, INK)
    for x, y in ((0, 1), (15, 1), (0, 11), (15, 11)):
        c.dot(x, y, with_alpha(INK, 0.45))
    c.box(1, 2, 15, 11, linear(1, 2, 12, 12, rgb('#8fcbff'), rgb('#3b8ee0'), rgb('#245fae')))
    # a lit pane across the glass
    c.fill(polygon([(1, 2), (9, 2), (4, 11), (1, 11)]), with_alpha(PAPER, 0.18),
           clip=rect(1, 2, 15, 11))
    c.box(6, 12, 10, 13, STEEL_DARK)
    c.box(3, 13, 13, 14, STEEL_LIGHT)
    c.box(3, 14, 13, 15, STEEL)


def tool_information(c):
    c.fill(circle(8, 8, 7.5), rgb('#1d4f93'))
    c.fill(circle(8, 8, 6.5), radial(5.5, 4.5, 10, rgb('#7db6f2'), rgb('#3b80d6'), rgb('#245fae')))
    c.box(7, 3, 9, 5, PAPER)
    c.box(6, 6, 9, 7, PAPER)
    c.box(7, 7, 9, 12, PAPER)
    c.box(6, 12, 10, 13, PAPER)


def tool_two_windows(c):
    small_window(c, 0, 0, 11, 10)
    c.box(1, 3, 10, 9, linear(0, 3, 0, 9, rgb('#eef3fa'), rgb('#d7e1ee')))
    small_window(c, 5, 5, 16, 15)


def tool_padlock(c):
    pixmap(c, 0, 0, (
        '................',
        '....qssssssq....',
        '...qslllllmsq...',
        '...sllssssmms...',
        '...slls..smms...',
        '...slls..smms...',
        '...slls..smms...',
        '.z' + 'o' * 12 + 'z.',
        '.oHHHHHHHHHHHHo.',
        '.oGGGGakkaGGGGo.',
        '.oGGGGkkkkGGGGo.',
        '.oGGGGakkaGGGGo.',
        '.oDDDDDkkDDDDDo.',
        '.oDDDDDDDDDDDDo.',
        '.z' + 'o' * 12 + 'z.',
        '................',
    ), {'s': STEEL_DARK, 'l': STEEL_LIGHT, 'm': STEEL, 'o': GOLD_DARK,
        'z': with_alpha(GOLD_DARK, 0.5), 'H': GOLD_LIGHT, 'G': GOLD,
        'D': darken(GOLD, 0.1), 'k': rgb('#4a3306'), 'a': mix(rgb('#4a3306'), GOLD, 0.55),
        'q': with_alpha(STEEL_DARK, 0.4)})


def tool_tiles(c):
    """The program's mark: a blue-framed window of four tiles."""
    c.box(0, 0, 16, 16, FRAME_DARK)
    c.box(1, 1, 15, 15, FRAME)
    c.box(1, 1, 15, 3, linear(0, 1, 0, 3, FRAME_LIGHT, FRAME))
    c.dot(13, 1, FRAME_HI)
    for i, colour in enumerate(TILES):
        col, line = i % 2, i // 2
        x0 = 2 + col * 7
        y0 = 3 + line * 7
        c.box(x0, y0, x0 + 5, y0 + 5, colour)
        c.box(x0, y0, x0 + 5, y0 + 1, lighten(colour, 0.4))
        c.box(x0, y0 + 1, x0 + 1, y0 + 5, lighten(colour, 0.2))


class Scaled:
    """A canvas seen through a 16-unit grid: the 16-pixel drawings of the
    tool images are drawn again at another size rather than stretched.
    Whole units land on whole pixels (rounded), so boxes and hand-placed
    pixels stay crisp; shapes and gradients are scaled exactly."""

    def __init__(self, canvas, s):
        self.c, self.s = canvas, s
        self.w, self.h = canvas.w, canvas.h

    def _px(self, v):
        return int(round(v * self.s))

    def _shape(self, shape):
        s, d = self.s, shape.d
        x0, y0, x1, y1 = shape.bbox
        return Shape(lambda x, y: d(x / s, y / s) * s, (x0 * s, y0 * s, x1 * s, y1 * s))

    def _paint(self, paint):
        if isinstance(paint, tuple):
            return paint
        s = self.s
        return lambda x, y: paint(x / s, y / s)

    def fill(self, shape, paint, opacity=1.0, soft=1.0, clip=None):
        self.c.fill(self._shape(shape), self._paint(paint), opacity, soft,
                    None if clip is None else self._shape(clip))

    def box(self, x0, y0, x1, y1, paint):
        self.c.box(self._px(x0), self._px(y0), self._px(x1), self._px(y1), self._paint(paint))

    def dot(self, x, y, colour):
        x0, y0, x1, y1 = self._px(x), self._px(y), self._px(x + 1), self._px(y + 1)
        for py in range(y0, y1):
            for px in range(x0, x1):
                self.c.dot(px, py, colour)


TOOL_SIZES = (16, 20, 24, 32)

TOOL_IMAGES = (
    tool_empty_window,     # 0 the desktop toggle while the desktop icons show
    tool_window_icons,     # 1 ... while they are hidden
    tool_settings,         # 2 configuration
    tool_folder_search,    # 3 Explorer
    tool_monitor,          # 4 screen saver
    tool_information,      # 5 about
    tool_two_windows,      # 6 restore
    tool_padlock,          # 7 lock workstation
    tool_tiles,            # 8 the tray icon
)


def tool_strip(size=16):
    strip = Canvas(size * len(TOOL_IMAGES), size)
    for i, draw in enumerate(TOOL_IMAGES):
        c = Canvas(size, size)
        draw(c if size == 16 else Scaled(c, size / 16.0))
        strip.blit(c, size * i, 0)
    return strip


# --------------------------------------------------------------------------
# The program icon

# Per size: the window's rectangle, its corner radius, the frame's width at
# the sides, above the tiles (the title bar) and below them, the gap between
# the tiles, and the tiles' corner radius. Whole pixels up to 48 so that the
# edges stay sharp; the 256 image is a drawing and may fall between pixels.
ICON_LAYOUT = {
    20: ((0, 0, 20, 20), 1.0, 2, 4, 2, 2, 0.0),
    24: ((0, 0, 24, 24), 1.0, 2, 5, 2, 2, 0.0),
    32: ((0, 0, 32, 32), 1.5, 3, 6, 3, 2, 1.0),
    40: ((1, 1, 39, 39), 2.0, 3, 7, 3, 2, 1.2),
    48: ((2, 2, 46, 45), 3.0, 3, 8, 3, 2, 1.5),
    64: ((3, 3, 61, 60), 4.0, 4, 11, 4, 3, 2.0),
    256: ((12, 14, 244, 234), 18.0, 13, 40, 13, 12, 9.0),
}


def program_icon(size):
    c = Canvas(size, size)
    if size == 16:
        tool_tiles(c)
        return c
    (x0, y0, x1, y1), radius, side, top, bottom, gap, tile_r = ICON_LAYOUT[size]
    u = size / 32.0
    if size >= 48:
        # a soft shadow under the window
        c.fill(rect(x0 + 0.5 * u, y0 + 1.2 * u, x1 - 0.5 * u, y1 + 1.0 * u, radius),
               rgb('#0a1f3d', 0.5), soft=1.8 * u)
    window = rect(x0, y0, x1, y1, radius)
    c.fill(window, FRAME_DARK)
    edge = 1.0 if size < 256 else 4.0
    c.fill(window.grow(-edge), linear(0, y0, 0, y1, FRAME, darken(FRAME, 0.1)))
    # the title bar, lit from above
    c.fill(rect(x0 + edge, y0 + edge, x1 - edge, y0 + top - (1 if size < 256 else 4), radius - edge),
           linear(0, y0, 0, y0 + top, lighten(FRAME_LIGHT, 0.1), FRAME))
    if size >= 48:
        c.fill(rect(x0 + edge + radius * 0.5, y0 + edge, x1 - edge - radius * 0.5,
                    y0 + edge + max(1.0, 0.5 * u)), rgb('#ffffff', 0.35))
    # caption buttons
    bw = max(1, round(2.0 * u))
    for k in range(1 if size < 32 else 2):
        bx = x1 - side - bw - k * (bw + max(1, round(1.2 * u)))
        by = y0 + (top - bw) // 2 if size < 256 else y0 + (top - bw) / 2.0
        c.fill(rect(bx, by, bx + bw, by + bw, 0.0 if size < 48 else 0.35 * u),
               rgb('#ffffff', 0.85) if k == 0 else with_alpha(FRAME_HI, 0.9))
    # the four tiles
    tw = (x1 - x0 - 2 * side - gap) / 2.0
    th = (y1 - y0 - top - bottom - gap) / 2.0
    for i, colour in enumerate(TILES):
        col, line = i % 2, i // 2
        tx = x0 + side + col * (tw + gap)
        ty = y0 + top + line * (th + gap)
        tile = rect(tx, ty, tx + tw, ty + th, tile_r)
        c.fill(tile, linear(0, ty, 0, ty + th, lighten(colour, 0.22), colour, darken(colour, 0.06)))
        band = 1.0 if size < 256 else 3.0
        # lit top edge, shaded bottom edge
        c.fill(tile.inner_band(band), with_alpha(lighten(colour, 0.55), 0.9),
               clip=rect(tx, ty, tx + tw, ty + th * 0.35))
        c.fill(tile.inner_band(band), with_alpha(darken(colour, 0.28), 0.8),
               clip=rect(tx, ty + th * 0.65, tx + tw, ty + th))
    if size >= 48:
        program_pointer(c, x0 + side + tw + gap + tw * 0.45, y0 + top + th + gap + th * 0.4, u)
    return c


def program_pointer(c, x, y, u):
    """The mouse pointer pressing a tile: what the program is for."""
    k = u * 0.62
    arrow = polygon([(x, y), (x, y + 15 * k), (x + 3.7 * k, y + 11.6 * k),
                     (x + 6.4 * k, y + 17.2 * k), (x + 8.9 * k, y + 16.1 * k),
                     (x + 6.3 * k, y + 10.7 * k), (x + 11.2 * k, y + 10.7 * k)])
    c.fill(arrow.shifted(0.6 * u, 0.9 * u), rgb('#000000', 0.35), soft=1.2 * u)
    c.fill(arrow.grow(0.7 * k), rgb('#15202c'))
    c.fill(arrow.grow(-0.45 * k), linear(x, y, x + 8 * k, y + 16 * k, rgb('#ffffff'), rgb('#e4e9ef')))


ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


# --------------------------------------------------------------------------
# The splash and about-box picture: a workstation with Dorvane on its screen

def splash():
    W, H = 307, 298
    c = Canvas(W, H, rgb('#ffffff'))
    # the room: a deep blue wall that brightens towards the desk lamp
    c.fill(rect(0, 0, W, H), linear(0, 0, 0, 215, rgb('#16294d'), rgb('#2a5596'), rgb('#4f86c9')))
    c.fill(circle(250, 40, 150), radial(250, 40, 150, rgb('#ffffff', 0.22), rgb('#ffffff', 0.0)))
    # soft light discs for depth
    for (x, y, r, a) in ((40, 50, 34, 0.07), (90, 22, 18, 0.06), (280, 150, 40, 0.05),
                         (18, 150, 22, 0.05), (200, 18, 12, 0.08), (150, 70, 60, 0.04)):
        c.fill(circle(x, y, r), rgb('#cfe4ff', a), soft=6)
    # two more workstations further back, out of focus: a shared room
    for bx, by, bw, bh in ((-30, 92, 70, 50), (262, 96, 72, 50)):
        c.fill(rect(bx, by, bx + bw, by + bh, 4), rgb('#0f1d36', 0.55), soft=3)
        c.fill(rect(bx + 4, by + 4, bx + bw - 4, by + bh - 4, 2),
               linear(bx, by, bx + bw, by + bh, rgb('#6fb0f0', 0.45), rgb('#2c6bc0', 0.35)), soft=3)
        c.fill(rect(bx + bw / 2 - 5, by + bh, bx + bw / 2 + 5, by + bh + 16), rgb('#0f1d36', 0.5), soft=3)
    # the back desk line
    c.fill(rect(-5, 160, W + 5, 168), rgb('#0f1d36', 0.35), soft=4)

    # the desk
    desk_top = 214
    c.fill(polygon([(-10, desk_top), (W + 10, desk_top), (W + 10, H + 1), (-10, H + 1)]),
           linear(0, desk_top, 0, H, rgb('#d9b894'), rgb('#c49a6c'), rgb('#a87c50')))
    c.fill(rect(-10, desk_top - 1, W + 10, desk_top + 2), rgb('#f1dcc2'))
    # faint grain
    for k, (y, a) in enumerate(((228, 0.10), (243, 0.08), (262, 0.09), (281, 0.07))):
        c.fill(segment(-5, y, W + 5, y + (2 if k % 2 else -2), 1.2), rgb('#8a5f36', a), soft=1.5)
    # shadow of the monitor and things on the desk
    c.fill(ellipse(153, desk_top + 12, 92, 9), rgb('#3b2612', 0.28), soft=8)

    # potted plant, left
    pot = polygon([(22, 190), (52, 190), (48, desk_top + 4), (26, desk_top + 4)])
    for k, (ang, ln, wd, col) in enumerate((
            (-0.9, 42, 9, '#2e8b57'), (-0.35, 50, 10, '#3aa866'), (0.25, 46, 9, '#2f9a5c'),
            (0.8, 38, 8, '#47b874'), (-1.35, 30, 7, '#3aa866'), (1.25, 30, 7, '#2e8b57'))):
        bx, by = 37, 190
        ex, ey = bx + math.sin(ang) * ln, by - math.cos(ang) * ln
        leaf = rotated(ellipse((bx + ex) / 2, (by + ey) / 2 - 0 * k, wd / 2, ln / 2),
                       (bx + ex) / 2, (by + ey) / 2, ang)
        c.fill(leaf, linear(bx, by, ex, ey, darken(rgb(col), 0.25), rgb(col), lighten(rgb(col), 0.25)))
        c.fill(segment(bx, by, bx + (ex - bx) * 0.85, by + (ey - by) * 0.85, 0.8),
               rgb('#1f5e3a', 0.6))
    c.fill(pot, linear(22, 0, 52, 0, rgb('#f7f3ee'), rgb('#e2d9cf'), rgb('#bfb3a6')))
    c.fill(rect(20, 187, 54, 193, 1.5), linear(0, 187, 0, 193, rgb('#ffffff'), rgb('#d8cec3')))

    # the monitor
    mx0, my0, mx1, my1 = 58, 44, 250, 172
    # stand
    c.fill(polygon([(143, my1 - 4), (165, my1 - 4), (170, desk_top + 4), (138, desk_top + 4)]),
           linear(138, 0, 170, 0, rgb('#a9b4c0'), rgb('#6d7a88')))
    c.fill(ellipse(154, desk_top + 6, 36, 5.5), linear(118, 0, 190, 0, rgb('#c8d1db'), rgb('#7c8896')))
    c.fill(ellipse(154, desk_top + 4.5, 34, 4), rgb('#dfe5ec'))
    c.fill(rect(mx0 + 3, my0 + 5, mx1 + 3, my1 + 5, 8), rgb('#06101f', 0.5), soft=10)
    c.fill(rect(mx0, my0, mx1, my1, 8), linear(0, my0, 0, my1, rgb('#3b4552'), rgb('#1d242c')))
    c.fill(rect(mx0 + 1, my0 + 1, mx1 - 1, my0 + 3, 6), rgb('#ffffff', 0.12))
    c.fill(circle((mx0 + mx1) / 2, my1 - 4.5, 1.6), rgb('#7ee0a0'))
    sx0, sy0, sx1, sy1 = mx0 + 7, my0 + 7, mx1 - 7, my1 - 10
    screen = rect(sx0, sy0, sx1, sy1, 2)
    c.fill(screen, linear(sx0, sy0, sx1, sy1, rgb('#7fd0e6'), rgb('#3d8fd8'), rgb('#3a4fb0')))
    # wallpaper: soft hills
    c.fill(ellipse(100, sy1 + 30, 120, 55), rgb('#ffffff', 0.12), clip=screen)
    c.fill(ellipse(230, sy1 + 40, 110, 58), rgb('#ffffff', 0.10), clip=screen)

    # Dorvane's window on the screen: caption, tabs, a row of program
    # buttons and the bottom bar
    wx0, wy0, wx1, wy1 = 80, 66, 228, 146
    c.fill(rect(wx0 + 2, wy0 + 3, wx1 + 2, wy1 + 4, 3), rgb('#0a1f3d', 0.45), soft=6, clip=screen)
    win = rect(wx0, wy0, wx1, wy1, 3)
    c.fill(win, FRAME_DARK)
    c.fill(win.grow(-1), linear(0, wy0, 0, wy0 + 14, FRAME_LIGHT, FRAME))
    for k in range(3):
        bx = wx1 - 8 - k * 8
        c.fill(rect(bx - 3, wy0 + 4, bx + 3, wy0 + 9, 1),
               rgb('#e8505b') if k == 0 else with_alpha(FRAME_HI, 0.9))
    c.fill(rect(wx0 + 5, wy0 + 5, wx0 + 10, wy0 + 10, 1), PAPER)
    c.fill(rect(wx0 + 13, wy0 + 6, wx0 + 44, wy0 + 9, 1.5), rgb('#ffffff', 0.75))
    body = rect(wx0 + 2, wy0 + 14, wx1 - 2, wy1 - 2, 1.5)
    c.fill(body, rgb('#eef1f5'))
    # tabs
    tabs_y = wy0 + 16
    for k, tw in enumerate((26, 22, 30)):
        tx = wx0 + 5 + sum((26, 22, 30)[:k]) + k * 2
        active = k == 0
        tab = rect(tx, tabs_y - (1 if active else 0), tx + tw, tabs_y + 11, 2)
        c.fill(tab, PAPER if active else rgb('#dde3ea'))
        c.fill(tab.outline(1), rgb('#9aa8b8'), clip=rect(tx - 2, tabs_y - 3, tx + tw + 2, tabs_y + 9))
        c.fill(rect(tx + 5, tabs_y + 3, tx + tw - 5, tabs_y + 5.5, 1),
               rgb('#58687a') if active else rgb('#9aa8b8'))
    page = rect(wx0 + 4, tabs_y + 9, wx1 - 4, wy1 - 16, 1)
    c.fill(page, PAPER)
    c.fill(page.outline(1), rgb('#9aa8b8'))
    c.fill(rect(wx0 + 6, tabs_y + 8, wx0 + 5 + 26 - 1, tabs_y + 10), PAPER)
    # program buttons, each with its own picture
    by0 = tabs_y + 14
    bsz = 24
    glyphs = ('disc', 'doc', 'chart', 'globe', 'pencil')
    cols = (TILE_CORAL, TILE_SKY, TILE_GREEN, TILE_VIOLET, TILE_AMBER)
    for k in range(5):
        bx = wx0 + 9 + k * (bsz + 3)
        btn = rect(bx, by0, bx + bsz, by0 + bsz, 3)
        pressed = k == 1
        c.fill(btn.shifted(0, 1), rgb('#0a1f3d', 0.18))
        c.fill(btn, linear(0, by0, 0, by0 + bsz, rgb('#ffffff'), rgb('#e6ebf1')) if not pressed
               else linear(0, by0, 0, by0 + bsz, rgb('#d6e6fa'), rgb('#bcd5f4')))
        c.fill(btn.outline(1), rgb('#a9b6c5') if not pressed else rgb('#5f9ee8'))
        _button_glyph(c, glyphs[k], bx + bsz / 2.0, by0 + bsz / 2.0, cols[k])
    # the bottom bar with its tool buttons and slider
    bar_y = wy1 - 13
    for k in range(4):
        c.fill(rect(wx0 + 6 + k * 9, bar_y + 2, wx0 + 13 + k * 9, bar_y + 9, 1.5),
               (FRAME, TILE_AMBER, STEEL, FRAME_LIGHT)[k])
    c.fill(rect(wx0 + 52, bar_y + 5, wx1 - 30, bar_y + 6.5, 0.7), rgb('#9aa8b8'))
    c.fill(rect(wx0 + 78, bar_y + 1.5, wx0 + 82, bar_y + 10, 1), FRAME)
    for k in range(2):
        c.fill(rect(wx1 - 24 + k * 10, bar_y + 2, wx1 - 17 + k * 10, bar_y + 9, 1.5),
               (STEEL_DARK, GOLD)[k])

    # the mouse pointer on the pressed button
    px0, py0 = wx0 + 9 + 1 * 27 + 15, by0 + 15
    arrow = polygon([(px0, py0), (px0, py0 + 15), (px0 + 3.6, py0 + 11.4),
                     (px0 + 6.2, py0 + 17), (px0 + 8.6, py0 + 16), (px0 + 6.1, py0 + 10.6),
                     (px0 + 11, py0 + 10.6)])
    c.fill(arrow.shifted(1, 1.5), rgb('#000000', 0.3), soft=2)
    c.fill(arrow.grow(0.5), rgb('#111111'))
    c.fill(arrow.grow(-0.7), PAPER)
    # glass reflection over the whole screen
    c.fill(polygon([(sx0, sy0), (sx0 + 95, sy0), (sx0 + 35, sy1), (sx0, sy1)]),
           linear(sx0, sy0, sx0 + 80, sy1, rgb('#ffffff', 0.10), rgb('#ffffff', 0.02)), clip=screen)

    # desk lamp, right, its shade turned towards the desk
    bx, by = 280, desk_top + 3
    ex, ey = 295, 150
    hx, hy = 266, 106
    c.fill(ellipse(bx, by + 4, 22, 4.5), rgb('#3b2612', 0.25), soft=4)
    c.fill(polygon([(hx - 10, hy + 16), (hx - 52, desk_top - 2), (hx + 30, desk_top - 2), (hx + 8, hy + 16)]),
           linear(0, hy, 0, desk_top, rgb('#fff4c8', 0.22), rgb('#fff4c8', 0.0)), soft=10)
    c.fill(ellipse(bx - 22, desk_top + 8, 40, 7), rgb('#fff4c8', 0.18), soft=8)
    c.fill(ellipse(bx, by, 18, 5), linear(bx - 18, 0, bx + 18, 0, rgb('#6d7a88'), rgb('#2f3945')))
    c.fill(ellipse(bx, by - 1.5, 16, 3.5), rgb('#7d8a98'))
    c.fill(segment(bx, by - 2, ex, ey, 4), linear(bx - 6, 0, ex + 4, 0, rgb('#7d8a98'), rgb('#3a4552')))
    c.fill(segment(ex, ey, hx, hy, 4), linear(hx, 0, ex + 4, 0, rgb('#7d8a98'), rgb('#3a4552')))
    c.fill(circle(ex, ey, 4.5), rgb('#2f3945'))
    c.fill(circle(ex - 1, ey - 1, 1.6), rgb('#8e9aa8'))
    shade = rotated(polygon([(hx - 6, hy - 9), (hx + 6, hy - 9), (hx + 15, hy + 13), (hx - 15, hy + 13)]),
                    hx, hy, 0.5)
    c.fill(shade, linear(hx - 15, hy - 10, hx + 15, hy + 10, rgb('#f79a68'), rgb('#e0602f'), rgb('#b8461f')))
    c.fill(rotated(ellipse(hx, hy + 13, 15, 3.2), hx, hy, 0.5), rgb('#fff3c4'))
    c.fill(circle(hx, hy - 5, 3.2), rgb('#2f3945'))

    # keyboard and mouse on the desk
    kx0, ky0, kx1, ky1 = 96, 236, 214, 262
    kb = polygon([(kx0 + 8, ky0), (kx1 - 8, ky0), (kx1, ky1), (kx0, ky1)])
    c.fill(kb.shifted(0, 4), rgb('#3b2612', 0.3), soft=5)
    c.fill(kb.grow(0.5), rgb('#8a96a4'))
    c.fill(kb, linear(0, ky0, 0, ky1, rgb('#f3f5f8'), rgb('#d5dbe2')))
    c.fill(rect(kx0 - 0.5, ky1, kx1 + 0.5, ky1 + 3, 1), rgb('#9ba6b3'))
    rows = 4
    for r_ in range(rows):
        t0 = (r_ + 0.55) / rows
        t1 = (r_ + 1.35) / rows
        ya = ky0 + (ky1 - ky0) * t0 - 2.5
        yb = ky0 + (ky1 - ky0) * t1 - 3.5
        la = kx0 + 8 * (1 - t0) + 4
        ra = kx1 - 8 * (1 - t0) - 4
        n = 13
        for k in range(n):
            xa = la + (ra - la) * k / n + 0.7
            xb = la + (ra - la) * (k + 1) / n - 0.7
            if r_ == rows - 1 and 3 <= k <= 8:
                if k == 3:
                    xb = la + (ra - la) * 9 / n - 0.7
                else:
                    continue
            c.fill(rect(xa, ya, xb, yb, 1), rgb('#ffffff'))
            c.fill(rect(xa, yb - 1, xb, yb, 0.5), rgb('#b4bec9'))
    mouse = ellipse(236, 254, 9, 12)
    c.fill(mouse.shifted(1, 3), rgb('#3b2612', 0.3), soft=4)
    c.fill(mouse, linear(228, 244, 244, 266, rgb('#ffffff'), rgb('#cdd5de')))
    c.fill(segment(236, 243, 236, 251, 0.8), rgb('#9ba6b3'))
    c.fill(segment(226, 223, 236, 242, 1.0), rgb('#56626f', 0.8))

    # a mug, left of the keyboard
    c.fill(ellipse(70, 255, 15, 4), rgb('#3b2612', 0.3), soft=4)
    c.fill(rect(56, 232, 80, 256, 3), linear(56, 0, 80, 0, rgb('#3f7fd4'), rgb('#2c6bc0'), rgb('#1d4f93')))
    c.fill(ellipse(68, 232, 12, 3), rgb('#163a6c'))
    c.fill(ellipse(68, 232.5, 10.5, 2.2), rgb('#5a3820'))
    c.fill(circle(82, 243, 6.5) - circle(82, 243, 3.6), rgb('#2459a3'), clip=rect(79, 230, 95, 258))
    c.fill(rect(59, 236, 62, 252, 1.5), rgb('#ffffff', 0.25))
    # a light vignette to hold the eye in the middle
    c.fill(rect(0, 0, W, H), radial(W / 2, H / 2 - 20, 230, (0.0, rgb('#000000', 0.0)),
                                    (0.55, rgb('#000000', 0.0)), (1.0, rgb('#000000', 0.28))))
    return c


def unique_corner(rows):
    """A picture shown transparent takes its bottom-left pixel's colour as
    the transparent one; keep that colour out of the rest of the picture so
    that only the corner pixel itself can drop out."""
    corner = rows[-1][0]
    others = {p for y, row in enumerate(rows) for x, p in enumerate(row) if (x, y) != (0, len(rows) - 1)}
    r, g, b, a = corner
    step = 0
    while (r, g, b, a) in others:
        step += 1
        r, g, b = (max(0, corner[0] - step), corner[1], corner[2])
    rows[-1][0] = (r, g, b, a)
    return rows


def _button_glyph(c, kind, cx, cy, colour):
    """Small pictures on the program buttons of the screen's window."""
    if kind == 'disc':
        c.fill(circle(cx, cy, 7.5), linear(cx - 6, cy - 6, cx + 6, cy + 6, lighten(colour, 0.3), darken(colour, 0.1)))
        c.fill(circle(cx, cy, 2.2), PAPER)
        c.fill(circle(cx, cy, 7.5).outline(0.8), darken(colour, 0.25))
    elif kind == 'doc':
        page = polygon([(cx - 5.5, cy - 8), (cx + 2.5, cy - 8), (cx + 6, cy - 4.5), (cx + 6, cy + 8), (cx - 5.5, cy + 8)])
        c.fill(page.grow(0.6), darken(colour, 0.2))
        c.fill(page, PAPER)
        c.fill(polygon([(cx + 2.5, cy - 8), (cx + 6, cy - 4.5), (cx + 2.5, cy - 4.5)]), lighten(colour, 0.4))
        for k in range(4):
            c.fill(rect(cx - 3.5, cy - 3 + k * 2.8, cx + (3.8 if k < 3 else 1), cy - 2 + k * 2.8), colour)
    elif kind == 'chart':
        c.fill(rect(cx - 7, cy - 7, cx + 7, cy + 7, 2), lighten(colour, 0.75))
        for k, hgt in enumerate((5, 9, 7, 12)):
            c.fill(rect(cx - 5.5 + k * 3, cy + 5.5 - hgt, cx - 3.5 + k * 3 + 0.2, cy + 5.5, 0.3), colour if k != 3 else darken(colour, 0.2))
        c.fill(rect(cx - 7, cy - 7, cx + 7, cy + 7, 2).outline(0.8), darken(colour, 0.2))
    elif kind == 'globe':
        g = circle(cx, cy, 7.5)
        c.fill(g, radial(cx - 2.5, cy - 3, 11, lighten(colour, 0.45), colour, darken(colour, 0.2)))
        c.fill(ellipse(cx, cy, 3.2, 7.5).outline(0.9), rgb('#ffffff', 0.8), clip=g)
        c.fill(rect(cx - 8, cy - 0.45, cx + 8, cy + 0.45), rgb('#ffffff', 0.8), clip=g)
        c.fill(rect(cx - 8, cy - 4.2, cx + 8, cy - 3.4), rgb('#ffffff', 0.6), clip=g)
        c.fill(rect(cx - 8, cy + 3.4, cx + 8, cy + 4.2), rgb('#ffffff', 0.6), clip=g)
        c.fill(g.outline(0.8), darken(colour, 0.3))
    elif kind == 'pencil':
        body = rotated(rect(cx - 2.2, cy - 9, cx + 2.2, cy + 4), cx, cy, math.pi / 4)
        tip = rotated(polygon([(cx - 2.2, cy + 4), (cx + 2.2, cy + 4), (cx, cy + 9)]), cx, cy, math.pi / 4)
        c.fill(body.grow(0.6), darken(colour, 0.35))
        c.fill(tip.grow(0.6), darken(colour, 0.35))
        c.fill(body, linear(cx - 5, cy - 5, cx + 5, cy + 5, lighten(colour, 0.3), colour))
        c.fill(tip, rgb('#f2dcc0'))
        c.fill(rotated(polygon([(cx - 0.9, cy + 7), (cx + 0.9, cy + 7), (cx, cy + 9)]), cx, cy, math.pi / 4), INK)
        c.fill(rotated(rect(cx - 2.2, cy - 9, cx + 2.2, cy - 6.5), cx, cy, math.pi / 4), rgb('#e87f9a'))


# --------------------------------------------------------------------------
# The icon picker's source buttons: icons of a file, the cursors, the
# system's icons. Drawn on a 16-unit grid and rendered at each size the
# buttons need from 100 % to 200 %, so that none is a scaled copy.

PICKER_SIZES = (16, 20, 24, 32)


def picker_file(c, u):
    """A document with a folded corner holding two icon tiles."""
    page = polygon([(2.5 * u, 0.5 * u), (10 * u, 0.5 * u), (13.5 * u, 4 * u), (13.5 * u, 15.5 * u), (2.5 * u, 15.5 * u)])
    c.fill(page.grow(0.5), STEEL_DARK)
    c.fill(page, linear(0, 0, 0, 16 * u, PAPER, PAPER_SHADE))
    c.fill(polygon([(10 * u, 0.5 * u), (13.5 * u, 4 * u), (10 * u, 4 * u)]).grow(0.25), STEEL_LIGHT)
    c.fill(rect(4.5 * u, 6 * u, 8.5 * u, 10 * u, 0.6 * u), linear(0, 6 * u, 0, 10 * u, lighten(TILE_CORAL, 0.3), TILE_CORAL))
    c.fill(rect(7.5 * u, 9 * u, 11.5 * u, 13 * u, 0.6 * u), linear(0, 9 * u, 0, 13 * u, lighten(TILE_SKY, 0.3), TILE_SKY))
    c.fill(rect(7.5 * u, 9 * u, 11.5 * u, 13 * u, 0.6 * u).outline(0.7), darken(TILE_SKY, 0.3))
    c.fill(rect(4.5 * u, 6 * u, 8.5 * u, 10 * u, 0.6 * u).outline(0.7), darken(TILE_CORAL, 0.3))


def picker_cursor(c, u):
    """The standard arrow pointer, white with a dark outline."""
    k = u * 0.95
    x, y = 4.0 * u, 1.0 * u
    arrow = polygon([(x, y), (x, y + 13 * k), (x + 3.2 * k, y + 10.2 * k), (x + 5.6 * k, y + 14.6 * k),
                     (x + 7.6 * k, y + 13.6 * k), (x + 5.4 * k, y + 9.4 * k), (x + 9.4 * k, y + 9.4 * k)])
    c.fill(arrow.grow(max(0.9, 0.9 * u)), INK)
    c.fill(arrow, linear(x, y, x + 8 * k, y + 14 * k, PAPER, PAPER_SHADE))


def picker_system(c, u):
    """A monitor showing the system's icons as four tiles."""
    screen = rect(0.5 * u, 1.5 * u, 15.5 * u, 12 * u, 1.0 * u)
    c.fill(screen, STEEL_DARK)
    c.fill(rect(1.5 * u, 2.5 * u, 14.5 * u, 11 * u, 0.4 * u), linear(0, 2.5 * u, 0, 11 * u, FRAME_LIGHT, FRAME))
    for i, colour in enumerate(TILES):
        col, line = i % 2, i // 2
        x0 = 3.5 * u + col * 5 * u
        y0 = 3.5 * u + line * 3.8 * u
        c.fill(rect(x0, y0, x0 + 4 * u, y0 + 3.1 * u, 0.4 * u), linear(0, y0, 0, y0 + 3 * u, lighten(colour, 0.35), colour))
    c.fill(polygon([(6 * u, 12 * u), (10 * u, 12 * u), (11 * u, 14.5 * u), (5 * u, 14.5 * u)]), STEEL)
    c.fill(rect(3.5 * u, 14.5 * u, 12.5 * u, 15.5 * u, 0.4 * u), STEEL_DARK)


PICKER_IMAGES = (picker_file, picker_cursor, picker_system)


def picker_strip(size):
    """The three pictures side by side, one strip per size."""
    strip = Canvas(size * len(PICKER_IMAGES), size)
    for i, draw in enumerate(PICKER_IMAGES):
        one = Canvas(size, size)
        draw(one, size / 16.0)
        strip.blit(one, i * size, 0)
    return strip


# --------------------------------------------------------------------------
# Previews

def zoom(rows, k, backdrop=None):
    """rows scaled k times (nearest neighbour), over an opaque backdrop
    colour, or over a checkerboard when there is none."""
    out = []
    for y, row in enumerate(rows):
        line = []
        for x, p in enumerate(row):
            for sx in range(k):
                line.append(p)
        for sy in range(k):
            out.append(list(line))
    for y in range(len(out)):
        for x in range(len(out[y])):
            r, g, b, a = out[y][x]
            if backdrop is None:
                bg = 0xff if ((x // 8) + (y // 8)) % 2 == 0 else 0xcc
                bg = (bg, bg, bg)
            else:
                bg = backdrop
            al = a / 255.0
            out[y][x] = (int(r * al + bg[0] * (1 - al) + 0.5), int(g * al + bg[1] * (1 - al) + 0.5),
                         int(b * al + bg[2] * (1 - al) + 0.5), 255)
    return out


def side_by_side(parts, gap=8, bg=(255, 255, 255, 255)):
    h = max(len(p) for p in parts)
    w = sum(len(p[0]) for p in parts) + gap * (len(parts) + 1)
    out = [[bg] * w for _ in range(h + 2 * gap)]
    x = gap
    for p in parts:
        for y, row in enumerate(p):
            out[y + gap][x:x + len(row)] = row
        x += len(p[0]) + gap
    return out


def stacked(parts, gap=8, bg=(255, 255, 255, 255)):
    w = max(len(p[0]) for p in parts)
    out = []
    for p in parts:
        out.extend([[bg] * w for _ in range(gap)])
        for row in p:
            out.append(list(row) + [bg] * (w - len(row)))
    out.extend([[bg] * w for _ in range(gap)])
    return out


def write_previews(folder, strips, icons, picture, pickers):
    os.makedirs(folder, exist_ok=True)
    face = (0xf0, 0xf0, 0xf0)
    with open(os.path.join(folder, 'PickerImages.png'), 'wb') as f:
        f.write(png_bytes(stacked([side_by_side([zoom(p.rgba8(), 4, face) for p in pickers]),
                                   side_by_side([zoom(p.rgba8(), 1, face) for p in pickers])])))
    rows = strips[0].rgba8()
    tool_bar = (0xf0, 0xf0, 0xf0)
    with open(os.path.join(folder, 'ToolImages.png'), 'wb') as f:
        f.write(png_bytes(stacked([zoom(rows, 4, tool_bar), zoom(rows, 4, (255, 255, 255)),
                                   zoom(rows, 4), zoom(rows, 2, tool_bar), zoom(rows, 1, tool_bar)]
                                  + [zoom(s.rgba8(), 2, tool_bar) for s in strips[1:]]
                                  + [zoom(s.rgba8(), 1, tool_bar) for s in strips[1:]])))
    parts = [zoom(ic.rgba8(), 4 if ic.w < 256 else 1) for ic in icons]
    actual = [zoom(ic.rgba8(), 1, (0xf0, 0xf0, 0xf0)) for ic in icons[:-1]]
    with open(os.path.join(folder, 'Dorvane-ico.png'), 'wb') as f:
        f.write(png_bytes(stacked([side_by_side(parts), side_by_side(actual)])))
    with open(os.path.join(folder, 'Splash.png'), 'wb') as f:
        f.write(png_bytes(zoom(picture.rgba8(), 4, (0, 0, 0))))
    with open(os.path.join(folder, 'Splash-1x.png'), 'wb') as f:
        f.write(png_bytes(picture.rgba8()))


# --------------------------------------------------------------------------

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--out', default=os.path.join(here, '..', 'src', 'win32', 'res'),
                        help='folder for the resource files (default: src/win32/res)')
    parser.add_argument('--preview', metavar='DIR', help='also write enlarged previews as PNG into DIR')
    args = parser.parse_args()

    strips = [tool_strip(s) for s in TOOL_SIZES]
    strip = strips[0]
    icons = [program_icon(s) for s in ICON_SIZES]
    picture = splash()
    pickers = [picker_strip(s) for s in PICKER_SIZES]

    os.makedirs(args.out, exist_ok=True)
    for size, one in zip(TOOL_SIZES, strips):
        name = 'ToolImages.bmp' if size == 16 else 'ToolImages%d.bmp' % size
        with open(os.path.join(args.out, name), 'wb') as f:
            f.write(bmp32_bytes(one.rgba8()))
    with open(os.path.join(args.out, 'Dorvane.ico'), 'wb') as f:
        f.write(ico_bytes([ic.rgba8() for ic in icons]))
    with open(os.path.join(args.out, 'Splash.bmp'), 'wb') as f:
        f.write(bmp8_bytes(unique_corner(picture.rgba8())))
    for size, pick in zip(PICKER_SIZES, pickers):
        with open(os.path.join(args.out, 'PickerImages%d.bmp' % size), 'wb') as f:
            f.write(bmp32_bytes(pick.rgba8()))
    if args.preview:
        write_previews(args.preview, strips, icons, picture, pickers)


if __name__ == '__main__':
    main()
