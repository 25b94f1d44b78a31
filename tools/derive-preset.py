#!/usr/bin/env python3
"""Derives the values that place and orient the solar-system preset's bodies from the
published numbers in data/sky/, and prints them as the preset's rows.

    python3 tools/derive-preset.py           the rows of source/solarSystemPreset.cpp
    python3 tools/derive-preset.py --check   the derived scene against the reference
                                              tables of tests/reference/ (degrees)

What it derives (frames and conventions in tools/sky.py):
- planets and Pluto: the obliquity and heading that point each body axis's spin axis
  (the globe's +Y) at the IAU north pole at J2000, relative to its orbit plane, and the
  globe's rotation angle at J2000 and sidereal period that turn its +X towards the IAU
  prime meridian. A negative period (Venus, Uranus) turns the globe retrograde.
- the Sun: left level (the planets' orbits hang in its body axis), its globe turned so
  that +X points at the ecliptic longitude of its prime meridian.
- moons: each moon's mean elements, published in the frame of its local Laplace plane
  (or planet equator, or the ecliptic), turned into the frame of its planet's body axis
  at dates across the fitting span and fitted there with straight lines in time: node,
  inclination, longitude of periapsis and mean longitude with their rates (the nodal
  and apsidal precession), a and e as published.
- the Moon: its mean elements of date (Meeus) referred to J2000 by removing the general
  precession, e from the equation of centre, and the evection as the orbit axis's
  correction terms c, s, f; its spin axis in Cassini's state.
"""

import math
import sys

import sky

# The elements are fitted over the span the reference ephemerides cover.
FIT_FROM_JD = 2433282.5  # 1950-01-01
FIT_TO_JD = 2469807.5    # 2050-01-01
# Samples close enough that no node or periapsis turns by half a circle between two.
FIT_SAMPLES = 2001

# General precession in longitude, IAU 2006 (Capitaine et al. 2003), degrees per century.
GENERAL_PRECESSION_DEG_PER_CY = 5028.796195 / 3600.0

# The Moon's equator is inclined this much to the ecliptic (IAU, Cassini's second law).
MOON_EQUATOR_TO_ECLIPTIC_DEG = 1.5424

# NAIF ids of the bodies with a rotation model, by the preset's body name.
NAIF_IDS = {"Sun": 10, "Mercury": 199, "Venus": 299, "Earth": 399, "Mars": 499, "Jupiter": 599,
            "Saturn": 699, "Uranus": 799, "Neptune": 899, "Pluto": 999}

# Planet rows of the preset, in order, with the name of their row in Standish's table.
PLANETS = [("Mercury", "Mercury"), ("Venus", "Venus"), ("Earth-Moon barycentre", "EM Bary"),
           ("Mars", "Mars"), ("Jupiter", "Jupiter"), ("Saturn", "Saturn"), ("Uranus", "Uranus"),
           ("Neptune", "Neptune"), ("Pluto-Charon barycentre", "Pluto")]

# Moons by the body axis they hang in, in the preset's order.
MOONS = {"Mars": ["Phobos", "Deimos"], "Jupiter": ["Io", "Europa", "Ganymede", "Callisto"],
         "Saturn": ["Tethys", "Dione", "Rhea", "Titan", "Iapetus"],
         "Uranus": ["Miranda", "Ariel", "Umbriel", "Titania", "Oberon"],
         "Neptune": ["Naiad", "Thalassa", "Despina", "Galatea", "Larissa"],
         "Pluto-Charon barycentre": ["Charon", "Styx", "Nix", "Kerberos", "Hydra"]}

# The published precession periods are unsigned. Nodes regress. Apsides advance, as the
# planet's oblateness drives them, except where a resonance holds them: Io's and Europa's
# periapses follow the Laplace resonance, whose argument 2 n(Europa) - n(Io) turns back.
REGRESSING_APSIDES = {"Io", "Europa"}

# Source rows mended after a check against an independent ephemeris (tests/reference/):
# mean anomaly at the row's epoch, degrees to add. Iapetus's published row puts it 9.675
# degrees behind PyEphem's Iapetus on average over 1999-2040 (from 10.1 to 9.2 degrees), as
# it does behind a second theory that agrees with PyEphem's; mended, it stays within 0.3.
MENDED_MEAN_ANOMALY_DEG = {"Iapetus": 9.675}

# Uranus's "mean equatorial" elements count longitudes on its equator from right
# ascension 347.311 (the node of the equator of its IAU north pole on the ICRF equator);
# its moons turn about the opposite pole.
URANUS_NODE_RA_DEG = 347.311


def number(value):
    """A published value as it stands, a derived one to 12 significant digits, rounding
    noise as 0.0."""
    if abs(value) < 1e-9:
        return "0.0"
    published = repr(value)
    return published if len(published.lstrip("-")) <= 16 else repr(float(f"{value:.12g}"))


