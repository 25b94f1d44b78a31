#include "fuzzHost.h"

#include "application.h"
#include "dateService.h"
#include "evaluation.h"
#include "moduleLoader.h"
#include "randomSceneCheck.h"
#include "sceneFile.h"

#include <cstdio>
#include <cstdlib>

namespace caelo::fuzz {

namespace {

// The wall clock of every run (2025-01-01 00:00 UTC, seconds since 1970), so
// that an input replays the same way whenever it runs.
constexpr std::int64_t kFixedClock = 1735689600;

} // namespace

void startHost() {
    static const bool started = [] {
        setenv("TZ", "UTC0", 1);
        host::setClock([] { return kFixedClock; });
        host::application().setTextSink([](std::string_view) {});
        host::loadModule(CAELO_FUZZ_MODULE_PATH);
        return true;
    }();
    static_cast<void>(started);
}

void reportBroken(std::string_view stage, const std::string& what) {
    std::fprintf(stderr, "caelo fuzz: %.*s: %s\n", static_cast<int>(stage.size()), stage.data(),
                 what.c_str());
    std::abort();
}

void requireSound(const host::Document& document, std::string_view stage) {
    if (const auto failure = host::randomScene::findViolation(document)) {
        reportBroken(stage, failure->category + ": " + failure->message);
    }
}

void requireIdempotentEvaluation(host::Document& document, std::string_view stage) {
    host::evaluateDocument(document);
    if (const std::string change = host::randomScene::changesOnReevaluation(document); !change.empty()) {
        reportBroken(stage, "evaluating the same time again changed the scene: " + change);
    }
}

} // namespace caelo::fuzz
