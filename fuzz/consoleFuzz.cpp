// Fuzzes the caelo console: each line of the input runs as a command, failing
// lines are skipped, and at the end the scene must be sound and a second
// evaluation must change nothing. The target works in a folder of its own,
// and save and load commands take plain file names only, so that no input
// reaches a file outside that folder.
#include "application.h"
#include "console.h"
#include "fuzzHost.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using namespace caelo;

// Bounds that keep one input quick: repeated copies double a scene.
constexpr std::size_t kMaxLines = 64;
constexpr std::size_t kMaxNodes = 2000;
constexpr std::string_view kBlanks = " \t\r\n\v\f";

std::filesystem::path workFolder;

void enterWorkFolder() {
    static const bool entered = [] {
        char pattern[] = "/tmp/caelo-fuzz-console-XXXXXX";
        if (::mkdtemp(pattern) == nullptr || ::chdir(pattern) != 0) {
            fuzz::reportBroken("start", "cannot make and enter a work folder");
        }
        workFolder = pattern;
        std::atexit([] { std::filesystem::remove_all(workFolder); });
        return true;
    }();
    static_cast<void>(entered);
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view{}
                                           : text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A save or load whose file is not a plain name in the work folder.
bool leavesWorkFolder(std::string_view line) {
    line = trimmed(line);
    const std::size_t end = line.find_first_of(kBlanks);
    const std::string_view command = line.substr(0, end);
    if (command != "save" && command != "load") {
        return false;
    }
    const std::string_view file =
        end == std::string_view::npos ? std::string_view{} : trimmed(line.substr(end));
    return file.find('/') != std::string_view::npos || file == "." || file == "..";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::startHost();
    enterWorkFolder();
    // Files saved by an earlier input would make this one depend on it.
    for (const auto& entry : std::filesystem::directory_iterator(workFolder)) {
        std::filesystem::remove_all(entry.path());
    }
    host::application().newDocument();
    std::ostream discard(nullptr);
    app::Console console(discard);

    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t lines = 0; !input.empty() && lines < kMaxLines; ++lines) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
        if (host::application().nodeCount() > kMaxNodes) {
            break;
        }
        if (leavesWorkFolder(line)) {
            continue;
        }
        try {
            console.execute(line);
        } catch (const std::exception&) {
            continue; // the console reports the line and the next one runs
        }
    }
    host::Document& document = host::application().activeDocument();
    fuzz::requireSound(document, "scene after the script");
    fuzz::requireIdempotentEvaluation(document, "evaluation after the script");
    return 0;
}
