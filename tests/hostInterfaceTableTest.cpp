// The host interface table's own services: icons, resources, text, memory,
// curve and date values, switches, and the fault plan.
#include "host/registry.h"
#include "host/resources.h"
#include "host/sceneEditing.h"
#include "tests/hostTestSupport.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace caelo::host {
namespace {

using namespace testing;

class HostInterfaceTableTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        folder_ = std::filesystem::temp_directory_path() / ("caelo-host-table-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_ / "description");
        application().setTextSink([this](std::string_view line) { lines_.emplace_back(line); });
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        HostTest::TearDown();
    }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
    }

    std::filesystem::path folder_;
    std::vector<std::string> lines_;
};

// An uncompressed TIFF of width x height pixels with `samples` 8-bit samples
// each, in one strip, little-endian ("II") or big-endian ("MM").
std::string tiff(std::uint32_t width, std::uint32_t height, std::uint16_t samples, bool littleEndian,
                 std::uint16_t compression = 1, std::uint32_t stripBytes = 0) {
    std::string out;
    const auto put16 = [&](std::uint16_t v) {
        out += littleEndian ? static_cast<char>(v & 0xff) : static_cast<char>(v >> 8);
        out += littleEndian ? static_cast<char>(v >> 8) : static_cast<char>(v & 0xff);
    };
    const auto put32 = [&](std::uint32_t v) {
        littleEndian
            ? (put16(static_cast<std::uint16_t>(v & 0xffff)), put16(static_cast<std::uint16_t>(v >> 16)))
            : (put16(static_cast<std::uint16_t>(v >> 16)), put16(static_cast<std::uint16_t>(v & 0xffff)));
    };
    const std::uint32_t pixelBytes = width * height * samples;
    const std::uint16_t entries = 8;
    const std::uint32_t directory = 8;
    const std::uint32_t pixels = directory + 2 + entries * 12 + 4;
    out += littleEndian ? "II" : "MM";
    put16(42);
    put32(directory);
    put16(entries);
    const auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t value) {
        put16(tag);
        put16(type);
        put32(1);
        type == 3 ? (put16(static_cast<std::uint16_t>(value)), put16(0)) : put32(value);
    };
    entry(256, 4, width);
    entry(257, 4, height);
    entry(258, 3, 8); // one value stands for every sample here
    entry(259, 3, compression);
    entry(262, 3, samples == 1 ? 1 : 2);
    entry(273, 4, pixels);
    entry(277, 3, samples);
    entry(279, 4, stripBytes ? stripBytes : pixelBytes);
    put32(0);
    for (std::uint32_t i = 0; i < pixelBytes; ++i) {
        out += static_cast<char>(i % 251);
    }
    return out;
}

TEST_F(HostInterfaceTableTest, IconsLoadOnlyFromSmallUncompressedTiffs) {
    struct Case {
        const char* name;
        std::string bytes;
        bool loads;
    };
    const Case cases[] = {
        {"rgba.tif", tiff(32, 32, 4, true), true},
        {"rgb.tif", tiff(3, 2, 3, false), true},
        {"grey.tif", tiff(4, 4, 1, true), true},
        {"packed.tif", tiff(32, 32, 4, true, 5), false},
        {"huge.tif", tiff(300, 1, 4, true), false},
        {"short.tif", tiff(32, 32, 4, true).substr(0, 500), false},
        {"lying.tif", tiff(8, 8, 4, true, 1, 10), false},
        {"text.tif", "just text, no image", false},
        {"empty.tif", "", false},
    };
    for (const Case& c : cases) {
        write(c.name, c.bytes);
        HostBitmap* icon = table().LoadIcon((folder_ / c.name).c_str(), 1.0);
        EXPECT_EQ(icon != nullptr, c.loads) << c.name;
        table().ReleaseIcon(icon);
    }
    Bitmap* rgb = loadTiffIcon(folder_ / "rgb.tif");
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(rgb->width(), 3);
    EXPECT_EQ(rgb->height(), 2);
    EXPECT_EQ(rgb->pixels()[4], 3) << "the second pixel starts with the fourth sample";
    EXPECT_EQ(rgb->pixels()[7], 255) << "RGB gets an opaque alpha";
    rgb->release();
    EXPECT_EQ(table().LoadIcon((folder_ / "missing.tif").c_str(), 1.0), nullptr);
}