# ---------------------------------------------------------------- planets and poles

def planet_records():
    rows = sky.rows_by("planet_elements_standish_table1.csv", "body")
    records = {}
    for name, row_name in PLANETS:
        row = rows[row_name]
        records[name] = {key: float(row[column]) for key, column in (
            ("a", "a_au"), ("a_rate", "a_rate"), ("e", "e"), ("e_rate", "e_rate"), ("i", "I_deg"),
            ("i_rate", "I_rate"), ("L", "L_deg"), ("L_rate", "L_rate"), ("peri", "varpi_deg"),
            ("peri_rate", "varpi_rate"), ("node", "Omega_deg"), ("node_rate", "Omega_rate"))}
    return records


def spin_towards(models, naif_id, orbit_frame):
    """Obliquity, heading, rotation angle at J2000 and sidereal period of a body axis in an
    orbit plane frame, for the body's IAU pole and prime meridian."""
    obliquity, heading = sky.axis_towards(orbit_frame, models.pole(naif_id, sky.J2000_JD))
    frame = sky.mat_mul(orbit_frame, sky.body_axis_rotation(heading, obliquity))
    angle = sky.longitude_in_frame_deg(frame, models.prime_meridian(naif_id, sky.J2000_JD))
    period = 360.0 / models.prime_meridian_rate_deg_per_day(naif_id)
    return {"obliquity": obliquity, "heading": heading, "angle": sky.wrap360(angle), "period": period}


def level_spin(models, naif_id):
    """A level globe turned so that +X points at the ecliptic longitude of the prime meridian."""
    meridian = models.prime_meridian(naif_id, sky.J2000_JD)
    angle = sky.deg(math.atan2(meridian[1], meridian[0]))
    period = 360.0 / models.prime_meridian_rate_deg_per_day(naif_id)
    return {"obliquity": 0.0, "heading": 0.0, "angle": sky.wrap360(angle), "period": period}


def planet_spins(models, planets):
    spins = {"Sun": level_spin(models, NAIF_IDS["Sun"])}
    for name, record in planets.items():
        frame = sky.orbit_plane_frame(record["node"], record["i"])
        if name in NAIF_IDS:
            spins[name] = spin_towards(models, NAIF_IDS[name], frame)
    # The Earth-Moon barycentre's axis lies in the ecliptic; the Earth's in it turns by the
    # solar day, so only its pole is set.
    spins["Earth-Moon barycentre"] = {"obliquity": 0.0, "heading": 0.0}
    earth = spin_towards(models, NAIF_IDS["Earth"], frame_of(planets, spins, "Earth-Moon barycentre"))
    spins["Earth"] = {"obliquity": earth["obliquity"], "heading": earth["heading"]}
    # The Pluto-Charon barycentre's axis stands on Pluto's pole, the pole of the plane its
    # moons keep (their Laplace plane), so that their inclinations read as published.
    pluto_frame = sky.orbit_plane_frame(planets["Pluto-Charon barycentre"]["node"],
                                        planets["Pluto-Charon barycentre"]["i"])
    obliquity, heading = sky.axis_towards(pluto_frame, models.pole(NAIF_IDS["Pluto"], sky.J2000_JD))
    spins["Pluto-Charon barycentre"] = {"obliquity": obliquity, "heading": heading}
    return spins


def frame_of(planets, spins, name, jd=sky.J2000_JD):
    return sky.body_frame(planets[name], spins[name], jd)


# ---------------------------------------------------------------- moons

def reference_frame(models, row):
    """The frame the published elements of a moon are referred to: x to the origin of
    its node longitudes, z to the pole of its reference plane."""
    if row["section"].startswith("Mean ecliptic"):
        return sky.rot_z(0.0)
    if row["planet"] == "Uranus":
        uranus_ra, uranus_dec = models.pole_radec(NAIF_IDS["Uranus"], sky.J2000_JD)
        z = sky.direction(uranus_ra + 180.0, -uranus_dec)
        x = sky.direction(URANUS_NODE_RA_DEG, 0.0)
    else:
        ra, dec = float(row["laplace_ra_deg"]), float(row["laplace_dec_deg"])
        z = sky.direction(ra, dec)
        x = sky.direction(ra + 90.0, 0.0)
    return tuple(zip(x, sky.cross(z, x), z))


