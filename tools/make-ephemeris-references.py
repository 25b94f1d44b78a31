#!/usr/bin/python3
"""Write the DE431 reference tables for caelo's tests into tests/reference/:
where the planets, the Earth, the Moon and Pluto are, and which eclipses
happen, as JPL's integrated ephemeris DE431 has them through Debian's
`swetest` and the Swiss Ephemeris files of `swe-basic-data` (compressed from
DE431; planets and Moon 1800 to 2399).

Run from anywhere (needs the packages swetest and swe-basic-data; the C++
tests only read the CSV files this writes):

    /usr/bin/python3 tools/make-ephemeris-references.py

Positions are geometric (no light time, aberration or deflection: swetest's
-true -noaberr -nodefl) in the mean ecliptic and equinox of J2000 (-j2000),
as Cartesian x, y, z: x to the J2000 equinox, z to the ecliptic north pole.
The planets, the Earth (its centre) and Pluto are heliocentric, in au; the
Moon is geocentric, in km. Every row is keyed by jd_tt, a Julian Date in TT.
The eclipses are swetest's searches (-solecl, -lunecl) with the time of
greatest eclipse in UT (swetest's own Delta T) and its magnitude. The dates
are fixed: re-running reproduces the files as long as the packages stay the
same.
"""

import math
import pathlib
import subprocess

SCRIPT_PATH = "tools/make-ephemeris-references.py"
OUTPUT_DIR = pathlib.Path(__file__).resolve().parent.parent / "tests" / "reference"
EPHEMERIS = ["-eswe", "-edir/usr/share/libswe/ephe"]
GEOMETRIC = ["-j2000", "-true", "-noaberr", "-nodefl"]
GOLDEN_FRACTION = (math.sqrt(5.0) - 1.0) / 2.0
JD_DECIMALS = 5

# Spans (TT) and how many dates each gets, spread by the golden fraction so
# that every part of a span is visited and no two dates share a phase.
PLANET_SPAN_JD_TT = (2378496.5, 2524593.5)  # 1800 Jan 1.0 .. 2200 Jan 1.0
PLUTO_SPAN_JD_TT = (2409542.5, 2487069.5)  # 1885 Jan 1.0 .. 2099 Dec 31.0
MOON_SPAN_JD_TT = (2415020.5, 2488069.5)  # 1900 Jan 1.0 .. 2100 Jan 1.0
PLANET_DATES = 240
PLUTO_DATES = 120
MOON_DATES = 400
ECLIPSE_YEARS = (1900, 2100)  # the searches start at 1900 Jan 1 and end with the last of 2100

# swetest's body letters.
PLANETS = [("Mercury", "2"), ("Venus", "3"), ("Earth", "C"), ("Mars", "4"), ("Jupiter", "5"),
           ("Saturn", "6"), ("Uranus", "7"), ("Neptune", "8")]
PLUTO = ("Pluto", "9")
MOON = ("Moon", "1")


def spread_dates(span, count):
    first, last = span
    return [round(first + (last - first) * ((k * GOLDEN_FRACTION) % 1.0), JD_DECIMALS) for k in range(count)]


def swetest(*arguments):
    result = subprocess.run(["swetest", *arguments, *EPHEMERIS], check=True, capture_output=True, text=True)
    return result.stdout


def position(jd_tt, letter, heliocentric):
    """x, y, z (au) and the distance (km) of one body at one date."""
    arguments = [f"-bj{jd_tt:.{JD_DECIMALS}f}", f"-p{letter}", *GEOMETRIC, "-fXw", "-head"]
    if heliocentric:
        arguments.append("-hel")
    fields = swetest(*arguments).split()
    if len(fields) != 4:
        raise SystemExit(f"{SCRIPT_PATH}: swetest answered {fields} for body {letter} at JD {jd_tt}")
    return [float(f) for f in fields]


def header(what, columns):
    version = subprocess.run(["dpkg-query", "-W", "-f=${Package} ${Version}, ", "swetest", "swe-basic-data"],
                             check=True, capture_output=True, text=True).stdout.rstrip(", ")
    return (f"# Made by {SCRIPT_PATH}: {what}\n"
            f"# JPL DE431 through {version}; geometric, J2000 ecliptic.\n"
            f"{columns}\n")


