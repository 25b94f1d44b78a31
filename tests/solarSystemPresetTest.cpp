// The system's button that builds the solar system, through the loaded
// module: the whole tree it makes (counts, names, order, switches, display
// codes), where it puts the view's camera, what stays when the host fails
// part-way, where the planets are once evaluated, and the main job of
// `caelo` that shows and saves the result.
#include "host/application.h"
#include "host/evaluation.h"
#include "host/files/sceneFile.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "host/services/numberText.h"
#include "tests/moduleSceneTest.h"
#include "tests/testTimeZone.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace caelo::host {
namespace {

using namespace moduleTest;

namespace fs = std::filesystem;

constexpr std::int32_t kStringBodyPrefix = 10051;

constexpr double kDefaultTimeScale = 0.1;             // the system's default: document seconds per model day
constexpr double kDistanceScale = 2345.4791062029553; // the system's default scene units per au

// Name ids of the 39 records in the order of the preset's table, which is the
// depth-first order of their body axes.
constexpr std::int32_t kBodyNameIds[] = {10100, 10101, 10102, 10103, 10104, 10105, 10106, 10107, 10108, 10109,
                                         10114, 10115, 10116, 10117, 10118, 10131, 10132, 10133, 10134, 10135,
                                         10136, 10137, 10138, 10139, 10140, 10141, 10142, 10153, 10154, 10155,
                                         10156, 10157, 10158, 10159, 10160, 10161, 10162, 10163, 10164};

const std::string& text(std::int32_t stringId) {
    return application().strings().find(stringId);
}

std::string prefixed(std::int32_t prefixId, std::int32_t nameId) {
    return text(prefixId) + "(" + text(nameId) + ")";
}

class SolarSystemPreset : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        system = &add(kSystem);
        editParameter(*system, kEpoch, DateTime{{2000, 1, 1, 12, 0, 0}}); // J2000.0 in UT
    }

    [[nodiscard]] std::vector<Node*> objectsOfType(std::int32_t type) const {
        std::vector<Node*> found;
        application().activeDocument().forEachNode([&](Node& node) {
            if (node.typeId() == type) {
                found.push_back(&node);
            }
        });
        return found;
    }
    [[nodiscard]] Node& bodyAxis(std::int32_t nameId) const {
        for (Node* body : objectsOfType(kBodyAxis)) {
            if (body->name == prefixed(kStringBodyPrefix, nameId)) {
                return *body;
            }
        }
        throw std::runtime_error("no body axis for string " + std::to_string(nameId));
    }
    // The body axis's position relative to the Sun's, in au: scene (x, y, z)
    // read as ecliptic (x, z, y).
    [[nodiscard]] Vector heliocentricAu(std::int32_t nameId) const {
        const Vector sun = bodyAxis(10100).worldMatrix().off;
        const Vector body = bodyAxis(nameId).worldMatrix().off;
        return {(body.x - sun.x) / kDistanceScale, (body.z - sun.z) / kDistanceScale,
                (body.y - sun.y) / kDistanceScale};
    }
    void evaluateAt(double julianDate) {
        document().time = DocumentTime::fromSeconds((julianDate - kJ2000) * kDefaultTimeScale);
        evaluateDocument(document());
    }

    test::TimeZone universalTime{"UTC0"};
    Node* system = nullptr;
};

