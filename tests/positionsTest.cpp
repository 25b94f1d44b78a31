// `caelo positions` through the loaded module: the planets' heliocentric
// places against an independent evaluation of the same orbital elements, the
// JSON fields, CSV quoting and scenes without a system.
#include "app/positions.h"

#include "app/sceneSetup.h"
#include "host/messages.h"
#include "model/theoryPlaces.h"
#include "places/bodyPlaces.h"
#include "places/elementSpan.h"
#include "tests/moduleSceneTest.h"
#include "tests/testTimeZone.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace caelo::host {
namespace {

using namespace moduleTest;
using Json = nlohmann::ordered_json;

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kCentury = 36525.0;
constexpr double kOneKmAu = 1.0 / kKmPerAu;

// Keplerian elements and their rates per Julian century for 1800-2050, mean
// ecliptic and equinox of J2000: E. M. Standish, "Keplerian Elements for
// Approximate Positions of the Major Planets", JPL, table 1 (a in au, angles
// in degrees). The Earth's row is the Earth-Moon barycentre's; Pluto's stands
// for the Pluto-Charon barycentre.
struct Elements {
    const char* body;
    double a, aRate, e, eRate, i, iRate, l, lRate, perihelion, perihelionRate, node, nodeRate;
};
constexpr Elements kPlanets[] = {
    {"Mercury", 0.38709927, 0.00000037, 0.20563593, 0.00001906, 7.00497902, -0.00594749, 252.25032350,
     149472.67411175, 77.45779628, 0.16047689, 48.33076593, -0.12534081},
    {"Venus", 0.72333566, 0.00000390, 0.00677672, -0.00004107, 3.39467605, -0.00078890, 181.97909950,
     58517.81538729, 131.60246718, 0.00268329, 76.67984255, -0.27769418},
    {"Earth-Moon barycentre", 1.00000261, 0.00000562, 0.01671123, -0.00004392, -0.00001531, -0.01294668,
     100.46457166, 35999.37244981, 102.93768193, 0.32327364, 0.0, 0.0},
    {"Mars", 1.52371034, 0.00001847, 0.09339410, 0.00007882, 1.84969142, -0.00813131, -4.55343205,
     19140.30268499, -23.94362959, 0.44441088, 49.55953891, -0.29257343},
    {"Jupiter", 5.20288700, -0.00011607, 0.04838624, -0.00013253, 1.30439695, -0.00183714, 34.39644051,
     3034.74612775, 14.72847983, 0.21252668, 100.47390909, 0.20469106},
    {"Saturn", 9.53667594, -0.00125060, 0.05386179, -0.00050991, 2.48599187, 0.00193609, 49.95424423,
     1222.49362201, 92.59887831, -0.41897216, 113.66242448, -0.28867794},
    {"Uranus", 19.18916464, -0.00196176, 0.04725744, -0.00004397, 0.77263783, -0.00242939, 313.23810451,
     428.48202785, 170.95427630, 0.40805281, 74.01692503, 0.04240589},
    {"Neptune", 30.06992276, 0.00026291, 0.00859048, 0.00005105, 1.77004347, 0.00035372, -55.12002969,
     218.45945325, 44.96476227, -0.32241464, 131.78422574, -0.00508664},
    {"Pluto", 39.48211675, -0.00031596, 0.24882730, 0.00005170, 17.14001206, 0.00004818, 238.92903833,
     145.20780515, 224.06891629, -0.04062942, 110.30393684, -0.01183482},
};

// Heliocentric ecliptic coordinates (au) by the recipe of the same paper,
// section 2a (its equations 8.1 and 8.2 for the rotation), with Kepler's
// equation solved by bisection to the last bit.
Vector eclipticAu(const Elements& el, double julianDate) {
    const double t = (julianDate - kJ2000) / kCentury;
    const double a = el.a + el.aRate * t;
    const double e = el.e + el.eRate * t;
    const double inclination = (el.i + el.iRate * t) * kDegree;
    const double node = (el.node + el.nodeRate * t) * kDegree;
    const double perihelion = (el.perihelion + el.perihelionRate * t) * kDegree;
    const double argument = perihelion - node;
    const double meanAnomaly =
        std::remainder((el.l + el.lRate * t) * kDegree - perihelion, 2.0 * std::numbers::pi);
    double low = meanAnomaly - 1.0;
    double high = meanAnomaly + 1.0;
    for (int step = 0; step < 200; ++step) {
        const double mid = 0.5 * (low + high);
        (mid - e * std::sin(mid) < meanAnomaly ? low : high) = mid;
    }
    const double anomaly = 0.5 * (low + high);
    const double xp = a * (std::cos(anomaly) - e);
    const double yp = a * std::sqrt(1.0 - e * e) * std::sin(anomaly);
    const double cw = std::cos(argument), sw = std::sin(argument);
    const double cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(inclination), si = std::sin(inclination);
    return {(cw * cn - sw * sn * ci) * xp + (-sw * cn - cw * sn * ci) * yp,
            (cw * sn + sw * cn * ci) * xp + (-sw * sn + cw * cn * ci) * yp, sw * si * xp + cw * si * yp};
}

// Ecliptic coordinates (au) back from the figures `positions` reports.
Vector eclipticFromReport(const Json& body) {
    const double r = body["distanceAu"].get<double>();
    const double longitude = body["longitudeDeg"].get<double>() * kDegree;
    const double latitude = body["latitudeDeg"].get<double>() * kDegree;
    return {r * std::cos(latitude) * std::cos(longitude), r * std::cos(latitude) * std::sin(longitude),
            r * std::sin(latitude)};
}

class Positions : public ModuleSceneTest {
protected:
    test::TimeZone universalTime{"UTC0"};
};

// By default the preset's planets, the Earth-Moon and Pluto-Charon
// barycentres stand where their theories put them (theoryPlaces.h; the
// barycentres in the order of the theory choices), within a kilometre.
TEST_F(Positions, PlanetsStandWhereTheirTheoriesPutThem) {
    const app::OpenScene scene = app::openScene({.date = "2026-12-08T17:30:00Z"});
    const Json json = app::positionsToJson(scene.document, scene.zoneOffsetDays);
    std::int32_t theory = kTheoryMercury;
    for (const Json& body : json["bodies"]) {
        if (body["distanceAu"].is_null()) {
            continue;
        }
        const auto want = TheoryPlaceKm(theory++, 2461383.2291666665);
        ASSERT_TRUE(want);
        const Vector got = eclipticFromReport(body);
        EXPECT_LT(length(got * kKilometresPerAu - Vector{(*want)[0], (*want)[1], (*want)[2]}), 1.0)
            << body["name"];
    }
    EXPECT_EQ(theory, kTheoryPluto + 1);
}

TEST_F(Positions, PlanetsAgreeWithAnIndependentEvaluationOfTheirElements) {
    struct Case {
        const char* date;
        double julianDate; // computed independently of the tool's date reading
    };
    const Case cases[] = {
        {"2000-01-01T12:00:00Z", kJ2000},
        // 2026-12-08 17:30 UT is 9838.2291666 days after J2000.0.
        {"2026-12-08T18:30:00+01:00", 2461383.2291666665},
    };
    for (const Case& c : cases) {
        const app::OpenScene scene = app::openScene({.date = c.date, .places = "elements"});
        const Json json = app::positionsToJson(scene.document, scene.zoneOffsetDays);
        EXPECT_NEAR(json["modelJulianDate"].get<double>(), c.julianDate, 1e-6) << c.date;
        std::vector<Json> planets;
        for (const Json& body : json["bodies"]) {
            if (!body["distanceAu"].is_null()) {
                planets.push_back(body);
            }
        }
        ASSERT_EQ(planets.size(), std::size(kPlanets)) << c.date;
        for (std::size_t i = 0; i < planets.size(); ++i) {
            const Vector want = eclipticAu(kPlanets[i], c.julianDate);
            const Vector got = eclipticFromReport(planets[i]);
            EXPECT_NEAR(got.x, want.x, kOneKmAu) << kPlanets[i].body << " at " << c.date;
            EXPECT_NEAR(got.y, want.y, kOneKmAu) << kPlanets[i].body << " at " << c.date;
            EXPECT_NEAR(got.z, want.z, kOneKmAu) << kPlanets[i].body << " at " << c.date;
        }
    }
}

TEST_F(Positions, JsonGivesTheSystemFiguresAndEveryBodyAxis) {
    const app::OpenScene scene = app::openScene({.date = "2000-01-01T12:00:00Z"});
    const Json json = app::positionsToJson(scene.document, scene.zoneOffsetDays);
    EXPECT_EQ(json["system"], "/0");
    EXPECT_EQ(json["systemName"], "Solar system");
    EXPECT_EQ(json["epoch"], "2000-01-01T12:00:00Z");
    EXPECT_EQ(json["modelDate"], "2000-01-01T12:00:00Z");
    EXPECT_EQ(json["timeScaleSecondsPerDay"], 0.1);
    EXPECT_DOUBLE_EQ(json["distanceScaleUnitsPerAu"].get<double>(), 2345.4791062029553);
    EXPECT_EQ(json["bodyScaleUnitsPerEarthDiameter"], 100.0);

    // Every body axis in tree order, with the world position of its node.
    std::vector<const Node*> bodies;
    scene.document.forEachObject([&bodies](Node& node) {
        if (node.typeId() == kBodyAxis) {
            bodies.push_back(&node);
        }
    });
    ASSERT_EQ(json["bodies"].size(), bodies.size());
    EXPECT_EQ(bodies.size(), 39u) << "the Sun, 8 planets, Pluto, 27 moons and 2 barycentres";
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const Json& body = json["bodies"][i];
        EXPECT_EQ(body["path"], scene.document.pathOf(*bodies[i]));
        EXPECT_EQ(body["name"], bodies[i]->name);
        const Vector world = bodies[i]->worldMatrix().off;
        EXPECT_EQ(body["position"], Json::array({world.x, world.y, world.z}));
    }
    // The Sun itself and the moons have no heliocentric figures.
    EXPECT_TRUE(json["bodies"][0]["distanceAu"].is_null());
}