TEST_F(HostInterfaceTableTest, TheRegistryKeepsItsOwnReferenceToAnIcon) {
    write("icon.tif", tiff(2, 2, 4, true));
    HostBitmap* icon = table().LoadIcon((folder_ / "icon.tif").c_str(), 1.0);
    ASSERT_NE(icon, nullptr);
    const HostNodeClass& recording = *application().findType(kRecordingObject)->nodeClass;
    ASSERT_TRUE(table().RegisterObjectType(900010, "Iconic", 0, &recording, "Trecording", icon, 0));
    table().ReleaseIcon(icon); // the module's reference
    const NodeType* type = application().findType(900010);
    ASSERT_NE(type->icon, nullptr);
    EXPECT_EQ(type->icon->references(), 1);
    EXPECT_EQ(type->icon->width(), 2);
    EXPECT_FALSE(table().RegisterObjectType(900010, "Again", 0, &recording, "Trecording", nullptr, 0));
    EXPECT_EQ(lines_.back(), "RegisterObjectType: the type id 900010 is taken");
}

TEST_F(HostInterfaceTableTest, ResourcesLoadWholeOrNotAtAll) {
    write("strings.json", R"({"format": "caelo-strings", "version": 1, "strings": {"10000": "System"}})");
    write("description/Osample.json", R"({"format": "caelo-description", "version": 1, "name": "Osample",
        "parameters": [{"id": 1000, "name": "S", "label": "Scale", "type": "float", "default": 1, "min": 0}]})");
    ASSERT_TRUE(table().LoadModuleResources(folder_.c_str()));
    EXPECT_STREQ(table().LoadResourceString(10000), "System");
    EXPECT_STREQ(table().LoadResourceString(10001), "");
    ASSERT_NE(application().descriptions().find("Osample"), nullptr);

    struct Case {
        const char* file;
        const char* text;
        const char* place;
    };
    const Case broken[] = {
        {"strings.json", R"({"format": "caelo-strings", "version": 1, "strings": {"ten": "x"}})",
         "at /strings/ten"},
        {"strings.json", "{\n  \"format\": \n}", "line 3, column 1"},
        {"description/Osample.json",
         R"({"format": "caelo-description", "version": 1, "name": "Osample", "parameters": [{"id": 1, "name": "A",
            "label": "A", "type": "float", "default": 5, "max": 2}]})",
         "at /parameters/0/default"},
        {"description/Osample.json",
         R"({"format": "caelo-description", "version": 1, "name": "Osample", "parameters": [{"id": 1, "name": "A",
            "label": "A", "type": "colour"}]})",
         "at /parameters/0/type"},
        {"description/Osample.json",
         R"({"format": "caelo-description", "version": 1, "name": "Other", "parameters": []})", "at /name"},
    };
    const std::string goodStrings =
        R"({"format": "caelo-strings", "version": 1, "strings": {"10000": "System"}})";
    for (const Case& c : broken) {
        write("strings.json", goodStrings);
        write("description/Osample.json", R"({"format": "caelo-description", "version": 1, "name": "Osample",
            "parameters": []})");
        write(c.file, c.text);
        lines_.clear();
        EXPECT_FALSE(table().LoadModuleResources(folder_.c_str())) << c.place;
        ASSERT_EQ(lines_.size(), 1u);
        EXPECT_NE(lines_[0].find((folder_ / c.file).string()), std::string::npos) << lines_[0];
        EXPECT_NE(lines_[0].find(c.place), std::string::npos) << lines_[0];
        EXPECT_STREQ(table().LoadResourceString(10000), "System") << "the tables stay as they were";
        EXPECT_EQ(application().descriptions().find("Osample")->parameters.size(), 1u);
    }
    EXPECT_FALSE(table().LoadModuleResources((folder_ / "none").c_str()));
}

