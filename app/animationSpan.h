// How many frames an animation export samples.
#ifndef CAELO_APP_ANIMATION_SPAN_H
#define CAELO_APP_ANIMATION_SPAN_H

#include <cstdint>
#include <optional>

namespace caelo::app {

// The most frames one export samples (an hour at 30 frames per second, far
// below what would exhaust memory).
inline constexpr std::int64_t kMaxExportFrames = 108000;

// The frames that cover `documentSeconds` of document time at `fps` frames
// per second, counting the frame at the start: ceil(seconds x fps) + 1, where
// a span within 1e-6 of a whole number of frames counts as that number.
// Nothing when the count is not finite or exceeds kMaxExportFrames, or the
// span is negative.
// Example: framesCovering(36.525, 30) == 1097 (one model year at the default
// time scale of 0.1 document seconds per model day).
[[nodiscard]] std::optional<std::int64_t> framesCovering(double documentSeconds, std::int32_t fps);

} // namespace caelo::app

#endif
