#include "app/scriptLines.h"

#include "host/services/displayText.h"

#include <ostream>
#include <utility>

namespace caelo::app {

ScriptLines::ScriptLines(std::istream& script, std::string name, ScriptBounds bounds)
    : buffer_(*script.rdbuf()), tie_(script.tie()), name_(std::move(name)), bounds_(bounds) {}

bool ScriptLines::next(std::string& line) {
    using Traits = std::streambuf::traits_type;
    line.clear();
    ++lineNumber_;
    for (;;) {
        if (tie_ != nullptr && buffer_.in_avail() == 0) {
            tie_->flush();
        }
        const Traits::int_type c = buffer_.sbumpc();
        if (Traits::eq_int_type(c, Traits::eof())) {
            return !line.empty();
        }
        if (++bytesRead_ > bounds_.scriptBytes) {
            refuse(scriptTooLongReason(bounds_.scriptBytes));
        }
        if (Traits::to_char_type(c) == '\n') {
            return true;
        }
        if (line.size() == bounds_.lineBytes) {
            refuse("the line is longer than " + host::byteCountText(bounds_.lineBytes) +
                   ", the most a script line may hold");
        }
        line.push_back(Traits::to_char_type(c));
    }
}

std::string scriptTooLongReason(std::size_t scriptBytes) {
    return "the script is longer than " + host::byteCountText(scriptBytes) + ", the most a script may hold";
}

void ScriptLines::refuse(const std::string& reason) const {
    throw ScriptBoundError(name_ + ":" + std::to_string(lineNumber_) + ": " + reason);
}

} // namespace caelo::app
