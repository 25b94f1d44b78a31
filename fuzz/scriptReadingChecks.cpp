#include "app/scriptLines.h"
#include "fuzz/fuzzReport.h"
#include "fuzz/parserChecks.h"

#include <algorithm>
#include <cstddef>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace caelo::fuzz {

namespace {

// Bytes of bound per unit of the first and of the second byte.
constexpr std::size_t kLineBoundStep = 16;
constexpr std::size_t kScriptBoundStep = 128;
constexpr std::size_t kBoundBytes = 2;

struct Reading {
    std::vector<std::string> lines;
    std::string error; // empty: the whole script was read
};

// What reading the script must give, worked out from the places of its line
// breaks: the first byte past a bound is byte `scriptBytes` of the script or
// byte `lineBytes` of a line (a line break does not count to its line); where
// both fall on one byte the script's bound is named.
Reading expectedReading(std::string_view script, const app::ScriptBounds& bounds) {
    Reading reading;
    std::size_t start = 0;
    for (std::size_t number = 1; start < script.size(); ++number) {
        const std::size_t end = std::min(script.find('\n', start), script.size());
        const std::size_t scriptBreak =
            bounds.scriptBytes >= start && bounds.scriptBytes <= end && bounds.scriptBytes < script.size()
                ? bounds.scriptBytes
                : std::string_view::npos;
        const std::size_t lineBreak =
            end - start > bounds.lineBytes ? start + bounds.lineBytes : std::string_view::npos;
        if (scriptBreak != std::string_view::npos && scriptBreak <= lineBreak) {
            reading.error = "fuzz:" + std::to_string(number) + ": the script is longer than";
            return reading;
        }
        if (lineBreak != std::string_view::npos) {
            reading.error = "fuzz:" + std::to_string(number) + ": the line is longer than";
            return reading;
        }
        reading.lines.emplace_back(script.substr(start, end - start));
        start = end + 1;
    }
    return reading;
}

Reading actualReading(std::string_view script, const app::ScriptBounds& bounds) {
    std::istringstream stream{std::string(script)};
    app::ScriptLines lines(stream, "fuzz", bounds);
    Reading reading;
    try {
        for (std::string line; lines.next(line);) {
            reading.lines.push_back(line);
        }
    } catch (const app::ScriptBoundError& error) {
        reading.error = error.what();
    }
    return reading;
}

void requireSameReading(const Reading& expected, const Reading& actual) {
    if (actual.lines != expected.lines) {
        reportBroken("reading", "read " + std::to_string(actual.lines.size()) + " lines, not the " +
                                    std::to_string(expected.lines.size()) + " the line breaks give");
    }
    if (expected.error.empty() != actual.error.empty() || !actual.error.starts_with(expected.error)) {
        reportBroken("reading",
                     "the reading ended with '" + actual.error + "', not '" + expected.error + "'");
    }
}

} // namespace

std::vector<std::string> checkScriptReading(Input input) {
    if (input.size() < kBoundBytes) {
        return {};
    }
    const app::ScriptBounds bounds{1 + input[0] * kLineBoundStep, 1 + input[1] * kScriptBoundStep};
    const std::string_view script(reinterpret_cast<const char*>(input.data()) + kBoundBytes,
                                  input.size() - kBoundBytes);
    Reading reading = actualReading(script, bounds);
    requireSameReading(expectedReading(script, bounds), reading);
    return std::move(reading.lines);
}

} // namespace caelo::fuzz
