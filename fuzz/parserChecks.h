// The checks of the parsers, each on its own: one fuzz input in, and an abort
// (reportBroken) when the parser breaks what it promises. The parser targets
// run each alone, with no host started, so that inputs reach the parsers'
// corners quickly; the scene-level targets run them too before they take the
// parsed values into a scene.
#ifndef CAELO_FUZZ_PARSER_CHECKS_H
#define CAELO_FUZZ_PARSER_CHECKS_H

#include "interface/hostInterface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace caelo::fuzz {

using Input = std::span<const std::uint8_t>;

// The input's first bytes as a value (zeros past its end).
template <typename T> T frontAs(Input input) {
    T value{};
    std::memcpy(&value, input.data(), std::min(input.size(), sizeof value));
    return value;
}

// A double and the settings to write it with, read from the front of the
// input, and the size of a C buffer to write it into (under 64 bytes).
struct FormatRequest {
    double value = 0.0;
    int digitsBefore = 0;
    int digitsAfter = 0;
    bool exponentForm = false;
    char fill = ' ';
    std::size_t capacity = 0;
};
[[nodiscard]] FormatRequest formatRequest(Input input);

// Number text both ways: the host's textToNumber, formatDouble and
// numberToText. Text that reads as a number is finite and its shortest text
// reads back to it; written text fits its bound and reads back, but where
// rounding to nearest passed the largest double (which modules refuse).
void checkNumberText(Input input);

// Dates: the host's date texts, the command line's ISO 8601 dates and day
// numbers. What is accepted is a representable date that prints and reads
// back, from its text and its day number, to the same fields.
void checkDates(Input input);

// Aborts unless `fields` are a representable date that prints as a date and
// reads back from its text and its day number to the same fields.
void requireDateRoundTrips(std::string_view stage, const HostDateTime& fields);

// The scene file's JSON layer with its limits: a text is refused with a
// HostError or gives a value that nests no deeper than scene files may and
// reads back from its own text to the same value.
void checkSceneJson(Input input);

// Reading a console script with ScriptLines under bounds chosen by the first
// two bytes: it gives the lines a plain split at line breaks gives, up to the
// first byte past a bound, and there an error naming that bound and the
// line. Answers the lines read (nothing for an input of under two bytes).
std::vector<std::string> checkScriptReading(Input input);

// Splitting console lines into words (CommandWords), line by line: asked as
// commands ask, word by word, it gives the words a plain walk over the bytes
// gives, and refuses exactly where no word is left or words are left over.
void checkCommandWords(Input input);

} // namespace caelo::fuzz

#endif