TEST_F(SolarSystemPreset, BuildsTheWholeTreeInTableOrder) {
    ASSERT_TRUE(pressButton(*system, kBuildSolarSystem));

    const std::vector<Node*> bodies = objectsOfType(kBodyAxis);
    ASSERT_EQ(bodies.size(), std::size(kBodyNameIds));
    for (std::size_t row = 0; row < bodies.size(); ++row) {
        EXPECT_EQ(bodies[row]->name, prefixed(kStringBodyPrefix, kBodyNameIds[row])) << "row " << row;
        if (row > 0) {
            const Node* orbit = bodies[row]->parent();
            EXPECT_EQ(orbit->typeId(), kOrbitAxis) << "row " << row;
            EXPECT_EQ(orbit->name, prefixed(kStringOrbitPrefix, kBodyNameIds[row])) << "row " << row;
            EXPECT_EQ(orbit->lastChild(), bodies[row]) << "the body is its orbit axis's last child";
        }
    }
    EXPECT_EQ(bodies[1]->name, text(kStringBodyPrefix) + "(" + text(10101) + ")");
    EXPECT_EQ(system->firstChild(), bodies[0]);
    EXPECT_EQ(system->lastChild(), bodies[0]) << "the Sun's body axis is the system's only child";

    // 38 orbit axes carry bodies; 7 more in band mode are ring bands.
    std::vector<std::string> bandOwners;
    const std::vector<Node*> orbits = objectsOfType(kOrbitAxis);
    for (const Node* orbit : orbits) {
        if (orbit->parameters.getInt32(kMode, 0) == kModeBand) {
            bandOwners.push_back(orbit->parent()->name);
        }
    }
    EXPECT_EQ(orbits.size(), 45u);
    const std::string uranus = prefixed(kStringBodyPrefix, 10136),
                      neptune = prefixed(kStringBodyPrefix, 10142);
    EXPECT_EQ(bandOwners,
              (std::vector<std::string>{uranus, neptune, neptune, neptune, neptune, neptune, neptune}));

    // Globes with their two plane tags on the 37 bodies that have one; guides
    // with their orbit and orbit plane tags on the 37 orbit axes that have them.
    EXPECT_EQ(objectsOfType(kRingTag).size(), 20u);
    EXPECT_EQ(objectsOfType(kOrbitPlaneSTag).size(), 37u);
    EXPECT_EQ(objectsOfType(kEquatPlaneTag).size(), 37u);
    EXPECT_EQ(objectsOfType(kOrbitTag).size(), 37u);
    EXPECT_EQ(objectsOfType(kOrbitPlaneTag).size(), 37u);

    // Saturn: planes and globe, its 12 rings in table order, then its 5 moons.
    std::vector<std::int32_t> saturnChildren;
    for (const Node* child = bodyAxis(10118).firstChild(); child != nullptr; child = child->nextSibling()) {
        saturnChildren.push_back(child->typeId());
    }
    std::vector<std::int32_t> expected{kTypePlane, kTypePlane, kTypeSphere};
    expected.insert(expected.end(), 12, kTypeTube);
    expected.insert(expected.end(), 5, kOrbitAxis);
    EXPECT_EQ(saturnChildren, expected);
}

TEST_F(SolarSystemPreset, OrbitAxesAndBarycentresCarryTheirTableSettings) {
    ASSERT_TRUE(pressButton(*system, kBuildSolarSystem));

    // The Earth turns inside the Earth-Moon record on an orbit axis of mode 0
    // with all elements 0, epoch 0 and no guides.
    const Node& earthOrbit = *bodyAxis(10104).parent();
    EXPECT_EQ(earthOrbit.parameters.getInt32(kMode, 0), kModeOrientation);
    EXPECT_EQ(earthOrbit.parameters.getFloat(kOrbitEpoch, -1.0), 0.0);
    EXPECT_EQ(textToNumber(earthOrbit.parameters.getString(kA)), 0.0);
    EXPECT_EQ(earthOrbit.firstChild(), earthOrbit.lastChild()) << "only the Earth's body axis, no guides";

    // The barycentres have no globe; the Earth-Moon one scales its satellites.
    const Node& earthMoon = bodyAxis(10103);
    EXPECT_EQ(earthMoon.parameters.getFloat(kSatelliteScale, 0.0), 20.0);
    EXPECT_EQ(earthMoon.parameters.getInt32(kRotationMode, 0), kModeSolarDay);
    for (const std::int32_t barycentre : {10103, 10158}) {
        const Node& body = bodyAxis(barycentre);
        EXPECT_EQ(body.parameters.getLink(kGlobeLink), kNoNode);
        for (const Node* child = body.firstChild(); child != nullptr; child = child->nextSibling()) {
            EXPECT_EQ(child->typeId(), kOrbitAxis) << body.name;
        }
    }

    // Iapetus's orbit axis is hidden; every other one follows its parent.
    const Node* iapetusOrbit = bodyAxis(10135).parent();
    for (const Node* orbit : objectsOfType(kOrbitAxis)) {
        const std::int32_t code = orbit == iapetusOrbit ? HOST_DISPLAY_HIDDEN : HOST_DISPLAY_FOLLOW_PARENT;
        EXPECT_EQ(orbit->editorMode, code) << orbit->name;
        EXPECT_EQ(orbit->renderMode, code) << orbit->name;
    }
}

