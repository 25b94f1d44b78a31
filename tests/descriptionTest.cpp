// The module's resources against the module itself: every registered type has
// its display name, description and icon, and each description declares
// exactly the parameters its class writes, with matching types and defaults.
#include "model/moduleIds.h"
#include "model/theoryPlaces.h"
#include "tests/fakeModuleHost.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

namespace caelo::fake {
namespace {

using nlohmann::json;

const std::filesystem::path kResources = std::filesystem::path(CAELO_TEST_SOURCE_DIR) / "res";

json readJson(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) {
        ADD_FAILURE() << "cannot read " << file;
        return json::object();
    }
    return json::parse(in);
}

json readDescription(const std::string& name) {
    return readJson(kResources / "description" / (name + ".json"));
}

// The registrations of the built module, with each class at hand.
class ModuleResources : public ::testing::Test {
protected:
    void SetUp() override {
        current = &host;
        ASSERT_TRUE(module.isLoaded()) << dlerror();
        ASSERT_EQ(module.initialise(host, "/modules/caelo"), 1);
        ASSERT_EQ(module.message(1), 1);
        ASSERT_EQ(module.call(HOST_REQUEST_START), 1);
        ASSERT_EQ(host.registrations.size(), 9u);
    }
    void TearDown() override {
        module.call(HOST_REQUEST_END);
        current = nullptr;
    }

    // The parameters a new node of the type holds once the class has
    // initialised it.
    std::map<int32_t, StoredParameter> parametersOfNewNode(const Registration& registration) {
        host.parameters.clear();
        auto* node = reinterpret_cast<HostNode*>(&host);
        void* instance = registration.nodeClass.allocate(node);
        EXPECT_NE(instance, nullptr);
        if (instance != nullptr) {
            EXPECT_TRUE(registration.nodeClass.initNode(instance, node));
            registration.nodeClass.destroy(instance);
        }
        return host.parameters;
    }

