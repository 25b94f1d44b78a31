// The failure of a command the user gave: a subcommand, an option value or a
// console line that cannot run.
//
// Example:
//   throw CommandError("--view 'side': expected top or camera");
#ifndef CAELO_APP_COMMAND_ERROR_H
#define CAELO_APP_COMMAND_ERROR_H

#include <stdexcept>
#include <string>

namespace caelo::app {

// A command that cannot run: the message names the input and what is wrong.
class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace caelo::app

#endif
