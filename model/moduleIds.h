/*
 * The identifiers of the module's node types: the type ids, under which the
 * types are also registered, and each type's parameter ids (values, links
 * and buttons), with the base a choice parameter adds to the member value it
 * stores. This is the one list: the module, the tool's places, the tests and
 * the benchmarks read it, and res/description/ describes the same ids to the
 * host.
 */
#ifndef CAELO_MODEL_MODULE_IDS_H
#define CAELO_MODEL_MODULE_IDS_H

#include <cstdint>

namespace caelo {

/* ---- Node types ----------------------------------------------------------- */

inline constexpr int32_t kTypeCaeloSystem = 1032493;
inline constexpr int32_t kTypeCaeloOrbitAxis = 1032494;
inline constexpr int32_t kTypeCaeloBodyAxis = 1032495;
inline constexpr int32_t kTypeCaeloOrbit = 1032496;
inline constexpr int32_t kTypeCaeloOrbitPlane = 1032497;
inline constexpr int32_t kTypeCaeloOrbitPlaneS = 1032498;
inline constexpr int32_t kTypeCaeloEquatPlane = 1032499;
inline constexpr int32_t kTypeCaeloRing = 1032500;
inline constexpr int32_t kTypeAttitudeCtrl = 1032501;

/* Evaluation priority of the module's objects. */
inline constexpr int32_t kEvaluationPriority = 2000;

/* ---- Strings ---------------------------------------------------------------- */

/* The module's string of the Earth's name, which the preset gives its globe. */
inline constexpr int32_t kStringEarth = 10104;

/* ---- Choices ---------------------------------------------------------------- */

/* Choice parameters store the member value plus a base. */
inline constexpr int32_t kModeChoiceBase = 1200;
inline constexpr int32_t kBandSpacingChoiceBase = 1250;
inline constexpr int32_t kTheoryChoiceBase = 1300;

/* ---- System ----------------------------------------------------------------- */

enum : int32_t {
    OCAELOSYSTEM_TIME_SCALE = 1000,      /* Float: document seconds per model day */
    OCAELOSYSTEM_BODY_SCALE = 1001,      /* Float: scene units for the Earth's equatorial diameter */
    OCAELOSYSTEM_DISTANCE_FACTOR = 1002, /* Float: factor on distances in au against body scale */
    OCAELOSYSTEM_EPOCH = 1003,           /* date-time, local: the date of document time 0 */
    OCAELOSYSTEM_CURRENT_DATE = 1004,    /* date-time, local: the model date now; read-only */
    OCAELOSYSTEM_BUILD_SOLAR_SYSTEM = 1101,
    OCAELOSYSTEM_ADD_BODY_AXIS = 1102,
    OCAELOSYSTEM_ADD_ORBIT_AXIS = 1103,
    OCAELOSYSTEM_REFRESH_LINKS = 1104,
};

/* ---- Orbit axis ------------------------------------------------------------- */

/* 1003 to 1018 are number texts. */
enum : int32_t {
    OCAELOORBITAXIS_MODE = 1000,  /* Int32 choice kModeChoiceBase + mode */
    OCAELOORBITAXIS_EPOCH = 1001, /* Float, Julian Date */
    OCAELOORBITAXIS_A = 1003,
    OCAELOORBITAXIS_A_RATE = 1004,
    OCAELOORBITAXIS_E = 1005,
    OCAELOORBITAXIS_E_RATE = 1006,
    OCAELOORBITAXIS_I = 1007,
    OCAELOORBITAXIS_I_RATE = 1008,
    OCAELOORBITAXIS_L = 1009,
    OCAELOORBITAXIS_L_RATE = 1010,
    OCAELOORBITAXIS_PERI = 1011,
    OCAELOORBITAXIS_PERI_RATE = 1012,
    OCAELOORBITAXIS_NODE = 1013,
    OCAELOORBITAXIS_NODE_RATE = 1014,
    OCAELOORBITAXIS_TERM_B = 1015,
    OCAELOORBITAXIS_TERM_C = 1016,
    OCAELOORBITAXIS_TERM_S = 1017,
    OCAELOORBITAXIS_TERM_F = 1018,
    OCAELOORBITAXIS_AUX_DATE1 = 1020, /* Float, Julian Date */
    OCAELOORBITAXIS_AUX_DATE2 = 1021, /* Float, Julian Date */
    OCAELOORBITAXIS_KM = 1022,        /* Bool */
    OCAELOORBITAXIS_BAND_WIDTH = 1023,
    OCAELOORBITAXIS_BAND_HEIGHT = 1024,
    OCAELOORBITAXIS_BAND_END_SIZE = 1025,
    OCAELOORBITAXIS_BAND_LENGTH = 1026,
    OCAELOORBITAXIS_BAND_SPACING = 1027, /* Int32 choice kBandSpacingChoiceBase + spacing */
    OCAELOORBITAXIS_THEORY = 1028,       /* Int32 choice kTheoryChoiceBase + theory (theoryPlaces.h) */
    OCAELOORBITAXIS_ELLIPSE_LINK = 1050,
    OCAELOORBITAXIS_BAND_LINK = 1051,
    OCAELOORBITAXIS_CREATE_GUIDES = 1090,
    OCAELOORBITAXIS_CREATE_BAND = 1091,
    OCAELOORBITAXIS_CREATE_BODY = 1092,
};

/* Modes of an orbit axis: the value after the base. */
enum : int32_t {
    kOrbitModeOrientation = 0,      /* orients the orbit frame only */
    kOrbitModeElements = 1,         /* also places the body-axis child */
    kOrbitModeElementsExtended = 2, /* mode 1 with the b, c, s, f terms */
    kOrbitModeBand = 3,             /* drives the ellipse spline and band */
    kOrbitModeTheory = 4,           /* places the body-axis child by a theory, the frame by the elements */
};

/* Band spacing choices: the value after the base. */
enum : int32_t {
    kBandSpacingMeanAngle = 0,
    kBandSpacingEccentricAngle = 1,
    kBandSpacingMeanArc = 2,
    kBandSpacingEccentricArc = 3,
};

/* ---- Body axis -------------------------------------------------------------- */

/* 1001 to 1005 and 1051 are number texts. */
enum : int32_t {
    OCAELOBODYAXIS_EQUATORIAL_RADIUS = 1001, /* km */
    OCAELOBODYAXIS_POLAR_RADIUS = 1002,      /* km */
    OCAELOBODYAXIS_OBLIQUITY = 1003,         /* degrees */
    OCAELOBODYAXIS_ROTATION_ANGLE = 1004,    /* degrees at the rotation epoch */
    OCAELOBODYAXIS_ROTATION_PERIOD = 1005,   /* days */
    OCAELOBODYAXIS_ROTATION_MODE = 1007,     /* Int32 choice kModeChoiceBase + mode */
    OCAELOBODYAXIS_ROTATION_EPOCH = 1008,    /* Float, Julian Date */
    OCAELOBODYAXIS_GLOBE_SCALE = 1009,       /* Float factor */
    OCAELOBODYAXIS_SATELLITE_SCALE = 1010,   /* Float factor */
    OCAELOBODYAXIS_GLOBE_LINK = 1011,        /* Link to the globe object */
    OCAELOBODYAXIS_CREATE_GLOBE = 1015,
    OCAELOBODYAXIS_ADD_TUBE_RING = 1016,
    OCAELOBODYAXIS_ADD_TORUS_RING = 1017,
    OCAELOBODYAXIS_ADD_MOON_ORBIT = 1018,
    OCAELOBODYAXIS_ADD_ORBIT_AXIS = 1019,
    OCAELOBODYAXIS_HEADING = 1051, /* degrees */
};

/* Rotation modes: the value after the base. */
enum : int32_t {
    kRotationModePeriod = 0,   /* spin by rotation period from an epoch angle */
    kRotationModeLocked = 1,   /* keep one face towards the reference body */
    kRotationModeSolarDay = 2, /* one turn per model day relative to the reference body */
};

/* ---- Ring tag --------------------------------------------------------------- */

/* 1001 to 1006 and 1051 are number texts. */
enum : int32_t {
    TCAELORING_INNER_RADIUS = 1001, /* km */
    TCAELORING_OUTER_RADIUS = 1002, /* km */
    TCAELORING_THICKNESS = 1003,    /* km */
    TCAELORING_TILT = 1004,         /* degrees */
    TCAELORING_PHASE = 1005,        /* degrees at the epoch */
    TCAELORING_PERIOD = 1006,       /* days */
    TCAELORING_SLICE_MODE = 1008,   /* Int32 choice kModeChoiceBase + slice mode */
    TCAELORING_SLICE_START = 1009,  /* Float, degrees */
    TCAELORING_SLICE_END = 1010,    /* Float, degrees */
    TCAELORING_EPOCH = 1011,        /* Float, Julian Date */
    TCAELORING_HEADING = 1051,      /* degrees */
};

/* Slice modes: the value after the base. Every value but kSliceModeSliced
 * draws the whole ring. */
enum : int32_t {
    kSliceModeWhole = 0,
    kSliceModeSliced = 1,
};

/* ---- Attitude-control tag --------------------------------------------------- */

enum : int32_t {
    TATTITUDECTRL_MODE = 1000, /* Int32 cycle kModeChoiceBase + mode */
};

/* Modes: the value after the base. Every other value keeps heading, pitch
 * and bank. */
enum : int32_t {
    kAttitudeKeepHeading = 0,
    kAttitudeKeepPitch = 1,
    kAttitudeKeepBank = 2,
};

} // namespace caelo

#endif
