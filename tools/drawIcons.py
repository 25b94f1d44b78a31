#!/usr/bin/env python3
"""Draws the module's node-type icons into res/.

Each icon is a 32 x 32 RGBA image with a simple motif, written as an
uncompressed baseline TIFF (little-endian, one strip, unassociated alpha).
Shapes are drawn with 4 x 4 supersampling for smooth edges. Run from any
directory:

    python3 tools/drawIcons.py
"""

import math
import struct
from pathlib import Path

SIZE = 32
SUPERSAMPLING = 4
RES_FOLDER = Path(__file__).resolve().parent.parent / "res"

# Colours as (red, green, blue) in 0..255.
SUN = (255, 196, 40)
ORBIT = (120, 200, 255)
PLANE_BLUE = (0, 128, 255)
PLANE_RED = (182, 0, 0)
GLOBE = (70, 130, 220)
AXIS = (235, 235, 235)
RING = (215, 190, 140)
LEVEL = (120, 220, 120)


class Canvas:
    """An RGBA image in which shapes are given as coverage tests."""

    def __init__(self):
        self.pixels = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]

    def fill(self, inside, colour, opacity=1.0):
        """Blends colour over every pixel, weighted by the share of its
        subsamples (x, y in pixel units, y downwards) for which inside holds."""
        step = 1.0 / SUPERSAMPLING
        for row in range(SIZE):
            for column in range(SIZE):
                hits = 0
                for i in range(SUPERSAMPLING):
                    for j in range(SUPERSAMPLING):
                        if inside(column + (j + 0.5) * step, row + (i + 0.5) * step):
                            hits += 1
                if hits:
                    self._blend(row, column, colour, opacity * hits / SUPERSAMPLING**2)

    def _blend(self, row, column, colour, alpha):
        red, green, blue, old_alpha = self.pixels[row][column]
        out_alpha = alpha + old_alpha / 255.0 * (1.0 - alpha)
        if out_alpha <= 0.0:
            return

        def mix(new, old):
            return (new * alpha + old * old_alpha / 255.0 * (1.0 - alpha)) / out_alpha

        self.pixels[row][column] = (
            round(mix(colour[0], red)),
            round(mix(colour[1], green)),
            round(mix(colour[2], blue)),
            round(out_alpha * 255.0),
        )

    def rgba_bytes(self):
        return bytes(value for row in self.pixels for pixel in row for value in pixel)


# Shapes: each returns a coverage test in pixel coordinates.


