#include "app/optionValues.h"

#include "app/commandError.h"
#include "host/services/displayText.h"
#include "host/services/numberText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace caelo::app {
namespace {

[[noreturn]] void reject(std::string_view option, std::string_view text, const std::string& problem) {
    throw CommandError(std::string(option) + " " + host::quotedExcerpt(text) + ": " + problem);
}

} // namespace

std::int64_t parsePositiveWhole(std::string_view option, std::string_view text, std::int64_t largest) {
    const std::string range = "expected a whole number from 1 to " + std::to_string(largest);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        reject(option, text, range);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 1 || value > largest) {
        reject(option, text, range);
    }
    return value;
}

double parsePositiveNumber(std::string_view option, std::string_view text) {
    const auto value = host::textToNumber(text);
    if (!value || !std::isfinite(*value) || *value <= 0.0) {
        reject(option, text, "expected a number greater than 0");
    }
    return *value;
}

PixelSize parsePixelSize(std::string_view option, std::string_view text, int largestSide) {
    const std::size_t cross = text.find('x');
    const std::string side = "expected WIDTHxHEIGHT in pixels, each from 1 to " + std::to_string(largestSide);
    if (cross == std::string_view::npos) {
        reject(option, text, side);
    }
    try {
        return {static_cast<int>(parsePositiveWhole(option, text.substr(0, cross), largestSide)),
                static_cast<int>(parsePositiveWhole(option, text.substr(cross + 1), largestSide))};
    } catch (const CommandError&) {
        reject(option, text, side);
    }
}

} // namespace caelo::app
