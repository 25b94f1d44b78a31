"""The published numbers behind the solar-system preset, and the scene's chain of frames.

Reads the elements and rotation models in data/sky/ as published, evaluates the
IAU rotation models (periodic terms included), and reproduces what the module's
orbit and body axes do with a record, so that the preset's values can be derived
from the published ones and checked against independent ephemerides.

Frames: a vector is in the mean ecliptic and equinox of J2000 (right-handed, x to
the equinox, z to the ecliptic north pole) unless its name says `icrf` (the ICRF,
J2000 mean equator and equinox). The scene is the same frame mirrored: scene
(x, y, z) is ecliptic (x, z, y), so a heading about scene +Y is a turn about the
ecliptic z axis, and a pitch about scene +X a turn about the ecliptic x axis.
Angles are degrees unless a name ends in `_rad`; times are Julian Dates (TT).
"""

import csv
import math
import pathlib
import re

DATA = pathlib.Path(__file__).resolve().parent.parent / "data" / "sky"

J2000_JD = 2451545.0
DAYS_PER_CENTURY = 36525.0
DAYS_PER_YEAR = 365.25
KM_PER_AU = 149597870.7
# Obliquity of the ecliptic at J2000 (IAU 1976), the frame of the planetary elements.
OBLIQUITY_J2000_DEG = 84381.448 / 3600.0


# ---------------------------------------------------------------- vectors

def rad(deg):
    return deg * math.pi / 180.0


def deg(rad_):
    return rad_ * 180.0 / math.pi


def wrap360(angle_deg):
    return angle_deg % 360.0


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def scaled(a, s):
    return tuple(x * s for x in a)


def plus(a, b):
    return tuple(x + y for x, y in zip(a, b))


def unit(a):
    length = math.sqrt(dot(a, a))
    return scaled(a, 1.0 / length)


def angle_between_deg(a, b):
    """The angle between two directions, robust for small angles."""
    return deg(math.atan2(math.sqrt(dot(cross(a, b), cross(a, b))), dot(a, b)))


def rot_x(angle_deg):
    c, s = math.cos(rad(angle_deg)), math.sin(rad(angle_deg))
    return ((1.0, 0.0, 0.0), (0.0, c, -s), (0.0, s, c))


def rot_z(angle_deg):
    c, s = math.cos(rad(angle_deg)), math.sin(rad(angle_deg))
    return ((c, -s, 0.0), (s, c, 0.0), (0.0, 0.0, 1.0))


def mat_mul(*matrices):
    result = ((1.0, 0.0, 0.0), (0.0, 1.0, 0.0), (0.0, 0.0, 1.0))
    for m in matrices:
        result = tuple(tuple(sum(result[i][k] * m[k][j] for k in range(3)) for j in range(3)) for i in range(3))
    return result


def apply(m, v):
    return tuple(dot(row, v) for row in m)


def transposed(m):
    return tuple(tuple(m[j][i] for j in range(3)) for i in range(3))


def column(m, j):
    return tuple(m[i][j] for i in range(3))


def radec_vector_icrf(ra_deg, dec_deg):
    cd = math.cos(rad(dec_deg))
    return (cd * math.cos(rad(ra_deg)), cd * math.sin(rad(ra_deg)), math.sin(rad(dec_deg)))


def ecliptic_from_icrf(v_icrf):
    return apply(rot_x(-OBLIQUITY_J2000_DEG), v_icrf)


def icrf_from_ecliptic(v):
    return apply(rot_x(OBLIQUITY_J2000_DEG), v)


def direction(ra_deg, dec_deg):
    """An ICRF right ascension and declination as an ecliptic unit vector."""
    return ecliptic_from_icrf(radec_vector_icrf(ra_deg, dec_deg))


def longitude_in_frame_deg(frame, v):
    """The angle of v about the frame's z axis, from its x axis towards its y axis."""
    local = apply(transposed(frame), v)
    return deg(math.atan2(local[1], local[0]))


# ---------------------------------------------------------------- published tables

def read_table(name):
    """The rows of a published CSV of data/sky (comment lines start with '#')."""
    with open(DATA / name, newline="") as table:
        return list(csv.DictReader(line for line in table if not line.startswith("#")))


def rows_by(name, key):
    return {row[key]: row for row in read_table(name)}


def read_text_kernel(name):
    """The assignments of a text kernel's data blocks: KEY -> list of numbers."""
    text = (DATA / name).read_text()
    values = {}
    for key, body in re.findall(r"^(BODY\w+)\s*=\s*\(([^)]*)\)", text, re.MULTILINE):
        values[key] = [float(number.replace("D", "E")) for number in body.split()]
    return values


