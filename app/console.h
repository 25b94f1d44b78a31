// The caelo console: one command a line that builds, edits, evaluates, saves,
// loads and inspects the active document of the host (commands in
// docs/console.md).
//
// Example:
//   Console console(std::cout);
//   console.execute("add 1032493");     // prints "/0"
//   console.execute("dump --json");
#ifndef CAELO_APP_CONSOLE_H
#define CAELO_APP_CONSOLE_H

#include "app/commandError.h"

#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace caelo::app {

// What went wrong, for the user: "out of memory" for std::bad_alloc, else
// the exception's message.
[[nodiscard]] std::string failureReason(const std::exception& error);

class Console {
public:
    // Results (new paths, dumps, help) go to `out`.
    explicit Console(std::ostream& out) : out_(out) {}

    // Runs one command line; a blank line or a comment ('#' first) does
    // nothing. Throws CommandError or host::HostError when the command fails.
    void execute(std::string_view line);

    // Runs a script line by line, read in bounded pieces (scriptLines.h), and
    // stops at the first failing line, writing "<name>:<line>: error:
    // <reason>" to `errors`, or at the first line whose results cannot be
    // written (the caller reports that). Answers 0 when every line ran, else
    // 1. Throws ScriptBoundError for a line or script past its bound and lets
    // a failure to read the script through.
    int runScript(std::istream& script, const std::string& name, std::ostream& errors);

    // The list of commands that `help` prints.
    void writeHelp() const;

private:
    std::ostream& out_;
};

} // namespace caelo::app

#endif
