// One console line split into words at blanks (space, tab, CR, LF, VT, FF):
// the first word names the command, and the rest are taken one by one as
// the command reads its arguments.
//
// Example:
//   CommandWords words("  set --quiet /0 1000  2.5 ");
//   words.command();           // "set"
//   words.takeFlag("--quiet"); // true
//   words.next("node path");   // "/0"
//   words.rest();              // "1000  2.5"
#ifndef CAELO_APP_COMMAND_WORDS_H
#define CAELO_APP_COMMAND_WORDS_H

#include <optional>
#include <string>
#include <string_view>

namespace caelo::app {

// The blanks that separate words.
inline constexpr std::string_view kBlanks = " \t\r\n\v\f";

// The text without blanks at either end.
[[nodiscard]] std::string_view trimBlanks(std::string_view text);

class CommandWords {
public:
    // The line's first word is the command's name: empty for a blank line.
    explicit CommandWords(std::string_view line);

    [[nodiscard]] const std::string& command() const { return command_; }

    // The next word, or a CommandError "<command>: missing <what>" (the
    // command's name escaped, as in every message).
    std::string_view next(std::string_view what);

    // The next word, if any is left.
    std::optional<std::string_view> nextIfAny();

    // Consumes the next word when it is `flag`.
    bool takeFlag(std::string_view flag);

    // Everything left on the line, without blanks at either end (possibly
    // empty); nothing is left after it.
    std::string_view rest();

    // A CommandError "<command>: unexpected '<words>'" when words are left.
    void finish() const;

private:
    std::string_view take();

    std::string command_;
    std::string_view rest_;
};

} // namespace caelo::app

#endif
