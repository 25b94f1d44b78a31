/*
 * The solar-system preset's constant tree and its build.
 *
 * Units: a in au, or in km where the orbit's unit is kKm; angles in degrees;
 * rates per Julian century; radii and ring sizes in km; periods in days; all
 * dates are Julian Dates.
 *
 * Sources: the elements of the nine top-level orbits are E. M. Standish's
 * "Keplerian Elements for Approximate Positions of the Major Planets" (JPL),
 * table 1, valid from 1800 to 2050, mean ecliptic and equinox of J2000, with
 * the Earth-Moon barycentre in the place of the Earth.
 */
#include "solarSystemPreset.h"

#include "caeloConstants.h"
#include "hostPrimitives.h"
#include "nodeNames.h"
#include "objCaeloOrbitAxis.h"
#include "objCaeloSystem.h"

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

/* A planet's elements with their rates, in au, from J2000.0. */
constexpr OrbitAxisRecord Planet(double a, double aRate, double e, double eRate, double inclination,
                                 double inclinationRate, double meanLongitude, double meanLongitudeRate,
                                 double perihelion, double perihelionRate, double node, double nodeRate) {
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
    return orbit;
}

/* A moon's orbit: a, e, I, L and the rate of L; everything else 0. */
constexpr OrbitAxisRecord Satellite(Unit unit, double a, double e, double inclination, double meanLongitude,
                                    double meanLongitudeRate) {
    OrbitAxisRecord orbit = ZeroOrbit();
    orbit.semiMajorAxis = a;
    orbit.eccentricity = e;
    orbit.inclinationDeg = inclination;
    orbit.meanLongitudeDeg = meanLongitude;
    orbit.meanLongitudeRateDeg = meanLongitudeRate;
    orbit.auxDate1Jd = kElementsValidFromJd;
    orbit.auxDate2Jd = kElementsValidToJd;
    orbit.epochJd = kJulianDateJ2000;
    orbit.mode = kOrbitModeElements;
    orbit.kmFlag = unit == Unit::Km;
    return orbit;
}