class RotationModels:
    """The IAU 2015 rotation models of the text-kernel extract, periodic terms included.

    The constant term of every prime meridian is the one of rotation_elements_iau2015.csv,
    which differs from the extract only for Neptune (249.978 rather than 285.946, the value
    two independent copies of the model agree on; see data/sky/README.md).
    """

    def __init__(self):
        self.kernel = read_text_kernel("iau2015_pck00011_extract.tpc")
        for row in read_table("rotation_elements_iau2015.csv"):
            key = f"BODY{row['naif_id']}_PM"
            if key in self.kernel:
                self.kernel[key][0] = float(row["W0_deg"])

    def _angles_deg(self, body_id, centuries):
        system = body_id // 100 if body_id >= 100 else None
        pairs = self.kernel.get(f"BODY{system}_NUT_PREC_ANGLES", []) if system else []
        return [pairs[i] + pairs[i + 1] * centuries for i in range(0, len(pairs), 2)]

    def _polynomial(self, body_id, quantity, time):
        return sum(c * time ** k for k, c in enumerate(self.kernel[f"BODY{body_id}_{quantity}"]))

    def _periodic_terms(self, body_id, quantity):
        return self.kernel.get(f"BODY{body_id}_NUT_PREC_{quantity}", [])

    def pole_radec(self, body_id, jd):
        """ICRF right ascension and declination of the body's north pole (degrees)."""
        t = (jd - J2000_JD) / DAYS_PER_CENTURY
        angles = self._angles_deg(body_id, t)
        ra = self._polynomial(body_id, "POLE_RA", t)
        dec = self._polynomial(body_id, "POLE_DEC", t)
        ra += sum(a * math.sin(rad(angles[i])) for i, a in enumerate(self._periodic_terms(body_id, "RA")))
        dec += sum(a * math.cos(rad(angles[i])) for i, a in enumerate(self._periodic_terms(body_id, "DEC")))
        return ra, dec

    def pole(self, body_id, jd):
        return direction(*self.pole_radec(body_id, jd))

    def prime_meridian_deg(self, body_id, jd):
        """W: the prime meridian's angle from the node of the body's equator on the ICRF equator."""
        d = jd - J2000_JD
        angles = self._angles_deg(body_id, d / DAYS_PER_CENTURY)
        w = self._polynomial(body_id, "PM", d)
        return w + sum(a * math.sin(rad(angles[i])) for i, a in enumerate(self._periodic_terms(body_id, "PM")))

    def prime_meridian_rate_deg_per_day(self, body_id):
        return self.kernel[f"BODY{body_id}_PM"][1]

    def equator_frame(self, body_id, jd):
        """The body's equator frame at jd: x to the node Q of its equator on the ICRF
        equator (right ascension of the pole + 90), z to its north pole."""
        ra, dec = self.pole_radec(body_id, jd)
        z = direction(ra, dec)
        x = direction(ra + 90.0, 0.0)
        return tuple(zip(x, cross(z, x), z))

    def prime_meridian(self, body_id, jd):
        """The unit vector from the body's centre to its prime meridian on the equator."""
        frame = self.equator_frame(body_id, jd)
        w = self.prime_meridian_deg(body_id, jd)
        return apply(frame, (math.cos(rad(w)), math.sin(rad(w)), 0.0))


# ---------------------------------------------------------------- the scene's frames

def orbit_plane_frame(node_deg, inclination_deg):
    """An orbit axis's base rotation (heading = node, pitch = inclination): x to the
    ascending node, z to the orbit's pole."""
    return mat_mul(rot_z(node_deg), rot_x(inclination_deg))


def body_axis_rotation(heading_deg, obliquity_deg):
    """A body axis's turn inside its orbit plane frame (the orbit axis's heading by the
    argument of perihelion and the body axis's counter-heading cancel): the spin axis
    (scene +Y, here z) leans by the obliquity towards the orbit frame's direction
    90 + heading degrees from the node."""
    return mat_mul(rot_z(heading_deg), rot_x(-obliquity_deg))


def axis_towards(parent_frame, pole):
    """The obliquity and heading that point a body axis's spin axis at `pole` from inside
    an orbit plane frame: (obliquity, heading)."""
    p = apply(transposed(parent_frame), pole)
    obliquity = deg(math.acos(max(-1.0, min(1.0, p[2]))))
    heading = deg(math.atan2(p[1], p[0])) - 90.0
    return obliquity, (heading + 180.0) % 360.0 - 180.0


def elements_at(record, jd):
    """Node, inclination, argument of perihelion, mean anomaly (degrees), e and a of an
    orbit record at jd, with the orbit axis's linear rates and, in mode 2, the
    correction terms b, c, s, f of the mean anomaly."""
    t = (jd - record.get("epoch", J2000_JD)) / DAYS_PER_CENTURY
    node = record["node"] + record.get("node_rate", 0.0) * t
    inclination = record["i"] + record.get("i_rate", 0.0) * t
    perihelion = record["peri"] + record.get("peri_rate", 0.0) * t
    mean_anomaly = record["L"] + record.get("L_rate", 0.0) * t - perihelion
    f = record.get("f", 0.0) * t
    mean_anomaly += (record.get("c", 0.0) * math.cos(rad(f)) + record.get("b", 0.0) * t * t
                     + record.get("s", 0.0) * math.sin(rad(f)))
    e = record["e"] + record.get("e_rate", 0.0) * t
    a = record["a"] + record.get("a_rate", 0.0) * t
    return node, inclination, perihelion - node, mean_anomaly, e, a


def solve_kepler_rad(mean_anomaly_rad, e):
    eccentric = mean_anomaly_rad
    for _ in range(50):
        step = (mean_anomaly_rad - (eccentric - e * math.sin(eccentric))) / (1.0 - e * math.cos(eccentric))
        eccentric += step
        if abs(step) <= 1e-12:
            break
    return eccentric


def orbit_position(record, jd, parent_frame=None):
    """The body's offset from the centre of its orbit (unit of a), as the orbit axis places it."""
    node, inclination, argument, mean_anomaly, e, a = elements_at(record, jd)
    eccentric = solve_kepler_rad(rad(mean_anomaly), e)
    local = ((math.cos(eccentric) - e) * a, math.sqrt(1.0 - e * e) * a * math.sin(eccentric), 0.0)
    frame = mat_mul(parent_frame or rot_z(0.0), orbit_plane_frame(node, inclination), rot_z(argument))
    return apply(frame, local)


def body_frame(record, body, jd, parent_frame=None):
    """A body axis's frame: its parent's, its orbit axis's plane frame at jd, then its own turn."""
    node, inclination = elements_at(record, jd)[:2]
    return mat_mul(parent_frame or rot_z(0.0), orbit_plane_frame(node, inclination),
                   body_axis_rotation(body["heading"], body["obliquity"]))
