#include "fuzz/fuzzReport.h"
#include "fuzz/parserChecks.h"
#include "host/files/sceneFile.h"
#include "host/services/hostError.h"
#include "host/services/jsonReader.h"

#include <string>
#include <string_view>
#include <vector>

namespace caelo::fuzz {

namespace {

// How deep a value nests (a scalar: 0), without recursion.
int depthOf(const nlohmann::json& value) {
    int deepest = 0;
    std::vector<std::pair<const nlohmann::json*, int>> pending{{&value, 0}};
    while (!pending.empty()) {
        const auto [json, depth] = pending.back();
        pending.pop_back();
        if (json->is_structured()) {
            deepest = std::max(deepest, depth + 1);
            for (const nlohmann::json& member : *json) {
                pending.emplace_back(&member, depth + 1);
            }
        }
    }
    return deepest;
}

} // namespace

void checkSceneJson(Input input) {
    const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
    nlohmann::json value;
    try {
        value = host::parseJsonText(text, "fuzz input", host::kSceneNesting);
    } catch (const host::HostError&) {
        return;
    }
    if (depthOf(value) > host::kSceneNesting.levels) {
        reportBroken("scene JSON", "accepted a text that nests " + std::to_string(depthOf(value)) +
                                       " levels deep, past " + std::to_string(host::kSceneNesting.levels));
    }
    // The value's own text, which nests as deep as the value, is read back by
    // the JSON library alone: the bound was checked above.
    const std::string written = value.dump();
    const nlohmann::json reread = nlohmann::json::parse(written, nullptr, false);
    if (reread.is_discarded()) {
        reportBroken("scene JSON", "its own text does not read back: " + written.substr(0, 200));
    }
    if (reread != value) {
        reportBroken("scene JSON", "its own text reads back to another value: " + written.substr(0, 200));
    }
}

} // namespace caelo::fuzz