def published_orbit(models, row):
    """The moon's orbit plane frame (x to periapsis, z to the pole) and mean anomaly at jd,
    from its published mean elements with the nodal and apsidal precession."""
    node_rate = -360.0 / (float(row["Pnode_yr"]) * sky.DAYS_PER_YEAR) if row["Pnode_yr"] else 0.0
    apsis_rate = 360.0 / (float(row["Pw_yr"]) * sky.DAYS_PER_YEAR) if row["Pw_yr"] else 0.0
    if row["body"] in REGRESSING_APSIDES:
        apsis_rate = -apsis_rate
    mean_longitude_rate = float(row["n_deg_per_day"])
    mean_anomaly_rate = mean_longitude_rate - node_rate - apsis_rate
    epoch = float(row["epoch_jd_tt"])
    frame = reference_frame(models, row)
    mended = MENDED_MEAN_ANOMALY_DEG.get(row["body"], 0.0)

    def at(jd):
        days = jd - epoch
        node = float(row["node_deg"]) + node_rate * days
        argument = float(row["w_deg"]) + apsis_rate * days
        mean_anomaly = float(row["M_deg"]) + mended + mean_anomaly_rate * days
        plane = sky.mat_mul(frame, sky.orbit_plane_frame(node, float(row["i_deg"])), sky.rot_z(argument))
        return plane, mean_anomaly

    return at


def elements_in(frame, plane):
    """Node, inclination and longitude of periapsis (degrees) of an orbit plane frame
    seen from a body axis's frame."""
    local = sky.mat_mul(sky.transposed(frame), plane)
    periapsis, pole = sky.column(local, 0), sky.column(local, 2)
    inclination = sky.deg(math.acos(max(-1.0, min(1.0, pole[2]))))
    node = sky.deg(math.atan2(pole[0], -pole[1]))
    node_direction = (math.cos(sky.rad(node)), math.sin(sky.rad(node)), 0.0)
    argument = sky.deg(math.atan2(sky.dot(periapsis, sky.cross(pole, node_direction)),
                                  sky.dot(periapsis, node_direction)))
    return node, inclination, node + argument


def unwrapped(angles):
    result = [angles[0]]
    for angle in angles[1:]:
        result.append(angle + 360.0 * round((result[-1] - angle) / 360.0))
    return result


def straight_line(times, values):
    """Least-squares value at time 0 and rate."""
    n = len(times)
    mean_t, mean_v = sum(times) / n, sum(values) / n
    slope = sum((t - mean_t) * (v - mean_v) for t, v in zip(times, values)) / sum((t - mean_t) ** 2 for t in times)
    return mean_v - slope * mean_t, slope


def fitted_moon_record(models, row, planet_frame_at):
    """The moon's orbit record in its planet's body-axis frame. The mean anomaly does not
    depend on the frame, so the mean longitude is the fitted longitude of periapsis plus
    the published mean anomaly and its rate."""
    orbit_at = published_orbit(models, row)
    jds = [FIT_FROM_JD + (FIT_TO_JD - FIT_FROM_JD) * k / (FIT_SAMPLES - 1) for k in range(FIT_SAMPLES)]
    centuries = [(jd - sky.J2000_JD) / sky.DAYS_PER_CENTURY for jd in jds]
    samples = [elements_in(planet_frame_at(jd), orbit_at(jd)[0]) for jd in jds]
    record = {"a": float(row["a_km"]), "e": float(row["e"])}
    for index, (key, angular) in enumerate((("node", True), ("i", False), ("peri", True))):
        values = [sample[index] for sample in samples]
        value, rate = straight_line(centuries, unwrapped(values) if angular else values)
        record[key] = sky.wrap360(value) if angular else value
        record[key + "_rate"] = rate
    mean_anomaly_j2000 = orbit_at(sky.J2000_JD)[1]
    mean_anomaly_rate = orbit_at(sky.J2000_JD + sky.DAYS_PER_CENTURY)[1] - mean_anomaly_j2000
    record["L"] = sky.wrap360(record["peri"] + mean_anomaly_j2000)
    record["L_rate"] = record["peri_rate"] + mean_anomaly_rate
    return record


def moon_records(models, planets, spins):
    rows = sky.rows_by("satellite_mean_elements_jpl.csv", "body")
    records = {}
    for planet, moons in MOONS.items():
        def planet_frame_at(jd, planet=planet):
            return frame_of(planets, spins, planet, jd)
        for moon in moons:
            records[moon] = fitted_moon_record(models, rows[moon], planet_frame_at)
    # Pluto circles the barycentre opposite Charon, at the preset's share of the distance.
    pluto = dict(records["Charon"])
    pluto["a"] = records["Charon"]["a"] * PLUTO_SHARE_OF_SEPARATION
    pluto["L"] = sky.wrap360(pluto["L"] + 180.0)
    pluto["peri"] = sky.wrap360(pluto["peri"] + 180.0)
    records["Pluto"] = pluto
    return records


# Pluto's distance from the barycentre as a share of its distance from Charon (1 in 7).
PLUTO_SHARE_OF_SEPARATION = 2795.91428571429 / 19571.4


