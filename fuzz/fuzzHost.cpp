#include "fuzz/fuzzHost.h"

#include "app/commandWords.h"
#include "app/console.h"
#include "host/application.h"
#include "host/evaluation.h"
#include "host/files/sceneFile.h"
#include "host/loading/moduleLoader.h"
#include "host/services/dateService.h"
#include "tests/randomSceneCheck.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <unistd.h>

namespace caelo::fuzz {

namespace {

// The wall clock of every run (2025-01-01 00:00 UTC, seconds since 1970), so
// that an input replays the same way whenever it runs.
constexpr std::int64_t kFixedClock = 1735689600;

std::filesystem::path workFolder;

} // namespace

void enterEmptyWorkFolder(std::string_view target) {
    static const bool entered = [target] {
        std::string pattern = "/tmp/caelo-fuzz-" + std::string(target) + "-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr || ::chdir(pattern.c_str()) != 0) {
            reportBroken("start", "cannot make and enter a work folder");
        }
        workFolder = pattern;
        std::atexit([] { std::filesystem::remove_all(workFolder); });
        return true;
    }();
    static_cast<void>(entered);
    for (const auto& entry : std::filesystem::directory_iterator(workFolder)) {
        std::filesystem::remove_all(entry.path());
    }
}

bool leavesWorkFolder(std::string_view line) {
    app::CommandWords words(line);
    if (words.command() != "save" && words.command() != "load") {
        return false;
    }
    const std::string_view file = words.rest();
    return file.find('/') != std::string_view::npos || file == "." || file == "..";
}

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

SceneFreedAfterInput::~SceneFreedAfterInput() {
    host::application().newDocument();
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

void runConsoleScript(const std::vector<std::string_view>& lines) {
    host::application().newDocument();
    std::ostream discard(nullptr);
    app::Console console(discard);
    const std::size_t count = std::min(lines.size(), kMaxConsoleLines);
    for (std::size_t i = 0; i < count && host::application().nodeCount() <= kMaxConsoleNodes; ++i) {
        if (leavesWorkFolder(lines[i])) {
            continue;
        }
        try {
            console.execute(lines[i]);
        } catch (const std::exception&) {
            continue; // the console reports the line and the next one runs
        }
    }
    host::Document& document = host::application().activeDocument();
    requireSound(document, "scene after the script");
    requireIdempotentEvaluation(document, "evaluation after the script");
}

} // namespace caelo::fuzz
