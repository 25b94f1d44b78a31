// Fuzzes the caelo console: its lines' words as the parser's check says
// (parserChecks.h), then each line of the input runs as a command, failing
// lines are skipped, and at the end the scene must be sound and a second
// evaluation must change nothing. The target works in a folder of its own,
// and save and load commands take plain file names only, so that no input
// reaches a file outside that folder.
#include "fuzz/fuzzHost.h"
#include "fuzz/parserChecks.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

using namespace caelo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::checkCommandWords({data, size});
    fuzz::startHost();
    const fuzz::SceneFreedAfterInput freed;
    fuzz::enterEmptyWorkFolder("console");
    std::vector<std::string_view> lines;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty() && lines.size() < fuzz::kMaxConsoleLines) {
        const std::size_t end = input.find('\n');
        lines.push_back(input.substr(0, end));
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    }
    fuzz::runConsoleScript(lines);
    return 0;
}