TEST_F(HostInterfaceTableTest, TextFunctionsNeverOverrunTheirBuffers) {
    char buffer[8] = "ab";
    EXPECT_TRUE(table().TextInsert(buffer, sizeof buffer, "cdefg"));
    EXPECT_STREQ(buffer, "abcdefg");
    EXPECT_FALSE(table().TextInsert(buffer, sizeof buffer, "h"));
    EXPECT_STREQ(buffer, "abcdefg");

    char number[64];
    const std::size_t length = table().NumberToText(0.0167, 1, 15, true, ' ', number, sizeof number);
    EXPECT_EQ(length, std::strlen(number));
    bool error = true;
    EXPECT_EQ(table().TextToNumber(number, &error, 0, 0, 10), 0.0167);
    EXPECT_FALSE(error);
    char small[5];
    EXPECT_EQ(table().NumberToText(0.0167, 1, 15, true, ' ', small, sizeof small), length);
    EXPECT_EQ(std::strlen(small), 4u) << "cut to the buffer, with its NUL";

    table().TextToNumber("12 apples", &error, 0, 0, 10);
    EXPECT_TRUE(error);
    table().TextToNumber("12", &error, 0, 0, 16);
    EXPECT_TRUE(error) << "only base 10";
}

TEST_F(HostInterfaceTableTest, ResizeArrayKeepsTheOldBlockWhenItFails) {
    auto* block = static_cast<char*>(table().ResizeArray(nullptr, 4));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "abc", 4);
    application().faults().failCall("ResizeArray");
    EXPECT_EQ(table().ResizeArray(block, 1 << 20), nullptr);
    EXPECT_STREQ(block, "abc");
    block = static_cast<char*>(table().ResizeArray(block, 1 << 10));
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(block, "abc");
    EXPECT_EQ(table().ResizeArray(block, 0), nullptr) << "0 bytes releases the block";
}

TEST_F(HostInterfaceTableTest, CurveAndDateValuesAreStoredAsCopies) {
    Node& node = add(kRecordingObject, "node");
    HostContainer* container = table().GetParameterContainer(toHandle(&node));

    HostCurve* curve = table().CreateCurve();
    ASSERT_TRUE(table().ResizeCurve(curve, 3));
    EXPECT_EQ(table().GetCurveKnot(curve, 3), nullptr);
    table().GetCurveKnot(curve, 1)->position = {0.5, 1.0, 0.0};
    ASSERT_TRUE(table().SetCurve(container, 1013, curve));
    table().GetCurveKnot(curve, 1)->position = {9.0, 9.0, 9.0};
    table().FreeCurve(curve);
    const Curve* stored = node.parameters.getCurve(1013);
    ASSERT_NE(stored, nullptr);
    ASSERT_EQ(stored->knots.size(), 3u);
    EXPECT_EQ(stored->knots[1].position.x, 0.5);

    HostDateValue* date = table().CreateDateValue();
    const HostDateTime fields{2000, 1, 1, 12, 0, 0};
    table().SetDateValueFields(date, &fields, 1, 1);
    ASSERT_TRUE(table().SetDateTime(container, kDate, date, 1, 1));
    table().FreeDateValue(date);
    HostDateTime back{};
    ASSERT_TRUE(table().GetDateTime(container, kDate, &back));
    EXPECT_EQ(back.hour, 12);
    EXPECT_FALSE(table().GetDateTime(container, kScale, &back)) << "a Float is no date";
    EXPECT_EQ(table().GetFloat(container, kDate, -1.0), -1.0) << "a date is no Float";
}