/* The same orbit with its perihelion and node turning. */
constexpr OrbitAxisRecord Precessing(OrbitAxisRecord orbit, double perihelionRate, double nodeRate) {
    orbit.perihelionLongitudeRateDeg = perihelionRate;
    orbit.nodeLongitudeRateDeg = nodeRate;
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

/* A body's settings; heading and rotation angle are 0. */
constexpr BodyAxisRecord Body(double equatorialRadius, double polarRadius, double obliquity,
                              double rotationEpoch, double rotationPeriod, double globeScale,
                              double satelliteScale, int32_t rotationMode) {
    BodyAxisRecord body;
    body.equatorialRadiusKm = equatorialRadius;
    body.polarRadiusKm = polarRadius;
    body.obliquityDeg = obliquity;
    body.headingDeg = 0.0;
    body.rotationEpochJd = rotationEpoch;
    body.rotationAngleDeg = 0.0;
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

constexpr PresetOrbit kUranusBands[] = {
    /*           a        e        I       L      rate of L         width    height end  length spacing */
    {Band(55868.5, 0.002,   0.02,   0.0,   9445321.17,       28063.0, 1.0,   0.8, 360.0, 0), 10058, kOn},
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
 * Planet(a, rate, e, rate, I, rate, L, rate, varpi, rate, Omega, rate);
 * Satellite(unit, a, e, I, L, rate of L). Bodies: Body(equatorial radius,
 * polar radius, obliquity, rotation epoch, rotation period, globe scale,
 * satellite scale, rotation mode 0 period / 1 locked / 2 solar day).
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
           Body(696000.0, 696000.0, 0.0, 2451545.0, 25.379995, 0.1, 1.0, 0), kGlobe, {}, {}, ListOf(kSunChildren));

constinit const PresetRecord kSunChildren[9] = {
    /* 1 Mercury */
    Record(10101, Planet(0.38709927, 3.7e-07, 0.20563593, 1.906e-05, 7.00497902, -0.00594749, 252.2503235, 149472.67411175, 77.45779628, 0.16047689, 48.33076593, -0.12534081), kGuides, kShown,
           Body(2439.7, 2439.7, 0.027, 2451545.0, 58.6462, 1.0, 1.0, 0), kGlobe),
    /* 2 Venus */
    Record(10102, Planet(0.72333566, 3.9e-06, 0.00677672, -4.107e-05, 3.39467605, -0.0007889, 181.9790995, 58517.81538729, 131.60246718, 0.00268329, 76.67984255, -0.27769418), kGuides, kShown,
           Body(6051.8, 6051.8, 177.36, 2451545.0, 243.0187, 1.0, 1.0, 0), kGlobe),
    /* 3 Earth-Moon barycentre */
    Record(10103, Planet(1.00000261, 5.62e-06, 0.01671123, -4.392e-05, -1.531e-05, -0.01294668, 100.46457166, 35999.37244981, 102.93768193, 0.32327364, 0.0, 0.0), kGuides, kShown,
           Body(0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 20.0, 2), kNoGlobe, {}, {}, ListOf(kEarthMoonChildren)),
    /* 6 Mars */
    Record(10106, Planet(1.52371034, 1.847e-05, 0.0933941, 7.882e-05, 1.84969142, -0.00813131, -4.55343205, 19140.30268499, -23.94362959, 0.44441088, 49.55953891, -0.29257343), kGuides, kShown,
           Body(3397.2, 3397.2, 25.19, 2451545.0, 1.0259567476852, 1.0, 1.0, 0), kGlobe, {}, {}, ListOf(kMarsMoons)),
    /* 9 Jupiter */
    Record(10109, Planet(5.202887, -0.00011607, 0.04838624, -0.00013253, 1.30439695, -0.00183714, 34.39644051, 3034.74612775, 14.72847983, 0.21252668, 100.47390909, 0.20469106), kGuides, kShown,
           Body(71492.0, 68330.0, 3.13, 2451545.0, 0.4100694, 0.5, 1.0, 0), kGlobe, ListOf(kJupiterRings), {}, ListOf(kJupiterMoons)),
    /* 14 Saturn */
    Record(10118, Planet(9.53667594, -0.0012506, 0.05386179, -0.00050991, 2.48599187, 0.00193609, 49.95424423, 1222.49362201, 92.59887831, -0.41897216, 113.66242448, -0.28867794), kGuides, kShown,
           Body(60268.0, 60268.0, 25.33, 2451545.0, 0.4263773148, 0.5, 1.0, 0), kGlobe, ListOf(kSaturnRings), {}, ListOf(kSaturnMoons)),
    /* 20 Uranus */
    Record(10136, Planet(19.18916464, -0.00196176, 0.04725744, -4.397e-05, 0.77263783, -0.00242939, 313.23810451, 428.48202785, 170.9542763, 0.40805281, 74.01692503, 0.04240589), kGuides, kShown,
           Body(25559.0, 25559.0, 97.86, 2451545.0, 0.71833, 1.0, 1.0, 0), kGlobe, {}, ListOf(kUranusBands), ListOf(kUranusMoons)),
    /* 26 Neptune */
    Record(10142, Planet(30.06992276, 0.00026291, 0.00859048, 5.105e-05, 1.77004347, 0.00035372, -55.12002969, 218.45945325, 44.96476227, -0.32241464, 131.78422574, -0.00508664), kGuides, kShown,
           Body(24764.0, 24764.0, 28.31, 2451545.0, 0.67125, 1.0, 1.0, 0), kGlobe, ListOf(kNeptuneRings), ListOf(kNeptuneBands), ListOf(kNeptuneMoons)),
    /* 32 Pluto-Charon barycentre */
    Record(10158, Planet(39.48211675, -0.00031596, 0.2488273, 5.17e-05, 17.14001206, 4.818e-05, 238.92903833, 145.20780515, 224.06891629, -0.04062942, 110.30393684, -0.01183482), kGuides, kShown,
           Body(0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 0), kNoGlobe, {}, {}, ListOf(kPlutoCharonChildren)),
};

constinit const PresetRecord kEarthMoonChildren[2] = {
    /* 4 Earth */ Record(10104, FixedFrame(), kNoGuides, kShown, Body(6378.137, 6356.752314, 23.439279, 2451545.0, 0.0, 1.0, 1.0, 2), kGlobe),
    /* 5 Moon  */ Record(10105, Precessing(Satellite(Unit::Au, 0.00257188152611853, 0.0549006, 5.14, 0.0, 481267.617447532), 2132.087268093, -1935.52549517193), kGuides, kShown,
                         Body(1737.9, 1735.65, 1.5424, 0.0, 0.0, 1.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kMarsMoons[2] = {
    /* 7 Phobos */ Record(10107, Satellite(Unit::Km, 9378.0,  0.0151,  1.08, 0.0, 1716579.63446475), kGuides, kShown, Body(11.1, 11.1, 0.0, 2451545.0, 7.66,  60.0, 1.0, 1), kGlobe),
    /* 8 Deimos */ Record(10108, Satellite(Unit::Km, 23400.0, 0.00033, 1.79, 0.0, 433245.46952224),  kGuides, kShown, Body(6.3,  6.3,  0.0, 2451545.0, 30.35, 60.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kJupiterMoons[4] = {
    /* 10 Io       */ Record(10114, Satellite(Unit::Km, 421700.0,  0.0041, 0.05,  0.0, 7432434.09532828), kGuides, kShown, Body(1821.35, 1821.35, 1.5424, 2451545.0, 1.769137786, 5.0, 1.0, 1), kGlobe),
    /* 11 Europa   */ Record(10115, Satellite(Unit::Km, 671034.0,  0.0094, 0.471, 0.0, 3702711.81564353), kGuides, kShown, Body(1560.8,  1560.8,  0.1,    2451545.0, 3.551181041, 5.0, 1.0, 1), kGlobe),
    /* 12 Ganymede */ Record(10116, Satellite(Unit::Km, 1070412.0, 0.0011, 0.204, 0.0, 1837850.67683669), kGuides, kShown, Body(2631.2,  2631.2,  0.0,    2451545.0, 7.15455296,  4.0, 1.0, 1), kGlobe),
    /* 13 Callisto */ Record(10117, Satellite(Unit::Km, 1882709.0, 0.0074, 0.205, 0.0, 787883.366465699), kGuides, kShown, Body(2410.3,  2410.3,  0.0,    2451545.0, 16.6890184,  4.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kSaturnMoons[5] = {
    /* 15 Tethys  */ Record(10131, Satellite(Unit::Km, 294619.0,  0.0,       0.168, 0.0, 6965243.17698572), kGuides, kShown,  Body(533.0,  533.0,  0.0,   2451545.0, 1.887802, 10.0, 1.0, 1), kGlobe),
    /* 16 Dione   */ Record(10132, Satellite(Unit::Km, 377396.0,  0.022,     0.02,  0.0, 4804314.34662749), kGuides, kShown,  Body(561.5,  561.5,  0.006, 2451545.0, 2.736915, 10.0, 1.0, 1), kGlobe),
    /* 17 Rhea    */ Record(10133, Satellite(Unit::Km, 527108.0,  0.0012583, 0.327, 0.0, 2910222.00817491), kGuides, kShown,  Body(764.5,  764.5,  0.029, 2451545.0, 4.518212, 10.0, 1.0, 1), kGlobe),
    /* 18 Titan   */ Record(10134, Satellite(Unit::Km, 1221930.0, 0.02888,   1.634, 0.0, 824625.503749666), kGuides, kShown,  Body(2575.5, 2575.5, 1.942, 2451545.0, 15.94542, 4.0,  1.0, 1), kGlobe),
    /* 19 Iapetus */ Record(10135, Satellite(Unit::Km, 3560820.0, 0.0286125, 7.57,  0.0, 165768.423441311), kGuides, kHidden, Body(736.0,  736.0,  0.0,   2451545.0, 79.3215,  10.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kUranusMoons[5] = {
    /* 21 Miranda */ Record(10137, Satellite(Unit::Km, 129390.0, 0.001, 4.338, 0.0, 9302578.95589534), kGuides, kShown, Body(235.8, 235.8, 0.0, 2451545.0, 1.413479,  20.0, 1.0, 1), kGlobe),
    /* 22 Ariel   */ Record(10138, Satellite(Unit::Km, 191020.0, 0.001, 0.041, 0.0, 5217072.51171351), kGuides, kShown, Body(578.9, 578.9, 0.0, 2451545.0, 2.520379,  10.0, 1.0, 1), kGlobe),
    /* 23 Umbriel */ Record(10139, Satellite(Unit::Km, 266300.0, 0.04,  0.128, 0.0, 3172885.71409956), kGuides, kShown, Body(584.7, 584.7, 0.0, 2451545.0, 4.144177,  10.0, 1.0, 1), kGlobe),
    /* 24 Titania */ Record(10140, Satellite(Unit::Km, 435910.0, 0.001, 0.079, 0.0, 1510359.90421177), kGuides, kShown, Body(788.9, 788.9, 0.0, 2451545.0, 8.705872,  10.0, 1.0, 1), kGlobe),
    /* 25 Oberon  */ Record(10141, Satellite(Unit::Km, 583520.0, 0.001, 0.068, 0.0, 976659.47993644),  kGuides, kShown, Body(761.4, 761.4, 0.0, 2451545.0, 13.463239, 10.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kNeptuneMoons[5] = {
    /* 27 Naiad    */ Record(10153, Satellite(Unit::Km, 48227.0, 0.0,    4.74,  0.0, 44724489.7959183), kGuides, kShown, Body(33.5, 33.5, 0.0, 2451545.0, 0.294, 12.0, 1.0, 1), kGlobe),
    /* 28 Thalassa */ Record(10154, Satellite(Unit::Km, 50075.0, 0.0,    0.205, 0.0, 42279742.7652733), kGuides, kShown, Body(41.5, 41.5, 0.0, 2451545.0, 0.311, 12.0, 1.0, 1), kGlobe),
    /* 29 Despina  */ Record(10155, Satellite(Unit::Km, 52526.0, 0.0023, 0.065, 0.0, 39250746.2686567), kGuides, kShown, Body(76.0, 76.0, 0.0, 2451545.0, 0.335, 8.0,  1.0, 1), kGlobe),
    /* 30 Galatea  */ Record(10156, Satellite(Unit::Km, 61953.0, 0.0,    0.054, 0.0, 30650349.6503496), kGuides, kShown, Body(87.5, 87.5, 0.0, 2451545.0, 0.429, 8.0,  1.0, 1), kGlobe),
    /* 31 Larissa  */ Record(10157, Satellite(Unit::Km, 73548.0, 0.001,  0.201, 0.0, 23691891.8918918), kGuides, kShown, Body(97.5, 97.5, 0.0, 2451545.0, 0.555, 12.0, 1.0, 1), kGlobe),
};

constinit const PresetRecord kPlutoCharonChildren[6] = {
    /* 33 Pluto    */ Record(10159, Satellite(Unit::Km, 2795.91428571429, 0.0,    99.089, 180.0, 2058654.99328342), kGuides, kShown, Body(1160.0, 1160.0, -20.501000000000005, 2451545.0, 6.38718, 2.0,  1.0, 1), kGlobe),
    /* 34 Charon   */ Record(10160, Satellite(Unit::Km, 19571.4,          0.0,    99.089, 0.0,   2058654.99328342), kGuides, kShown, Body(606.0,  606.0,  0.0,                 2451545.0, 6.38718, 2.0,  1.0, 1), kGlobe),
    /* 35 Styx     */ Record(10161, Satellite(Unit::Km, 42000.0,          0.0,    99.089, 0.0,   650940.594059405), kGuides, kShown, Body(10.0,   10.0,   0.0,                 2451545.0, 5.05,    30.0, 1.0, 0), kGlobe),
    /* 36 Nix      */ Record(10162, Satellite(Unit::Km, 48675.0,          0.0023, 99.2,   0.0,   529002.824245057), kGuides, kShown, Body(20.0,   20.0,   0.0,                 2451545.0, 5.05,    30.0, 1.0, 0), kGlobe),
    /* 37 Kerberos */ Record(10163, Satellite(Unit::Km, 59000.0,          0.0,    99.089, 0.0,   409626.168224299), kGuides, kShown, Body(15.0,   15.0,   0.0,                 2451545.0, 5.05,    30.0, 1.0, 0), kGlobe),
    /* 38 Hydra    */ Record(10164, Satellite(Unit::Km, 64780.0,          0.0052, 99.339, 0.0,   344156.099093086), kGuides, kShown, Body(22.5,   22.5,   0.0,                 2451545.0, 5.05,    30.0, 1.0, 0), kGlobe),
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

bool BuildSolarSystem(HostNode* systemNode) {
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
    PlaceViewCamera(systemNode, root.body.equatorialRadiusKm, root.body.globeScale);
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

void PlaceViewCamera(HostNode* systemNode, double radiusKm, double globeScale) {
    if (GetNodeType(systemNode) != kTypeCaeloSystem) {
        return;
    }
    const double bodyScale = InstanceOf<ObjCaeloSystem>(systemNode)->GetBodyScale();
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
