#!/usr/bin/python3
"""Write independent reference tables for caelo's tests into tests/reference/.

Run from anywhere with Debian's interpreter (needs python3-ephem, python3-erfa
and numpy; the C++ tests only read the CSV files this writes):

    /usr/bin/python3 tools/make-reference-tables.py

Every direction is a unit vector in the mean ecliptic and equinox of J2000
(x to the J2000 equinox, z to the ecliptic north pole), obtained from J2000 /
ICRS / GCRS equatorial vectors by a rotation about x by the J2000 obliquity
(frame bias ignored). Every row is keyed by jd_tt, a Julian Date in TT.
The dates are fixed: re-running reproduces the files byte for byte as long
as the package versions stay the same.
"""

import math
import pathlib

import ephem
import erfa
import numpy as np

import sky

SCRIPT_PATH = "tools/make-reference-tables.py"
RERUN_COMMAND = "/usr/bin/python3 tools/make-reference-tables.py"
OUTPUT_DIR = pathlib.Path(__file__).resolve().parent.parent / "tests" / "reference"

OBLIQUITY_J2000_RAD = math.radians(84381.448 / 3600.0)
LIGHT_DAYS_PER_AU = 0.0057755183
SECONDS_PER_DAY = 86400.0
DUBLIN_JD_OFFSET = 2415020.0  # ephem.Date counts days from JD 2415020.0
GOLDEN_FRACTION = (math.sqrt(5.0) - 1.0) / 2.0
JD_DECIMALS = 6  # jd_tt is rounded to this before use so the file holds the exact input

# PyEphem's moon tables start at 1999 Jan 1.0 (Mars and Uranus moons read as
# zero before it) and break down in the first days of 2040 (Hyperion from
# 2040 Jan 8), so the moon dates keep a day or two inside that.
MOON_SPAN_JD_TT = (2451181.5, 2466152.5)  # 1999 Jan 2.0 .. 2039 Dec 30.0 TT
CENTURY_SPAN_JD_TT = (2433282.5, 2469807.5)  # 1950 Jan 1.0 .. 2050 Jan 1.0 TT

MOONS = [
    ("Phobos", "Mars"), ("Deimos", "Mars"),
    ("Io", "Jupiter"), ("Europa", "Jupiter"), ("Ganymede", "Jupiter"), ("Callisto", "Jupiter"),
    ("Mimas", "Saturn"), ("Enceladus", "Saturn"), ("Tethys", "Saturn"), ("Dione", "Saturn"),
    ("Rhea", "Saturn"), ("Titan", "Saturn"), ("Hyperion", "Saturn"), ("Iapetus", "Saturn"),
    ("Miranda", "Uranus"), ("Ariel", "Uranus"), ("Umbriel", "Uranus"), ("Titania", "Uranus"),
    ("Oberon", "Uranus"),
]
DATES_PER_MOON = 40
MOON_ERFA_DATES = 200
SATURN_RING_DATES = 100

# Io's mean elements on its Laplace plane (JPL SSD planetary satellite mean
# orbital parameters): epoch, Laplace pole, node + argument of periapsis +
# mean anomaly at the epoch (= mean longitude), and the mean longitude rate.
IO_EPOCH_JD_TT = 2450464.5  # 1997 Jan 16.0 TT
IO_LAPLACE_POLE_RA_DEC_DEG = (268.057, 64.495)
IO_MEAN_LONGITUDE_AT_EPOCH_DEG = 43.977 + 84.129 + 342.021
IO_MEAN_MOTION_DEG_PER_DAY = 203.4889583
IO_INCLINATION_DEG = 0.036
TITAN_LAPLACE_POLE_RA_DEC_DEG = (36.214, 83.949)
TITAN_INCLINATION_DEG = 0.306


# ---------------------------------------------------------------- vectors

def unit(vector):
    """Return vector scaled to length one."""
    vector = np.asarray(vector, dtype=float)
    return vector / np.linalg.norm(vector)


