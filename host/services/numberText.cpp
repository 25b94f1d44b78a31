#include "host/services/numberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace caelo::host {
namespace {

constexpr int kMaxDigitsAfter = 40;
constexpr int kMaxDigitsBefore = 64;
// Room for the 309 whole digits of the largest double in fixed form, a sign,
// the point and the most digits after it.
constexpr std::size_t kTextCapacity = 400;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<double> textToNumber(std::string_view text) {
    text = trimBlanks(text);
    // from_chars takes a minus sign but no plus sign.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string numberToText(double value, int digitsBefore, int digitsAfter, bool exponentForm, char fill) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    }
    const int precision = std::clamp(digitsAfter, 0, kMaxDigitsAfter);
    std::array<char, kTextCapacity> buffer{};
    const auto format = exponentForm ? std::chars_format::scientific : std::chars_format::fixed;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
    std::string text(buffer.data(), result.ptr);
    if (exponentForm) {
        return text;
    }
    const bool negative = text.front() == '-';
    const std::size_t signLength = negative ? 1 : 0;
    const std::size_t wholeLength = std::min(text.find('.'), text.size()) - signLength;
    const auto wanted = static_cast<std::size_t>(std::clamp(digitsBefore, 0, kMaxDigitsBefore));
    if (wholeLength >= wanted) {
        return text;
    }
    const std::string padding(wanted - wholeLength, fill);
    return fill == '0' ? text.insert(signLength, padding) : padding + text;
}

std::string formatDouble(double value) {
    std::array<char, kTextCapacity> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

} // namespace caelo::host
