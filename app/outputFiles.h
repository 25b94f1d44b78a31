// The files a command writes: each written whole or not at all
// (host/services/atomicFile.h), and named in every message about it.
//
// Example:
//   writeOutputFile("caelo-out/solar-system.glb", glb, "the glTF file");
#ifndef CAELO_APP_OUTPUT_FILES_H
#define CAELO_APP_OUTPUT_FILES_H

#include "host/scene.h"
#include "outputs/pictures/picture.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace caelo::app {

// Writes `bytes` to `file`, whole or not at all; throws CommandError
// "<file>: cannot write <what>: <reason>".
void writeOutputFile(const std::filesystem::path& file, std::string_view bytes, std::string_view what);

// The bytes `make` answers for `file`; a host::HostError it throws is thrown
// again with the file named first, "<file>: <what is wrong>".
[[nodiscard]] std::string bytesForFile(const std::filesystem::path& file,
                                       const std::function<std::string()>& make);

// The picture of the document as last evaluated (picture.h), in the format
// the file's extension names, written to `file` as "the picture".
void writePictureFile(const host::Document& document, const std::filesystem::path& file,
                      pictures::PictureOptions options);

// The bytes of a glTF file written to `file` as "the glTF file".
void writeGltfFile(const std::filesystem::path& file, std::string_view gltf);

// The page that plays `glb`, the bytes of a binary glTF file, in a browser
// (viewerPage.h), written to `file` as "the page".
void writeViewerPage(const std::filesystem::path& file, std::string_view glb);

} // namespace caelo::app

#endif