TEST_F(Positions, CsvQuotesNamesAndLeavesMissingFiguresEmpty) {
    EXPECT_EQ(app::csvField("Io"), "Io");
    EXPECT_EQ(app::csvField("Io, Europa"), "\"Io, Europa\"");
    EXPECT_EQ(app::csvField("the \"Moon\""), "\"the \"\"Moon\"\"\"");
    EXPECT_EQ(app::csvField("two\nlines"), "\"two\nlines\"");

    Node& system = addSystem();
    Node& sun = add(kBodyAxis, &system);
    sun.name = "Sun, \"ours\"";
    add(kBodyAxis, &add(kOrbitAxis, &sun)).name = "Far";
    evaluateAt(kJ2000);
    std::ostringstream out;
    app::writePositions(document(), 0.0, app::PositionsFormat::Csv, out);
    const std::string header =
        "name,path,x,y,z,distance_au,longitude_deg,latitude_deg,geocentric_distance_au,geocentric_longitude_"
        "deg,"
        "geocentric_latitude_deg,elongation_deg,phase_angle_deg,illuminated_fraction,position_angle_deg,"
        "ring_opening_earth_deg,ring_opening_sun_deg\n";
    EXPECT_EQ(out.str().rfind(header + "\"Sun, \"\"ours\"\"\",/0/0,0,0,0,,,,,,,,,,,,\n", 0), 0u) << out.str();
    EXPECT_NE(out.str().find("\nFar,/0/0/0/0,"), std::string::npos) << out.str();
}

