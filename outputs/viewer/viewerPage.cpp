#include "outputs/viewer/viewerPage.h"

#include "host/services/base64.h"
#include "host/services/hostError.h"
#include "outputs/viewer/viewerTemplate.h"

#include <string>

namespace caelo::viewer {
namespace {

// Where the template takes the scene's base64 text.
constexpr std::string_view kSceneMarker = "@SCENE_DATA@";

} // namespace

bool viewerBuilt() {
    return !viewerTemplate().empty();
}

std::string viewerPage(std::string_view glb) {
    if (!viewerBuilt()) {
        throw host::HostError(std::string(kNoViewerReason));
    }
    const std::string_view page = viewerTemplate();
    const std::size_t marker = page.find(kSceneMarker);
    const std::string scene = host::base64(glb);
    std::string out;
    out.reserve(page.size() + scene.size());
    out.append(page.substr(0, marker));
    out.append(scene);
    out.append(page.substr(marker + kSceneMarker.size()));
    return out;
}

} // namespace caelo::viewer
