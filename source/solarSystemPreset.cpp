/*
 * The solar-system preset's constant tree and its build.
 *
 * Units: a in au, or in km where the orbit's unit is kKm; angles in degrees;
 * rates per Julian century; radii and ring sizes in km; periods in days; all
 * dates are Julian Dates, read as Terrestrial Time (TT).
 *
 * Where the numbers come from. The values that place and orient the bodies are
 * derived from the published numbers in data/sky/ by tools/derive-preset.py,
 * which prints them as the rows below (python3 tools/derive-preset.py; with
 * --check it measures them against tests/reference/).
 * - The nine top-level orbits: E. M. Standish, "Keplerian Elements for
 *   Approximate Positions of the Major Planets" (JPL), table 1, as published:
 *   mean ecliptic and equinox of J2000, epoch J2000.0, valid 1800 to 2050, the
 *   Earth-Moon barycentre in the place of the Earth.
 * - Spin axes and globe turns: the IAU WGCCRE 2015 rotation models (Archinal
 *   et al. 2018, as in NAIF pck00011, periodic terms included), at J2000.0.
 *   Each planet's and Pluto's body axis points its spin axis (the globe's +Y)
 *   at the IAU north pole: obliquity and heading are that pole's place in the
 *   body's orbit plane of J2000. A globe that turns by period is at its IAU
 *   prime meridian's angle at J2000 and turns with its sidereal rate, so its
 *   local +X faces the prime meridian (longitude 0); Venus and Uranus turn
 *   retrograde (negative periods), Pluto's IAU pole lies south of the
 *   ecliptic. The Sun is left level, 7.25 degrees from its true pole, because
 *   the planets' orbits hang in its body axis; its +X faces the ecliptic
 *   longitude of its prime meridian.
 * - Moons: the JPL planetary satellite mean elements (epochs 1950 to 2000,
 *   referred to each moon's local Laplace plane, the planet's equator or the
 *   ecliptic), turned into the frame of the planet's body axis and fitted
 *   there over 1950-2050 with the nodal and apsidal precession as rates. The
 *   Iapetus row is mended: its mean anomaly is 9.675 degrees ahead of the
 *   published one, where an independent theory puts it. Moons keep one face to
 *   their planet with their axes on their orbits' poles (the Uranian moons'
 *   towards the IAU north pole, against their orbits' sense).
 * - The Moon: J. Meeus, "Astronomical Algorithms", ch. 47, mean elements of
 *   date referred to J2000 by removing the general precession (IAU 2006), e
 *   from the equation of centre, the evection (1.274 degrees) as the orbit
 *   axis's correction terms; its axis in Cassini's state, 1.5424 degrees from
 *   the ecliptic pole beyond it from the orbit's pole.
 *
 * Accuracy, measured on the evaluated scene against independent ephemerides
 * (tests/ephemerisAccuracyTest.cpp), largest errors in degrees as seen from
 * the planet (the Moon: from the Earth):
 *
 *   the Moon  1950-2050  0.95 (direction), 0.93 (elongation from the Sun)
 *   Phobos 2.2, Deimos 1.2, Io 0.24, Europa 0.25, Ganymede 0.20,
 *   Callisto 0.08, Tethys 1.9, Dione 0.29, Rhea 0.24, Titan 0.10,
 *   Iapetus 0.29, Miranda 2.7, Ariel 0.69, Umbriel 1.1, Titania 0.81,
 *   Oberon 0.44   1999-2040
 *   Saturn's ring opening seen from the Earth 1950-2050  0.07
 *   spin axes against the IAU poles 1950-2050  Neptune 0.23, Saturn 0.07,
 *   the others 0.02 and less
 *
 * Mean elements carry no libration or tidal drift: Phobos's secular
 * acceleration, the Mimas-Tethys and Uranian librations make most of the
 * larger figures. Neptune's and Pluto's moons have no independent reference
 * here. Outside 1800-2050 (the orbit axes' auxiliary dates) the elements are
 * extrapolated and the tool warns.
 */
#include "source/solarSystemPreset.h"

#include "model/moduleIds.h"
#include "model/units.h"
#include "source/hostPrimitives.h"
#include "source/nodeNames.h"
#include "source/objCaeloOrbitAxis.h"

#include <cmath>
#include <cstddef>

