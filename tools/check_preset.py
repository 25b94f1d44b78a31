"""The derived preset against the reference tables of tests/reference/, in degrees.

Run through `python3 tools/derive-preset.py --check`. The suite makes the same checks on
the evaluated scene; this is the quick look while deriving.
"""

import csv
import math
import pathlib

import sky

REFERENCE = pathlib.Path(__file__).resolve().parent.parent / "tests" / "reference"


def reference_rows(name):
    with open(REFERENCE / name, newline="") as table:
        return list(csv.DictReader(line for line in table if not line.startswith("#")))


def vector(row, *columns):
    return tuple(float(row[column]) for column in columns)


def earth_au(planets, jd):
    return sky.orbit_position(planets["Earth-Moon barycentre"], jd)


def summary(errors):
    return f"max {max(errors):7.3f}  rms {math.sqrt(sum(e * e for e in errors) / len(errors)):7.3f}"


def report(planets, moons, spins):
    import importlib
    derive = importlib.import_module("derive-preset")
    planet_of = {moon: planet for planet, group in derive.MOONS.items() for moon in group}

    print("Moons as seen from their planets (PyEphem, at the light-time-earlier instant):")
    errors = {}
    for row in reference_rows("moons-pyephem.csv"):
        if row["body"] not in moons:
            continue
        jd = float(row["jd_tt"]) - float(row["light_time_days"])
        frame = derive.frame_of(planets, spins, planet_of[row["body"]], jd)
        got = sky.unit(sky.orbit_position(moons[row["body"]], jd, frame))
        errors.setdefault(row["body"], []).append(sky.angle_between_deg(got, vector(row, "x", "y", "z")))
    for body, found in errors.items():
        print(f"  {body:10s} {summary(found)}")

    moon_errors, elongation_errors = [], []
    for row in reference_rows("moon-erfa.csv"):
        jd = float(row["jd_tt"])
        moon = sky.unit(sky.orbit_position(moons["Moon"], jd, derive.frame_of(planets, spins, "Earth-Moon barycentre", jd)))
        sun = sky.unit(sky.scaled(earth_au(planets, jd), -1.0))
        moon_errors.append(sky.angle_between_deg(moon, vector(row, "moon_x", "moon_y", "moon_z")))
        elongation_errors.append(abs(sky.angle_between_deg(moon, sun) - float(row["elongation_deg"])))
    print(f"The Moon's direction (erfa moon98):   {summary(moon_errors)}")
    print(f"The Sun-Moon elongation (erfa):       {summary(elongation_errors)}")

    ring_errors = []
    for row in reference_rows("saturn-rings-pyephem.csv"):
        jd = float(row["jd_tt"])
        pole = sky.column(derive.frame_of(planets, spins, "Saturn", jd), 2)
        saturn = sky.orbit_position(planets["Saturn"], jd)
        towards_earth = sky.unit(sky.plus(earth_au(planets, jd), sky.scaled(saturn, -1.0)))
        opening = sky.deg(math.asin(sky.dot(pole, towards_earth)))
        ring_errors.append(abs(opening - float(row["earth_tilt_deg"])))
    print(f"Saturn's ring opening from the Earth: {summary(ring_errors)}")

    models = sky.RotationModels()
    print("Spin axes against the IAU poles, 1950-2050:")
    for name, naif_id in derive.NAIF_IDS.items():
        if name in ("Sun", "Earth", "Pluto"):
            continue
        found = []
        for k in range(101):
            jd = derive.FIT_FROM_JD + (derive.FIT_TO_JD - derive.FIT_FROM_JD) * k / 100
            pole = sky.column(derive.frame_of(planets, spins, name, jd), 2)
            found.append(sky.angle_between_deg(pole, models.pole(naif_id, jd)))
        print(f"  {name:10s} {summary(found)}")
