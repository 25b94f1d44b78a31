// What the fuzz targets share: the host started once per process with the
// real module loaded, its text output discarded and its wall clock fixed, and
// checks that turn a broken invariant into a crash the fuzzer keeps.
#ifndef CAELO_FUZZ_FUZZ_HOST_H
#define CAELO_FUZZ_FUZZ_HOST_H

#include "scene.h"

#include <string>
#include <string_view>

namespace caelo::fuzz {

// Starts the host and loads the module on the first call; later calls do
// nothing.
void startHost();

// Prints what broke, with the stage it broke in, and aborts.
[[noreturn]] void reportBroken(std::string_view stage, const std::string& what);

// Aborts when the document breaks an invariant of randomSceneCheck.h.
void requireSound(const host::Document& document, std::string_view stage);

// Evaluates the document twice at its time and aborts when the second pass
// changes the scene.
void requireIdempotentEvaluation(host::Document& document, std::string_view stage);

} // namespace caelo::fuzz

#endif
