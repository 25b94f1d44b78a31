/*
 * The scales a system derives from its parameters: how fast model time runs
 * and how body sizes and orbit distances map onto scene units.
 */
#ifndef CAELO_MODEL_SYSTEM_SCALES_H
#define CAELO_MODEL_SYSTEM_SCALES_H

#include "model/units.h"

namespace caelo {

/* Document seconds per model second, from the time scale (document seconds
 * per model day). */
[[nodiscard]] constexpr double SystemTimeFactor(double timeScale) {
    return (1.0 / kSecondsPerDay) * timeScale;
}

/* Scene units per centimetre of real size, from the scene units given to the
 * Earth's equatorial diameter. */
[[nodiscard]] constexpr double SystemBodyScale(double bodySize) {
    return (1.0 / kEarthEquatorialDiameterCm) * bodySize;
}

/* Scene units per au: the au in centimetres, times scene units per
 * centimetre, times the distance factor. */
[[nodiscard]] constexpr double SystemDistanceScale(double bodyScale, double distanceFactor) {
    return kMetresPerAu * kCentimetresPerMetre * bodyScale * distanceFactor;
}

} // namespace caelo

#endif