def angle_between_deg(a, b):
    """Angle between two vectors in degrees (0..180), accurate near 0 and 180."""
    return math.degrees(math.atan2(np.linalg.norm(np.cross(a, b)), np.dot(a, b)))


def radec_unit(ra_rad, dec_rad):
    """Equatorial unit vector for a right ascension and declination."""
    return np.array([math.cos(dec_rad) * math.cos(ra_rad),
                     math.cos(dec_rad) * math.sin(ra_rad),
                     math.sin(dec_rad)])


def radec_deg_unit(ra_dec_deg):
    """Equatorial unit vector for an (ra, dec) pair in degrees."""
    return radec_unit(*map(math.radians, ra_dec_deg))


def sky_axes(ra_rad, dec_rad):
    """East, north and towards-the-observer unit vectors at a sky direction."""
    east = np.array([-math.sin(ra_rad), math.cos(ra_rad), 0.0])
    north = np.array([-math.sin(dec_rad) * math.cos(ra_rad),
                      -math.sin(dec_rad) * math.sin(ra_rad),
                      math.cos(dec_rad)])
    return east, north, -radec_unit(ra_rad, dec_rad)


def equatorial_to_ecliptic(vector):
    """Rotate a J2000 mean equatorial vector into the J2000 mean ecliptic frame."""
    c, s = math.cos(OBLIQUITY_J2000_RAD), math.sin(OBLIQUITY_J2000_RAD)
    x, y, z = vector
    return np.array([x, c * y + s * z, -s * y + c * z])


# ------------------------------------------------------------------ dates

def jittered_dates_jd_tt(span_jd_tt, count, salt=0):
    """count dates spread evenly over span, each shifted within its slot.

    The shift is the golden-ratio sequence (deterministic, no random numbers),
    so the dates fall at varied hours; salt varies the sequence per table.
    """
    start, end = span_jd_tt
    slot_days = (end - start) / count
    dates = []
    for k in range(count):
        shift = ((k + 1) * GOLDEN_FRACTION + salt * math.sqrt(2.0)) % 1.0
        dates.append(round(start + (k + shift) * slot_days, JD_DECIMALS))
    return dates


def pyephem_date(jd_tt):
    """The ephem.Date (UT) whose TT, by PyEphem's own delta-T, is jd_tt."""
    ut = jd_tt
    for _ in range(3):  # delta-T changes slowly: this converges at once
        ut = jd_tt - ephem.delta_t(ephem.Date(ut - DUBLIN_JD_OFFSET)) / SECONDS_PER_DAY
    return ephem.Date(ut - DUBLIN_JD_OFFSET)


def tt_jd(date):
    """JD in TT of an ephem.Date (UT), by PyEphem's delta-T."""
    return ephem.julian_date(date) + ephem.delta_t(date) / SECONDS_PER_DAY


# ------------------------------------------------------------ PyEphem moons

def sky_offset(moon, ra_rad, dec_rad, z_sign=1.0):
    """Moon offset (planet radii) on sky axes at (ra, dec): x east, y south, z to the observer."""
    east, north, towards_earth = sky_axes(ra_rad, dec_rad)
    return moon.x * east - moon.y * north + z_sign * moon.z * towards_earth


def moon_offset_j2000(planet, moon):
    """Planet-to-moon vector (planet radii) in J2000 mean equatorial axes.

    PyEphem's x, y, z lie on sky axes of J2000 at the planet's astrometric
    place (see the header notes for how this was established).
    """
    return sky_offset(moon, planet.a_ra, planet.a_dec)


def moon_offset_of_date(planet, moon, date, precession_nutation):
    """The offset read on apparent sky axes of date, rotated back to J2000."""
    offset_of_date = sky_offset(moon, planet.ra, planet.dec)
    return precession_nutation(tt_jd(date), 0.0).T @ offset_of_date


def computed_pair(planet_name, moon_name, date):
    """PyEphem planet and moon computed geocentrically at date, epoch J2000."""
    planet = getattr(ephem, planet_name)()
    moon = getattr(ephem, moon_name)()
    planet.compute(date, epoch=ephem.J2000)
    moon.compute(date, epoch=ephem.J2000)
    return planet, moon