// Freed values are kept for reuse, so that a pass that makes and frees a
// curve or a date allocates nothing; a value made again must still be new.
TEST_F(HostInterfaceTableTest, ValuesMadeAgainAfterAFreeStartEmpty) {
    Node& node = add(kRecordingObject, "node");
    HostContainer* container = table().GetParameterContainer(toHandle(&node));

    HostCurve* curve = table().CreateCurve();
    ASSERT_TRUE(table().ResizeCurve(curve, 5));
    table().GetCurveKnot(curve, 0)->position = {7.0, 7.0, 7.0};
    ASSERT_TRUE(table().SetCurve(container, 1013, curve));
    table().FreeCurve(curve);
    curve = table().CreateCurve();
    EXPECT_EQ(table().GetCurveKnot(curve, 0), nullptr) << "no knots";
    ASSERT_TRUE(table().ResizeCurve(curve, 2));
    EXPECT_EQ(table().GetCurveKnot(curve, 0)->position.x, 0.0) << "a default knot";
    ASSERT_TRUE(table().SetCurve(container, 1013, curve));
    table().FreeCurve(curve);
    ASSERT_EQ(node.parameters.getCurve(1013)->knots.size(), 2u) << "the shorter curve replaced the longer";
    EXPECT_EQ(node.parameters.getCurve(1013)->knots[0].position.x, 0.0);

    HostDateValue* date = table().CreateDateValue();
    const HostDateTime fields{2024, 2, 29, 23, 59, 58};
    table().SetDateValueFields(date, &fields, 1, 1);
    table().FreeDateValue(date);
    date = table().CreateDateValue();
    ASSERT_TRUE(table().SetDateTime(container, kDate, date, 1, 1));
    table().FreeDateValue(date);
    HostDateTime back{};
    ASSERT_TRUE(table().GetDateTime(container, kDate, &back));
    EXPECT_EQ(back.year, 0) << "the fields of the freed date are gone";
    EXPECT_EQ(back.second, 0);
}

TEST_F(HostInterfaceTableTest, FaultPlanFailsTheChosenCalls) {
    FaultPlan& faults = application().faults();
    faults.failCall("CreateObject", 2);
    EXPECT_NE(table().CreateObject(kTypeNull), nullptr);
    EXPECT_EQ(table().CreateObject(kTypeNull), nullptr);
    EXPECT_NE(table().CreateObject(kTypeNull), nullptr);
    faults.failCallsFrom("CreateCurve", 2);
    HostCurve* first = table().CreateCurve();
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(table().CreateCurve(), nullptr);
    EXPECT_EQ(table().CreateCurve(), nullptr);
    table().FreeCurve(first);
    faults.failCall("DefaultCopyNode");
    Node& node = add(kTypeNull, "node");
    EXPECT_FALSE(table().DefaultCopyNode(toHandle(&node), toHandle(&node)));
    EXPECT_TRUE(table().DefaultCopyNode(toHandle(&node), toHandle(&node)));
    faults.failCall("AllocateInstance");
    EXPECT_EQ(table().CreateObject(kRecordingObject), nullptr) << "a factory without memory makes no node";
    EXPECT_EQ(faults.calls("CreateObject"), 4);
}

TEST_F(HostInterfaceTableTest, SwitchesTakeOnlyTheirCodes) {
    Node& node = add(kTypeSphere, "node");
    table().SetObjectSwitch(toHandle(&node), HOST_SWITCH_EDITOR, HOST_DISPLAY_HIDDEN);
    table().SetObjectSwitch(toHandle(&node), HOST_SWITCH_RENDER, 7);
    table().SetObjectSwitch(toHandle(&node), HOST_SWITCH_ENABLED, 0);
    EXPECT_EQ(node.editorMode, HOST_DISPLAY_HIDDEN);
    EXPECT_EQ(node.renderMode, HOST_DISPLAY_FOLLOW_PARENT);
    EXPECT_FALSE(node.enabled());
    const HostColorProperties colour{2, {0.0, 0.5, 1.0}, true};
    table().SetColorProperties(toHandle(&node), &colour);
    EXPECT_EQ(node.color.color.y, 0.5);
    EXPECT_TRUE(node.color.seeThrough);
}

TEST_F(HostInterfaceTableTest, DocumentTimeAndViewCamera) {
    document().time = DocumentTime::fromSeconds(2.5);
    std::int64_t numerator = 0;
    std::int64_t denominator = 0;
    table().GetDocumentTime(toHandle(&document()), &numerator, &denominator);
    EXPECT_EQ(static_cast<double>(numerator) / static_cast<double>(denominator), 2.5);
    HostNode* camera = table().GetViewCamera(table().GetActiveView(table().GetActiveDocument()));
    EXPECT_EQ(camera, toHandle(document().camera()));
    removeNode(application(), *document().camera());
    EXPECT_EQ(table().GetViewCamera(table().GetActiveView(table().GetActiveDocument())), nullptr);
}

} // namespace
} // namespace caelo::host