def the_moon_record():
    """The Moon about the Earth-Moon barycentre's axis (the ecliptic of J2000)."""
    mean = sky.rows_by("moon_mean_elements_meeus.csv", "symbol")
    terms = sky.rows_by("moon_periodic_terms_meeus.csv", "term")
    published = sky.rows_by("satellite_mean_elements_jpl.csv", "body")["Moon"]

    def polynomial(symbol):
        return float(mean[symbol]["c0_deg"]), float(mean[symbol]["c1_deg_per_cy"])

    def amplitude(term):
        return float(terms[term]["coefficient_1e-6_deg"]) * 1e-6

    longitude, longitude_rate = polynomial("Lprime")
    perigee, perigee_rate = polynomial("varpi")
    node, node_rate = polynomial("Omega")
    # The equation of centre of a Kepler orbit is 2e - e^3/4 radians to third order.
    centre_rad = sky.rad(amplitude("equation of centre"))
    e = centre_rad / 2.0
    for _ in range(20):
        e = (centre_rad + e ** 3 / 4.0) / 2.0
    # The evection, A sin(2D - M'), as c cos(F) + s sin(F) with F = f T.
    d0, d1 = polynomial("D")
    m0, m1 = polynomial("Mprime")
    phase = 2.0 * d0 - m0
    evection = amplitude("evection")
    p = GENERAL_PRECESSION_DEG_PER_CY
    return {"a": float(published["a_km"]) / sky.KM_PER_AU, "e": e, "i": float(published["i_deg"]),
            "L": longitude, "L_rate": longitude_rate - p, "peri": perigee, "peri_rate": perigee_rate - p,
            "node": node, "node_rate": node_rate - p,
            "b": float(mean["Lprime"]["c2_deg_per_cy2"]),
            "c": evection * math.sin(sky.rad(phase)), "s": evection * math.cos(sky.rad(phase)),
            "f": 2.0 * d1 - m1}


def moon_spins(records):
    """Moons keep one face to their planet with their axes on their orbits' poles, on the
    side of their IAU north poles (the Uranian moons' is their orbits' south). The Moon's
    axis keeps Cassini's state: beyond the ecliptic pole from its orbit's pole."""
    spins = {}
    for planet, moons in MOONS.items():
        for moon in moons:
            spins[moon] = {"obliquity": 180.0 if planet == "Uranus" else 0.0, "heading": 0.0}
    spins["Moon"] = {"obliquity": records["Moon"]["i"] + MOON_EQUATOR_TO_ECLIPTIC_DEG, "heading": 0.0}
    return spins


def derive():
    models = sky.RotationModels()
    planets = planet_records()
    spins = planet_spins(models, planets)
    moons = moon_records(models, planets, spins)
    moons["Moon"] = the_moon_record()
    spins.update(moon_spins(moons))
    pluto_frame = sky.mat_mul(frame_of(planets, spins, "Pluto-Charon barycentre"),
                              sky.orbit_plane_frame(moons["Pluto"]["node"], moons["Pluto"]["i"]))
    spins["Pluto"] = {key: value for key, value in spin_towards(models, NAIF_IDS["Pluto"], pluto_frame).items()
                      if key in ("obliquity", "heading")}
    return planets, moons, spins


# ---------------------------------------------------------------- output

def orbit_row(record, unit):
    fields = ["a", "a_rate", "e", "e_rate", "i", "i_rate", "L", "L_rate", "peri", "peri_rate", "node", "node_rate"]
    return f"Elements(Unit::{unit}, " + ", ".join(number(record.get(field, 0.0)) for field in fields) + ")"


def spin_row(spin):
    fields = ["obliquity", "heading", "angle", "period"]
    return ", ".join(number(spin[field]) if field in spin else "-" for field in fields)


def print_rows(planets, moons, spins):
    print("/* Orbits: a, rate, e, rate, I, rate, L, rate, varpi, rate, Omega, rate. */")
    for name in planets:
        print(f"{name:24s} {orbit_row(planets[name], 'Au')}")
    print(f"{'Moon':24s} {orbit_row(moons['Moon'], 'Au')}")
    moon = moons["Moon"]
    print(f"{'':24s} terms b {number(moon['b'])}, c {number(moon['c'])}, s {number(moon['s'])}, "
          f"f {number(moon['f'])}")
    for name in [moon for group in MOONS.values() for moon in group] + ["Pluto"]:
        print(f"{name:24s} {orbit_row(moons[name], 'Km')}")
    print("/* Bodies: obliquity, heading, rotation angle at J2000, rotation period ('-': kept as built). */")
    for name, spin in spins.items():
        print(f"{name:24s} {spin_row(spin)}")


def main():
    planets, moons, spins = derive()
    if "--check" in sys.argv[1:]:
        import check_preset
        check_preset.report(planets, moons, spins)
    else:
        print_rows(planets, moons, spins)


if __name__ == "__main__":
    main()
