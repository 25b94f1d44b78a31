/*
 * Tests that keep non-finite numbers out of the scene.
 */
#ifndef CAELO_FINITE_VALUES_H
#define CAELO_FINITE_VALUES_H

#include "hostInterface.h"

#include <cmath>

namespace caelo {

/* True when all three components are finite. */
[[nodiscard]] inline bool IsFiniteVector(const HostVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace caelo

#endif