TEST_F(SolarSystemPreset, OnlyTheListedRingsAndTheSunsEquatorPlaneAreSwitched) {
    ASSERT_TRUE(pressButton(*system, kBuildSolarSystem));

    // Jupiter's four rings and Saturn's E and Phoebe rings are off.
    const std::vector<std::string> off{text(10110), text(10111), text(10112),
                                       text(10113), text(10129), text(10130)};
    std::vector<std::string> switchedOff;
    for (const Node* ring : objectsOfType(kRingTag)) {
        if (!ring->object()->enabled()) {
            switchedOff.push_back(ring->object()->name);
        }
    }
    EXPECT_EQ(switchedOff, off);
    for (const Node* orbit : objectsOfType(kOrbitAxis)) {
        EXPECT_TRUE(orbit->enabled()) << orbit->name;
    }

    // Of all the planes, only the Sun's equator plane is on.
    const Node* sunEquatorPlane = bodyAxis(10100).firstChild()->nextSibling();
    ASSERT_NE(sunEquatorPlane, nullptr);
    int planes = 0;
    for (const Node* plane : objectsOfType(kTypePlane)) {
        ++planes;
        EXPECT_EQ(plane->enabled(), plane == sunEquatorPlane) << document().pathOf(*plane);
    }
    EXPECT_EQ(planes, 2 * 37 + 37) << "two planes per globe and one per set of orbit guides";
}

// With the default body scale the Sun's globe (696000 km at globe scale 0.1)
// is drawn with radius c = 545.6138681248145; the camera goes to
// (8c, 4c, -8c) and keeps its rotation.
TEST_F(SolarSystemPreset, CameraFramesTheSunAndTheButtonIsGreyedOut) {
    EXPECT_TRUE(isParameterEnabled(*system, kBuildSolarSystem));
    const Vector rotation = document().camera()->relative.rotation;
    ASSERT_TRUE(pressButton(*system, kBuildSolarSystem));

    const Node& camera = *document().camera();
    EXPECT_DOUBLE_EQ(camera.relative.position.x, 4364.910944998516);
    EXPECT_DOUBLE_EQ(camera.relative.position.y, 2182.455472499258);
    EXPECT_DOUBLE_EQ(camera.relative.position.z, -4364.910944998516);
    EXPECT_EQ(camera.relative.rotation, rotation);
    EXPECT_FALSE(isParameterEnabled(*system, kBuildSolarSystem));
}

// The n-th object the host creates fails: the button answers false, every
// object made before stays in the tree (each construction appends what it
// makes at once), and the steps after the tree (the Sun's plane, the camera)
// are not taken.
TEST_F(SolarSystemPreset, FailurePartWayAnswersFalseAndKeepsWhatWasBuilt) {
    for (const std::int64_t failingCall : {1, 2, 5, 57, 300}) {
        SCOPED_TRACE("CreateObject call " + std::to_string(failingCall));
        application().newDocument();
        system = &add(kSystem);
        const Vector cameraPosition = document().camera()->relative.position;

        application().faults().clear();
        application().faults().failCall("CreateObject", failingCall);
        EXPECT_FALSE(pressButton(*system, kBuildSolarSystem));
        application().faults().clear();

        int built = 0;
        document().forEachObject([&](Node& node) { built += node.isWithin(*system) && &node != system; });
        EXPECT_EQ(built, failingCall - 1);
        EXPECT_LT(objectsOfType(kBodyAxis).size(), std::size(kBodyNameIds));
        EXPECT_EQ(document().camera()->relative.position, cameraPosition);
        for (const Node* plane : objectsOfType(kTypePlane)) {
            EXPECT_FALSE(plane->enabled()) << document().pathOf(*plane);
        }
    }
}

