// Test support for the tests that drive the real module through the host: the
// module's type and parameter ids, and a fixture that loads the module into a
// fresh host with helpers to build a system, body axes and their globes.
#ifndef CAELO_TESTS_MODULE_SCENE_TEST_H
#define CAELO_TESTS_MODULE_SCENE_TEST_H

#include "application.h"
#include "evaluation.h"
#include "hostTestSupport.h"
#include "moduleLoader.h"
#include "scene.h"
#include "sceneEditing.h"

#include <cstdint>

namespace caelo::host::moduleTest {

// The module's node types.
inline constexpr std::int32_t kSystem = 1032493, kOrbitAxis = 1032494, kBodyAxis = 1032495;
inline constexpr std::int32_t kOrbitTag = 1032496, kOrbitPlaneTag = 1032497, kOrbitPlaneSTag = 1032498;
inline constexpr std::int32_t kEquatPlaneTag = 1032499, kRingTag = 1032500, kAttitudeTag = 1032501;

// The system's parameters and its button that builds the solar system.
inline constexpr std::int32_t kTimeScale = 1000, kBodyScale = 1001, kDistanceFactor = 1002, kEpoch = 1003;
inline constexpr std::int32_t kCurrentDate = 1004, kBuildSolarSystem = 1101, kRefreshLinks = 1104;

// The body axis's parameters and its button that makes the globe.
inline constexpr std::int32_t kEquatorialRadius = 1001, kPolarRadius = 1002, kObliquity = 1003;
inline constexpr std::int32_t kRotationAngle = 1004, kRotationPeriod = 1005, kRotationMode = 1007;
inline constexpr std::int32_t kRotationEpoch = 1008, kGlobeScale = 1009, kSatelliteScale = 1010;
inline constexpr std::int32_t kGlobeLink = 1011, kCreateGlobe = 1015, kBodyHeading = 1051;
// The body axis's rotation modes.
inline constexpr std::int32_t kModePeriod = 1200, kModeLocked = 1201, kModeSolarDay = 1202;

// The orbit axis's parameters, choices and buttons.
inline constexpr std::int32_t kMode = 1000, kOrbitEpoch = 1001, kA = 1003, kARate = 1004, kE = 1005;
inline constexpr std::int32_t kERate = 1006, kI = 1007, kIRate = 1008, kL = 1009, kLRate = 1010;
inline constexpr std::int32_t kPeri = 1011, kPeriRate = 1012, kNode = 1013, kNodeRate = 1014, kTermB = 1015;
inline constexpr std::int32_t kAuxDate1 = 1020, kAuxDate2 = 1021, kKm = 1022;
inline constexpr std::int32_t kBandWidth = 1023, kBandHeight = 1024, kBandEndSize = 1025, kBandLength = 1026;
inline constexpr std::int32_t kBandSpacing = 1027, kEllipseLink = 1050, kBandLink = 1051;
inline constexpr std::int32_t kCreateGuides = 1090, kCreateBand = 1091, kCreateBody = 1092;
inline constexpr std::int32_t kModeOrientation = 1200, kModeElements = 1201, kModeBand = 1203;

// The ring tag's parameters.
inline constexpr std::int32_t kInnerRadius = 1001, kOuterRadius = 1002, kThickness = 1003, kTilt = 1004;
inline constexpr std::int32_t kPhase = 1005, kPeriod = 1006, kSliceMode = 1008, kSliceStart = 1009;
inline constexpr std::int32_t kSliceEnd = 1010, kRingEpoch = 1011, kRingHeading = 1051;

// Parameters of the host's primitives, deformer and shading tag.
inline constexpr std::int32_t kBoxSize = 1100; // vector of full side lengths
inline constexpr std::int32_t kSphereRadius = 1110;
inline constexpr std::int32_t kPlaneWidth = 1230, kPlaneHeight = 1231;
inline constexpr std::int32_t kSplineRadius = 2012, kSplineSecondRadius = 2013; // circle spline
inline constexpr std::int32_t kWrapRangeStart = 1002, kWrapRangeEnd = 1003, kWrapOffset = 1004;
inline constexpr std::int32_t kWrapProfile = 1013;
inline constexpr std::int32_t kShadingSmooth = 1001;

// The module's string that prefixes the names of the orbit axes it makes.
inline constexpr std::int32_t kStringOrbitPrefix = 10050;

// The Julian date of J2000.0, 2000-01-01 12:00:00.
inline constexpr double kJ2000 = 2451545.0;
inline constexpr double kKmPerAu = 149597870.7;
// The Earth's equatorial diameter in km: as the system's body scale it makes
// one scene unit of every km.
inline constexpr double kEarthDiameterKm = 12756.274;

// Starts every test with a fresh host that has the module loaded and a new
// active document, and shuts the host down after it.
class ModuleSceneTest : public testing::HostTest {
protected:
    void SetUp() override {
        testing::HostTest::SetUp();
        loadModule(CAELO_TEST_MODULE_PATH);
    }

    using testing::HostTest::add;
    // A new object of a type appended below parent (nullptr: top level).
    Node& add(std::int32_t type, Node* parent = nullptr) {
        Node& node = createObject(type);
        appendChild(document(), node, parent);
        return node;
    }
    // A system whose document time 0 is J2000.0 and whose model time runs one
    // day per document second.
    Node& addSystem() {
        Node& system = add(kSystem);
        editParameter(system, kEpoch, DateTime{{2000, 1, 1, 12, 0, 0}});
        editParameter(system, kTimeScale, 1.0);
        return system;
    }
    // A body axis below `parent` in a rotation mode with a sphere child as its
    // linked globe.
    Node& addBody(Node* parent, std::int32_t mode = kModePeriod) {
        Node& body = add(kBodyAxis, parent);
        editParameter(body, kRotationMode, mode);
        editParameter(body, kGlobeLink, Link{add(kTypeSphere, &body).id()});
        return body;
    }
    // Evaluates the document at a Julian date under a system from addSystem().
    void evaluateAt(double julianDate) {
        document().time = DocumentTime::fromSeconds(julianDate - kJ2000);
        evaluateDocument(document());
    }
};

} // namespace caelo::host::moduleTest

#endif
