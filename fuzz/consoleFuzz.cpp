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
#include <ostream>
#include <string_view>

using namespace caelo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::startHost();
    fuzz::enterEmptyWorkFolder("console");
    host::application().newDocument();
    std::ostream discard(nullptr);
    app::Console console(discard);

    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t lines = 0; !input.empty() && lines < fuzz::kMaxConsoleLines; ++lines) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
        if (host::application().nodeCount() > fuzz::kMaxConsoleNodes) {
            break;
        }
        if (fuzz::leavesWorkFolder(line)) {
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
