#include "app/rationalText.h"

#include <charconv>
#include <cstdint>

namespace caelo::app {
namespace {

// 10^18 is the largest power of ten an int64 holds.
constexpr int kMaxPowerOfTen = 18;

std::optional<std::int64_t> powerOfTen(int exponent) {
    if (exponent < 0 || exponent > kMaxPowerOfTen) {
        return std::nullopt;
    }
    std::int64_t value = 1;
    for (int i = 0; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

std::optional<std::int64_t> multiply(std::int64_t a, std::int64_t b) {
    std::int64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) {
        return std::nullopt;
    }
    return product;
}

std::optional<std::int64_t> readWhole(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool allDigits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<host::DocumentTime> parseFraction(std::string_view text, std::size_t slash) {
    const auto numerator = readWhole(text.substr(0, slash));
    const auto denominator = readWhole(text.substr(slash + 1));
    if (!numerator || !denominator) {
        return std::nullopt;
    }
    return host::DocumentTime::reduced(*numerator, *denominator);
}

std::optional<host::DocumentTime> parseDecimal(std::string_view text) {
    int exponent = 0;
    if (const std::size_t e = text.find_first_of("eE"); e != std::string_view::npos) {
        std::string_view exponentText = text.substr(e + 1);
        if (!exponentText.empty() && exponentText.front() == '+') {
            exponentText.remove_prefix(1);
        }
        const auto [end, error] =
            std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
        if (exponentText.empty() || error != std::errc{} ||
            end != exponentText.data() + exponentText.size()) {
            return std::nullopt;
        }
        text = text.substr(0, e);
    }
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || !allDigits(whole) || !allDigits(fraction)) {
        return std::nullopt;
    }
    std::string digits(whole);
    digits += fraction;
    // value = digits * 10^scale; trailing zeros move into the scale.
    long long scale = static_cast<long long>(exponent) - static_cast<long long>(fraction.size());
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
        ++scale;
    }
    const auto mantissa = readWhole(digits);
    if (!mantissa) {
        return std::nullopt;
    }
    const auto power = powerOfTen(static_cast<int>(scale < 0 ? -scale : scale));
    if (!power || scale < -kMaxPowerOfTen || scale > kMaxPowerOfTen) {
        return *mantissa == 0 ? std::optional<host::DocumentTime>(host::DocumentTime{0, 1}) : std::nullopt;
    }
    const std::int64_t signedMantissa = negative ? -*mantissa : *mantissa;
    if (scale < 0) {
        return host::DocumentTime::reduced(signedMantissa, *power);
    }
    const auto numerator = multiply(signedMantissa, *power);
    return numerator ? host::DocumentTime::reduced(*numerator, 1) : std::nullopt;
}

} // namespace

std::optional<host::DocumentTime> parseRationalSeconds(std::string_view text) {
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        return parseFraction(text, slash);
    }
    return parseDecimal(text);
}

std::string formatRational(const host::DocumentTime& value) {
    if (value.denominator == 1) {
        return std::to_string(value.numerator);
    }
    return std::to_string(value.numerator) + "/" + std::to_string(value.denominator);
}

} // namespace caelo::app
