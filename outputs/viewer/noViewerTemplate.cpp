// The viewer page's template in a build configured without the viewer
// (CAELO_BUILD_VIEWER=OFF): none, so that viewerBuilt() says so.
#include "outputs/viewer/viewerTemplate.h"

std::string_view caelo::viewer::viewerTemplate() {
    return {};
}
