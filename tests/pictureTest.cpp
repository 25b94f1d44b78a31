// Pictures of the preset solar system written as files (app/outputFiles.h):
// both views as PNG (read back: the asked size, not blank) and SVG, and every
// refused request (extension, size, folder, a view that cannot be drawn)
// leaving no file behind and an existing file whole.
#include "app/outputFiles.h"
#include "host/messages.h"
#include "host/sceneEditing.h"
#include "tests/moduleSceneTest.h"

#include <cairo.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>

namespace caelo::app {

using pictures::PictureView;
namespace {

using namespace host::moduleTest;
namespace fs = std::filesystem;

class PresetPicture : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        host::Node& system = addSystem();
        system.name = "Solar system";
        ASSERT_TRUE(host::pressButton(system, kBuildSolarSystem));
        evaluateAt(kJ2000);
        folder = fs::temp_directory_path() / ("caelo-picture-test-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        fs::remove_all(folder);
        ModuleSceneTest::TearDown();
    }

    [[nodiscard]] std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    // The message of the error that writePictureFile throws, or "" when it does not.
    std::string refusal(const fs::path& file, const pictures::PictureOptions& options) {
        try {
            writePictureFile(document(), file, options);
        } catch (const std::exception& error) {
            return error.what();
        }
        return "";
    }

    fs::path folder;
};

TEST_F(PresetPicture, WritesBothViewsAsPngOfTheAskedSizeAndNotBlank) {
    for (const PictureView view : {PictureView::Top, PictureView::Camera}) {
        const fs::path file = folder / (view == PictureView::Top ? "top.png" : "camera.PNG");
        writePictureFile(document(), file, {view, 640, 400});
        cairo_surface_t* image = cairo_image_surface_create_from_png(file.c_str());
        ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS) << file;
        EXPECT_EQ(cairo_image_surface_get_width(image), 640);
        EXPECT_EQ(cairo_image_surface_get_height(image), 400);
        const auto* data = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(image));
        const int stride = cairo_image_surface_get_stride(image) / 4;
        std::set<std::uint32_t> colours;
        for (int y = 0; y < 400; ++y) {
            colours.insert(data + y * stride, data + y * stride + 640);
        }
        EXPECT_GT(colours.size(), 200u) << file << ": orbits, bodies and labels in many shades";
        cairo_surface_destroy(image);
    }
    EXPECT_EQ(filesInFolder(), 2u) << "no temporary file left";
}

TEST_F(PresetPicture, WritesSvgAtThePictureSizeInPixels) {
    const fs::path file = folder / "top.svg";
    writePictureFile(document(), file, {PictureView::Top, 800, 600});
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    const std::string svg = text.str();
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    const std::size_t header = svg.find("<svg");
    ASSERT_NE(header, std::string::npos);
    const std::string root = svg.substr(header, svg.find('>', header) - header);
    EXPECT_NE(root.find("width=\"800px\""), std::string::npos) << root;
    EXPECT_NE(root.find("height=\"600px\""), std::string::npos) << root;
    EXPECT_NE(svg.find("</svg>"), std::string::npos) << "written whole";
}

TEST_F(PresetPicture, RefusesBadRequestsAndLeavesNoFile) {
    struct Case {
        const char* name;
        pictures::PictureOptions options;
        const char* reason; // a part of the message
    };
    const Case cases[] = {
        {"picture.jpg", {}, ".png or .svg"},
        {"picture", {}, ".png or .svg"},
        {"picture.png.txt", {}, ".png or .svg"},
        {"zero.png", {PictureView::Top, 0, 100}, "1 to 16384"},
        {"negative.svg", {PictureView::Camera, 100, -4}, "1 to 16384"},
        {"huge.png", {PictureView::Top, 16385, 10}, "1 to 16384"},
        {"missing-folder/picture.png", {}, "cannot open"},
    };
    for (const Case& c : cases) {
        const fs::path file = folder / c.name;
        const std::string message = refusal(file, c.options);
        EXPECT_NE(message.find(file.string()), std::string::npos) << c.name << ": " << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.name << ": " << message;
    }
    EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(PresetPicture, AViewThatCannotBeDrawnLeavesTheOldPictureWhole) {
    const fs::path file = folder / "kept.png";
    std::ofstream(file) << "the old picture";
    host::application().newDocument(); // no system to chart
    EXPECT_NE(refusal(file, {PictureView::Top, 320, 200}).find("no system object"), std::string::npos);
    host::removeNode(host::application(), *document().camera());
    EXPECT_NE(refusal(file, {PictureView::Camera, 320, 200}).find("no camera"), std::string::npos);
    std::ifstream in(file);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "the old picture");
    EXPECT_EQ(filesInFolder(), 1u);
}

} // namespace
} // namespace caelo::app
