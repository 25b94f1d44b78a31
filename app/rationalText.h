// Exact reading of document times typed by users.
#ifndef CAELO_APP_RATIONAL_TEXT_H
#define CAELO_APP_RATIONAL_TEXT_H

#include "host/scene.h"

#include <optional>
#include <string>
#include <string_view>

namespace caelo::app {

// Reads a time in seconds as an exact fraction in lowest terms: a decimal with
// an optional sign, point and exponent ("1.5", "-2", "25e-3") or a fraction of
// two whole numbers ("1/30"). Answers nothing for other text, a zero
// denominator, or a value whose numerator or denominator does not fit 64 bits
// (nor -2^63, whose negation does not).
// Example: parseRationalSeconds("0.1") gives 1/10, not the double nearest 0.1.
[[nodiscard]] std::optional<host::DocumentTime> parseRationalSeconds(std::string_view text);

// "3/2", or "2" for a whole number.
[[nodiscard]] std::string formatRational(const host::DocumentTime& value);

} // namespace caelo::app

#endif
