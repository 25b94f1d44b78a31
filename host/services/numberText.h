// Locale-independent conversion between numbers and text, as the host offers
// it to modules and as the console and scene files use it.
#ifndef CAELO_HOST_SERVICES_NUMBER_TEXT_H
#define CAELO_HOST_SERVICES_NUMBER_TEXT_H

#include <optional>
#include <string>
#include <string_view>

namespace caelo::host {

// Reads a decimal number that fills the whole text apart from surrounding
// blanks (spaces, tabs, line ends), with an optional sign and exponent. Answers
// nothing for empty text, trailing garbage, "inf" or "nan", and values beyond
// the range of a double. The decimal point is always '.', whatever the locale.
// Example: textToNumber(" -1.5e3 ") == -1500.0.
[[nodiscard]] std::optional<double> textToNumber(std::string_view text);

// How a refusal of `textToNumber` names the form it reads.
inline constexpr std::string_view kExpectedNumber = "expected a decimal number such as 1.5 or -2e3";

// Writes a number with `digitsAfter` digits after the point (0 to 40), rounded
// to nearest. In exponent form the mantissa has one digit before the point and
// the exponent at least two digits; otherwise the whole part is padded on the
// left with `fill` to at least `digitsBefore` characters (a '0' fill goes
// after the sign, any other before it). Non-finite values give "nan", "inf" or
// "-inf".
// Example: numberToText(0.0167, 1, 15, true, ' ') == "1.670000000000000e-02".
[[nodiscard]] std::string numberToText(double value, int digitsBefore, int digitsAfter, bool exponentForm,
                                       char fill);

// The shortest text that `textToNumber` reads back to the same double.
// Example: formatDouble(0.1) == "0.1".
[[nodiscard]] std::string formatDouble(double value);

} // namespace caelo::host

#endif
