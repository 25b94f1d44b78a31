/*
 * Tests that keep non-finite numbers out of the scene, and exact comparison
 * of doubles.
 */
#ifndef CAELO_MODEL_FINITE_VALUES_H
#define CAELO_MODEL_FINITE_VALUES_H

#include "interface/hostInterface.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace caelo {

/* True when all three components are finite. */
[[nodiscard]] inline bool IsFiniteVector(const HostVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

/* Equal as bits, so that -0 and 0 (whose inverses differ) and NaNs are told
 * apart as a formula would tell them. */
[[nodiscard]] inline bool SameBits(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

} // namespace caelo

#endif
