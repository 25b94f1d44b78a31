// How a fuzz target reports a broken invariant: as a crash, which the fuzzer
// keeps with the input that caused it.
#ifndef CAELO_FUZZ_FUZZ_REPORT_H
#define CAELO_FUZZ_FUZZ_REPORT_H

#include <string>
#include <string_view>

namespace caelo::fuzz {

// Prints what broke, with the stage it broke in, and aborts.
[[noreturn]] void reportBroken(std::string_view stage, const std::string& what);

} // namespace caelo::fuzz

#endif