    FakeHost host;
    LoadedModule module;
};

TEST(StringTable, HoldsEveryNamedId) {
    const json table = readJson(kResources / "strings.json");
    EXPECT_EQ(table.value("format", ""), "caelo-strings");
    EXPECT_EQ(table.value("version", 0), 1);
    const json& strings = table.at("strings");
    const std::pair<int, int> ranges[] = {{10000, 10008}, {10050, 10060}, {10100, 10164}};
    for (const auto& [first, last] : ranges) {
        for (int id = first; id <= last; ++id) {
            const auto text = strings.find(std::to_string(id));
            ASSERT_NE(text, strings.end()) << "string " << id << " is missing";
            EXPECT_FALSE(text->get<std::string>().empty()) << "string " << id << " is empty";
        }
    }
}

// The parameters a class does not write in InitNode: its buttons, its links
// and what it writes later.
struct NotWrittenAtCreation {
    std::set<int32_t> buttons;
    std::set<int32_t> links;
    std::set<int32_t> writtenLater;
};

const std::map<int32_t, NotWrittenAtCreation> kNotWrittenAtCreation = {
    {1032493, {{1101, 1102, 1103, 1104}, {}, {1004}}}, // the current date: on evaluation
    {1032494, {{1090, 1091, 1092}, {1050, 1051}, {}}},
    {1032495, {{1015, 1016, 1017, 1018, 1019}, {1011}, {}}},
};

// Scale parameters, whose lower limit must exclude 0: id -> node type.
const std::map<int32_t, int32_t> kScales = {
    {1000, 1032493}, {1001, 1032493}, {1002, 1032493}, {1009, 1032495}, {1010, 1032495},
};

StoredParameter::Kind storedKindOf(const std::string& type) {
    using Kind = StoredParameter::Kind;
    if (type == "float") {
        return Kind::Float;
    }
    if (type == "int32" || type == "cycle") {
        return Kind::Int32;
    }
    if (type == "bool") {
        return Kind::Bool;
    }
    if (type == "datetime") {
        return Kind::DateTime;
    }
    return Kind::String; // string and numbertext
}

TEST_F(ModuleResources, DescriptionsDeclareExactlyWhatTheClassesWrite) {
    const json strings = readJson(kResources / "strings.json").at("strings");
    for (size_t i = 0; i < host.registrations.size(); ++i) {
        const Registration& registration = host.registrations[i];
        SCOPED_TRACE(registration.description);
        // Display name (the fake host answers "text <id>"), icon, description.
        EXPECT_TRUE(strings.contains(registration.name.substr(std::string("text ").size())));
        EXPECT_TRUE(std::filesystem::is_regular_file(kResources / fileNameOf(host.iconPaths.at(i))));
        const json description = readDescription(registration.description);
        EXPECT_EQ(description.value("name", ""), registration.description);
        const std::map<int32_t, StoredParameter> written = parametersOfNewNode(registration);
        const auto special = kNotWrittenAtCreation.find(registration.id);
        const NotWrittenAtCreation none;
        const NotWrittenAtCreation& notWritten =
            special != kNotWrittenAtCreation.end() ? special->second : none;

        std::set<int32_t> declared, buttons, links;
        for (const json& parameter : description.at("parameters")) {
            const int32_t id = parameter.at("id");
            const std::string type = parameter.at("type");
            SCOPED_TRACE(id);
            EXPECT_TRUE(declared.insert(id).second) << "declared twice";
            if (type == "button") {
                buttons.insert(id);
                continue;
            }
            if (type == "link") {
                links.insert(id);
                continue;
            }
            if (notWritten.writtenLater.count(id) != 0) {
                continue;
            }
            const auto stored = written.find(id);
            if (stored == written.end()) {
                ADD_FAILURE() << "declared but not written by InitNode";
                continue;
            }
            EXPECT_EQ(stored->second.kind, storedKindOf(type)) << "declared as " << type;
            if (parameter.contains("default")) {
                const json& value = parameter.at("default");
                if (value.is_string()) {
                    EXPECT_EQ(stored->second.text, value.get<std::string>())
                        << "the default differs from the text written";
                } else {
                    EXPECT_EQ(stored->second.number,
                              value.is_boolean() ? (value.get<bool>() ? 1.0 : 0.0) : value.get<double>())
                        << "the default differs from the value written";
                }
            }
            if (kScales.count(id) != 0 && kScales.at(id) == registration.id) {
                EXPECT_GT(parameter.value("min", 0.0), 0.0) << "a scale must stay above 0";
            }
            if (type == "cycle") {
                EXPECT_TRUE(
                    parameter.at("cycle").contains(std::to_string(static_cast<int>(stored->second.number))))
                    << "the written value is not a choice";
            }
        }
        for (const auto& [id, stored] : written) {
            EXPECT_EQ(declared.count(id), 1u) << "parameter " << id << " is written but not declared";
        }
        EXPECT_EQ(buttons, notWritten.buttons);
        EXPECT_EQ(links, notWritten.links);
    }
}

// Every parameter id of model/moduleIds.h with the description that declares
// it under the same name; each description declares no parameter beyond them.
struct DeclaredId {
    const char* description;
    int32_t id;
    const char* name;
};
#define CAELO_DECLARED(description, id)                                                                      \
    DeclaredId {                                                                                             \
        description, id, #id                                                                                 \
    }
const DeclaredId kDeclaredIds[] = {
    CAELO_DECLARED("OcaeloSystem", OCAELOSYSTEM_TIME_SCALE),
    CAELO_DECLARED("OcaeloSystem", OCAELOSYSTEM_BODY_SCALE),
    CAELO_DECLARED("OcaeloSystem", OCAELOSYSTEM_DISTANCE_FACTOR),
    CAELO_DECLARED("OcaeloSystem", OCAELOSYSTEM_EPOCH),
    CAELO_DECLARED("OcaeloSystem", OCAELOSYSTEM_CURRENT_DATE),
    CAELO_DECLARED("OcaeloSystem", OCAELOSYSTEM_BUILD_SOLAR_SYSTEM),
    CAELO_DECLARED("OcaeloSystem", OCAELOSYSTEM_ADD_BODY_AXIS),
    CAELO_DECLARED("OcaeloSystem", OCAELOSYSTEM_ADD_ORBIT_AXIS),
    CAELO_DECLARED("OcaeloSystem", OCAELOSYSTEM_REFRESH_LINKS),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_MODE),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_EPOCH),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_A),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_A_RATE),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_E),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_E_RATE),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_I),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_I_RATE),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_L),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_L_RATE),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_PERI),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_PERI_RATE),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_NODE),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_NODE_RATE),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_TERM_B),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_TERM_C),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_TERM_S),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_TERM_F),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_AUX_DATE1),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_AUX_DATE2),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_KM),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_BAND_WIDTH),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_BAND_HEIGHT),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_BAND_END_SIZE),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_BAND_LENGTH),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_BAND_SPACING),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_THEORY),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_ELLIPSE_LINK),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_BAND_LINK),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_CREATE_GUIDES),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_CREATE_BAND),
    CAELO_DECLARED("OcaeloOrbitAxis", OCAELOORBITAXIS_CREATE_BODY),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_EQUATORIAL_RADIUS),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_POLAR_RADIUS),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_OBLIQUITY),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_ROTATION_ANGLE),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_ROTATION_PERIOD),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_ROTATION_MODE),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_ROTATION_EPOCH),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_GLOBE_SCALE),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_SATELLITE_SCALE),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_GLOBE_LINK),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_CREATE_GLOBE),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_ADD_TUBE_RING),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_ADD_TORUS_RING),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_ADD_MOON_ORBIT),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_ADD_ORBIT_AXIS),
    CAELO_DECLARED("OcaeloBodyAxis", OCAELOBODYAXIS_HEADING),
    CAELO_DECLARED("TcaeloRing", TCAELORING_INNER_RADIUS),
    CAELO_DECLARED("TcaeloRing", TCAELORING_OUTER_RADIUS),
    CAELO_DECLARED("TcaeloRing", TCAELORING_THICKNESS),
    CAELO_DECLARED("TcaeloRing", TCAELORING_TILT),
    CAELO_DECLARED("TcaeloRing", TCAELORING_PHASE),
    CAELO_DECLARED("TcaeloRing", TCAELORING_PERIOD),
    CAELO_DECLARED("TcaeloRing", TCAELORING_SLICE_MODE),
    CAELO_DECLARED("TcaeloRing", TCAELORING_SLICE_START),
    CAELO_DECLARED("TcaeloRing", TCAELORING_SLICE_END),
    CAELO_DECLARED("TcaeloRing", TCAELORING_EPOCH),
    CAELO_DECLARED("TcaeloRing", TCAELORING_HEADING),
    CAELO_DECLARED("TattitudeCtrl", TATTITUDECTRL_MODE),
};
#undef CAELO_DECLARED

