#!/usr/bin/python3
"""Make the Milky Way panorama of data/milky-way/ from the one Debian's
stellarium-data carries (Axel Mellinger's all-sky panorama).

Run from anywhere with Debian's interpreter (needs python3-pil and
python3-numpy):

    /usr/bin/python3 tools/make-milky-way.py [folder-with-the-.deb-file]

Without a folder, the package is fetched with `apt-get download`. The
panorama is equirectangular in J2000 equatorial coordinates, as seen from
inside the sky: north up, right ascension growing to the left, 18 h in the
middle column (u = 0.5 - (ra - 270 deg) / 360, v = 0.5 - dec / 180, from the
top left corner). The script checks that layout before it writes anything:
the bright stars of data/stars/bright-stars.csv must stand out of the
panorama where the layout puts them, and nowhere else within a degree.
"""

import csv
import io
import pathlib
import runpy
import sys

import numpy
from PIL import Image

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUTPUT = ROOT / "data" / "milky-way" / "milky-way.jpg"
PACKAGE = {"stellarium-data": "usr/share/stellarium/textures/"}
SOURCE = "milkyway.png"
SIZE = (2048, 1024)
JPEG_QUALITY = 80
MIDDLE_RA_DEG = 270.0
# The registration check: stars brighter than this, away from the poles
# (where a pixel spans many degrees of right ascension).
CHECK_MAGNITUDE = 3.0
CHECK_MAX_DEC_DEG = 70.0
# How far the best fit of the middle column's right ascension may lie from
# MIDDLE_RA_DEG, and how far above the mean of all trial offsets it must be.
FIT_TOLERANCE_DEG = 0.3
FIT_CONTRAST = 4.0

# The maps' script lends its package unpacking (its name holds a hyphen, so it
# is run as a file rather than imported).
make_maps = runpy.run_path(str(ROOT / "tools" / "make-maps.py"))


def bright_stars():
    with open(ROOT / "data" / "stars" / "bright-stars.csv", encoding="utf-8") as f:
        rows = list(csv.DictReader(line for line in f if not line.startswith("#")))
    stars = [(float(r["ra_deg"]), float(r["dec_deg"])) for r in rows
             if float(r["v_mag"]) < CHECK_MAGNITUDE and abs(float(r["dec_deg"])) < CHECK_MAX_DEC_DEG]
    return numpy.array([s[0] for s in stars]), numpy.array([s[1] for s in stars])


def star_contrast(image):
    """Each pixel's grey level less the mean of the 7 x 7 pixels around it."""
    grey = numpy.asarray(image.convert("L"), dtype=float)
    padded = numpy.pad(grey, 3, mode="wrap")
    around = numpy.lib.stride_tricks.sliding_window_view(padded, (7, 7)).mean(axis=(2, 3))
    return grey - around


def check_layout(image):
    contrast = star_contrast(image)
    height, width = contrast.shape
    ra, dec = bright_stars()
    rows = numpy.clip(((0.5 - dec / 180.0) * height).astype(int), 0, height - 1)

    def score(middle_ra):
        columns = (((0.5 - (ra - middle_ra) / 360.0) % 1.0) * width).astype(int) % width
        return contrast[rows, columns].mean()

    trials = numpy.arange(0.0, 360.0, 0.1)
    scores = numpy.array([score(t) for t in trials])
    best = trials[scores.argmax()]
    noise = scores.std()
    if abs(best - MIDDLE_RA_DEG) > FIT_TOLERANCE_DEG or scores.max() - scores.mean() < FIT_CONTRAST * noise:
        sys.exit(f"make-milky-way: the stars fit the panorama best with {best:.1f} deg in the middle "
                 f"(score {scores.max():.2f}, mean {scores.mean():.2f}, spread {noise:.2f}); "
                 f"expected {MIDDLE_RA_DEG} deg")
    print(f"layout checked by {len(ra)} stars: best fit {best:.1f} deg in the middle column, "
          f"{(scores.max() - scores.mean()) / noise:.0f} spreads above the mean")


def main():
    trees, versions = make_maps["package_files"](make_maps["deb_folder_from"](sys.argv, PACKAGE), PACKAGE)
    with Image.open(trees["stellarium-data"] / SOURCE) as original:
        print(f"{SOURCE} from stellarium-data {versions['stellarium-data']}: {original.width}x{original.height}")
        panorama = original.convert("RGB")  # its alpha is opaque throughout
    check_layout(panorama)
    out = io.BytesIO()
    panorama.resize(SIZE, Image.LANCZOS).save(out, "JPEG", quality=JPEG_QUALITY, optimize=True)
    OUTPUT.parent.mkdir(parents=True, exist_ok=True)
    OUTPUT.write_bytes(out.getvalue())
    print(f"{OUTPUT.relative_to(ROOT)}: {len(out.getvalue()):,} bytes")


if __name__ == "__main__":
    main()