namespace caelo {

namespace {

/* ---- The table's vocabulary -------------------------------------------- */

/* The span of validity of the planetary elements, also given to every other
 * record but the root: 1800-01-01 0 h and 2050-01-01 0 h. */
constexpr double kElementsValidFromJd = 2378496.5;
constexpr double kElementsValidToJd = 2469807.5;

/* Every preset ring spins with this period. */
constexpr double kRingPeriodDays = 0.4263773148;

enum class Unit { Au, Km };

constexpr bool kGuides = true, kNoGuides = false;
constexpr bool kShown = true, kHidden = false;
constexpr bool kGlobe = true, kNoGlobe = false;
constexpr bool kOn = true, kOff = false;

/* An orbit record with every field 0, band fields and dates included. */
constexpr OrbitAxisRecord ZeroOrbit() {
    OrbitAxisRecord orbit;
    orbit.bandEndSize = 0.0;
    orbit.bandLengthDeg = 0.0;
    orbit.auxDate1Jd = 0.0;
    orbit.auxDate2Jd = 0.0;
    orbit.epochJd = 0.0;
    return orbit;
}

/* The root's orbit: no orbit axis (its validity span is empty). */
constexpr OrbitAxisRecord NoOrbit() {
    return ZeroOrbit();
}

/* An orbit axis in orientation mode with all elements 0 and epoch 0. */
constexpr OrbitAxisRecord FixedFrame() {
    OrbitAxisRecord orbit = ZeroOrbit();
    orbit.auxDate1Jd = kElementsValidFromJd;
    orbit.auxDate2Jd = kElementsValidToJd;
    orbit.mode = kOrbitModeOrientation;
    return orbit;
}

/* An orbit's elements with their rates per Julian century, from J2000.0:
 * a (au or km), e, I, L, varpi and Omega (degrees). */
constexpr OrbitAxisRecord Elements(Unit unit, double a, double aRate, double e, double eRate,
                                   double inclination, double inclinationRate, double meanLongitude,
                                   double meanLongitudeRate, double perihelion, double perihelionRate,
                                   double node, double nodeRate) {
    OrbitAxisRecord orbit = ZeroOrbit();
    orbit.semiMajorAxis = a;
    orbit.semiMajorAxisRate = aRate;
    orbit.eccentricity = e;
    orbit.eccentricityRate = eRate;
    orbit.inclinationDeg = inclination;
    orbit.inclinationRateDeg = inclinationRate;
    orbit.meanLongitudeDeg = meanLongitude;
    orbit.meanLongitudeRateDeg = meanLongitudeRate;
    orbit.perihelionLongitudeDeg = perihelion;
    orbit.perihelionLongitudeRateDeg = perihelionRate;
    orbit.nodeLongitudeDeg = node;
    orbit.nodeLongitudeRateDeg = nodeRate;
    orbit.auxDate1Jd = kElementsValidFromJd;
    orbit.auxDate2Jd = kElementsValidToJd;
    orbit.epochJd = kJulianDateJ2000;
    orbit.mode = kOrbitModeElements;
    orbit.kmFlag = unit == Unit::Km;
    return orbit;
}

/* The same orbit with the correction terms of the mean anomaly (mode 2):
 * b T^2 + c cos(f T) + s sin(f T), T in Julian centuries from J2000.0. */
constexpr OrbitAxisRecord WithTerms(OrbitAxisRecord orbit, double b, double c, double s, double f) {
    orbit.termBDeg = b;
    orbit.termCDeg = c;
    orbit.termSDeg = s;
    orbit.termFDeg = f;
    orbit.mode = kOrbitModeElementsExtended;
    return orbit;
}

/* A ring band: an orbit axis in band mode, in km, dated J2000.0. */
constexpr OrbitAxisRecord Band(double a, double e, double inclination, double meanLongitude,
                               double meanLongitudeRate, double width, double height, double endSize,
                               double lengthDeg, int32_t spacing) {
    OrbitAxisRecord orbit = ZeroOrbit();
    orbit.semiMajorAxis = a;
    orbit.eccentricity = e;
    orbit.inclinationDeg = inclination;
    orbit.meanLongitudeDeg = meanLongitude;
    orbit.meanLongitudeRateDeg = meanLongitudeRate;
    orbit.bandWidth = width;
    orbit.bandHeight = height;
    orbit.bandEndSize = endSize;
    orbit.bandLengthDeg = lengthDeg;
    orbit.bandSpacing = spacing;
    orbit.auxDate1Jd = kJulianDateJ2000;
    orbit.auxDate2Jd = kJulianDateJ2000;
    orbit.epochJd = kJulianDateJ2000;
    orbit.mode = kOrbitModeBand;
    orbit.kmFlag = true;
    return orbit;
}

/* A body's settings, with its rotation counted from J2000.0. */
constexpr BodyAxisRecord Body(double equatorialRadius, double polarRadius, double obliquity, double heading,
                              double rotationAngle, double rotationPeriod, double globeScale,
                              double satelliteScale, int32_t rotationMode) {
    BodyAxisRecord body;
    body.equatorialRadiusKm = equatorialRadius;
    body.polarRadiusKm = polarRadius;
    body.obliquityDeg = obliquity;
    body.headingDeg = heading;
    body.rotationEpochJd = kJulianDateJ2000;
    body.rotationAngleDeg = rotationAngle;
    body.rotationPeriodDays = rotationPeriod;
    body.globeScale = globeScale;
    body.satelliteScale = satelliteScale;
    body.rotationMode = rotationMode;
    return body;
}

/* A ring with heading 0, slice start 0, epoch J2000.0 and the common period. */
constexpr PresetRing Ring(int32_t objectType, int32_t nameId, bool switchedOn, double inner, double outer,
                          double thickness, double tilt, double sliceEnd, double phase, int32_t sliceMode) {
    RingRecord ring;
    ring.innerRadiusKm = inner;
    ring.outerRadiusKm = outer;
    ring.thicknessKm = thickness;
    ring.tiltDeg = tilt;
    ring.headingDeg = 0.0;
    ring.sliceStartDeg = 0.0;
    ring.sliceEndDeg = sliceEnd;
    ring.epochJd = kJulianDateJ2000;
    ring.phaseDeg = phase;
    ring.periodDays = kRingPeriodDays;
    ring.sliceMode = sliceMode;
    return PresetRing{objectType, ring, nameId, switchedOn};
}

template <class Item, size_t Count> constexpr PresetList<Item> ListOf(const Item (&items)[Count]) {
    return PresetList<Item>{items, static_cast<int32_t>(Count)};
}

/* A record whose orbit axis and body axis share one name id. */
constexpr PresetRecord Record(int32_t nameId, const OrbitAxisRecord& orbit, bool guides, bool display,
                              const BodyAxisRecord& body, bool globe, PresetList<PresetRing> rings = {},
                              PresetList<PresetOrbit> extraOrbits = {},
                              PresetList<PresetRecord> children = {}) {
    return PresetRecord{orbit, nameId, guides, display, body, nameId, globe, rings, extraOrbits, children};
}

constexpr int32_t kTorus = kTypeHostTorus;
constexpr int32_t kTube = kTypeHostTube;

/* ---- Rings and ring bands ---------------------------------------------- */

// clang-format off
constexpr PresetRing kJupiterRings[] = {
    /*   type   name   on    inner      outer      thickness  tilt  slice end phase  slice mode */
    Ring(kTorus, 10110, kOff, 92000.0,  122500.0,  12500.0,   0.0,  0.0,      0.0,   0), /* Halo */
    Ring(kTube,  10111, kOff, 122500.0, 129000.0,  300.0,     0.0,  0.0,      0.0,   0), /* Main */
    Ring(kTube,  10112, kOff, 129000.0, 182000.0,  2000.0,    0.0,  0.0,      0.0,   0), /* Amalthea gossamer */
    Ring(kTube,  10113, kOff, 129000.0, 226000.0,  8400.0,    0.0,  0.0,      0.0,   0), /* Thebe gossamer */
};

constexpr PresetRing kSaturnRings[] = {
    Ring(kTube,  10119, kOn,  66900.0,   74510.0,    0.005,     0.0,   0.0,  0.0,  0), /* D */
    Ring(kTube,  10120, kOn,  74658.0,   92000.0,    0.005,     0.0,   0.0,  0.0,  0), /* C */
    Ring(kTube,  10121, kOn,  92000.0,   117580.0,   0.015,     0.0,   0.0,  0.0,  0), /* B */
    Ring(kTube,  10122, kOn,  122170.0,  136775.0,   0.03,      0.0,   0.0,  0.0,  0), /* A */
    Ring(kTube,  10123, kOn,  140180.0,  140680.0,   0.2,       0.0,   0.0,  0.0,  0), /* F */
    Ring(kTube,  10124, kOn,  149000.0,  154000.0,   0.2,       0.0,   0.0,  0.0,  0), /* Janus-Epimetheus */
    Ring(kTube,  10125, kOn,  166000.0,  175000.0,   0.05,      0.0,   0.0,  0.0,  0), /* G */
    Ring(kTube,  10126, kOn,  194230.0,  194330.0,   0.2,       0.0,   10.0, 0.0,  1), /* Methone arc */
    Ring(kTube,  10127, kOn,  197665.0,  197765.0,   0.2,       0.0,   20.0, 80.0, 1), /* Anthe arc */
    Ring(kTube,  10128, kOn,  211000.0,  213500.0,   0.2,       0.0,   0.0,  0.0,  0), /* Pallene */
    Ring(kTube,  10129, kOff, 180000.0,  480000.0,   0.05,      0.0,   0.0,  0.0,  0), /* E */
    Ring(kTube,  10130, kOff, 4000000.0, 13000000.0, 2859680.0, 153.0, 0.0,  0.0,  0), /* Phoebe */
};

constexpr PresetRing kNeptuneRings[] = {
    Ring(kTube,  10143, kOn,  40900.0,  42900.0,  0.15, 0.0, 0.0, 0.0, 0), /* Galle */
    Ring(kTube,  10144, kOn,  53200.0,  53313.0,  0.7,  0.0, 0.0, 0.0, 0), /* Le Verrier */
    Ring(kTube,  10145, kOn,  53200.0,  57200.0,  0.4,  0.0, 0.0, 0.0, 0), /* Lassell */
    Ring(kTube,  10146, kOn,  57200.0,  57300.0,  0.7,  0.0, 0.0, 0.0, 0), /* Arago */
};

/* Uranus's rings circle its IAU south pole, as its moons do: their
 * inclination to its equator is 180 degrees less the published 0.02. */
constexpr PresetOrbit kUranusBands[] = {
    /*           a        e        I       L      rate of L         width    height end  length spacing */
    {Band(55868.5, 0.002,   179.98, 0.0,   9445321.17,       28063.0, 1.0,   0.8, 360.0, 0), 10058, kOn},
};

constexpr PresetOrbit kNeptuneBands[] = {
    {Band(62932.0, 0.00047, 0.0617, 0.0,   19587367.7938328, 50.0,    0.4,   0.3, 360.0, 0), 10147, kOn}, /* Adams */
    {Band(62932.0, 0.00047, 0.0617, 252.0, 19587367.7938328, 50.0,    1.8,   0.3, 10.0,  1), 10148, kOn}, /* arcs */
    {Band(62932.0, 0.00047, 0.0617, 262.5, 19587367.7938328, 50.0,    1.8,   0.3, 3.0,   1), 10149, kOn},
    {Band(62932.0, 0.00047, 0.0617, 265.5, 19587367.7938328, 50.0,    1.8,   0.3, 1.0,   1), 10150, kOn},
    {Band(62932.0, 0.00047, 0.0617, 278.0, 19587367.7938328, 50.0,    1.8,   0.3, 4.0,   1), 10151, kOn},
    {Band(62932.0, 0.00047, 0.0617, 285.0, 19587367.7938328, 50.0,    1.8,   0.3, 1.0,   1), 10152, kOn},
};
// clang-format on

/* ---- The tree ------------------------------------------------------------
 *
 * One record per body, numbered as in the preset's table; the children of
 * each record are listed in row order, parents before children. Orbits:
 * Elements(unit, a, rate, e, rate, I, rate, L, rate, varpi, rate, Omega,
 * rate). Bodies: Body(equatorial radius, polar radius, obliquity, heading,
 * rotation angle at J2000, rotation period, globe scale, satellite scale,
 * rotation mode 0 period / 1 locked / 2 solar day). The periods of globes
 * that do not turn by period are kept as built; they turn only when a user
 * chooses the period mode.
 */

extern const PresetRecord kSunChildren[9];
extern const PresetRecord kEarthMoonChildren[2];
extern const PresetRecord kMarsMoons[2];
extern const PresetRecord kJupiterMoons[4];
extern const PresetRecord kSaturnMoons[5];
extern const PresetRecord kUranusMoons[5];
extern const PresetRecord kNeptuneMoons[5];
extern const PresetRecord kPlutoCharonChildren[6];

// clang-format off
constinit const PresetRecord kSun = /* 0 Sun */
    Record(10100, NoOrbit(), kNoGuides, kHidden,
           Body(696000.0, 696000.0, 0.0, 0.0, 98.6757687707288, 25.379994924, 0.1, 1.0, 0), kGlobe, {}, {}, ListOf(kSunChildren));

constinit const PresetRecord kSunChildren[9] = {
    /* 1 Mercury */
    Record(10101, Elements(Unit::Au, 0.38709927, 3.7e-07, 0.20563593, 1.906e-05, 7.00497902, -0.00594749, 252.2503235, 149472.67411175, 77.45779628, 0.16047689, 48.33076593, -0.12534081), kGuides, kShown,
           Body(2439.7, 2439.7, 0.0340122014962, 159.887873071, 131.292806351, 58.6461459024, 1.0, 1.0, 0), kGlobe),
    /* 2 Venus */
    Record(10102, Elements(Unit::Au, 0.72333566, 3.9e-06, 0.00677672, -4.107e-05, 3.39467605, -0.0007889, 181.9790995, 58517.81538729, 131.60246718, 0.00268329, 76.67984255, -0.27769418), kGuides, kShown,
           Body(6051.8, 6051.8, 2.63759668828, -18.8737538994, 104.906707817, -243.018483986, 1.0, 1.0, 0), kGlobe),
    /* 3 Earth-Moon barycentre */
    Record(10103, Elements(Unit::Au, 1.00000261, 5.62e-06, 0.01671123, -4.392e-05, -1.531e-05, -0.01294668, 100.46457166, 35999.37244981, 102.93768193, 0.32327364, 0.0, 0.0), kGuides, kShown,
           Body(0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 20.0, 2), kNoGlobe, {}, {}, ListOf(kEarthMoonChildren)),
    /* 6 Mars */
    Record(10106, Elements(Unit::Au, 1.52371034, 1.847e-05, 0.0933941, 7.882e-05, 1.84969142, -0.00813131, -4.55343205, 19140.30268499, -23.94362959, 0.44441088, 49.55953891, -0.29257343), kGuides, kShown,
           Body(3397.2, 3397.2, 25.1916484385, -144.504173696, 313.385082863, 1.02595675596, 1.0, 1.0, 0), kGlobe, {}, {}, ListOf(kMarsMoons)),
    /* 9 Jupiter */
    Record(10109, Elements(Unit::Au, 5.202887, -0.00011607, 0.04838624, -0.00013253, 1.30439695, -0.00183714, 34.39644051, 3034.74612775, 14.72847983, 0.21252668, 100.47390909, 0.20469106), kGuides, kShown,
           Body(71492.0, 68330.0, 3.11936244711, 36.7442548638, 145.984496847, 0.413538325813, 0.5, 1.0, 0), kGlobe, ListOf(kJupiterRings), {}, ListOf(kJupiterMoons)),
    /* 14 Saturn */
    Record(10118, Elements(Unit::Au, 9.53667594, -0.0012506, 0.05386179, -0.00050991, 2.48599187, 0.00193609, 49.95424423, 1222.49362201, 92.59887831, -0.41897216, 113.66242448, -0.28867794), kGuides, kShown,
           Body(60268.0, 60268.0, 26.7300648008, -120.069204168, 174.356194946, 0.444009259239, 0.5, 1.0, 0), kGlobe, ListOf(kSaturnRings), {}, ListOf(kSaturnMoons)),
    /* 20 Uranus */
    Record(10136, Elements(Unit::Au, 19.18916464, -0.00196176, 0.04725744, -4.397e-05, 0.77263783, -0.00242939, 313.23810451, 428.48202785, 170.9542763, 0.40805281, 74.01692503, 0.04240589), kGuides, kShown,
           Body(25559.0, 25559.0, 82.2299918342, 93.5248623702397, 29.6468498037, -0.718333333344, 1.0, 1.0, 0), kGlobe, {}, ListOf(kUranusBands), ListOf(kUranusMoons)),
    /* 26 Neptune */
    Record(10142, Elements(Unit::Au, 30.06992276, 0.00026291, 0.00859048, 5.105e-05, 1.77004347, 0.00035372, -55.12002969, 218.45945325, 44.96476227, -0.32241464, 131.78422574, -0.00508664), kGuides, kShown,
           Body(24764.0, 24764.0, 28.3180906953, 93.7105662583, 49.5836529199, 0.665262499942, 1.0, 1.0, 0), kGlobe, ListOf(kNeptuneRings), ListOf(kNeptuneBands), ListOf(kNeptuneMoons)),
    /* 32 Pluto-Charon barycentre */
    Record(10158, Elements(Unit::Au, 39.48211675, -0.00031596, 0.2488273, 5.17e-05, 17.14001206, 4.818e-05, 238.92903833, 145.20780515, 224.06891629, -0.04062942, 110.30393684, -0.01183482), kGuides, kShown,
           Body(0.0, 0.0, 119.608342487, -70.7773355558, 0.0, 0.0, 1.0, 1.0, 0), kNoGlobe, {}, {}, ListOf(kPlutoCharonChildren)),
};

constinit const PresetRecord kEarthMoonChildren[2] = {
    /* 4 Earth */
    Record(10104, FixedFrame(), kNoGuides, kShown,
           Body(6378.137, 6356.752314, 23.4392758011, 0.0, 0.0, 0.0, 1.0, 1.0, 2), kGlobe),
    /* 5 Moon */
    Record(10105, WithTerms(Elements(Unit::Au, 0.0025695552898, 0.0, 0.0549005904179, 0.0, 5.16, 0.0, 218.3164477, 481266.484346378, 83.3532465, 4067.61684087, 125.0445479, -1935.53317693), -0.0015786, 1.25172226923, -0.237352390844, 413335.355301), kGuides, kShown,
           Body(1737.9, 1735.65, 6.7024, 0.0, 0.0, 0.0, 1.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kMarsMoons[2] = {
    /* 7 Phobos */
    Record(10107, Elements(Unit::Km, 9376.0, 0.0, 0.0151, 0.0, 1.07513773177, 0.00160036852432, 353.018053431, 41231055.0091, 162.651772163, 15896.3945787, 305.902684113963, -15917.0428291), kGuides, kShown,
           Body(11.1, 11.1, 0.0, 0.0, 0.0, 7.66, 60.0, 1.0, 1), kGlobe),
    /* 8 Deimos */
    Record(10108, Elements(Unit::Km, 23458.0, 0.0, 0.0002, 0.0, 1.99230758839, 0.154170192409, 35.3315862305, 10415537.8814, 28.7815329143, 655.439332294, 189.575475751, -631.039736504188), kGuides, kShown,
           Body(6.3, 6.3, 0.0, 0.0, 0.0, 30.35, 60.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kJupiterMoons[4] = {
    /* 10 Io */
    Record(10114, Elements(Unit::Km, 421800.0, 0.0, 0.0041, 0.0, 0.0360308451954, -0.000464264481795, 240.98075585, 7432433.99731, 270.247805416, -27005.8027732, 121.456789269, -4851.72458193), kGuides, kShown,
           Body(1821.35, 1821.35, 0.0, 0.0, 0.0, 1.769137786, 5.0, 1.0, 1), kGlobe),
    /* 11 Europa */
    Record(10115, Elements(Unit::Km, 671100.0, 0.0, 0.0094, 0.0, 0.465255379441, 0.0022948745284, 75.5401764733, 3702711.5968, 89.8856778942, -27017.8536012, 45.0130809145, -1192.75307118), kGuides, kShown,
           Body(1560.8, 1560.8, 0.0, 0.0, 0.0, 3.551181041, 5.0, 1.0, 1), kGlobe),
    /* 12 Ganymede */
    Record(10116, Elements(Unit::Km, 1070400.0, 0.0, 0.0013, 0.0, 0.18594720907, -0.165738769489, 82.8180675739859, 1837850.39833, 125.833552379, 294.904651926, 282.704656409, -262.588917519), kGuides, kShown,
           Body(2631.2, 2631.2, 0.0, 0.0, 0.0, 7.15455296, 4.0, 1.0, 1), kGlobe),
    /* 13 Callisto */
    Record(10117, Elements(Unit::Km, 1882700.0, 0.0, 0.0074, 0.0, 0.222199375758, 0.156770057586, 302.003484058, 787883.230364, 215.084187645, 68.514860276332, 8.31663949035, 71.6329695506), kGuides, kShown,
           Body(2410.3, 2410.3, 0.0, 0.0, 0.0, 16.6890184, 4.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kSaturnMoons[5] = {
    /* 15 Tethys */
    Record(10131, Elements(Unit::Km, 294672.0, 0.0, 0.0001, 0.0, 1.09055696263, -0.00126162644155, 323.856258405, 6965241.44965, 80.489258405, 7232.07170223, 35.3217636692, -7225.84181449), kGuides, kShown,
           Body(533.0, 533.0, 0.0, 0.0, 0.0, 1.887802, 10.0, 1.0, 1), kGlobe),
    /* 16 Dione */
    Record(10132, Elements(Unit::Km, 377415.0, 0.0, 0.0022, 0.0, 0.0440658389128, -0.0100162282541, 312.373480836, 4804313.59784, 350.141480836, 3077.43897981, 131.934436693, -1763.58954838), kGuides, kShown,
           Body(561.5, 561.5, 0.0, 0.0, 0.0, 2.736915, 10.0, 1.0, 1), kGlobe),
    /* 17 Rhea */
    Record(10133, Elements(Unit::Km, 527068.0, 0.0, 0.0002, 0.0, 0.329627653827, 0.00421705025349, 187.638869389, 2910679.18054, 7.85786938928, 1002.36632465, 124.94363036, -1003.84998891), kGuides, kShown,
           Body(764.5, 764.5, 0.0, 0.0, 0.0, 4.518212, 10.0, 1.0, 1), kGlobe),
    /* 18 Titan */
    Record(10134, Elements(Unit::Km, 1221865.0, 0.0, 0.0288, 0.0, 0.377400193251, 0.118195611196, 143.009854505, 824624.28957, 339.699854505, 51.4008343572, 20.2854640258, 12.0105994129), kGuides, kShown,
           Body(2575.5, 2575.5, 0.0, 0.0, 0.0, 15.94542, 4.0, 1.0, 1), kGlobe),
    /* 19 Iapetus */
    Record(10135, Elements(Unit::Km, 3560854.0, 0.0, 0.0293, 0.0, 15.439182142, 1.36984002983, 225.40599712, 165748.636591, 13.9419971203, 11.3215440478, 29.1857699314, -1.80339341749), kGuides, kHidden,
           Body(736.0, 736.0, 0.0, 0.0, 0.0, 79.3215, 10.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kUranusMoons[5] = {
    /* 21 Miranda */
    Record(10137, Elements(Unit::Km, 129900.0, 0.0, 0.0013, 0.0, 175.661937077, -0.00593095521124, 134.000663305, 9306637.87661966, 61.7477816708, 6069.8513987, 85.5792189671, 2030.79982905), kGuides, kShown,
           Body(235.8, 235.8, 180.0, 0.0, 0.0, 1.413479, 20.0, 1.0, 1), kGlobe),
    /* 22 Ariel */
    Record(10138, Elements(Unit::Km, 190900.0, 0.0, 0.0012, 0.0, 179.958858158, -0.00879670124503, 46.6486243471, 5218319.28645, 285.612970492, 1868.55977617, 104.681343385, 623.436777731796), kGuides, kShown,
           Body(578.9, 578.9, 180.0, 0.0, 0.0, 2.520379, 10.0, 1.0, 1), kGlobe),
    /* 23 Umbriel */
    Record(10139, Elements(Unit::Km, 266000.0, 0.0, 0.0039, 0.0, 179.879479729, -0.00585922237761, 307.507615593262, 3173462.76601, 51.6886631434, 863.168853787, 31.0104536766, 288.313674845), kGuides, kShown,
           Body(584.7, 584.7, 180.0, 0.0, 0.0, 4.144177, 10.0, 1.0, 1), kGlobe),
    /* 24 Titania */
    Record(10140, Elements(Unit::Km, 436300.0, 0.0, 0.0011, 0.0, 179.924885347, -0.0126526971958, 150.348512665, 1510720.19577, 80.6244299941, 398.021270626, 297.283976082, 179.70207745), kGuides, kShown,
           Body(788.9, 788.9, 180.0, 0.0, 0.0, 8.705872, 10.0, 1.0, 1), kGlobe),
    /* 25 Oberon */
    Record(10141, Elements(Unit::Km, 583500.0, 0.0, 0.0014, 0.0, 179.926858007, 0.0108835648106, 243.828464237, 977041.87483, 103.128937072, 420.66327348, 128.535440666, 191.019152887), kGuides, kShown,
           Body(761.4, 761.4, 180.0, 0.0, 0.0, 13.463239, 10.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kNeptuneMoons[5] = {
    /* 27 Naiad */
    Record(10153, Elements(Unit::Km, 48227.0, 0.0, 0.0003, 0.0, 4.69127713019899, 0.000519329966256, 234.012909162, 44664361.9358, 203.977909162, 61958.7830592, 201.93290205, -62608.6985314), kGuides, kShown,
           Body(33.5, 33.5, 0.0, 0.0, 0.0, 0.294, 12.0, 1.0, 1), kGlobe),
    /* 28 Thalassa */
    Record(10154, Elements(Unit::Km, 50074.0, 0.0, 0.0002, 0.0, 0.144815746225, 0.00131654802889, 85.6219085244, 42213986.9879, 182.698908524, 55045.8761968, 305.630701788, -55045.7506884), kGuides, kShown,
           Body(41.5, 41.5, 0.0, 0.0, 0.0, 0.311, 12.0, 1.0, 1), kGlobe),
    /* 29 Despina */
    Record(10155, Elements(Unit::Km, 52526.0, 0.0, 0.0002, 0.0, 0.0894788685349, 0.00119704583952, 284.382907277, 39291150.2914, 53.5709072770951, 46511.6325442, 239.00724534, 0.50680478), kGuides, kShown,
           Body(76.0, 76.0, 0.0, 0.0, 0.0, 0.335, 8.0, 1.0, 1), kGlobe),
    /* 30 Galatea */
    Record(10156, Elements(Unit::Km, 61953.0, 0.0, 0.0001, 0.0, 0.0789308994, 0.00145284352422, 245.910218564, 30668629.0967, 179.911218564, 26086.9611591, 229.767592403, 1.18041400158), kGuides, kShown,
           Body(87.5, 87.5, 0.0, 0.0, 0.0, 0.429, 8.0, 1.0, 1), kGlobe),
    /* 31 Larissa */
    Record(10157, Elements(Unit::Km, 73548.0, 0.0, 0.0014, 0.0, 0.214602070057, 0.00324930410626, 163.916521185, 23706700.1671, 357.670521185, 14331.1967009, 107.645912462, -14308.2133575), kGuides, kShown,
           Body(97.5, 97.5, 0.0, 0.0, 0.0, 0.555, 12.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kPlutoCharonChildren[6] = {
    /* 33 Pluto */
    Record(10159, Elements(Unit::Km, 2798.71428571429, 0.0, 0.0002, 0.0, 0.0799864125318, 0.00758738733774, 303.646283797, 2058641.07489, 172.576283797, -0.458562093196, 206.457568928, 1.6042633464), kGuides, kShown,
           Body(1160.0, 1160.0, 0.0799864125294, 0.0, 0.0, 6.38718, 2.0, 1.0, 1), kGlobe),
    /* 34 Charon */
    Record(10160, Elements(Unit::Km, 19591.0, 0.0, 0.0002, 0.0, 0.0799864125318, 0.00758738733774, 123.646283797, 2058641.07489, 352.576283797, -0.458562093196, 206.457568928, 1.6042633464), kGuides, kShown,
           Body(606.0, 606.0, 0.0, 0.0, 0.0, 6.38718, 2.0, 1.0, 1), kGlobe),
    /* 35 Styx */
    Record(10161, Elements(Unit::Km, 42393.0, 0.0, 0.0006, 0.0, 0.0799521882471, 0.00759130864062, 11.288283774, 652158.826808, 176.742283774, 2.69644954829, 206.509448455, -1.41125170657), kGuides, kShown,
           Body(10.0, 10.0, 0.0, 0.0, 0.0, 5.05, 30.0, 1.0, 0), kGlobe),
    /* 36 Nix */
    Record(10162, Elements(Unit::Km, 48671.0, 0.0, 0.0, 0.0, 0.00272441612858, 0.0, 271.810283828, 529032.858231, 347.405283828, -0.00462869213839, 342.326701417, -269.867405115), kGuides, kShown,
           Body(20.0, 20.0, 0.0, 0.0, 0.0, 5.05, 30.0, 1.0, 0), kGlobe),
    /* 37 Kerberos */
    Record(10163, Elements(Unit::Km, 57729.0, 0.0, 0.0, 0.0, 0.425901188495, -0.000322271095195, 87.1032841198, 408762.322835, 286.04228412, -3883.49977592, 125.402662397, -3883.44199657), kGuides, kShown,
           Body(15.0, 15.0, 0.0, 0.0, 0.0, 5.05, 30.0, 1.0, 0), kGlobe),
    /* 38 Hydra */
    Record(10164, Elements(Unit::Km, 64698.0, 0.0, 0.0056, 0.0, 0.30416941201, -1.12935838022e-06, 52.7002833254, 344194.742736, 86.0222833254, 2498.23867282, 292.75096621, -2508.71452443141), kGuides, kShown,
           Body(22.5, 22.5, 0.0, 0.0, 0.0, 5.05, 30.0, 1.0, 0), kGlobe),
};
// clang-format on

/* ---- The build ---------------------------------------------------------- */

/* The camera's place in drawn Sun radii. */
constexpr double kCameraAcross = 8.0;
constexpr double kCameraUp = 4.0;
constexpr double kCameraBack = -8.0;

/* The record's orbit axis appended below `parent`, named, with its guides,
 * its record and its display code; null when it or a guide cannot be made. */
HostNode* BuildOrbitAxis(HostNode* parent, const PresetRecord& record) {
    HostNode* orbit = CreateObject(kTypeCaeloOrbitAxis);
    if (orbit == nullptr) {
        return nullptr;
    }
    AppendChild(orbit, parent);
    SetPrefixedName(orbit, kStringOrbitPrefix, record.orbitNameId);
    auto* orbitAxis = InstanceOf<ObjCaeloOrbitAxis>(orbit);
    /* The guides are made while the orbit axis still holds its defaults. */
    if (record.guides && !orbitAxis->CreateOrbitGuides(orbit)) {
        return nullptr;
    }
    orbitAxis->SetOrbitRecord(record.orbit);
    const int32_t displayCode = record.display ? HOST_DISPLAY_FOLLOW_PARENT : HOST_DISPLAY_HIDDEN;
    SetObjectSwitch(orbit, HOST_SWITCH_EDITOR, displayCode);
    SetObjectSwitch(orbit, HOST_SWITCH_RENDER, displayCode);
    return orbit;
}

} // namespace

const PresetRecord& SolarSystemPreset() {
    return kSun;
}

bool BuildSolarSystem(HostNode* systemNode, double bodyScale) {
    const PresetRecord& root = SolarSystemPreset();
    HostNode* sun = BuildPresetRecord(systemNode, root);
    if (sun == nullptr) {
        return false;
    }
    for (const PresetRecord& child : root.children) {
        if (BuildPresetTree(sun, child) == nullptr) {
            return false;
        }
    }
    /* The Sun's equator plane, the second child its globe construction made,
     * is the one plane of the preset that is shown. */
    HostNode* orbitPlane = GetFirstChild(sun);
    HostNode* equatorPlane = orbitPlane != nullptr ? GetNextSibling(orbitPlane) : nullptr;
    if (equatorPlane != nullptr) {
        SetObjectSwitch(equatorPlane, HOST_SWITCH_ENABLED, 1);
    }
    PlaceViewCamera(bodyScale, root.body.equatorialRadiusKm, root.body.globeScale);
    return true;
}

HostNode* BuildPresetTree(HostNode* parent, const PresetRecord& record) {
    HostNode* body = BuildPresetRecord(parent, record);
    if (body == nullptr) {
        return nullptr;
    }
    for (const PresetRecord& child : record.children) {
        if (BuildPresetTree(body, child) == nullptr) {
            return nullptr;
        }
    }
    return body;
}

HostNode* BuildPresetRecord(HostNode* parent, const PresetRecord& record) {
    HostNode* bodyParent = parent;
    if (record.orbit.auxDate2Jd - record.orbit.auxDate1Jd > 0.0) {
        bodyParent = BuildOrbitAxis(parent, record);
        if (bodyParent == nullptr) {
            return nullptr;
        }
    }

    HostNode* body = CreateObject(kTypeCaeloBodyAxis);
    if (body == nullptr) {
        return nullptr;
    }
    AppendChild(body, bodyParent);
    SetPrefixedName(body, kStringBodyPrefix, record.bodyNameId);
    auto* bodyAxis = InstanceOf<ObjCaeloBodyAxis>(body);
    if (record.globe && !bodyAxis->CreateGlobeAndPlanes(body, record.bodyNameId)) {
        return nullptr;
    }
    bodyAxis->SetBodyRecord(record.body);

    for (const PresetRing& ring : record.rings) {
        if (!bodyAxis->AddRing(body, ring.objectType, ring.nameId, &ring.ring)) {
            return nullptr;
        }
        if (!ring.switchedOn) {
            SetObjectSwitch(GetLastChild(body), HOST_SWITCH_ENABLED, 0);
        }
    }
    for (const PresetOrbit& band : record.extraOrbits) {
        if (!bodyAxis->AddMoonOrbit(body, band.nameId, &band.orbit)) {
            return nullptr;
        }
        if (!band.switchedOn) {
            SetObjectSwitch(GetLastChild(body), HOST_SWITCH_ENABLED, 0);
        }
    }
    return body;
}

void PlaceViewCamera(double bodyScale, double radiusKm, double globeScale) {
    const double drawnRadius = bodyScale * kCentimetresPerKilometre * radiusKm * globeScale;
    if (!std::isfinite(drawnRadius)) {
        return;
    }
    HostDocument* document = GetActiveDocument();
    HostView* view = document != nullptr ? GetActiveView(document) : nullptr;
    HostNode* camera = view != nullptr ? GetViewCamera(view) : nullptr;
    if (camera == nullptr) {
        return;
    }
    SetObjectPosition(
        camera, HostVector{kCameraAcross * drawnRadius, kCameraUp * drawnRadius, kCameraBack * drawnRadius});
}

} // namespace caelo
