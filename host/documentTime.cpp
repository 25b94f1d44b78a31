#include "host/documentTime.h"

#include "host/services/hostError.h"

#include <cmath>
#include <limits>
#include <numeric>
#include <string>

namespace caelo::host {

namespace {

// The largest power-of-two denominator exponent a time keeps.
constexpr int kMaxDenominatorExponent = 62;

} // namespace

double DocumentTime::seconds() const {
    return denominator == 0 ? 0.0 : static_cast<double>(numerator) / static_cast<double>(denominator);
}

DocumentTime DocumentTime::fromSeconds(double seconds) {
    if (!std::isfinite(seconds)) {
        throw HostError("a time must be a finite number of seconds");
    }
    if (seconds == 0.0) {
        return {};
    }
    // seconds = mantissa x 2^exponent with 0.5 <= |mantissa| < 1; the mantissa
    // times 2^53 is a whole number.
    int exponent = 0;
    const double mantissa = std::frexp(seconds, &exponent);
    auto numerator = static_cast<std::int64_t>(std::ldexp(mantissa, 53));
    int shift = 53 - exponent; // value = numerator / 2^shift
    while (shift > 0 && numerator % 2 == 0) {
        numerator /= 2;
        --shift;
    }
    if (shift < 0) {
        if (exponent > kMaxDenominatorExponent) {
            throw HostError("a time of " + std::to_string(seconds) + " s is too large");
        }
        return {numerator * (std::int64_t{1} << -shift), 1};
    }
    if (shift > kMaxDenominatorExponent) {
        numerator = static_cast<std::int64_t>(
            std::llround(std::ldexp(static_cast<double>(numerator), kMaxDenominatorExponent - shift)));
        shift = kMaxDenominatorExponent;
        if (numerator == 0) {
            return {};
        }
    }
    return {numerator, std::int64_t{1} << shift};
}

std::optional<DocumentTime> DocumentTime::reduced(std::int64_t numerator, std::int64_t denominator) {
    constexpr std::int64_t kUnnegatable = std::numeric_limits<std::int64_t>::min();
    if (denominator == 0 || numerator == kUnnegatable || denominator == kUnnegatable) {
        return std::nullopt;
    }
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const std::int64_t divisor = std::gcd(numerator, denominator);
    return DocumentTime{numerator / divisor, denominator / divisor};
}

std::optional<DocumentTime> DocumentTime::sum(DocumentTime a, DocumentTime b) {
    const std::optional<DocumentTime> x = reduced(a.numerator, a.denominator);
    const std::optional<DocumentTime> y = reduced(b.numerator, b.denominator);
    if (!x || !y) {
        return std::nullopt;
    }
    // x + y over the least common denominator of the two.
    const std::int64_t common = std::gcd(x->denominator, y->denominator);
    std::int64_t left = 0;
    std::int64_t right = 0;
    std::int64_t numerator = 0;
    std::int64_t denominator = 0;
    if (__builtin_mul_overflow(x->numerator, y->denominator / common, &left) ||
        __builtin_mul_overflow(y->numerator, x->denominator / common, &right) ||
        __builtin_add_overflow(left, right, &numerator) ||
        __builtin_mul_overflow(x->denominator, y->denominator / common, &denominator)) {
        return std::nullopt;
    }
    return reduced(numerator, denominator);
}

} // namespace caelo::host
