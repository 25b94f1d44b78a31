#include "app/commandWords.h"

#include "app/commandError.h"
#include "host/services/displayText.h"

#include <utility>

namespace caelo::app {

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

CommandWords::CommandWords(std::string_view line) : rest_(trimBlanks(line)) {
    command_ = std::string(take());
}

std::string_view CommandWords::next(std::string_view what) {
    if (rest_.empty()) {
        throw CommandError(host::escapedText(command_) + ": missing " + std::string(what));
    }
    return take();
}

std::optional<std::string_view> CommandWords::nextIfAny() {
    return rest_.empty() ? std::nullopt : std::optional<std::string_view>(take());
}

bool CommandWords::takeFlag(std::string_view flag) {
    if (rest_.substr(0, rest_.find_first_of(kBlanks)) != flag) {
        return false;
    }
    take();
    return true;
}

std::string_view CommandWords::rest() {
    return std::exchange(rest_, std::string_view{});
}

void CommandWords::finish() const {
    if (!rest_.empty()) {
        throw CommandError(host::escapedText(command_) + ": unexpected " + host::quotedExcerpt(rest_));
    }
}

std::string_view CommandWords::take() {
    const std::size_t end = rest_.find_first_of(kBlanks);
    const std::string_view word = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view{} : trimBlanks(rest_.substr(end));
    return word;
}

} // namespace caelo::app