def disc(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def ellipse_outline(cx, cy, rx, ry, width, tilt=0.0):
    cos_t, sin_t = math.cos(tilt), math.sin(tilt)

    def inside(x, y):
        u = (x - cx) * cos_t + (y - cy) * sin_t
        v = -(x - cx) * sin_t + (y - cy) * cos_t
        outer = (u / (rx + width / 2)) ** 2 + (v / (ry + width / 2)) ** 2 <= 1.0
        inner = (u / (rx - width / 2)) ** 2 + (v / (ry - width / 2)) ** 2 < 1.0
        return outer and not inner

    return inside


def segment(x0, y0, x1, y1, width):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= (width / 2) ** 2

    return inside


def parallelogram(left, right, top, bottom, skew):
    """A plane seen in perspective: the top edge shifted right by skew."""

    def inside(x, y):
        if not top <= y <= bottom:
            return False
        shift = skew * (bottom - y) / (bottom - top)
        return left + shift <= x <= right + shift

    return inside


def upper_half(test, cy):
    return lambda x, y: y < cy and test(x, y)


def lower_half(test, cy):
    return lambda x, y: y >= cy and test(x, y)


# Motifs, one per node type.


def draw_system(canvas):
    canvas.fill(ellipse_outline(16, 16, 14, 14, 1.2), ORBIT)
    canvas.fill(ellipse_outline(16, 16, 9.5, 9.5, 1.2), ORBIT)
    canvas.fill(disc(16, 16, 5), SUN)
    canvas.fill(disc(25.9, 6.1, 2.2), GLOBE)
    canvas.fill(disc(9.3, 23.0, 1.8), GLOBE)


def draw_orbit_axis(canvas):
    canvas.fill(ellipse_outline(16, 16, 14, 8, 1.5, tilt=-0.35), ORBIT)
    canvas.fill(segment(16, 3, 16, 29, 1.5), AXIS)
    canvas.fill(disc(11, 16, 2.5), SUN)
    canvas.fill(disc(27.5, 11.2, 2.8), GLOBE)


def draw_body_axis(canvas):
    canvas.fill(disc(16, 16, 9), GLOBE)
    canvas.fill(ellipse_outline(16, 16, 9, 3, 1.0, tilt=-0.4), AXIS, opacity=0.6)
    canvas.fill(segment(11, 3, 21, 29, 1.6), AXIS)


def draw_orbit_plane(canvas):
    canvas.fill(parallelogram(2, 22, 9, 25, 8), PLANE_BLUE, opacity=0.55)
    canvas.fill(ellipse_outline(16, 17, 11, 5, 1.3), ORBIT)


def draw_orbit(canvas):
    canvas.fill(ellipse_outline(16, 16, 14, 9, 1.6), ORBIT)
    canvas.fill(disc(10, 16, 3), SUN)
    canvas.fill(disc(26.0, 9.7, 2.4), GLOBE)


def draw_orbit_plane_s(canvas):
    canvas.fill(parallelogram(2, 22, 12, 26, 8), PLANE_BLUE, opacity=0.55)
    canvas.fill(disc(16, 15, 6), GLOBE)


def draw_equat_plane(canvas):
    canvas.fill(parallelogram(2, 22, 12, 26, 8), PLANE_RED, opacity=0.7)
    canvas.fill(disc(16, 15, 6), GLOBE)
    canvas.fill(segment(13, 6, 19, 24, 1.3), AXIS)


def draw_ring(canvas):
    ring = ellipse_outline(16, 16, 14, 5, 2.5, tilt=-0.3)
    canvas.fill(upper_half(ring, 16), RING)
    canvas.fill(disc(16, 16, 7), SUN)
    canvas.fill(lower_half(ring, 16), RING)


def draw_attitude_ctrl(canvas):
    canvas.fill(ellipse_outline(16, 16, 13, 13, 1.4), AXIS)
    canvas.fill(segment(3, 16, 29, 16, 2.0), LEVEL)
    canvas.fill(segment(16, 16, 16, 6, 1.6), LEVEL)
    canvas.fill(disc(16, 16, 2.5), LEVEL)


ICONS = {
    "caeloSystem.tif": draw_system,
    "caeloOrbitAxis.tif": draw_orbit_axis,
    "caeloBodyAxis.tif": draw_body_axis,
    "caeloOrbitPlane.tif": draw_orbit_plane,
    "caeloOrbit.tif": draw_orbit,
    "caeloOrbitPlaneS.tif": draw_orbit_plane_s,
    "caeloEquatPlane.tif": draw_equat_plane,
    "attitudeCtrl.tif": draw_attitude_ctrl,
    "caeloRing.tif": draw_ring,
}


def tiff_bytes(width, height, rgba):
    """An uncompressed little-endian baseline TIFF of 8-bit RGBA pixels."""
    SHORT, LONG = 3, 4
    header_size = 8
    bits_offset = header_size
    pixels_offset = bits_offset + 8  # four 16-bit bits-per-sample values
    ifd_offset = pixels_offset + len(rgba)
    ifd_offset += ifd_offset % 2  # the directory starts on a word boundary
    entries = [
        (256, SHORT, 1, width),  # ImageWidth
        (257, SHORT, 1, height),  # ImageLength
        (258, SHORT, 4, bits_offset),  # BitsPerSample 8, 8, 8, 8
        (259, SHORT, 1, 1),  # Compression: none
        (262, SHORT, 1, 2),  # PhotometricInterpretation: RGB
        (273, LONG, 1, pixels_offset),  # StripOffsets
        (277, SHORT, 1, 4),  # SamplesPerPixel
        (278, SHORT, 1, height),  # RowsPerStrip
        (279, LONG, 1, len(rgba)),  # StripByteCounts
        (284, SHORT, 1, 1),  # PlanarConfiguration: chunky
        (338, SHORT, 1, 2),  # ExtraSamples: unassociated alpha
    ]
    out = bytearray(b"II" + struct.pack("<HI", 42, ifd_offset))
    out += struct.pack("<4H", 8, 8, 8, 8)
    out += rgba
    out += b"\0" * (ifd_offset - len(out))
    out += struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        packed = struct.pack("<H", value) + b"\0\0" if kind == SHORT and count == 1 else struct.pack("<I", value)
        out += struct.pack("<HHI", tag, kind, count) + packed
    out += struct.pack("<I", 0)  # no further directory
    return bytes(out)


def main():
    RES_FOLDER.mkdir(exist_ok=True)
    for file_name, draw in ICONS.items():
        canvas = Canvas()
        draw(canvas)
        (RES_FOLDER / file_name).write_bytes(tiff_bytes(SIZE, SIZE, canvas.rgba_bytes()))
        print(RES_FOLDER / file_name)


if __name__ == "__main__":
    main()