def moon_rows():
    """Rows body, planet, jd_tt, light_time_days, x, y, z; plus sky-offset residuals.

    The residuals compare PyEphem's own moon a_ra/a_dec with x and y:
    a_ra offset minus x * radius and a_dec offset plus y * radius, in planet radii.
    """
    rows, residuals = [], []
    for index, (moon_name, planet_name) in enumerate(MOONS):
        for jd_tt in jittered_dates_jd_tt(MOON_SPAN_JD_TT, DATES_PER_MOON, salt=index):
            planet, moon = computed_pair(planet_name, moon_name, pyephem_date(jd_tt))
            direction = unit(equatorial_to_ecliptic(moon_offset_j2000(planet, moon)))
            light_time_days = planet.earth_distance * LIGHT_DAYS_PER_AU
            rows.append([moon_name, planet_name, f"{jd_tt:.{JD_DECIMALS}f}",
                         f"{light_time_days:.12f}", *(f"{c:.15f}" for c in direction)])
            ra_offset = (moon.a_ra - planet.a_ra + math.pi) % (2.0 * math.pi) - math.pi
            residuals.append((ra_offset / planet.radius - moon.x,
                              (moon.a_dec - planet.a_dec) / planet.radius + moon.y))
    return rows, np.abs(np.array(residuals)).max(axis=0)


def earth_visibility_agreement(samples=20000):
    """Io samples on Jupiter's disk: (count where earth_visible == (z > 0), total)."""
    io = ephem.Io()
    agree = total = 0
    for k in range(samples):
        io.compute(ephem.Date(ephem.Date("2001/1/1") + k * 0.0937))
        if math.hypot(io.x, io.y) < 0.9:
            total += 1
            agree += bool(io.earth_visible) == (io.z > 0)
    return agree, total


def orbit_pole(planet_name, moon_name, start, window_days, offset):
    """Orbit normal (unit, along the angular momentum) fitted to one window."""
    samples = []
    for k in range(80):
        date = ephem.Date(start + k * window_days / 80)
        planet, moon = computed_pair(planet_name, moon_name, date)
        samples.append(offset(planet, moon, date))
    samples = np.array(samples)
    normal = np.linalg.svd(samples)[2][2]
    angular_momentum = np.cross(samples[:-1], samples[1:]).sum(axis=0)
    return normal * np.sign(normal @ angular_momentum)


def pole_separations_deg(planet_name, moon_name, window_days, laplace_pole_deg, offset):
    """(min, max) angle between fitted orbit poles and the Laplace pole over 12 windows."""
    laplace_pole = radec_deg_unit(laplace_pole_deg)
    start, end = (d - DUBLIN_JD_OFFSET for d in MOON_SPAN_JD_TT)
    separations = [angle_between_deg(orbit_pole(planet_name, moon_name,
                                                start + k * (end - start - window_days) / 11,
                                                window_days, offset), laplace_pole)
                   for k in range(12)]
    return min(separations), max(separations)


def sky_axes_comparison():
    """Header lines comparing J2000 sky axes with apparent-of-date axes."""
    hypotheses = [
        ("J2000 axes at (a_ra, a_dec)", lambda p, m, d: moon_offset_j2000(p, m)),
        ("the same with z reversed", lambda p, m, d: sky_offset(m, p.a_ra, p.a_dec, z_sign=-1.0)),
        ("of-date axes at (ra, dec), rotated back by erfa.pnm06a",
         lambda p, m, d: moon_offset_of_date(p, m, d, erfa.pnm06a)),
        ("of-date axes at (ra, dec), rotated back by erfa.pnm80",
         lambda p, m, d: moon_offset_of_date(p, m, d, erfa.pnm80)),
    ]
    cases = [("Jupiter", "Io", 1.8, IO_LAPLACE_POLE_RA_DEC_DEG, IO_INCLINATION_DEG),
             ("Saturn", "Titan", 16.0, TITAN_LAPLACE_POLE_RA_DEC_DEG, TITAN_INCLINATION_DEG)]
    lines = []
    for planet_name, moon_name, window_days, pole_deg, inclination_deg in cases:
        lines.append(f"    {moon_name} (inclination to its Laplace plane {inclination_deg} deg):")
        for label, offset in hypotheses:
            low, high = pole_separations_deg(planet_name, moon_name, window_days, pole_deg, offset)
            lines.append(f"      {label}: {low:.3f} .. {high:.3f} deg")
    return lines


