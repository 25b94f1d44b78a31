// Model-based random testing of the scene with the real module: sequences of
// user actions drawn from a seed (add, remove, move and copy nodes, set any
// declared parameter to valid, boundary and bad values, press buttons, change
// the time, evaluate, save and load) run on the stand-in host. After every
// action the scene must hold no non-finite number, every link must resolve in
// the document or be empty and the tree must be consistent; after every
// evaluation a second evaluation at the same time must change nothing.
//
// Each sequence runs in a child process, so that a crash, a sanitizer report
// or a hang is caught and the failing sequence can be shrunk like any other.
//
// Example:
//   const auto actions = drawActions(sequenceSeed(7, 0), 200);
//   const Outcome outcome = runIsolated(actions, folder, Echo::Report);
//   if (outcome.failure) { auto shortest = shrinkFailure(actions, *outcome.failure, folder); }
#ifndef CAELO_TESTS_RANDOM_SCENE_H
#define CAELO_TESTS_RANDOM_SCENE_H

#include "host/scene.h"
#include "tests/randomSceneCheck.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace caelo::host::randomScene {

// A small seeded generator (splitmix64) that gives the same numbers on every
// platform and standard library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next();
    // A whole number in [0, count); 0 for a count of 0.
    std::size_t below(std::size_t count);
    // A number in [low, high).
    double uniform(double low, double high);
    bool chance(double probability);

private:
    std::uint64_t state_;
};

enum class ActionKind {
    AddObject,
    AddTag,
    Remove,
    Move,
    Copy,
    SetParameter,
    PressButton,
    SetTime,
    SetTransform,
    ToggleEnabled,
    Evaluate,
    SaveAndLoad,
    NewDocument,
};

// One user action. What it acts on and the values it uses are drawn when it
// runs, from its own `draw` number against the scene as it is then, so that
// any subsequence of a sequence still runs; the shrinker relies on that.
struct Action {
    ActionKind kind;
    std::uint64_t draw;

    friend bool operator==(const Action&, const Action&) = default;
};

// The seed of sequence `index` of a run from `baseSeed`. Sequence 0 takes the
// base seed itself, so a failing sequence is rerun alone with its own seed
// as the base seed and one sequence.
[[nodiscard]] std::uint64_t sequenceSeed(std::uint64_t baseSeed, std::size_t index);

// `count` actions drawn from a seed.
[[nodiscard]] std::vector<Action> drawActions(std::uint64_t seed, std::size_t count);

struct Outcome {
    std::optional<Failure> failure;
    std::vector<std::string> log; // what each action did, one readable line each
};

// Runs the actions in this process from a new empty document, checking the
// invariants after each; scene files go to `folder`. Stops at the first
// broken invariant.
[[nodiscard]] Outcome runActions(const std::vector<Action>& actions, const std::filesystem::path& folder);

// Whether a child's sanitizer reports and other error output reach the
// terminal (the first run and the final replay) or are discarded (the many
// replays of shrinking).
enum class Echo { Report, Discard };

// Runs the actions in a child process; a crash, an abnormal exit or a run
// longer than `secondsLimit` becomes a failure of category "crash" or
// "hang" at the action that was running.
[[nodiscard]] Outcome runIsolated(const std::vector<Action>& actions, const std::filesystem::path& folder,
                                  Echo echo, unsigned secondsLimit = 120);

// Delta debugging: drops ever smaller chunks, then single actions, while
// `stillFails` holds, and answers the shortest sequence found. `stillFails`
// runs at most `maxTrials` times.
[[nodiscard]] std::vector<Action>
shrinkSequence(std::vector<Action> actions, const std::function<bool(const std::vector<Action>&)>& stillFails,
               std::size_t maxTrials = 3000);

// The shortest sequence found that still fails with the failure's category,
// each candidate run in a child process.
[[nodiscard]] std::vector<Action> shrinkFailure(const std::vector<Action>& actions, const Failure& failure,
                                                const std::filesystem::path& folder);

// "evaluate", "set parameter", ... for reports.
[[nodiscard]] const char* actionName(ActionKind kind);

} // namespace caelo::host::randomScene

#endif
