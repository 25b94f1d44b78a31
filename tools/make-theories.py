#!/usr/bin/python3
"""Make the truncated planetary theory of data/theories/ from the full series.

Run from anywhere with Debian's interpreter (needs numpy, Node.js and npm):

    /usr/bin/python3 tools/make-theories.py [folder-with-astronomia]

VSOP87B (Bretagnon and Francou 1988; heliocentric spherical coordinates L, B,
R in the mean ecliptic and equinox of J2000, time in Julian millennia of TDB
from J2000) is taken whole from the npm package astronomia 4.3.0 (MIT; its
data/vsop87B*.js files carry the series of the VizieR catalogue VI/81), which
the script fetches with `npm pack` unless a folder holding its unpacked
`package/` is named. Each planet's series is then truncated: a term goes
when its largest size over SPAN_YEARS (amplitude times the largest |t|^power)
is below a threshold, chosen per planet by bisection as the largest that keeps
the truncated series within TARGET_ARCSEC of the full one, as seen from the
Sun, at every one of CHECK_DATES dates over the span. The distance's terms
are compared as a share of the planet's mean distance.
Writes data/theories/vsop87b.csv and prints each planet's terms and error.

Pluto's periodic terms (J. Meeus, Astronomical Algorithms, 2nd ed. 1998,
chapter 37, Table 37.A: 43 terms, for 1885-2099) are taken from the same
package (src/pluto.js, which holds them scaled to degrees and au) into
data/theories/pluto-meeus.csv.
"""

import csv
import json
import math
import pathlib
import re
import subprocess
import sys
import tempfile

import numpy as np

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUTPUT = ROOT / "data" / "theories" / "vsop87b.csv"
PLUTO_OUTPUT = ROOT / "data" / "theories" / "pluto-meeus.csv"
PLUTO_TERMS = 43
PACKAGE = "astronomia@4.3.0"
PLANETS = ["mercury", "venus", "earth", "mars", "jupiter", "saturn", "uranus", "neptune"]
SPAN_YEARS = (1800.0, 2200.0)
CHECK_DATES = 801
ARCSEC = math.pi / (180.0 * 3600.0)
# The truncation's share of each planet's error budget against DE431 (1"
# for Mercury to Saturn and the Earth, 3" for Uranus and Neptune).
TARGET_ARCSEC = {"uranus": 0.5, "neptune": 0.2}
DEFAULT_TARGET_ARCSEC = 0.1


def astronomia_folder(argv):
    if len(argv) > 1:
        return pathlib.Path(argv[1])
    folder = pathlib.Path(tempfile.mkdtemp(prefix="caelo-astronomia-"))
    subprocess.run(["npm", "pack", PACKAGE, "--silent"], cwd=folder, check=True, capture_output=True)
    tarball = next(folder.glob("astronomia-*.tgz"))
    subprocess.run(["tar", "-xzf", tarball.name], cwd=folder, check=True)
    return folder


def full_series(folder, planet):
    """{coordinate: {power: [(A, B, C), ...]}} as the package has it."""
    script = f"console.log(JSON.stringify(require('./vsop87B{planet}.js').default))"
    out = subprocess.run(["node", "-e", script], cwd=folder / "package" / "data", check=True,
                         capture_output=True, text=True).stdout
    data = json.loads(out)
    return {c: {int(p): [tuple(t) for t in terms] for p, terms in data[c].items()} for c in "LBR"}


def millennia(years):
    return (np.asarray(years) - 2000.0) / 1000.0


def evaluate(series, t):
    values = {}
    for coordinate, powers in series.items():
        total = np.zeros_like(t)
        for power, terms in powers.items():
            if terms:
                a, b, c = (np.array(column)[:, None] for column in zip(*terms))
                total += t ** power * (a * np.cos(b + c * t)).sum(axis=0)
        values[coordinate] = total
    return values


def position(values):
    l, b, r = values["L"], values["B"], values["R"]
    return np.stack([r * np.cos(b) * np.cos(l), r * np.cos(b) * np.sin(l), r * np.sin(b)])


