// The page of `caelo view` (docs/viewer.md): one HTML file that carries an
// exported scene (binary glTF, base64) with the page's scripts and three.js,
// and plays it in a browser with nothing else: no network, no install.
//
// Example:
//   const std::string page = viewerPage(exportGltf(document, GltfFormat::Binary, options));
#ifndef CAELO_APP_VIEWER_PAGE_H
#define CAELO_APP_VIEWER_PAGE_H

#include <string>
#include <string_view>

namespace caelo::app {

// The page with the binary glTF file `glb` inside it.
[[nodiscard]] std::string viewerPage(std::string_view glb);

} // namespace caelo::app

#endif
