// A parser target: one parser's check (parserChecks.h) with no host started
// and no scene around it. The build makes one target per check, naming the
// check in CAELO_FUZZ_PARSER_CHECK.
#include "fuzz/parserChecks.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static_cast<void>(caelo::fuzz::CAELO_FUZZ_PARSER_CHECK({data, size}));
    return 0;
}
