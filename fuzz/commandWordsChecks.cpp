#include "app/commandError.h"
#include "app/commandWords.h"
#include "fuzz/fuzzReport.h"
#include "fuzz/parserChecks.h"
#include "host/services/displayText.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace caelo::fuzz {

namespace {

// What a console command asks of its words; each step of a line's check
// asks one, chosen by a byte of the line itself.
enum class Ask { Next, NextIfAny, Flag, OtherFlag, Rest, Finish, kCount };

// The words of a line by a plain walk over its bytes.
std::vector<std::string_view> plainWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || app::kBlanks.find(line[i]) != std::string_view::npos) {
            if (i > start) {
                words.push_back(line.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    return words;
}

void require(bool holds, std::string_view ask, std::string_view line, std::string_view what) {
    if (!holds) {
        reportBroken("command words",
                     std::string(ask) + " on '" + host::escapedText(line) + "': " + std::string(what));
    }
}

// Whether `call` throws a CommandError whose message starts with `start`.
template <typename Call> bool refuses(Call call, const std::string& start) {
    try {
        call();
    } catch (const app::CommandError& error) {
        return std::string_view(error.what()).starts_with(start);
    }
    return false;
}

// Asks a line's words as commands do and holds each answer to the plain
// walk: the command's name first, then word by word, with a refusal exactly
// where no word is left, or words are left that should not be.
void checkLine(std::string_view line) {
    const std::vector<std::string_view> words = plainWords(line);
    app::CommandWords asked(line);
    const std::string command = words.empty() ? std::string() : std::string(words.front());
    require(asked.command() == command, "command", line, "not the first word");
    std::size_t next = words.empty() ? 0 : 1;
    // A refusal ends the line, as it ends a command; so does an ask once no
    // word is left, since more would only repeat its answer.
    bool ended = false;
    for (std::size_t step = 0; step < line.size() && !ended; ++step) {
        const bool left = next < words.size();
        ended = !left;
        const std::string_view expected = left ? words[next] : std::string_view{};
        switch (static_cast<Ask>(static_cast<unsigned char>(line[step]) % static_cast<int>(Ask::kCount))) {
        case Ask::Next:
            if (left) {
                require(asked.next("word") == expected, "next", line, "not the next word");
                ++next;
            } else {
                require(refuses([&] { asked.next("word"); }, host::escapedText(command) + ": missing word"),
                        "next", line, "no refusal with no word left");
            }
            break;
        case Ask::NextIfAny: {
            const auto word = asked.nextIfAny();
            require(word.has_value() == left && (!left || *word == expected), "nextIfAny", line,
                    "not the next word");
            next += left ? 1 : 0;
            break;
        }
        case Ask::Flag:
        case Ask::OtherFlag: {
            const bool same = static_cast<unsigned char>(line[step]) % 2 == 0;
            // A flag is never empty, so that a line with no word left has none.
            const std::string flag = left ? std::string(expected) + (same ? "" : "-") : "--";
            const bool taken = asked.takeFlag(flag);
            require(taken == (left && same), "takeFlag", line, taken ? "took another word" : "left its word");
            next += taken ? 1 : 0;
            break;
        }
        case Ask::Rest: {
            const std::string_view rest = asked.rest();
            require(plainWords(rest) == std::vector(words.begin() + next, words.end()) &&
                        app::trimBlanks(rest) == rest,
                    "rest", line, "not the words left, trimmed");
            next = words.size();
            break;
        }
        case Ask::Finish:
            if (left) {
                require(refuses([&] { asked.finish(); }, host::escapedText(command) + ": unexpected '"),
                        "finish", line, "no refusal with words left");
                ended = true;
            } else {
                asked.finish();
            }
            break;
        case Ask::kCount:
            break;
        }
    }
}

} // namespace

void checkCommandWords(Input input) {
    std::string_view script(reinterpret_cast<const char*>(input.data()), input.size());
    while (!script.empty()) {
        const std::size_t end = script.find('\n');
        checkLine(script.substr(0, end));
        script = end == std::string_view::npos ? std::string_view{} : script.substr(end + 1);
    }
}

} // namespace caelo::fuzz
