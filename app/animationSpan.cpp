#include "app/animationSpan.h"

#include <cmath>

namespace caelo::app {
namespace {

// Rounding of seconds x fps that must not add a frame: 10 model days at 0.1 s
// a day and 30 fps are 30.000000000000004 frames.
constexpr double kWholeFrameTolerance = 1e-6;

} // namespace

std::optional<std::int64_t> framesCovering(double documentSeconds, std::int32_t fps) {
    const double span = documentSeconds * fps;
    if (!std::isfinite(span) || span < 0.0 || fps <= 0) {
        return std::nullopt;
    }
    const double frames = std::ceil(span - kWholeFrameTolerance) + 1.0;
    if (frames > static_cast<double>(kMaxExportFrames)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(frames);
}

} // namespace caelo::app