// ---- Where the planets are ------------------------------------------------

// Standish's approximate elements for 1800-2050 (E. M. Standish, "Keplerian
// Elements for Approximate Positions of the Major Planets", JPL, table 1):
// a (au), e, I, L, varpi, Omega (degrees) and their rates per Julian century.
struct Elements {
    double a, aRate, e, eRate, inclination, inclinationRate, meanLongitude, meanLongitudeRate;
    double perihelion, perihelionRate, node, nodeRate;
};
constexpr Elements kMars{1.52371034,  1.847e-05,      0.0933941,    7.882e-05,  1.84969142,  -0.00813131,
                         -4.55343205, 19140.30268499, -23.94362959, 0.44441088, 49.55953891, -0.29257343};
constexpr Elements kJupiter{5.202887,    -0.00011607,   0.04838624,  -0.00013253, 1.30439695,   -0.00183714,
                            34.39644051, 3034.74612775, 14.72847983, 0.21252668,  100.47390909, 0.20469106};
constexpr Elements kNeptune{30.06992276,  0.00026291,   0.00859048,  5.105e-05,   1.77004347,   0.00035372,
                            -55.12002969, 218.45945325, 44.96476227, -0.32241464, 131.78422574, -0.00508664};

// Heliocentric ecliptic position (au, J2000 ecliptic and equinox) by the
// formulae of the same paper: Kepler's equation by Newton's method to 1e-15
// rad, the orbit-plane coordinates turned by omega, I and Omega.
Vector standishPositionAu(const Elements& el, double julianDate) {
    constexpr double kRad = 3.141592653589793 / 180.0;
    const double t = (julianDate - kJ2000) / 36525.0;
    const double a = el.a + el.aRate * t;
    const double e = el.e + el.eRate * t;
    const double inclination = (el.inclination + el.inclinationRate * t) * kRad;
    const double meanLongitude = el.meanLongitude + el.meanLongitudeRate * t;
    const double perihelion = el.perihelion + el.perihelionRate * t;
    const double node = (el.node + el.nodeRate * t) * kRad;
    const double argument = perihelion * kRad - node;
    const double meanAnomaly = std::remainder(meanLongitude - perihelion, 360.0) * kRad;
    double eccentric = meanAnomaly + e * std::sin(meanAnomaly);
    for (int step = 0; step < 50; ++step) {
        const double delta =
            (eccentric - e * std::sin(eccentric) - meanAnomaly) / (1.0 - e * std::cos(eccentric));
        eccentric -= delta;
        if (std::abs(delta) <= 1e-15) {
            break;
        }
    }
    const double xOrbit = a * (std::cos(eccentric) - e);
    const double yOrbit = a * std::sqrt(1.0 - e * e) * std::sin(eccentric);
    const double co = std::cos(argument), so = std::sin(argument);
    const double cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(inclination), si = std::sin(inclination);
    return {(co * cn - so * sn * ci) * xOrbit + (-so * cn - co * sn * ci) * yOrbit,
            (co * sn + so * cn * ci) * xOrbit + (-so * sn + co * cn * ci) * yOrbit,
            so * si * xOrbit + co * si * yOrbit};
}

double distanceKm(const Vector& a, const Vector& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z) * kKmPerAu;
}

TEST_F(SolarSystemPreset, PlanetsStandWhereTheirElementsPutThem) {
    ASSERT_TRUE(pressButton(*system, kBuildSolarSystem));
    struct Planet {
        std::int32_t nameId;
        const Elements& elements;
    };
    for (const double julianDate : {kJ2000, kJ2000 + 9131.25, kJ2000 - 36524.5}) {
        evaluateAt(julianDate);
        for (const Planet& planet :
             {Planet{10106, kMars}, Planet{10109, kJupiter}, Planet{10142, kNeptune}}) {
            const Vector expected = standishPositionAu(planet.elements, julianDate);
            const Vector got = heliocentricAu(planet.nameId);
            EXPECT_LT(distanceKm(got, expected), 1.0)
                << text(planet.nameId) << " at JD " << julianDate << ": got (" << got.x << ", " << got.y
                << ", " << got.z << ") au, want (" << expected.x << ", " << expected.y << ", " << expected.z
                << ")";
        }
    }
}

