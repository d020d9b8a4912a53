#!/usr/bin/env python3
"""Draws the window's background picture and the program icon; their output is committed.

background.png: 3542 x 1566, 8-bit RGB, no alpha, not interlaced. Dark grey above, orange below,
fine white curves across the middle.
kestrane.ico: one 47 x 47 image, 24-bit colour.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

WIDTH, HEIGHT = 3542, 1566
DARK = (58, 60, 64)
ORANGE = (236, 118, 28)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def background():
    rows = []
    for y in range(HEIGHT):
        # A soft edge between the dark and the orange half, a little below the middle.
        t = min(1.0, max(0.0, (y - 0.52 * HEIGHT) / (0.06 * HEIGHT) + 0.5))
        rows.append(bytearray(bytes(mix(DARK, ORANGE, t)) * WIDTH))
    curves = [(0.50 + 0.012 * i, 0.035 + 0.006 * (i % 3), 1.6 + 0.25 * i, 0.7 * i) for i in range(9)]
    for centre, amplitude, waves, phase in curves:
        for x in range(WIDTH):
            u = x / WIDTH
            yc = HEIGHT * (centre + amplitude * math.sin(2 * math.pi * waves * u + phase))
            for y in range(int(yc) - 2, int(yc) + 3):
                if 0 <= y < HEIGHT:
                    alpha = max(0.0, 1.0 - abs(y - yc) / 2.2) * 0.85
                    px = rows[y][3 * x:3 * x + 3]
                    rows[y][3 * x:3 * x + 3] = bytes(mix(tuple(px), (255, 255, 255), alpha))
    raw = b"".join(b"\x00" + bytes(r) for r in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)  # 8-bit RGB, not interlaced
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def icon():
    size = 47
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            # An orange tile with a dark downward arrow: files coming down to the workstation.
            colour = ORANGE
            cx = abs(x - size // 2)
            if 8 <= y <= 26 and cx <= 4 or 26 <= y <= 38 and cx <= 38 - y:
                colour = DARK
            row.append(colour)
        pixels.append(row)
    stride = (size * 3 + 3) // 4 * 4
    mask_stride = (size + 31) // 32 * 4
    xor = b"".join(
        b"".join(bytes((b, g, r)) for r, g, b in pixels[y]) + b"\x00" * (stride - size * 3) for y in reversed(range(size))
    )
    mask = b"\x00" * (mask_stride * size)
    dib = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0) + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(dib), 22)
    return directory + dib


if __name__ == "__main__":
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
    (out / "background.png").write_bytes(background())
    (out / "kestrane.ico").write_bytes(icon())
