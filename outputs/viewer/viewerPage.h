// The page of `caelo view` (docs/viewer.md): one HTML file that carries an
// exported scene (binary glTF, base64) with the page's scripts and three.js,
// and plays it in a browser with nothing else: no network, no install.
//
// Example:
//   const std::string page = viewerPage(exportGltf(document, GltfFormat::Binary, options));
#ifndef CAELO_OUTPUTS_VIEWER_VIEWER_PAGE_H
#define CAELO_OUTPUTS_VIEWER_VIEWER_PAGE_H

#include <string>
#include <string_view>

namespace caelo::viewer {

// Why a build configured without the viewer writes no page.
inline constexpr std::string_view kNoViewerReason =
    "this build of caelo has no viewer (it was configured with -DCAELO_BUILD_VIEWER=OFF)";

// Whether this build carries the page's template (CAELO_BUILD_VIEWER).
[[nodiscard]] bool viewerBuilt();

// The page with the binary glTF file `glb` inside it. Throws
// host::HostError in a build without the viewer.
[[nodiscard]] std::string viewerPage(std::string_view glb);

} // namespace caelo::viewer

#endif
