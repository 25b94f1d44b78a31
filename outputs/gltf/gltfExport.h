// Export of a document as an animated glTF 2.0 scene (docs/gltf-export.md).
//
// Every shown object becomes a node named after it (plain ASCII) whose world
// matrix is the object's, in glTF's frame (gltfFrame.h): the frozen transform
// gets a node of its own ("<name> (frozen)") where it is not the identity, and
// the object's node below it carries the relative transform, the geometry of
// a host primitive and the object's children. The active view's camera
// becomes a glTF camera. Nodes that move get translation, rotation and scale
// keys (gltfAnimation.h); nodes that stay put get none. Materials and the
// star's light follow the objects' looks (gltfLooks.h); node names are unique
// (gltfNames.h).
#ifndef CAELO_OUTPUTS_GLTF_GLTF_EXPORT_H
#define CAELO_OUTPUTS_GLTF_GLTF_EXPORT_H

#include "host/scene.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace caelo::gltf {

// How circle splines, the orbit lines, are exported: as thin tubes that every
// renderer draws, as glTF line loops, or not at all.
enum class OrbitLines { Tubes, Lines, None };

// Whether the globes wear their surface maps (outputs/appearance/surfaceMaps.h),
// embedded in the file as JPEG images, or only their colours.
enum class GlobeMaps { Embedded, None };

struct GltfExportOptions {
    host::DocumentTime start;                          // document time of the first frame
    std::int64_t frameCount = 1;                       // frames sampled at the document's frame rate (>= 1)
    std::function<void(double fractionDone)> progress; // optional, called from 0 to 1
    OrbitLines orbitLines = OrbitLines::Tubes;
    GlobeMaps maps = GlobeMaps::Embedded;
    // What the file records of the time it shows and of its scale, in its
    // scene's extras (docs/gltf-export.md): the model date of the first frame
    // (ISO 8601, universal time), the document seconds per model day and the
    // scene units per au (before glTF's metres); left out when empty.
    std::string startDate{};
    std::optional<double> secondsPerModelDay{};
    std::optional<double> sceneUnitsPerAu{};
};

// The two ways a glTF scene is stored: binary glTF (.glb), or glTF JSON with
// its buffers embedded (.gltf).
enum class GltfFormat { Binary, Json };

// The format a file's extension names (".glb" or ".gltf", in any case);
// throws HostError "the file name must end in .glb or .gltf" for another.
[[nodiscard]] GltfFormat gltfFormatOf(const std::filesystem::path& file);

// The document's export as the bytes of a glTF file in `format`; throws
// HostError "cannot export glTF: <what is wrong>". The document's time is
// restored afterwards.
//
// The document is evaluated at `frameCount` frames of 1 / fps seconds from
// `start`; the animation's time 0 is `start`. Geometry is taken at `start`.
// Example: exportGltf(document, GltfFormat::Binary, {DocumentTime{0, 1}, 1096, {}});
[[nodiscard]] std::string exportGltf(host::Document& document, GltfFormat format,
                                     const GltfExportOptions& options);

} // namespace caelo::gltf

#endif