// Reference: the Earth's heliocentric position at 2000-01-01 12:00 TDB from
// JPL's Horizons system (DE ephemeris), ecliptic and equinox of J2000:
// (-0.1771352, 0.9672417, 0.0000000) au, that is 0.983327 au at longitude
// 100.378 degrees. The preset places the Earth-Moon barycentre, at most
// 4700 km from the Earth's centre; with the approximate elements' own error
// of well under an arcminute for it, one arcminute and 1e-4 au hold.
TEST_F(SolarSystemPreset, EarthMoonBarycentreAgainstHorizonsAtJ2000) {
    ASSERT_TRUE(pressButton(*system, kBuildSolarSystem));
    evaluateAt(kJ2000);

    const Vector got = heliocentricAu(10103);
    const double distanceAu = std::hypot(got.x, got.y, got.z);
    const double longitudeDeg = std::atan2(got.y, got.x) * 180.0 / 3.141592653589793;
    const double latitudeDeg = std::asin(got.z / distanceAu) * 180.0 / 3.141592653589793;
    EXPECT_NEAR(distanceAu, 0.983327, 1e-4);
    EXPECT_NEAR(longitudeDeg, 100.378, 1.0 / 60.0);
    EXPECT_NEAR(latitudeDeg, 0.0, 1.0 / 60.0);
    EXPECT_EQ(bodyAxis(10104).worldMatrix().off, bodyAxis(10103).worldMatrix().off)
        << "the Earth's orbit axis orients only; the Earth stays at the barycentre";
}

// ---- The main job ----------------------------------------------------------

std::string readFile(const fs::path& file) {
    std::ifstream in(file);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

TEST_F(SolarSystemPreset, MainJobPrintsThePlanetsAndSavesTheScene) {
    const fs::path folder = fs::temp_directory_path() / ("caelo-main-job-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string command =
        "cd '" + folder.string() + "' && '" CAELO_TEST_CAELO_EXE "' > stdout.txt 2> stderr.txt";
    const int status = std::system(command.c_str());
    const std::string out = readFile(folder / "stdout.txt");
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readFile(folder / "stderr.txt");

    for (const std::int32_t planet : {10101, 10102, 10103, 10106, 10109, 10118, 10136, 10142, 10158}) {
        // A planet's line carries its distance, longitude and latitude.
        const std::size_t line = out.find(prefixed(kStringBodyPrefix, planet) + " ");
        ASSERT_NE(line, std::string::npos) << text(planet) << " missing from:\n" << out;
        std::istringstream figures(out.substr(line + prefixed(kStringBodyPrefix, planet).size()));
        double distanceAu = 0.0, longitudeDeg = -1.0, latitudeDeg = 90.0;
        ASSERT_TRUE(figures >> distanceAu >> longitudeDeg >> latitudeDeg) << text(planet);
        EXPECT_GT(distanceAu, 0.3);
        EXPECT_LT(distanceAu, 50.0);
        EXPECT_GE(longitudeDeg, 0.0);
        EXPECT_LT(longitudeDeg, 360.0);
        EXPECT_LT(std::abs(latitudeDeg), 18.0);
    }
    const fs::path scene = folder / "caelo-out" / "solar-system.caelo";
    EXPECT_NE(out.find(fs::absolute(scene).string()), std::string::npos) << out;

    const Document& loaded = loadScene(application(), scene);
    int bodies = 0;
    loaded.forEachObject([&](Node& node) { bodies += node.typeId() == kBodyAxis; });
    EXPECT_EQ(bodies, 39);
    fs::remove_all(folder);
}

} // namespace
} // namespace caelo::host
