// The viewer page's template as the build made it: the page with its scripts
// and three.js inside, and the marker @SCENE_DATA@ where the scene goes;
// empty in a build without the viewer.
#ifndef CAELO_OUTPUTS_VIEWER_VIEWER_TEMPLATE_H
#define CAELO_OUTPUTS_VIEWER_VIEWER_TEMPLATE_H

#include <string_view>

namespace caelo::viewer {

[[nodiscard]] std::string_view viewerTemplate();

} // namespace caelo::viewer

#endif
