#include "mainJob.h"

#include "application.h"
#include "dateService.h"
#include "description.h"
#include "evaluation.h"
#include "messages.h"
#include "numberText.h"
#include "sceneDump.h"
#include "sceneEditing.h"
#include "sceneFile.h"

#include <cstdint>
#include <optional>
#include <string>

namespace caelo::app {
namespace {

// Node types and parameter ids the job uses.
constexpr std::int32_t kTypeSystem = 1032493;
constexpr std::int32_t kTypeOrbitAxis = 1032494;
constexpr std::int32_t kTypeBodyAxis = 1032495;

constexpr std::int32_t kSystemTimeScale = 1000;      // document seconds per model day
constexpr std::int32_t kSystemBodyScale = 1001;      // scene units per Earth diameter
constexpr std::int32_t kSystemDistanceFactor = 1002; // distances drawn smaller than at body scale
constexpr std::int32_t kSystemEpoch = 1003;          // local time
constexpr std::int32_t kSystemCurrentDate = 1004;    // local time

constexpr std::int32_t kOrbitMode = 1000;
constexpr std::int32_t kOrbitModeElements = 1201;
constexpr std::int32_t kOrbitEpoch = 1001; // Julian Date
constexpr std::int32_t kBodyRotationMode = 1007;
constexpr std::int32_t kBodyRotationByPeriod = 1200;
constexpr std::int32_t kBodyGlobeLink = 1011;

constexpr double kJ2000JulianDate = 2451545.0;
constexpr double kEarthDiameterCentimetres = 1275627400.0;
constexpr double kCentimetresPerAu = 149597870700.0 * 100.0;
constexpr double kDayNumberMinusJulianDate = 0.5;

struct NumberTextSetting {
    std::int32_t id;
    double value;
};

// The Earth-Moon barycentre's elements at J2000 (a in au, angles in degrees,
// rates per Julian century): E. M. Standish, "Keplerian Elements for
// Approximate Positions of the Major Planets", JPL, table 1 (1800 AD - 2050 AD).
constexpr NumberTextSetting kBarycentreElements[] = {
    {1003, 1.00000261},   {1004, 5.62e-06},    {1005, 0.01671123},   {1006, -4.392e-05},
    {1007, -1.531e-05},   {1008, -0.01294668}, {1009, 100.46457166}, {1010, 35999.37244981},
    {1011, 102.93768193}, {1012, 0.32327364},  {1013, 0.0},          {1014, 0.0},
};

// The Earth: equatorial and polar radius (km, WGS 84), obliquity at J2000
// (degrees, IAU 1976) and sidereal rotation period (days).
constexpr NumberTextSetting kEarthBody[] = {
    {1001, 6378.137}, {1002, 6356.752314}, {1003, 23.439279}, {1005, 0.99726968}};

bool declares(const host::Node& node, std::int32_t id) {
    const host::Description* description = node.description();
    return description && description->find(id);
}

// A user's edit, made only where the node's type declares the parameter: the
// orbit and body axes gain their parameters as the module grows.
void editIfDeclared(host::Node& node, std::int32_t id, const host::Value& value) {
    if (declares(node, id)) {
        host::editParameter(node, id, value);
    }
}

void editNumberTexts(host::Node& node, const auto& settings) {
    for (const NumberTextSetting& setting : settings) {
        editIfDeclared(node, setting.id, host::numberToText(setting.value, 1, 15, true, ' '));
    }
}

host::Node& addObject(host::Document& document, std::int32_t type, host::Node* parent, const char* name) {
    host::Node& node = host::createObject(type);
    host::appendChild(document, node, parent);
    node.name = name;
    return node;
}

// Local time minus universal time now, in days: the zone offset a system
// object takes when it is created.
double zoneOffsetDays() {
    const HostDateTime universal = host::currentDateTime();
    return host::dateTimeToDayNumber(host::universalToLocal(universal)) -
           host::dateTimeToDayNumber(universal);
}

std::string dateText(const host::Node& system, std::int32_t id) {
    const auto fields = system.parameters.getDateTime(id);
    return fields ? host::formatDateTime(*fields) : std::string("(not written)");
}

void writeSummary(const host::Document& document, const host::Node& system, std::ostream& out) {
    const host::Container& parameters = system.parameters;
    const double timeScale = parameters.getFloat(kSystemTimeScale, 0.0);
    const double bodySize = parameters.getFloat(kSystemBodyScale, 0.0);
    const double distanceFactor = parameters.getFloat(kSystemDistanceFactor, 0.0);
    const double sceneUnitsPerAu =
        kCentimetresPerAu * (bodySize / kEarthDiameterCentimetres) * distanceFactor;

    out << "A system with the Earth-Moon barycentre's orbit, evaluated at document time 0\n"
        << "  epoch (local time)        " << dateText(system, kSystemEpoch) << '\n'
        << "  model date (local time)   " << dateText(system, kSystemCurrentDate) << '\n';
    if (const auto current = parameters.getDateTime(kSystemCurrentDate)) {
        const double julianDate =
            host::dateTimeToDayNumber(*current) - kDayNumberMinusJulianDate - zoneOffsetDays();
        out << "  model Julian Date (UT)    " << host::numberToText(julianDate, 1, 6, false, ' ') << '\n';
    }
    out << "  time scale                " << host::formatDouble(timeScale)
        << " document seconds per model day\n"
        << "  body scale                the Earth's diameter is " << host::formatDouble(bodySize)
        << " scene units\n"
        << "  distance scale            1 au is " << host::formatDouble(sceneUnitsPerAu)
        << " scene units\n\n";
    writeReadableDump(document, out);
}

} // namespace

void runMainJob(std::ostream& out, const std::filesystem::path& outputFolder) {
    host::Document& document = host::application().newDocument();
    host::Node& system = addObject(document, kTypeSystem, nullptr, "Solar system");
    host::Node& orbit = addObject(document, kTypeOrbitAxis, &system, "Earth-Moon barycentre orbit");
    editIfDeclared(orbit, kOrbitMode, kOrbitModeElements);
    editIfDeclared(orbit, kOrbitEpoch, kJ2000JulianDate);
    editNumberTexts(orbit, kBarycentreElements);

    host::Node& body = addObject(document, kTypeBodyAxis, &orbit, "Earth");
    editNumberTexts(body, kEarthBody);
    editIfDeclared(body, kBodyRotationMode, kBodyRotationByPeriod);
    host::Node& globe = addObject(document, host::kTypeSphere, &body, "Earth globe");
    editIfDeclared(body, kBodyGlobeLink, host::Link{globe.id()});

    document.time = host::Rational{0, 1};
    host::evaluateDocument(document);
    writeSummary(document, system, out);

    std::filesystem::create_directories(outputFolder);
    const std::filesystem::path file = outputFolder / "solar-system.caelo";
    host::saveScene(document, file);
    out << "\nSaved the scene to " << std::filesystem::absolute(file).string() << '\n';
}

} // namespace caelo::app