// Geometry whose answers are known: the Earth at 1 au on the x axis, the Sun
// at the origin (ecliptic, au).
TEST_F(Positions, SkyPlacesOfKnownGeometry) {
    const Vector earth{1.0, 0.0, 0.0}, sun{0.0, 0.0, 0.0};
    struct Case {
        const char* what;
        Vector body;
        std::optional<Vector> primary;
        double elongationDeg, phaseAngleDeg, illuminated;
        std::optional<double> positionAngleDeg;
    };
    const Case cases[] = {
        {"full, opposite the Sun", {2.0, 0.0, 0.0}, std::nullopt, 180.0, 0.0, 1.0, std::nullopt},
        {"new, between", {0.5, 0.0, 0.0}, std::nullopt, 0.0, 180.0, 0.0, std::nullopt},
        {"quarter", {0.5, 0.5, 0.0}, std::nullopt, 45.0, 90.0, 0.5, std::nullopt},
        // Moons of a planet seen at the vernal equinox, where the ecliptic
        // crosses the equator with its north 23.44 degrees west of celestial
        // north: one towards the ecliptic pole, one along the ecliptic.
        {"moon towards the ecliptic pole",
         {2.0, 0.0, 0.01},
         Vector{2.0, 0.0, 0.0},
         180.0,
         0.0,
         1.0,
         336.560708889},
        {"moon along the ecliptic", {2.0, 0.01, 0.0}, Vector{2.0, 0.0, 0.0}, 180.0, 0.0, 1.0, 66.560708889},
    };
    for (const Case& c : cases) {
        const auto place = places::skyPlaceOf(c.body, earth, sun, c.primary, std::nullopt);
        ASSERT_TRUE(place) << c.what;
        EXPECT_NEAR(place->elongationDeg, c.elongationDeg, 0.6) << c.what;
        EXPECT_NEAR(place->phaseAngleDeg, c.phaseAngleDeg, 0.6) << c.what;
        EXPECT_NEAR(place->illuminatedFraction, c.illuminated, 1e-3) << c.what;
        ASSERT_EQ(place->positionAngleDeg.has_value(), c.positionAngleDeg.has_value()) << c.what;
        if (c.positionAngleDeg) {
            EXPECT_NEAR(*place->positionAngleDeg, *c.positionAngleDeg, 1e-6) << c.what;
        }
    }
    EXPECT_FALSE(places::skyPlaceOf(earth, earth, sun, std::nullopt, std::nullopt))
        << "the Earth from itself";
}

