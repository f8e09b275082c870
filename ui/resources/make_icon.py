#!/usr/bin/env python3
"""Draws Setup.exe's icon and writes it as a multi-resolution .ico.

The picture: an amber arrow dropping into an open white box, on a blue tile
with rounded corners. It is drawn here from shapes at each size (16, 32 and
48 pixels as 32-bit bitmaps, 256 as PNG), so that the small sizes are drawn
for their grid rather than scaled down. Edges are anti-aliased from each
shape's signed distance; only +, -, *, / and sqrt are used, so every machine
draws the same pixels.

    make_icon.py OUT.ico      writes the icon
    make_icon.py --check ICO  fails when ICO holds other pixels than these
                              (the build takes the .ico from the tree and
                              needs no Python; this keeps the two in step)
"""
import struct
import sys
import zlib

SIZES = (16, 32, 48, 256)

TILE_TOP = (48, 126, 204)
TILE_BOTTOM = (20, 62, 128)
FLAP = (200, 216, 236)
BOX = (250, 251, 253)
BOX_LIP = (176, 196, 222)
ARROW = (247, 170, 36)


def rounded_rect(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return (ox * ox + oy * oy) ** 0.5 + min(max(qx, qy), 0.0) - r
    return sdf


def convex_polygon(points):
    """Signed distance to a convex polygon given clockwise on the screen
    (y down): the farthest of its edges' half-planes."""
    edges = []
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        nx, ny = by - ay, ax - bx  # outward normal of a clockwise edge
        n = (nx * nx + ny * ny) ** 0.5
        edges.append((nx / n, ny / n, (nx * ax + ny * ay) / n))

    def sdf(x, y):
        return max(nx * x + ny * y - c for nx, ny, c in edges)
    return sdf


def shapes(size):
    """The icon's shapes, back to front: (signed distance, colour or a
    function of y). Edges that run along the grid are put on pixel lines at
    the small sizes."""
    def s(v):
        return round(v * size) / size if size <= 48 else v
    m = s(0.03)
    tile = rounded_rect(m, m, 1 - m, 1 - m, 0.2)
    # At 16 pixels the arrow's head is wider and the box lower, or the head
    # would be two pixels between the flaps.
    small = size <= 16
    box_top, box_bottom, box_left, box_right = s(0.56 if small else 0.52), s(0.88), s(0.2), s(0.8)
    flap_top = 0.42 if small else 0.36
    head_top, head_half = (0.28, 0.32) if small else (0.36, 0.24)
    shaft_left, shaft_right = s(0.4 if small else 0.42), s(0.6 if small else 0.58)
    return [
        (tile, lambda y: tuple(t + (b - t) * y for t, b in zip(TILE_TOP, TILE_BOTTOM))),
        (convex_polygon([(box_left, box_top), (0.06, flap_top), (0.3, flap_top), (0.44, box_top)]), FLAP),
        (convex_polygon([(box_right, box_top), (0.56, box_top), (0.7, flap_top), (0.94, flap_top)]), FLAP),
        (rounded_rect(shaft_left, s(0.08), shaft_right, 0.5, 0.02), ARROW),
        (convex_polygon([(0.5 - head_half, head_top), (0.5 + head_half, head_top), (0.5, head_top + 0.28)]), ARROW),
        (rounded_rect(box_left, box_top, box_right, box_bottom, 0.04), BOX),
        (rounded_rect(box_left, box_top, box_right, box_top + max(0.06, 1.5 / size), 0.0), BOX_LIP),
    ]


def draw(size):
    """Straight-alpha RGBA rows, top to bottom."""
    layers = shapes(size)
    rows = []
    for py in range(size):
        y = (py + 0.5) / size
        row = []
        for px in range(size):
            x = (px + 0.5) / size
            r = g = b = a = 0.0
            for sdf, colour in layers:
                cover = min(max(0.5 - sdf(x, y) * size, 0.0), 1.0)
                if cover == 0.0:
                    continue
                cr, cg, cb = colour(y) if callable(colour) else colour
                out = cover + a * (1 - cover)
                r = (cr * cover + r * a * (1 - cover)) / out
                g = (cg * cover + g * a * (1 - cover)) / out
                b = (cb * cover + b * a * (1 - cover)) / out
                a = out
            row.append((int(r + 0.5), int(g + 0.5), int(b + 0.5), int(a * 255 + 0.5)) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bitmap(rows):
    """A 32-bit icon bitmap: header (twice the height: colour and mask),
    BGRA rows bottom up, then the 1-bit mask, set where the icon is clear."""
    size = len(rows)
    mask_stride = (size + 31) // 32 * 4
    colour, mask = b"", b""
    for row in reversed(rows):
        colour += bytes(c for r, g, b, a in row for c in (b, g, r, a))
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def icon():
    images = [(size, png(draw(size)) if size == 256 else bitmap(draw(size))) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def pixels(ico):
    """{size: RGBA bytes top to bottom} of an .ico written as above."""
    reserved, kind, count = struct.unpack_from("<HHH", ico)
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    found = {}
    for i in range(count):
        w, h, _, _, _, bits, length, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
        size, data = w or 256, ico[offset:offset + length]
        if data.startswith(b"\x89PNG"):
            idat, pos = b"", 8
            while pos < len(data):
                n, kind = struct.unpack_from(">I4s", data, pos)
                if kind == b"IDAT":
                    idat += data[pos + 8:pos + 8 + n]
                pos += 12 + n
            raw = zlib.decompress(idat)
            stride = size * 4 + 1
            found[size] = b"".join(raw[y * stride + 1:(y + 1) * stride] for y in range(size))
        else:
            rows = [data[40 + y * size * 4:40 + (y + 1) * size * 4] for y in range(size)]
            found[size] = b"".join(bytes(c for i in range(0, len(r), 4) for c in (r[i + 2], r[i + 1], r[i], r[i + 3]))
                                   for r in reversed(rows))
    return found


def main(argv):
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2], "rb") as f:
            have = pixels(f.read())
        want = pixels(icon())
        stale = [size for size in SIZES if have.get(size) != want[size]]
        if stale or sorted(have) != sorted(want):
            print("%s: not what make_icon.py draws (sizes %s differ); run: python3 %s %s"
                  % (argv[2], stale or sorted(have), argv[0], argv[2]), file=sys.stderr)
            return 1
        print("%s: sizes %s, as drawn" % (argv[2], ", ".join(map(str, SIZES))))
        return 0
    if len(argv) == 2 and not argv[1].startswith("-"):
        with open(argv[1], "wb") as f:
            f.write(icon())
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