def io_longitude_residuals():
    """Io's PyEphem longitude minus its mean longitude at t and at t - tau.

    Longitudes are on Io's Laplace plane from that plane's ascending node on
    the J2000 equator. Returns (tau_minutes, residual_at_t_deg,
    residual_at_t_minus_tau_deg) arrays over 40 dates of the moon span.
    """
    pole = radec_deg_unit(IO_LAPLACE_POLE_RA_DEC_DEG)
    node = np.array([-pole[1], pole[0], 0.0]) / math.hypot(pole[0], pole[1])
    in_plane = np.cross(pole, node)

    def mean_longitude_deg(jd_tt):
        return (IO_MEAN_LONGITUDE_AT_EPOCH_DEG
                + IO_MEAN_MOTION_DEG_PER_DAY * (jd_tt - IO_EPOCH_JD_TT))

    def wrapped_deg(angle):
        return (angle + 180.0) % 360.0 - 180.0

    results = []
    for jd_tt in jittered_dates_jd_tt(MOON_SPAN_JD_TT, 40, salt=101):
        planet, io = computed_pair("Jupiter", "Io", pyephem_date(jd_tt))
        offset = moon_offset_j2000(planet, io)
        longitude = math.degrees(math.atan2(offset @ in_plane, offset @ node))
        tau_days = planet.earth_distance * LIGHT_DAYS_PER_AU
        results.append((tau_days * 1440.0,
                        wrapped_deg(longitude - mean_longitude_deg(jd_tt)),
                        wrapped_deg(longitude - mean_longitude_deg(jd_tt - tau_days))))
    return np.array(results).T


def light_time_lines():
    """Header lines with the light-time evidence from Io."""
    tau_minutes, at_t, at_retarded = io_longitude_residuals()
    slope = np.polyfit(tau_minutes, at_t, 1)[0]

    def rms(values):
        return math.sqrt(np.mean(values ** 2))

    return [
        f"    Io, {len(tau_minutes)} dates, light time {tau_minutes.min():.1f} .. {tau_minutes.max():.1f} min:",
        f"      PyEphem minus mean longitude at t:       mean {at_t.mean():+.3f} deg, rms {rms(at_t):.3f} deg",
        f"      PyEphem minus mean longitude at t - tau: mean {at_retarded.mean():+.3f} deg, rms {rms(at_retarded):.3f} deg",
        f"      slope of the residual at t against tau: {slope:.4f} deg/min"
        f" (minus Io's mean motion: {-IO_MEAN_MOTION_DEG_PER_DAY / 1440.0:.4f} deg/min)",
    ]