// The preset's orbit axes hold from 1800-01-01 to 2050-01-01; ring bands
// state no span.
TEST_F(Positions, WarnsOnlyOutsideTheElementsSpan) {
    ASSERT_TRUE(pressButton(addSystem(), kBuildSolarSystem));
    const double year2100 = 2488069.5, year2026 = 2461041.5, year2051 = 2470172.5;
    EXPECT_FALSE(places::elementSpanWarning(document(), year2026, year2026));
    EXPECT_EQ(
        places::elementSpanWarning(document(), year2100, year2100),
        "the model date 2100-01-01 lies outside 1800-01-01 to 2050-01-01, the span in which the elements of "
        "38 orbit axes hold; their bodies' places there are extrapolated");
    const auto reaching = places::elementSpanWarning(document(), year2026, year2051);
    ASSERT_TRUE(reaching);
    EXPECT_EQ(
        reaching->rfind("the model dates 2026-01-01 to 2051-01-01 reach outside 1800-01-01 to 2050-01-01", 0),
        0u)
        << *reaching;
}

TEST_F(Positions, SceneWithoutSystemListsBodiesWithoutHeliocentricFigures) {
    add(kBodyAxis, &add(kTypeNull)).name = "Lone";
    evaluateDocument(document());
    const Json json = app::positionsToJson(document(), 0.0);
    EXPECT_TRUE(json["system"].is_null());
    EXPECT_TRUE(json["modelJulianDate"].is_null());
    ASSERT_EQ(json["bodies"].size(), 1u);
    EXPECT_EQ(json["bodies"][0]["path"], "/0/0");
    EXPECT_TRUE(json["bodies"][0]["distanceAu"].is_null());

    std::ostringstream table;
    app::writePositions(document(), 0.0, app::PositionsFormat::Table, table);
    EXPECT_EQ(table.str().rfind("The document holds no system object: no heliocentric places.", 0), 0u);
    EXPECT_NE(table.str().find("Lone"), std::string::npos);
}

} // namespace
} // namespace caelo::host
