#include "mainJob.h"

#include "application.h"
#include "dateService.h"
#include "evaluation.h"
#include "hostError.h"
#include "messages.h"
#include "numberText.h"
#include "sceneEditing.h"
#include "sceneFile.h"

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace caelo::app {
namespace {

// Node types and parameter ids the job uses.
constexpr std::int32_t kTypeSystem = 1032493;
constexpr std::int32_t kTypeBodyAxis = 1032495;

constexpr std::int32_t kSystemTimeScale = 1000;      // document seconds per model day
constexpr std::int32_t kSystemBodyScale = 1001;      // scene units per Earth diameter
constexpr std::int32_t kSystemDistanceFactor = 1002; // distances drawn smaller than at body scale
constexpr std::int32_t kSystemEpoch = 1003;          // local time
constexpr std::int32_t kSystemCurrentDate = 1004;    // local time
constexpr std::int32_t kSystemBuildSolarSystem = 1101;

constexpr double kEarthDiameterCentimetres = 1275627400.0;
constexpr double kCentimetresPerAu = 149597870700.0 * 100.0;
constexpr double kDayNumberMinusJulianDate = 0.5;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// Column widths of the body table.
constexpr int kNameColumn = 40;
constexpr int kNumberColumn = 16;

// A body axis found below the system, with the number of body axes above it.
struct BodyEntry {
    const host::Node* node;
    int depth;
};

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

// Scene units per au, as the system derives them from its parameters.
double sceneUnitsPerAu(const host::Node& system) {
    const double bodySize = system.parameters.getFloat(kSystemBodyScale, 0.0);
    const double distanceFactor = system.parameters.getFloat(kSystemDistanceFactor, 0.0);
    return kCentimetresPerAu * (bodySize / kEarthDiameterCentimetres) * distanceFactor;
}

const host::Node* findSystem(const host::Document& document) {
    for (const host::Node* node = document.firstObject(); node != nullptr; node = node->nextSibling()) {
        if (node->typeId() == kTypeSystem) {
            return node;
        }
    }
    return nullptr;
}

// The body axes below `parent` in depth-first order.
void collectBodies(const host::Node& parent, int depth, std::vector<BodyEntry>& bodies) {
    for (const host::Node* child = parent.firstChild(); child != nullptr; child = child->nextSibling()) {
        const bool isBody = child->typeId() == kTypeBodyAxis;
        if (isBody) {
            bodies.push_back({child, depth});
        }
        collectBodies(*child, isBody ? depth + 1 : depth, bodies);
    }
}

void writeSystemHeader(const host::Node& system, std::ostream& out) {
    const host::Container& parameters = system.parameters;
    out << "  epoch (local time)        " << dateText(system, kSystemEpoch) << '\n'
        << "  model date (local time)   " << dateText(system, kSystemCurrentDate) << '\n';
    if (const auto current = parameters.getDateTime(kSystemCurrentDate)) {
        const double julianDate =
            host::dateTimeToDayNumber(*current) - kDayNumberMinusJulianDate - zoneOffsetDays();
        out << "  model Julian Date (UT)    " << host::numberToText(julianDate, 1, 6, false, ' ') << '\n';
    }
    out << "  time scale                " << host::formatDouble(parameters.getFloat(kSystemTimeScale, 0.0))
        << " document seconds per model day\n"
        << "  body scale                the Earth's diameter is "
        << host::formatDouble(parameters.getFloat(kSystemBodyScale, 0.0)) << " scene units\n"
        << "  distance scale            1 au is " << host::formatDouble(sceneUnitsPerAu(system))
        << " scene units\n";
}

// Distance (au), longitude and latitude (degrees) of a scene offset from the
// Sun. Scene Y is ecliptic north; longitude grows from +X towards +Z.
void writeHeliocentric(const host::Vector& offset, double unitsPerAu, std::ostream& out) {
    const double xAu = offset.x / unitsPerAu;
    const double northAu = offset.y / unitsPerAu;
    const double yAu = offset.z / unitsPerAu;
    const double distanceAu = std::sqrt(xAu * xAu + yAu * yAu + northAu * northAu);
    double longitudeDeg = std::atan2(yAu, xAu) * kDegreesPerRadian;
    if (longitudeDeg < 0.0) {
        longitudeDeg += 360.0;
    }
    const double latitudeDeg = std::atan2(northAu, std::hypot(xAu, yAu)) * kDegreesPerRadian;
    out << std::fixed << std::setprecision(6) << std::setw(kNumberColumn) << distanceAu
        << std::setprecision(4) << std::setw(kNumberColumn) << longitudeDeg << std::setw(kNumberColumn)
        << latitudeDeg;
}

void writeBodyTable(const std::vector<BodyEntry>& bodies, double unitsPerAu, std::ostream& out) {
    const host::Vector sun = bodies.front().node->worldMatrix().off;
    std::ostringstream table;
    table << std::left << std::setw(kNameColumn) << "  body" << std::right << std::setw(kNumberColumn)
          << "distance (au)" << std::setw(kNumberColumn) << "longitude (deg)" << std::setw(kNumberColumn)
          << "latitude (deg)" << '\n';
    for (const BodyEntry& body : bodies) {
        const std::string name = std::string(2 + 2 * body.depth, ' ') + body.node->name;
        if (body.depth != 1) {
            table << name << '\n';
            continue;
        }
        const host::Vector position = body.node->worldMatrix().off;
        table << std::left << std::setw(kNameColumn) << name << std::right;
        writeHeliocentric({position.x - sun.x, position.y - sun.y, position.z - sun.z}, unitsPerAu, table);
        table << '\n';
    }
    out << table.str();
}

} // namespace

void writeSolarSystemSummary(const host::Document& document, std::ostream& out) {
    const host::Node* system = findSystem(document);
    if (system == nullptr) {
        out << "The document holds no system object.\n";
        return;
    }
    std::vector<BodyEntry> bodies;
    collectBodies(*system, 0, bodies);
    out << "\"" << system->name << "\" with " << bodies.size() << " bodies\n";
    writeSystemHeader(*system, out);
    if (bodies.empty()) {
        return;
    }
    out << "\nHeliocentric places of the bodies that orbit the Sun (ecliptic, scene Y north):\n";
    writeBodyTable(bodies, sceneUnitsPerAu(*system), out);
}

void runMainJob(std::ostream& out, const std::filesystem::path& outputFolder) {
    host::Document& document = host::application().newDocument();
    host::Node& system = host::createObject(kTypeSystem);
    host::appendChild(document, system, nullptr);
    system.name = "Solar system";
    if (!host::pressButton(system, kSystemBuildSolarSystem)) {
        throw host::HostError("the system could not build the solar system (button 1101 answered false)");
    }

    document.time = host::Rational{0, 1};
    host::evaluateDocument(document);
    writeSolarSystemSummary(document, out);

    std::filesystem::create_directories(outputFolder);
    const std::filesystem::path file = outputFolder / "solar-system.caelo";
    host::saveScene(document, file);
    out << "\nSaved the scene to " << std::filesystem::absolute(file).string() << '\n';
}

} // namespace caelo::app
