#!/usr/bin/env python3
"""Recompresses the e2e drivers' PNG files (stored, unfiltered RGB) for the
README: per-row adaptive filters and zlib level 9. Usage: png-squeeze.py IN OUT"""
import struct
import sys
import zlib


def chunks(data):
    pos = 8
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filtered(row, prev, bpp):
    """The row under each of the five filters; the one with the smallest sum
    of absolute values (as signed bytes) usually compresses best."""
    out = []
    n = len(row)
    left = lambda r, i: r[i - bpp] if i >= bpp else 0
    for kind in range(5):
        f = bytearray(n)
        for i in range(n):
            a, b = left(row, i), prev[i]
            c = left(prev, i)
            pred = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
            f[i] = (row[i] - pred) & 0xFF
        out.append((sum(v if v < 128 else 256 - v for v in f), kind, f))
    return min(out)[1:]


def main(src, dst):
    data = open(src, "rb").read()
    ihdr, idat = None, b""
    for kind, body in chunks(data):
        if kind == b"IHDR":
            ihdr = body
        elif kind == b"IDAT":
            idat += body
    width, height, depth, color = struct.unpack(">IIBB", ihdr[:10])
    if depth != 8 or color != 2:
        sys.exit(f"{src}: not 8-bit RGB")
    raw = zlib.decompress(idat)
    stride = width * 3
    prev = bytes(stride)
    out = bytearray()
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        if line[0] != 0:
            sys.exit(f"{src}: rows are already filtered")
        row = line[1:]
        kind, f = filtered(row, prev, 3)
        out.append(kind)
        out += f
        prev = row

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + \
        chunk(b"IDAT", zlib.compress(bytes(out), 9)) + chunk(b"IEND", b"")
    open(dst, "wb").write(png)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