def write_positions():
    rows = []
    for jd in spread_dates(PLANET_SPAN_JD_TT, PLANET_DATES):
        for name, letter in PLANETS:
            x, y, z, _ = position(jd, letter, heliocentric=True)
            rows.append(f"{jd:.{JD_DECIMALS}f},{name},{x:.9f},{y:.9f},{z:.9f}")
    for jd in spread_dates(PLUTO_SPAN_JD_TT, PLUTO_DATES):
        x, y, z, _ = position(jd, PLUTO[1], heliocentric=True)
        rows.append(f"{jd:.{JD_DECIMALS}f},{PLUTO[0]},{x:.9f},{y:.9f},{z:.9f}")
    (OUTPUT_DIR / "de431-planets.csv").write_text(
        header("heliocentric planets, Earth (its centre) and Pluto, au", "jd_tt,body,x_au,y_au,z_au") +
        "\n".join(rows) + "\n")
    moon = []
    for jd in spread_dates(MOON_SPAN_JD_TT, MOON_DATES):
        x, y, z, km = position(jd, MOON[1], heliocentric=False)
        scale = km / math.sqrt(x * x + y * y + z * z)  # au to km, as swetest converts them
        moon.append(f"{jd:.{JD_DECIMALS}f},{x * scale:.4f},{y * scale:.4f},{z * scale:.4f}")
    (OUTPUT_DIR / "de431-moon.csv").write_text(
        header("the geocentric Moon, km", "jd_tt,x_km,y_km,z_km") + "\n".join(moon) + "\n")
    return len(rows), len(moon)


# An eclipse's first line, tab-separated: its type and kind ("total solar",
# "ann-tot solar", "annular non-central solar", "penumb. lunar eclipse"),
# the date, the time of greatest eclipse (UT), for a solar eclipse the width
# of the central path, the magnitudes ("a/b/c"), the saros, and the Julian
# Date (UT) of greatest eclipse.
TYPES = {"total": "total", "annular": "annular", "partial": "partial", "penumb.": "penumbral",
         "ann-tot": "hybrid"}


def eclipses(option, kind):
    found = []
    reached_end = False
    lines = swetest(option, f"-b1.1.{ECLIPSE_YEARS[0]}", "-n600").splitlines()
    for number, line in enumerate(lines):
        fields = line.split("\t")
        if len(fields) < 6 or not fields[-1].strip().replace(".", "").isdigit():
            continue  # the command echoed, or a line of an eclipse's contacts
        year = fields[1].strip().split(".")[2]
        if year.isdigit() and int(year) > ECLIPSE_YEARS[1]:
            reached_end = True
            break
        eclipse_type = TYPES.get(fields[0].split()[0])
        if eclipse_type is None:
            raise SystemExit(f"{SCRIPT_PATH}: unknown eclipse type in {line!r}")
        magnitudes = fields[-3].strip().split("/")
        penumbral = magnitudes[1] if kind == "lunar" else ""
        # The search finds some grazing eclipses it cannot time (it answers
        # Julian Date 0): their time stays empty, they lie between the rows
        # around them.
        jd = float(fields[-1])
        greatest = f"{jd:.6f}" if jd > 0 else ""
        # The next line, the eclipse's contacts, ends with swetest's Delta T.
        delta_t = lines[number + 1].rsplit("dt=", 1)[1].strip() if greatest else ""
        found.append(f"{kind},{eclipse_type},{greatest},{delta_t},{float(magnitudes[0]):.4f},{penumbral}")
    if not reached_end:
        raise SystemExit(f"{SCRIPT_PATH}: the {kind} search ended before {ECLIPSE_YEARS[1] + 1}")
    return found


def write_eclipses():
    rows = eclipses("-solecl", "solar") + eclipses("-lunecl", "lunar")
    (OUTPUT_DIR / "de431-eclipses.csv").write_text(
        f"# Made by {SCRIPT_PATH}: every eclipse of {ECLIPSE_YEARS[0]} to {ECLIPSE_YEARS[1]} by swetest's\n"
        "# searches (-solecl, -lunecl) on DE431 (swe-basic-data); greatest eclipse as a Julian Date in UT\n"
        "# (swetest's Delta T, delta_t_s, seconds); magnitude: a solar eclipse's (the first of swetest's figures), a lunar\n"
        "# eclipse's umbral magnitude (0 for a penumbral one), with its penumbral magnitude beside it.\n"
        "# An empty time: an eclipse the search found but could not time; it lies between its neighbours.\n"
        "kind,type,greatest_jd_ut,delta_t_s,magnitude,penumbral_magnitude\n" + "\n".join(rows) + "\n")
    return len(rows)


def main():
    OUTPUT_DIR.mkdir(parents=True, exist_ok=True)
    planets, moon = write_positions()
    count = write_eclipses()
    print(f"wrote {planets} planet rows, {moon} Moon rows and {count} eclipses into {OUTPUT_DIR}")


if __name__ == "__main__":
    main()
