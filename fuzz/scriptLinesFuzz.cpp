// Fuzzes the reading of console scripts. The first two bytes of the input
// choose a line bound and a script bound small enough for the fuzzer to
// reach; the rest is the script. Read by ScriptLines from a stream, it must
// give the lines that a plain split at line breaks gives, up to the first
// byte that passes a bound, and there an error naming that bound and the
// line. The lines read then run in the console as in the console target, and
// the scene must be sound and evaluate idempotently.
#include "app/scriptLines.h"
#include "fuzz/fuzzHost.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace caelo;

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
        fuzz::reportBroken("reading", "read " + std::to_string(actual.lines.size()) + " lines, not the " +
                                          std::to_string(expected.lines.size()) + " the line breaks give");
    }
    if (expected.error.empty() != actual.error.empty() || !actual.error.starts_with(expected.error)) {
        fuzz::reportBroken("reading",
                           "the reading ended with '" + actual.error + "', not '" + expected.error + "'");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kBoundBytes) {
        return 0;
    }
    fuzz::startHost();
    fuzz::enterEmptyWorkFolder("scriptLines");
    const app::ScriptBounds bounds{1 + data[0] * kLineBoundStep, 1 + data[1] * kScriptBoundStep};
    const std::string_view script(reinterpret_cast<const char*>(data) + kBoundBytes, size - kBoundBytes);
    const Reading reading = actualReading(script, bounds);
    requireSameReading(expectedReading(script, bounds), reading);

    fuzz::runConsoleScript(std::vector<std::string_view>(reading.lines.begin(), reading.lines.end()));
    return 0;
}
