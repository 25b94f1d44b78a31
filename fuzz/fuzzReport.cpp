#include "fuzz/fuzzReport.h"

#include <cstdio>
#include <cstdlib>

namespace caelo::fuzz {

void reportBroken(std::string_view stage, const std::string& what) {
    std::fprintf(stderr, "caelo fuzz: %.*s: %s\n", static_cast<int>(stage.size()), stage.data(),
                 what.c_str());
    std::abort();
}

} // namespace caelo::fuzz
