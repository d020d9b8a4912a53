"""The background picture as the window must show it: the asset scaled by a true area average,
computed here in floating point from the PNG's raw pixels, compared with a screenshot."""
import struct
import subprocess
import zlib

from harness import SOURCE

ASSET = SOURCE / "assets" / "background.png"
PICTURE = (-3, -2, 226, 338)  # Image1: left, top, width, height at 96 dpi
STRIP_RIGHT_OF_CONTROLS = 214  # at 96 dpi no control or label reaches this far: only the picture shows


def mul_div(a, b, c):
    """MulDiv: a * b / c rounded to the nearest, halves away from zero."""
    q = (abs(a * b) + c // 2) // c
    return q if a * b >= 0 else -q


def read_asset():
    """Width, height and the RGB rows of the asset, which stores every row unfiltered."""
    data = ASSET.read_bytes()
    at, stream = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IHDR":
            width, height = struct.unpack(">II", data[at + 8:at + 16])
        if kind == b"IDAT":
            stream += data[at + 8:at + 8 + length]
        at += 12 + length
    raw = zlib.decompress(stream)
    stride = width * 3 + 1
    assert all(raw[y * stride] == 0 for y in range(height)), "the asset's rows are stored unfiltered"
    return width, height, [raw[y * stride + 1:(y + 1) * stride] for y in range(height)]


def area_average(asset, width, height, x, y):
    """The RGB of pixel (x, y) of the asset scaled to width x height: the mean of the source area
    it covers, partly covered source pixels weighted by the part covered."""
    source_width, source_height, rows = asset
    sx, sy = source_width / width, source_height / height
    x0, x1, y0, y1 = x * sx, (x + 1) * sx, y * sy, (y + 1) * sy
    sums = [0.0, 0.0, 0.0]
    j = int(y0)
    while j < y1 and j < source_height:
        wy = min(y1, j + 1) - max(y0, j)
        row = rows[j]
        i = int(x0)
        while i < x1 and i < source_width:
            weight = wy * (min(x1, i + 1) - max(x0, i))
            for c in range(3):
                sums[c] += weight * row[i * 3 + c]
            i += 1
        j += 1
    return [int(s / (sx * sy) + 0.5) for s in sums]


def largest_difference(screenshot, snapshot):
    """The largest difference per channel between the screenshot and the area-averaged asset,
    over the strip of the client area right of the controls, where nothing covers the picture."""
    dpi = snapshot["dpi"]
    left, top, width, height = (mul_div(v, dpi, 96) for v in PICTURE)
    origin_x, origin_y = snapshot["client_origin"]
    client_width, client_height = snapshot["client"][2:]
    screen_width = int(subprocess.run(["identify", "-format", "%w", screenshot], check=True, capture_output=True,
                                      text=True).stdout)
    screen = subprocess.run(["convert", screenshot, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    asset = read_asset()
    largest = 0
    for cy in range(0, min(client_height, top + height)):
        for cx in range(mul_div(STRIP_RIGHT_OF_CONTROLS, dpi, 96), min(client_width, left + width)):
            at = ((origin_y + cy) * screen_width + origin_x + cx) * 3
            expected = area_average(asset, width, height, cx - left, cy - top)
            largest = max(largest, *(abs(screen[at + c] - expected[c]) for c in range(3)))
    return largest
