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

The Moon: ELP/MPP02 (J. Chapront and G. Francou 2002, 2003; its version
fitted to DE405) as the same package carries it (data/elpMppDe.js: the
series with each argument a polynomial of degree 4 in T, Julian centuries;
longitude and latitude in arcseconds, distance in km, W1 the mean longitude
in radians), truncated like the planets to stay within MOON_TARGET_ARCSEC
(and MOON_TARGET_KM in distance) of the package's series over SPAN_YEARS,
into data/theories/elp-mpp02.csv.
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
MOON_OUTPUT = ROOT / "data" / "theories" / "elp-mpp02.csv"
MOON_TARGET_ARCSEC = 0.5
MOON_TARGET_KM = 0.5
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


def moon_series(folder):
    out = subprocess.run(["node", "-e", "console.log(JSON.stringify(require('./elpMppDe.js').default))"],
                         cwd=folder / "package" / "data", check=True, capture_output=True, text=True).stdout
    data = json.loads(out)
    return data["W1"], {c: {int(p): [tuple(t) for t in terms] for p, terms in data[c].items()} for c in "LBR"}


def moon_values(w1, series, centuries):
    """L (rad), B (rad), R (km) in the mean ecliptic of date (before precession to J2000)."""
    def total(coordinate):
        result = np.zeros_like(centuries)
        for power, terms in series[coordinate].items():
            if terms:
                rows = np.array(terms)
                phase = sum(rows[:, 1 + n][:, None] * centuries ** n for n in range(5))
                result += centuries ** power * (rows[:, 0][:, None] * np.sin(phase)).sum(axis=0)
        return result
    mean_longitude = sum(c * centuries ** n for n, c in enumerate(w1))
    return mean_longitude + total("L") * ARCSEC, total("B") * ARCSEC, total("R")


def moon_errors(full, trial):
    (l0, b0, r0), (l1, b1, r1) = full, trial
    v0 = np.stack([np.cos(b0) * np.cos(l0), np.cos(b0) * np.sin(l0), np.sin(b0)])
    v1 = np.stack([np.cos(b1) * np.cos(l1), np.cos(b1) * np.sin(l1), np.sin(b1)])
    angle = np.arccos(np.clip((v0 * v1).sum(axis=0), -1.0, 1.0)) / ARCSEC
    return angle.max(), np.abs(r1 - r0).max()


def write_moon(folder):
    w1, series = moon_series(folder)
    centuries = (np.linspace(*SPAN_YEARS, 4 * CHECK_DATES) - 2000.0) / 100.0
    t_max = np.abs(centuries).max()
    full = moon_values(w1, series, centuries)
    km_per_arcsec = float(full[2].mean()) * ARCSEC

    def kept_at(threshold):  # arcseconds, and its length at the Moon's distance for R
        return {c: {p: [t for t in terms if abs(t[0]) * t_max ** p >= threshold * (km_per_arcsec if c == "R" else 1)]
                    for p, terms in powers.items()} for c, powers in series.items()}

    low, high = 1e-9, 10.0
    for _ in range(40):
        middle = math.sqrt(low * high)
        angle, km = moon_errors(full, moon_values(w1, kept_at(middle), centuries))
        if angle <= MOON_TARGET_ARCSEC and km <= MOON_TARGET_KM:
            low = middle
        else:
            high = middle
    kept = kept_at(low)
    angle, km = moon_errors(full, moon_values(w1, kept, centuries))
    print(f"moon: {term_count(kept)} of {term_count(series)} terms, at most {angle:.3f}\" and {km:.3f} km "
          f"from the package's series over {SPAN_YEARS[0]:.0f}-{SPAN_YEARS[1]:.0f}")
    with MOON_OUTPUT.open("w", newline="") as f:
        f.write(f"# Made by tools/make-theories.py from ELP/MPP02 (DE405) as {PACKAGE} (npm, MIT) carries it;\n"
                "# see README.md. A term of L (arcsec), B (arcsec) or R (km) and power p adds\n"
                "# T^p A sin(f0 + f1 T + f2 T^2 + f3 T^3 + f4 T^4), T in Julian centuries of TDB from J2000;\n"
                "# rows W: the mean longitude W1 = sum of A T^p (rad). Mean ecliptic of date, inertial.\n")
        writer = csv.writer(f, lineterminator="\n")
        writer.writerow(["coordinate", "power", "amplitude", "f0", "f1", "f2", "f3", "f4"])
        writer.writerows(["W", power, repr(c), 0, 0, 0, 0, 0] for power, c in enumerate(w1))
        for coordinate in "LBR":
            for power, terms in sorted(kept[coordinate].items()):
                writer.writerows([coordinate, power, *map(repr, term)] for term in terms)
    print(f"wrote {MOON_OUTPUT.relative_to(ROOT)}")


def main():
    folder = astronomia_folder(sys.argv)
    write_pluto(folder)
    write_moon(folder)
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
