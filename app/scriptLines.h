// The lines of a console script, read in bounded pieces: no line may pass
// kMaxScriptLineBytes and no script kMaxScriptBytes, so that a script with no
// line break (/dev/zero) is refused at once instead of filling the memory.
//
// Example:
//   ScriptLines lines(script, "build.txt");
//   for (std::string line; lines.next(line);) { console.execute(line); }
#ifndef CAELO_APP_SCRIPT_LINES_H
#define CAELO_APP_SCRIPT_LINES_H

#include "host/services/displayText.h"

#include <cstddef>
#include <istream>
#include <stdexcept>
#include <string>

namespace caelo::app {

// The longest script line (64 KiB) and the longest script (16 MiB), in bytes,
// line breaks included.
inline constexpr std::size_t kMaxScriptLineBytes = 64 * host::kBytesPerKiB;
inline constexpr std::size_t kMaxScriptBytes = 16 * host::kBytesPerMiB;

struct ScriptBounds {
    std::size_t lineBytes = kMaxScriptLineBytes;
    std::size_t scriptBytes = kMaxScriptBytes;
};

// A script line or a script longer than its bound: "<name>:<line>: <which
// bound>".
class ScriptBoundError : public std::runtime_error {
public:
    explicit ScriptBoundError(const std::string& message) : std::runtime_error(message) {}
};

// Why a script of more than `scriptBytes` is refused.
[[nodiscard]] std::string scriptTooLongReason(std::size_t scriptBytes = kMaxScriptBytes);

class ScriptLines {
public:
    // Reads from the script's buffer; `name` names the script in messages.
    ScriptLines(std::istream& script, std::string name, ScriptBounds bounds = {});

    // The next line without its line break; false at the end of the script.
    // Flushes the stream the script is tied to before it waits for input, as
    // an istream does. Throws ScriptBoundError when the line or the script
    // passes its bound, and lets through what the buffer throws when it
    // cannot read (ReadableFileBuffer's HostError).
    bool next(std::string& line);

    // The number of the line last read, from 1.
    [[nodiscard]] std::size_t lineNumber() const { return lineNumber_; }

private:
    [[noreturn]] void refuse(const std::string& reason) const;

    std::streambuf& buffer_;
    std::ostream* tie_;
    std::string name_;
    ScriptBounds bounds_;
    std::size_t lineNumber_ = 0;
    std::size_t bytesRead_ = 0;
};

} // namespace caelo::app

#endif
