#include "app/outputFiles.h"

#include "app/commandError.h"
#include "host/services/atomicFile.h"
#include "host/services/displayText.h"
#include "host/services/hostError.h"
#include "outputs/viewer/viewerPage.h"

namespace caelo::app {

void writeOutputFile(const std::filesystem::path& file, std::string_view bytes, std::string_view what) {
    try {
        host::writeFileAtomically(file, bytes);
    } catch (const host::HostError& error) {
        throw CommandError(host::excerpt(file.string()) + ": cannot write " + std::string(what) + ": " +
                           error.what());
    }
}

std::string bytesForFile(const std::filesystem::path& file, const std::function<std::string()>& make) {
    try {
        return make();
    } catch (const host::HostError& error) {
        throw host::HostError(host::excerpt(file.string()) + ": " + error.what());
    }
}

void writePictureFile(const host::Document& document, const std::filesystem::path& file,
                      pictures::PictureOptions options) {
    const std::string picture = bytesForFile(file, [&] {
        options.format = pictures::pictureFormatOf(file);
        return pictures::pictureBytes(document, options);
    });
    writeOutputFile(file, picture, "the picture");
}

void writeGltfFile(const std::filesystem::path& file, std::string_view gltf) {
    writeOutputFile(file, gltf, "the glTF file");
}

void writeViewerPage(const std::filesystem::path& file, std::string_view glb) {
    writeOutputFile(file, viewer::viewerPage(glb), "the page");
}

} // namespace caelo::app