def moons_header(sky_residuals, visibility):
    """Comment lines for moons-pyephem.csv."""
    ra_residual, dec_residual = sky_residuals
    agree, total = visibility
    return [
        "Planet-to-moon unit vectors from PyEphem's planetary moon theories.",
        "body,planet: PyEphem body names. jd_tt: Julian Date, TT.",
        "PyEphem works in UT: each row is computed at UT = jd_tt - delta_t, with PyEphem's own",
        "  ephem.delta_t(date) (TT - UT in seconds), iterated to self-consistency.",
        "light_time_days: the planet's light time from the Earth at that instant = planet.earth_distance",
        f"  (au) * {LIGHT_DAYS_PER_AU} days per au.",
        "x,y,z: unit vector from the planet's centre to the moon, mean ecliptic and equinox of J2000",
        "  (x to the J2000 equinox, z to the ecliptic north pole), dimensionless.",
        "No light-time correction is applied to the vectors: see 'instant' below.",
        f"Dates: {DATES_PER_MOON} per moon over JD(TT) {MOON_SPAN_JD_TT[0]} .. {MOON_SPAN_JD_TT[1]}"
        " (1999 Jan 2 .. 2039 Dec 30),",
        "  evenly spread with a golden-ratio shift within each slot.",
        "Span: the moon tables start at 1999 Jan 1.0 (before it Mars and Uranus moons read x=y=z=0; Jupiter",
        "  and Saturn moons silently switch to another theory) and break down in early 2040 (Hyperion",
        "  from 2040 Jan 8, Mimas Jan 11, the Galileans Jan 16: distances of thousands of radii); PyEphem",
        "  raises no error outside the span.",
        "PyEphem's moon .x .y .z (and planet .earth_distance) are single-precision floats: the vectors are",
        "  quantised at about 1e-7 although printed to 1e-15.",
        "Conventions measured (this run):",
        "  (a) x is east (increasing RA), y is SOUTH, z is TOWARDS THE EARTH, all in planet radii:",
        f"    moon.a_ra - planet.a_ra = +x * planet.radius to {ra_residual:.1e} radii and",
        f"    moon.a_dec - planet.a_dec = -y * planet.radius to {dec_residual:.1e} radii over all rows;",
        "    note PyEphem's moon RA offset lacks the 1/cos(dec) factor, so the moons' ra/a_ra are not exact.",
        f"    Io on Jupiter's disk: earth_visible == (z > 0) in {agree} of {total} samples.",
        "    With z towards the Earth the orbit poles fitted below are prograde, next to the Laplace poles;",
        "    with z reversed they are not.",
        "  (b) the sky-plane axes are those of J2000 (mean equator and equinox), not of date: PyEphem",
        "    adds x, y to the planet's astrometric J2000 a_ra/a_dec (above), and physically the orbit pole",
        "    fitted over 12 windows across the span stays at the Laplace-plane inclination only on J2000",
        "    axes; on apparent axes of date rotated back to J2000 it wanders as precession grows.",
        "    Separation of fitted pole from the Laplace pole (min .. max over the windows):",
        *sky_axes_comparison(),
        "  (c) vector = x * east - y * north + z * towards_earth, with east/north/towards-Earth built in",
        "    J2000 mean equatorial axes at the planet's astrometric place (a_ra, a_dec, epoch J2000: the",
        "    light-time corrected geocentric direction, without aberration); no precession-nutation matrix",
        "    is needed. It is rotated about x by the J2000 obliquity 84381.448 arcsec and normalised.",
        "  instant: PyEphem's moon configuration belongs to t - tau (tau = light_time_days), not to t.",
        "    Evidence from Io's JPL mean elements (mean longitude only, equation of centre <= 0.47 deg",
        "    neglected), longitudes on the Laplace plane from its node on the J2000 equator:",
        *light_time_lines(),
        "    A consumer comparing with geometric positions evaluates the moon at jd_tt - light_time_days.",
    ]


# -------------------------------------------------------- Moon and Saturn

def moon_erfa_rows():
    """Rows jd_tt, Moon and Sun geocentric unit vectors, elongations, phase."""
    rows = []
    for jd_tt in jittered_dates_jd_tt(CENTURY_SPAN_JD_TT, MOON_ERFA_DATES, salt=201):
        moon = unit(equatorial_to_ecliptic(erfa.moon98(jd_tt, 0.0)["p"]))
        earth_heliocentric, _ = erfa.epv00(jd_tt, 0.0)
        sun = unit(equatorial_to_ecliptic(-earth_heliocentric["p"]))
        pyephem_moon = ephem.Moon(pyephem_date(jd_tt))
        rows.append([f"{jd_tt:.{JD_DECIMALS}f}",
                     *(f"{c:.15f}" for c in moon), *(f"{c:.15f}" for c in sun),
                     f"{angle_between_deg(moon, sun):.10f}",
                     f"{abs(math.degrees(pyephem_moon.elong)):.10f}",
                     f"{pyephem_moon.moon_phase:.12f}"])
    return rows


