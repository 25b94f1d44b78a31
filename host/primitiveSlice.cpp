#include "host/primitiveSlice.h"

#include "host/primitiveParameters.h"

#include <algorithm>
#include <cmath>

namespace caelo::host {

PrimitiveSlice primitiveSlice(const Node& object) {
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    const Container& parameters = object.parameters;
    if (!parameters.getBool(kSliceOn, false)) {
        return {};
    }
    const double from = parameters.getFloat(kSliceFrom, 0.0);
    double span = parameters.getFloat(kSliceTo, kTwoPi) - from;
    if (!std::isfinite(span)) {
        return {};
    }
    if (span < 0.0) {
        span += kTwoPi;
    }
    return {from, std::min(span, kTwoPi), false};
}

} // namespace caelo::host
