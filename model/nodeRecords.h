/*
 * The records in which the orbit and body axes keep their settings, and the
 * parameters behind their fields, in the order in which the module writes
 * and reads them back. The orbit axis's record is the orbital mathematics'
 * input (model/orbitalMath.h).
 */
#ifndef CAELO_MODEL_NODE_RECORDS_H
#define CAELO_MODEL_NODE_RECORDS_H

#include "model/moduleIds.h"
#include "model/orbitalMath.h"
#include "model/parameterBinding.h"
#include "model/units.h"

#include <cstdint>

namespace caelo {

/* The orbit axis's parameters and the record fields behind them, in the
 * order in which they are written and read back. */
inline constexpr ParameterBinding<OrbitAxisRecord> kOrbitAxisBindings[] = {
    ChoiceBinding(OCAELOORBITAXIS_MODE, &OrbitAxisRecord::mode, kModeChoiceBase),
    FloatBinding(OCAELOORBITAXIS_EPOCH, &OrbitAxisRecord::epochJd),
    NumberTextBinding(OCAELOORBITAXIS_A, &OrbitAxisRecord::semiMajorAxis),
    NumberTextBinding(OCAELOORBITAXIS_A_RATE, &OrbitAxisRecord::semiMajorAxisRate),
    NumberTextBinding(OCAELOORBITAXIS_E, &OrbitAxisRecord::eccentricity),
    NumberTextBinding(OCAELOORBITAXIS_E_RATE, &OrbitAxisRecord::eccentricityRate),
    NumberTextBinding(OCAELOORBITAXIS_I, &OrbitAxisRecord::inclinationDeg),
    NumberTextBinding(OCAELOORBITAXIS_I_RATE, &OrbitAxisRecord::inclinationRateDeg),
    NumberTextBinding(OCAELOORBITAXIS_L, &OrbitAxisRecord::meanLongitudeDeg),
    NumberTextBinding(OCAELOORBITAXIS_L_RATE, &OrbitAxisRecord::meanLongitudeRateDeg),
    NumberTextBinding(OCAELOORBITAXIS_PERI, &OrbitAxisRecord::perihelionLongitudeDeg),
    NumberTextBinding(OCAELOORBITAXIS_PERI_RATE, &OrbitAxisRecord::perihelionLongitudeRateDeg),
    NumberTextBinding(OCAELOORBITAXIS_NODE, &OrbitAxisRecord::nodeLongitudeDeg),
    NumberTextBinding(OCAELOORBITAXIS_NODE_RATE, &OrbitAxisRecord::nodeLongitudeRateDeg),
    NumberTextBinding(OCAELOORBITAXIS_TERM_B, &OrbitAxisRecord::termBDeg),
    NumberTextBinding(OCAELOORBITAXIS_TERM_C, &OrbitAxisRecord::termCDeg),
    NumberTextBinding(OCAELOORBITAXIS_TERM_S, &OrbitAxisRecord::termSDeg),
    NumberTextBinding(OCAELOORBITAXIS_TERM_F, &OrbitAxisRecord::termFDeg),
    FloatBinding(OCAELOORBITAXIS_AUX_DATE1, &OrbitAxisRecord::auxDate1Jd),
    FloatBinding(OCAELOORBITAXIS_AUX_DATE2, &OrbitAxisRecord::auxDate2Jd),
    BoolBinding(OCAELOORBITAXIS_KM, &OrbitAxisRecord::kmFlag),
    FloatBinding(OCAELOORBITAXIS_BAND_WIDTH, &OrbitAxisRecord::bandWidth),
    FloatBinding(OCAELOORBITAXIS_BAND_HEIGHT, &OrbitAxisRecord::bandHeight),
    FloatBinding(OCAELOORBITAXIS_BAND_END_SIZE, &OrbitAxisRecord::bandEndSize),
    FloatBinding(OCAELOORBITAXIS_BAND_LENGTH, &OrbitAxisRecord::bandLengthDeg),
    ChoiceBinding(OCAELOORBITAXIS_BAND_SPACING, &OrbitAxisRecord::bandSpacing, kBandSpacingChoiceBase),
    ChoiceBinding(OCAELOORBITAXIS_THEORY, &OrbitAxisRecord::theory, kTheoryChoiceBase),
};

/* The settings of one body axis, copied and handed over as one block; the
 * field order is part of the interface with the presets. */
struct BodyAxisRecord {
    double equatorialRadiusKm = 6500.0;
    double polarRadiusKm = 6500.0;
    double obliquityDeg = 0.0;
    double headingDeg = 0.0;
    double rotationEpochJd = kJulianDateJ2000;
    double rotationAngleDeg = 0.0; /* globe angle at the rotation epoch */
    double rotationPeriodDays = 1.0;
    double globeScale = 1.0;     /* factor on the globe, its rings and km-mode orbits below */
    double satelliteScale = 1.0; /* factor on au-mode orbit distances below */
    int32_t rotationMode = 0;    /* 0 to 2: parameter value - 1200 */
};

/* The body axis's parameters (the globe link aside) and the record fields
 * behind them, in the order in which they are written and read back. */
inline constexpr ParameterBinding<BodyAxisRecord> kBodyAxisBindings[] = {
    NumberTextBinding(OCAELOBODYAXIS_EQUATORIAL_RADIUS, &BodyAxisRecord::equatorialRadiusKm),
    NumberTextBinding(OCAELOBODYAXIS_POLAR_RADIUS, &BodyAxisRecord::polarRadiusKm),
    NumberTextBinding(OCAELOBODYAXIS_OBLIQUITY, &BodyAxisRecord::obliquityDeg),
    NumberTextBinding(OCAELOBODYAXIS_HEADING, &BodyAxisRecord::headingDeg),
    NumberTextBinding(OCAELOBODYAXIS_ROTATION_ANGLE, &BodyAxisRecord::rotationAngleDeg),
    NumberTextBinding(OCAELOBODYAXIS_ROTATION_PERIOD, &BodyAxisRecord::rotationPeriodDays),
    ChoiceBinding(OCAELOBODYAXIS_ROTATION_MODE, &BodyAxisRecord::rotationMode, kModeChoiceBase),
    FloatBinding(OCAELOBODYAXIS_ROTATION_EPOCH, &BodyAxisRecord::rotationEpochJd),
    FloatBinding(OCAELOBODYAXIS_GLOBE_SCALE, &BodyAxisRecord::globeScale),
    FloatBinding(OCAELOBODYAXIS_SATELLITE_SCALE, &BodyAxisRecord::satelliteScale),
};

} // namespace caelo

#endif