def moon_erfa_header():
    """Comment lines for moon-erfa.csv."""
    return [
        "Geocentric Moon and Sun directions from ERFA, with PyEphem's Moon elongation and phase.",
        "jd_tt: Julian Date, TT; passed to erfa as (jd_tt, 0). epv00 wants TDB: TT is used as TDB",
        "  (TDB - TT < 2 ms, under 4e-10 rad in the Sun's direction).",
        f"Dates: {MOON_ERFA_DATES} over JD(TT) {CENTURY_SPAN_JD_TT[0]} .. {CENTURY_SPAN_JD_TT[1]}"
        " (1950 .. 2050), golden-ratio shift in each slot.",
        "moon_x,moon_y,moon_z: unit vector Earth centre -> Moon, geometric (no light time, no aberration),",
        "  erfa.moon98 (GCRS), dimensionless.",
        "sun_x,sun_y,sun_z: unit vector Earth centre -> Sun, geometric, minus the Earth's heliocentric",
        "  position from erfa.epv00 (ICRS axes), dimensionless.",
        "Both in the mean ecliptic and equinox of J2000 (x to the J2000 equinox, z to the ecliptic north",
        "  pole): equatorial vectors rotated about x by the J2000 obliquity 84381.448 arcsec, frame bias ignored.",
        "elongation_deg: angle between the two vectors above, degrees, 0..180.",
        "ephem_elongation_deg: |ephem.Moon.elong| in degrees (PyEphem's apparent geocentric elongation),",
        "  computed at UT = jd_tt - ephem.delta_t (TT - UT by PyEphem's own delta-T); for cross-checking.",
        "  PyEphem holds elong as a single-precision number of degrees (steps of about 4e-6 deg here).",
        "ephem_phase_fraction: ephem.Moon.moon_phase, illuminated fraction of the disk 0..1, same instant.",
    ]


def saturn_ring_rows():
    """Rows jd_tt, ring opening angle seen from the Earth and from the Sun."""
    rows = []
    for jd_tt in jittered_dates_jd_tt(CENTURY_SPAN_JD_TT, SATURN_RING_DATES, salt=301):
        saturn = ephem.Saturn(pyephem_date(jd_tt))
        rows.append([f"{jd_tt:.{JD_DECIMALS}f}",
                     f"{math.degrees(saturn.earth_tilt):.10f}",
                     f"{math.degrees(saturn.sun_tilt):.10f}"])
    return rows


def saturn_ring_header():
    """Comment lines for saturn-rings-pyephem.csv."""
    return [
        "Saturn's ring opening angles from PyEphem.",
        "jd_tt: Julian Date, TT. PyEphem is evaluated at UT = jd_tt - ephem.delta_t (TT - UT in seconds",
        "  by PyEphem's own delta-T).",
        f"Dates: {SATURN_RING_DATES} over JD(TT) {CENTURY_SPAN_JD_TT[0]} .. {CENTURY_SPAN_JD_TT[1]}"
        " (1950 .. 2050), golden-ratio shift in each slot.",
        "earth_tilt_deg: ephem.Saturn.earth_tilt in degrees, the Earth's latitude above the ring plane",
        "  (ring opening angle seen from the Earth), signed, positive when the north face is seen.",
        "sun_tilt_deg: ephem.Saturn.sun_tilt in degrees, the same seen from the Sun, signed.",
        "No correction applied.",
    ]


# ------------------------------------------------------------------ IAU poles

IAU_POLE_BODIES = [("Mercury", 199), ("Venus", 299), ("Earth", 399), ("Mars", 499), ("Jupiter", 599),
                   ("Saturn", 699), ("Uranus", 799), ("Neptune", 899), ("Pluto", 999)]
IAU_POLE_DATES = 21


# The bodies whose globes the preset turns by their prime meridians' rate (the
# Earth turns by the solar day, Pluto keeps its face to Charon).
IAU_MERIDIAN_BODIES = {"Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune"}