def truncated(series, threshold, mean_distance, t_max):
    kept = {}
    for coordinate, powers in series.items():
        scale = mean_distance if coordinate == "R" else 1.0
        kept[coordinate] = {p: [term for term in terms if abs(term[0]) * t_max ** p >= threshold * scale]
                            for p, terms in powers.items()}
    return kept


def error_arcsec(full_position, series, t):
    trial = position(evaluate(series, t))
    miss = np.linalg.norm(trial - full_position, axis=0) / np.linalg.norm(full_position, axis=0)
    return miss.max() / ARCSEC


def term_count(series):
    return sum(len(terms) for powers in series.values() for terms in powers.values())


def write_pluto(folder):
    source = (folder / "package" / "src" / "pluto.js").read_text()
    table = source[source.index("const t37"):]
    rows = [[field.strip() for field in row.split(",")] for row in re.findall(r"new Pt\(\s*([^)]*)\)", table)]
    if len(rows) != PLUTO_TERMS or any(len(row) != 9 for row in rows):
        raise SystemExit(f"make-theories: expected {PLUTO_TERMS} rows of 9 numbers in pluto.js's Table 37.A")
    with PLUTO_OUTPUT.open("w", newline="") as f:
        f.write(f"# Made by tools/make-theories.py: Meeus, Astronomical Algorithms (1998), Table 37.A, as {PACKAGE}\n"
                "# (npm, MIT, src/pluto.js) carries it. With J, S, P the mean longitudes of Jupiter, Saturn and\n"
                "# Pluto, a term adds A sin(a) + B cos(a), a = i J + j S + k P, to the longitude and latitude\n"
                "# (degrees) and the distance (au); see README.md.\n")
        writer = csv.writer(f, lineterminator="\n")
        writer.writerow(["i", "j", "k", "longitude_sin", "longitude_cos", "latitude_sin", "latitude_cos",
                         "distance_sin", "distance_cos"])
        writer.writerows(rows)
    print(f"wrote {PLUTO_OUTPUT.relative_to(ROOT)}: {len(rows)} terms")


def main():
    folder = astronomia_folder(sys.argv)
    write_pluto(folder)
    t = millennia(np.linspace(*SPAN_YEARS, CHECK_DATES))
    t_max = np.abs(t).max()
    rows = []
    for planet in PLANETS:
        series = full_series(folder, planet)
        full_position = position(evaluate(series, t))
        mean_distance = float(np.linalg.norm(full_position, axis=0).mean())
        target = TARGET_ARCSEC.get(planet, DEFAULT_TARGET_ARCSEC)
        low, high = 1e-14, 1e-4  # thresholds (radians): all terms kept .. far too few
        for _ in range(40):
            middle = math.sqrt(low * high)
            if error_arcsec(full_position, truncated(series, middle, mean_distance, t_max), t) <= target:
                low = middle
            else:
                high = middle
        kept = truncated(series, low, mean_distance, t_max)
        error = error_arcsec(full_position, kept, t)
        print(f"{planet}: {term_count(kept)} of {term_count(series)} terms, "
              f"at most {error:.3f}\" from the full series over {SPAN_YEARS[0]:.0f}-{SPAN_YEARS[1]:.0f}")
        for coordinate in "LBR":
            for power, terms in sorted(kept[coordinate].items()):
                rows.extend([planet, coordinate, power, repr(a), repr(b), repr(c)] for a, b, c in terms)
    OUTPUT.parent.mkdir(parents=True, exist_ok=True)
    with OUTPUT.open("w", newline="") as f:
        f.write(f"# Made by tools/make-theories.py from VSOP87B as {PACKAGE} (npm, MIT) carries it; see README.md.\n"
                "# A term of coordinate L (rad), B (rad) or R (au) and power p adds t^p A cos(B + C t),\n"
                "# t in Julian millennia of TDB from J2000 (JD 2451545.0); mean ecliptic and equinox of J2000.\n")
        writer = csv.writer(f, lineterminator="\n")
        writer.writerow(["planet", "coordinate", "power", "amplitude", "phase", "frequency"])
        writer.writerows(rows)
    print(f"wrote {OUTPUT.relative_to(ROOT)}: {len(rows)} terms")


if __name__ == "__main__":
    main()
