// Fuzzes console scripts: read by ScriptLines as the parser's check says
// (parserChecks.h), the lines read then run in the console as in the console
// target, and the scene must be sound and evaluate idempotently.
#include "fuzz/fuzzHost.h"
#include "fuzz/parserChecks.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace caelo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = fuzz::checkScriptReading({data, size});
    fuzz::startHost();
    const fuzz::SceneFreedAfterInput freed;
    fuzz::enterEmptyWorkFolder("scriptLines");
    fuzz::runConsoleScript(std::vector<std::string_view>(lines.begin(), lines.end()));
    return 0;
}