def iau_pole_rows():
    """Rows body, jd_tt, the unit vectors of the IAU north pole and prime meridian (ecliptic J2000)."""
    models = sky.RotationModels()
    rows = []
    for name, naif_id in IAU_POLE_BODIES:
        for k in range(IAU_POLE_DATES):
            jd_tt = CENTURY_SPAN_JD_TT[0] + (CENTURY_SPAN_JD_TT[1] - CENTURY_SPAN_JD_TT[0]) * k / (IAU_POLE_DATES - 1)
            pole = models.pole(naif_id, jd_tt)
            meridian = models.prime_meridian(naif_id, jd_tt) if name in IAU_MERIDIAN_BODIES else None
            rows.append([name, f"{jd_tt:.{JD_DECIMALS}f}"] + [f"{c:.15f}" for c in pole] +
                        ([f"{c:.15f}" for c in meridian] if meridian else ["", "", ""]))
    return rows


def iau_pole_header():
    """Comment lines for poles-iau.csv."""
    return [
        "The north poles of the IAU WGCCRE 2015 rotation models (Archinal et al. 2018, as implemented in",
        "  NAIF pck00011: data/sky/iau2015_pck00011_extract.tpc), periodic terms included, evaluated by",
        "  tools/sky.py (RotationModels.pole); PyEphem and ERFA take no part in this table.",
        f"Dates: {IAU_POLE_DATES} per body, evenly over JD(TT) {CENTURY_SPAN_JD_TT[0]} .. {CENTURY_SPAN_JD_TT[1]}"
        " (1950 .. 2050).",
        "body: the body. jd_tt: Julian Date, TT (T of the models counted from J2000 TDB).",
        "x,y,z: unit vector of the north pole in the mean ecliptic and equinox of J2000.",
        "meridian_x,meridian_y,meridian_z: unit vector from the centre to the prime meridian on the",
        "  equator (W from the node of the equator on the ICRF equator), the same frame; given for the",
        "  bodies whose globes turn by it: " + ", ".join(sorted(IAU_MERIDIAN_BODIES)) + ".",
    ]


# ------------------------------------------------------------------ output

def write_table(file_name, description, columns, rows):
    """Write a CSV with the provenance comment block, a header line and rows."""
    provenance = [
        f"Generated by {SCRIPT_PATH}; re-run from the repository root with: {RERUN_COMMAND}",
        f"Packages: PyEphem (ephem) {ephem.__version__}; pyerfa {erfa.__version__}"
        f" (ERFA {erfa.version.erfa_version}); numpy {np.__version__}.",
    ]
    lines = [f"# {line}" for line in provenance + description]
    lines.append(",".join(columns))
    lines.extend(",".join(row) for row in rows)
    path = OUTPUT_DIR / file_name
    path.write_text("\n".join(lines) + "\n", encoding="ascii")
    print(f"{path}: {len(rows)} rows")


def main():
    """Compute all tables and write them to tests/reference/."""
    OUTPUT_DIR.mkdir(parents=True, exist_ok=True)
    rows, sky_residuals = moon_rows()
    write_table("moons-pyephem.csv", moons_header(sky_residuals, earth_visibility_agreement()),
                ["body", "planet", "jd_tt", "light_time_days", "x", "y", "z"], rows)
    write_table("moon-erfa.csv", moon_erfa_header(),
                ["jd_tt", "moon_x", "moon_y", "moon_z", "sun_x", "sun_y", "sun_z",
                 "elongation_deg", "ephem_elongation_deg", "ephem_phase_fraction"],
                moon_erfa_rows())
    write_table("saturn-rings-pyephem.csv", saturn_ring_header(),
                ["jd_tt", "earth_tilt_deg", "sun_tilt_deg"], saturn_ring_rows())
    write_table("poles-iau.csv", iau_pole_header(), ["body", "jd_tt", "x", "y", "z", "meridian_x", "meridian_y", "meridian_z"], iau_pole_rows())


if __name__ == "__main__":
    main()
