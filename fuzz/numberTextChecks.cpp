#include "fuzz/fuzzReport.h"
#include "fuzz/parserChecks.h"
#include "host/services/numberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>

namespace caelo::fuzz {

namespace {

using namespace caelo::host;

// The longest text numberToText writes: 309 whole digits, 64 of padding, a
// sign, the point and 40 digits after it.
constexpr std::size_t kLongestNumberText = 420;

// Whether the text is a decimal number beyond the largest double. Rounded
// to nearest as printf rounds, a value within rounding of the largest double
// writes as such a number ("-2e+308" for -1.5e308 with no digit after the
// point), as the host's own does; modules guard against it (they refuse a
// number whose written form does not read back).
bool roundedPastLargestDouble(std::string_view text) {
    const std::size_t sign = text.starts_with('-') ? 1 : 0;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data() + sign, text.data() + text.size(), value);
    return error == std::errc::result_out_of_range && end == text.data() + text.size();
}

void checkHostConversions(std::string_view text, const FormatRequest& request) {
    if (const std::optional<double> value = textToNumber(text)) {
        if (!std::isfinite(*value)) {
            reportBroken("textToNumber", "answered a non-finite number");
        }
        if (textToNumber(formatDouble(*value)) != value) {
            reportBroken("formatDouble", "the shortest text does not read back to " + formatDouble(*value));
        }
    }
    const std::string written = numberToText(request.value, request.digitsBefore, request.digitsAfter,
                                             request.exponentForm, request.fill);
    if (written.size() > kLongestNumberText) {
        reportBroken("numberToText", "wrote " + std::to_string(written.size()) + " characters");
    }
    if (std::isfinite(request.value) && request.fill == ' ' && !textToNumber(written) &&
        !roundedPastLargestDouble(written)) {
        reportBroken("numberToText", "wrote text that does not read back: " + written);
    }
}

} // namespace

FormatRequest formatRequest(Input input) {
    FormatRequest request;
    std::uint8_t bytes[13] = {};
    std::memcpy(bytes, input.data(), std::min(input.size(), sizeof bytes));
    std::memcpy(&request.value, bytes, sizeof request.value);
    request.digitsBefore = static_cast<std::int8_t>(bytes[8]);
    request.digitsAfter = static_cast<std::int8_t>(bytes[9]);
    request.exponentForm = (bytes[10] & 1) != 0;
    request.fill = static_cast<char>(bytes[11]);
    request.capacity = bytes[12] % 64;
    return request;
}

void checkNumberText(Input input) {
    const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
    const FormatRequest request = formatRequest(input);
    checkHostConversions(text, request);
}

} // namespace caelo::fuzz
