/*
 * Writes that keep non-finite numbers out of the scene: a value that is not
 * finite leaves the parameter or rotation as it was.
 */
#ifndef CAELO_SOURCE_FINITE_WRITES_H
#define CAELO_SOURCE_FINITE_WRITES_H

#include "model/finiteValues.h"
#include "source/hostApi.h"

#include <cmath>
#include <cstdint>

namespace caelo {

/* Sets a Float parameter; a non-finite value leaves the parameter as it was. */
inline void SetFiniteFloat(const Container& container, int32_t id, double value) {
    if (std::isfinite(value)) {
        container.SetFloat(id, value);
    }
}

} // namespace caelo

#endif
