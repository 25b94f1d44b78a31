// Values of the command line's options, checked as they are read. Each reader
// throws CommandError "<option> '<text>': <what is wrong>".
//
// Example: const PixelSize size = parsePixelSize("--size", "1600x1200");
#ifndef CAELO_APP_OPTION_VALUES_H
#define CAELO_APP_OPTION_VALUES_H

#include <cstdint>
#include <string_view>

namespace caelo::app {

// A whole number from 1 to `largest` written in decimal digits.
// Example: parsePositiveWhole("--fps", "24", 1000) == 24.
[[nodiscard]] std::int64_t parsePositiveWhole(std::string_view option, std::string_view text,
                                              std::int64_t largest);

// A finite number greater than zero (decimal, optional exponent).
// Example: parsePositiveNumber("--days", "365.25") == 365.25.
[[nodiscard]] double parsePositiveNumber(std::string_view option, std::string_view text);

struct PixelSize {
    int width = 0;
    int height = 0;
};

// "WxH", each side a whole number of pixels from 1 to `largestSide`.
// Example: parsePixelSize("--size", "1920x1080", 16384) gives 1920 by 1080.
[[nodiscard]] PixelSize parsePixelSize(std::string_view option, std::string_view text, int largestSide);

} // namespace caelo::app

#endif
