// What the commands that export an animation share with the main job: the
// span of one model year and the animation as glTF bytes.
//
// Example:
//   const std::int64_t frames = framesForOneModelYear(scene.document);
//   const std::string glb = animationGltf(scene, frames, gltf::GltfFormat::Binary, {},
//                                         "Exporting solar-system.glb", false);
#ifndef CAELO_APP_EXPORTS_H
#define CAELO_APP_EXPORTS_H

#include "app/sceneSetup.h"
#include "outputs/gltf/gltfExport.h"

#include <cstdint>
#include <string>

namespace caelo::app {

// The frames that cover one model year of the document's first system at the
// document's frame rate (a single frame without a system). Throws CommandError
// when the system's time scale makes that more than kMaxExportFrames.
[[nodiscard]] std::int64_t framesForOneModelYear(const host::Document& document);

// How an export draws the scene besides its places: orbit lines as tubes,
// and the globes in their maps, unless asked otherwise.
struct ExportLooks {
    gltf::OrbitLines orbitLines = gltf::OrbitLines::Tubes;
    gltf::GlobeMaps maps = gltf::GlobeMaps::Embedded;
};

// The scene's animation from its document's time on, `frames` frames at its
// frame rate, as the bytes of a glTF file in `format`, drawn as `looks` asks,
// that records the model
// date of its first frame and the time scale of the document's first system,
// with a progress bar titled `title` on standard error when that is a
// terminal and `quiet` is false. Throws host::HostError "cannot export glTF:
// <what is wrong>".
[[nodiscard]] std::string animationGltf(const OpenScene& scene, std::int64_t frames, gltf::GltfFormat format,
                                        const ExportLooks& looks, const std::string& title, bool quiet);

} // namespace caelo::app

#endif
