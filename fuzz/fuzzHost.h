// What the fuzz targets share: the host started once per process with the
// real module loaded, its text output discarded and its wall clock fixed, and
// checks that turn a broken invariant into a crash the fuzzer keeps.
#ifndef CAELO_FUZZ_FUZZ_HOST_H
#define CAELO_FUZZ_FUZZ_HOST_H

#include "fuzz/fuzzReport.h"
#include "host/scene.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace caelo::fuzz {

// Bounds that keep one console input quick: repeated copies double a scene,
// and a scene of two built solar systems (1,310 nodes) saved and loaded took
// half a second under the sanitizers. One built system (655) runs whole.
inline constexpr std::size_t kMaxConsoleLines = 64;
inline constexpr std::size_t kMaxConsoleNodes = 1000;

// Starts the host and loads the module on the first call; later calls do
// nothing.
void startHost();

// Frees the scene an input made when the input ends, leaving an empty
// document active: libFuzzer runs an input a second time, looking for a
// leak, whenever more blocks were allocated than freed while it ran, and a
// scene kept until the next input made that so for about every other input.
class SceneFreedAfterInput {
public:
    SceneFreedAfterInput() = default;
    SceneFreedAfterInput(const SceneFreedAfterInput&) = delete;
    SceneFreedAfterInput& operator=(const SceneFreedAfterInput&) = delete;
    ~SceneFreedAfterInput();
};

// Makes a temporary folder on the first call, removed at exit, and enters
// it; empties it on every call, so that files saved by an earlier input do
// not make this one depend on it.
void enterEmptyWorkFolder(std::string_view target);

// Whether a console line is a save or load whose file is not a plain name in
// the work folder (a path, ".", ".."): such lines are skipped, so that no
// input reaches a file outside that folder.
[[nodiscard]] bool leavesWorkFolder(std::string_view line);

// Aborts when the document breaks an invariant of randomSceneCheck.h.
void requireSound(const host::Document& document, std::string_view stage);

// Evaluates the document twice at its time and aborts when the second pass
// changes the scene.
void requireIdempotentEvaluation(host::Document& document, std::string_view stage);

// Runs the lines as console commands in a new document, at most
// kMaxConsoleLines of them and only while the scene holds at most
// kMaxConsoleNodes nodes; lines that fail or leave the work folder are
// skipped. Then aborts when the scene is not sound or a second evaluation
// changes it.
void runConsoleScript(const std::vector<std::string_view>& lines);

} // namespace caelo::fuzz

#endif