// The choices of model/moduleIds.h: the base and values each choice
// parameter stores.
struct DeclaredChoice {
    const char* description;
    int32_t id;
    int32_t base;
    std::vector<int32_t> values;
};
const DeclaredChoice kDeclaredChoices[] = {
    {"OcaeloOrbitAxis",
     OCAELOORBITAXIS_MODE,
     kModeChoiceBase,
     {kOrbitModeOrientation, kOrbitModeElements, kOrbitModeElementsExtended, kOrbitModeBand,
      kOrbitModeTheory}},
    {"OcaeloOrbitAxis",
     OCAELOORBITAXIS_BAND_SPACING,
     kBandSpacingChoiceBase,
     {kBandSpacingMeanAngle, kBandSpacingEccentricAngle, kBandSpacingMeanArc, kBandSpacingEccentricArc}},
    {"OcaeloOrbitAxis",
     OCAELOORBITAXIS_THEORY,
     kTheoryChoiceBase,
     {kTheoryMercury, kTheoryVenus, kTheoryEarthMoonBarycentre, kTheoryMars, kTheoryJupiter, kTheorySaturn,
      kTheoryUranus, kTheoryNeptune, kTheoryPluto, kTheoryEarthAboutBarycentre, kTheoryMoonAboutBarycentre}},
    {"OcaeloBodyAxis",
     OCAELOBODYAXIS_ROTATION_MODE,
     kModeChoiceBase,
     {kRotationModePeriod, kRotationModeLocked, kRotationModeSolarDay}},
    {"TcaeloRing", TCAELORING_SLICE_MODE, kModeChoiceBase, {kSliceModeWhole, kSliceModeSliced}},
    {"TattitudeCtrl",
     TATTITUDECTRL_MODE,
     kModeChoiceBase,
     {kAttitudeKeepHeading, kAttitudeKeepPitch, kAttitudeKeepBank}},
};

const json* declaredParameter(const json& description, int32_t id) {
    for (const json& parameter : description.at("parameters")) {
        if (parameter.at("id") == id) {
            return &parameter;
        }
    }
    return nullptr;
}

TEST(ModuleIds, MatchTheDescriptions) {
    std::map<std::string, size_t> listed;
    for (const DeclaredId& declared : kDeclaredIds) {
        SCOPED_TRACE(declared.name);
        ++listed[declared.description];
        const json description = readDescription(declared.description);
        const json* parameter = declaredParameter(description, declared.id);
        ASSERT_NE(parameter, nullptr) << "not declared in " << declared.description;
        EXPECT_EQ(parameter->at("name"), declared.name);
    }
    for (const auto& [name, count] : listed) {
        EXPECT_EQ(readDescription(name).at("parameters").size(), count) << name << " declares more";
    }
    for (const DeclaredChoice& choice : kDeclaredChoices) {
        const json description = readDescription(choice.description);
        const json* parameter = declaredParameter(description, choice.id);
        ASSERT_NE(parameter, nullptr);
        for (const int32_t value : choice.values) {
            EXPECT_TRUE(parameter->at("cycle").contains(std::to_string(choice.base + value)))
                << choice.description << " " << choice.id << " lacks " << choice.base + value;
        }
    }
}

// Every type id of model/moduleIds.h registered with its description.
TEST_F(ModuleResources, TypeIdsNameTheirDescriptions) {
    const std::map<std::string, int32_t> kTypeOfDescription = {
        {"OcaeloSystem", kTypeCaeloSystem},         {"OcaeloOrbitAxis", kTypeCaeloOrbitAxis},
        {"OcaeloBodyAxis", kTypeCaeloBodyAxis},     {"TcaeloOrbit", kTypeCaeloOrbit},
        {"TcaeloOrbitPlane", kTypeCaeloOrbitPlane}, {"TcaeloOrbitPlaneS", kTypeCaeloOrbitPlaneS},
        {"TcaeloEquatPlane", kTypeCaeloEquatPlane}, {"TcaeloRing", kTypeCaeloRing},
        {"TattitudeCtrl", kTypeAttitudeCtrl},
    };
    ASSERT_EQ(host.registrations.size(), kTypeOfDescription.size());
    for (const Registration& registration : host.registrations) {
        EXPECT_EQ(kTypeOfDescription.at(registration.description), registration.id)
            << registration.description;
    }
}

} // namespace
} // namespace caelo::fake
