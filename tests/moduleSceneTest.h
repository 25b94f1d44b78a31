// Test support for the tests that drive the real module through the host: the
// module's type and parameter ids, and a fixture that loads the module into a
// fresh host with helpers to build a system, body axes and their globes.
#ifndef CAELO_TESTS_MODULE_SCENE_TEST_H
#define CAELO_TESTS_MODULE_SCENE_TEST_H

#include "host/application.h"
#include "host/evaluation.h"
#include "host/loading/moduleLoader.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "model/moduleIds.h"
#include "model/units.h"
#include "tests/hostTestSupport.h"

#include <cstdint>

namespace caelo::host::moduleTest {

// The module's node types, under the short names the tests use.
inline constexpr std::int32_t kSystem = kTypeCaeloSystem, kOrbitAxis = kTypeCaeloOrbitAxis;
inline constexpr std::int32_t kBodyAxis = kTypeCaeloBodyAxis, kOrbitTag = kTypeCaeloOrbit;
inline constexpr std::int32_t kOrbitPlaneTag = kTypeCaeloOrbitPlane, kOrbitPlaneSTag = kTypeCaeloOrbitPlaneS;
inline constexpr std::int32_t kEquatPlaneTag = kTypeCaeloEquatPlane, kRingTag = kTypeCaeloRing;
inline constexpr std::int32_t kAttitudeTag = kTypeAttitudeCtrl;

// The system's parameters and its button that builds the solar system.
inline constexpr std::int32_t kTimeScale = OCAELOSYSTEM_TIME_SCALE, kBodyScale = OCAELOSYSTEM_BODY_SCALE;
inline constexpr std::int32_t kDistanceFactor = OCAELOSYSTEM_DISTANCE_FACTOR, kEpoch = OCAELOSYSTEM_EPOCH;
inline constexpr std::int32_t kCurrentDate = OCAELOSYSTEM_CURRENT_DATE;
inline constexpr std::int32_t kBuildSolarSystem = OCAELOSYSTEM_BUILD_SOLAR_SYSTEM;
inline constexpr std::int32_t kRefreshLinks = OCAELOSYSTEM_REFRESH_LINKS;

// The body axis's parameters and its button that makes the globe.
inline constexpr std::int32_t kEquatorialRadius = OCAELOBODYAXIS_EQUATORIAL_RADIUS;
inline constexpr std::int32_t kPolarRadius = OCAELOBODYAXIS_POLAR_RADIUS,
                              kObliquity = OCAELOBODYAXIS_OBLIQUITY;
inline constexpr std::int32_t kRotationAngle = OCAELOBODYAXIS_ROTATION_ANGLE;
inline constexpr std::int32_t kRotationPeriod = OCAELOBODYAXIS_ROTATION_PERIOD;
inline constexpr std::int32_t kRotationMode = OCAELOBODYAXIS_ROTATION_MODE;
inline constexpr std::int32_t kRotationEpoch = OCAELOBODYAXIS_ROTATION_EPOCH;
inline constexpr std::int32_t kGlobeScale = OCAELOBODYAXIS_GLOBE_SCALE;
inline constexpr std::int32_t kSatelliteScale = OCAELOBODYAXIS_SATELLITE_SCALE;
inline constexpr std::int32_t kGlobeLink = OCAELOBODYAXIS_GLOBE_LINK,
                              kCreateGlobe = OCAELOBODYAXIS_CREATE_GLOBE;
inline constexpr std::int32_t kBodyHeading = OCAELOBODYAXIS_HEADING;
// The body axis's rotation modes, as the parameter stores them.
inline constexpr std::int32_t kModePeriod = kModeChoiceBase + kRotationModePeriod;
inline constexpr std::int32_t kModeLocked = kModeChoiceBase + kRotationModeLocked;
inline constexpr std::int32_t kModeSolarDay = kModeChoiceBase + kRotationModeSolarDay;

// The orbit axis's parameters, choices and buttons.
inline constexpr std::int32_t kMode = OCAELOORBITAXIS_MODE, kOrbitEpoch = OCAELOORBITAXIS_EPOCH;
inline constexpr std::int32_t kA = OCAELOORBITAXIS_A, kARate = OCAELOORBITAXIS_A_RATE, kE = OCAELOORBITAXIS_E;
inline constexpr std::int32_t kERate = OCAELOORBITAXIS_E_RATE, kI = OCAELOORBITAXIS_I;
inline constexpr std::int32_t kIRate = OCAELOORBITAXIS_I_RATE, kL = OCAELOORBITAXIS_L;
inline constexpr std::int32_t kLRate = OCAELOORBITAXIS_L_RATE, kPeri = OCAELOORBITAXIS_PERI;
inline constexpr std::int32_t kPeriRate = OCAELOORBITAXIS_PERI_RATE, kNode = OCAELOORBITAXIS_NODE;
inline constexpr std::int32_t kNodeRate = OCAELOORBITAXIS_NODE_RATE, kTermB = OCAELOORBITAXIS_TERM_B;
inline constexpr std::int32_t kAuxDate1 = OCAELOORBITAXIS_AUX_DATE1, kAuxDate2 = OCAELOORBITAXIS_AUX_DATE2;
inline constexpr std::int32_t kKm = OCAELOORBITAXIS_KM, kBandWidth = OCAELOORBITAXIS_BAND_WIDTH;
inline constexpr std::int32_t kBandHeight = OCAELOORBITAXIS_BAND_HEIGHT;
inline constexpr std::int32_t kBandEndSize = OCAELOORBITAXIS_BAND_END_SIZE;
inline constexpr std::int32_t kBandLength = OCAELOORBITAXIS_BAND_LENGTH;
inline constexpr std::int32_t kBandSpacing = OCAELOORBITAXIS_BAND_SPACING;
inline constexpr std::int32_t kEllipseLink = OCAELOORBITAXIS_ELLIPSE_LINK,
                              kBandLink = OCAELOORBITAXIS_BAND_LINK;
inline constexpr std::int32_t kCreateGuides = OCAELOORBITAXIS_CREATE_GUIDES;
inline constexpr std::int32_t kCreateBand = OCAELOORBITAXIS_CREATE_BAND;
inline constexpr std::int32_t kCreateBody = OCAELOORBITAXIS_CREATE_BODY;
inline constexpr std::int32_t kModeOrientation = kModeChoiceBase + kOrbitModeOrientation;
inline constexpr std::int32_t kModeElements = kModeChoiceBase + kOrbitModeElements;
inline constexpr std::int32_t kModeBand = kModeChoiceBase + kOrbitModeBand;
inline constexpr std::int32_t kModeTheory = kModeChoiceBase + kOrbitModeTheory;
inline constexpr std::int32_t kTheory = OCAELOORBITAXIS_THEORY;

// The ring tag's parameters.
inline constexpr std::int32_t kInnerRadius = TCAELORING_INNER_RADIUS, kOuterRadius = TCAELORING_OUTER_RADIUS;
inline constexpr std::int32_t kThickness = TCAELORING_THICKNESS, kTilt = TCAELORING_TILT;
inline constexpr std::int32_t kPhase = TCAELORING_PHASE, kPeriod = TCAELORING_PERIOD;
inline constexpr std::int32_t kSliceMode = TCAELORING_SLICE_MODE, kSliceStart = TCAELORING_SLICE_START;
inline constexpr std::int32_t kSliceEnd = TCAELORING_SLICE_END, kRingEpoch = TCAELORING_EPOCH;
inline constexpr std::int32_t kRingHeading = TCAELORING_HEADING;

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
inline constexpr double kJ2000 = kJulianDateJ2000;
inline constexpr double kKmPerAu = kKilometresPerAu;
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
        Node& node = createObject(application(), type);
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
