#include "app/positions.h"

#include "app/eclipseList.h"
#include "host/application.h"
#include "host/services/dateService.h"
#include "host/services/displayText.h"
#include "host/services/numberText.h"
#include "model/units.h"
#include "places/bodyPlaces.h"
#include "places/deltaT.h"
#include "places/systemObject.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace caelo::app {

using places::BodyPlace;
using places::SkyPlace;

namespace {

using Json = nlohmann::ordered_json;

// Table layout: number columns and their decimals.
constexpr int kNumberColumn = 16;
constexpr int kSceneDecimals = 4;
constexpr int kAuDecimals = 6;
constexpr int kDegreeDecimals = 4;
constexpr int kJulianDateDecimals = 6;
constexpr std::size_t kColumnGap = 2;
constexpr std::size_t kIndentPerDepth = 2;

Json number(double value) {
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

// ------------------------------------------------- what the Earth sees

// One figure of a body as seen from the Earth, in every format.
struct SkyField {
    const char* csvName;
    const char* jsonName;
    const char* heading; // of the table's column
    int decimals;        // in the table
    std::optional<double> (*value)(const SkyPlace&);
};

constexpr int kSkyColumn = 13;

const SkyField kSkyFields[] = {
    {"geocentric_distance_au", "geocentricDistanceAu", "distance (au)", 6,
     [](const SkyPlace& p) { return std::optional(p.distanceAu); }},
    {"geocentric_longitude_deg", "geocentricLongitudeDeg", "longitude", 4,
     [](const SkyPlace& p) { return std::optional(p.longitudeDeg); }},
    {"geocentric_latitude_deg", "geocentricLatitudeDeg", "latitude", 4,
     [](const SkyPlace& p) { return std::optional(p.latitudeDeg); }},
    {"elongation_deg", "elongationDeg", "elongation", 2,
     [](const SkyPlace& p) { return std::optional(p.elongationDeg); }},
    {"phase_angle_deg", "phaseAngleDeg", "phase angle", 2,
     [](const SkyPlace& p) { return std::optional(p.phaseAngleDeg); }},
    {"illuminated_fraction", "illuminatedFraction", "illuminated", 4,
     [](const SkyPlace& p) { return std::optional(p.illuminatedFraction); }},
    {"position_angle_deg", "positionAngleDeg", "pos. angle", 2,
     [](const SkyPlace& p) { return p.positionAngleDeg; }},
    {"ring_opening_earth_deg", "ringOpeningFromEarthDeg", "rings/Earth", 3,
     [](const SkyPlace& p) { return p.ringOpeningFromEarthDeg; }},
    {"ring_opening_sun_deg", "ringOpeningFromSunDeg", "rings/Sun", 3,
     [](const SkyPlace& p) { return p.ringOpeningFromSunDeg; }},
};

std::optional<double> skyValue(const BodyPlace& place, const SkyField& field) {
    return place.fromEarth ? field.value(*place.fromEarth) : std::nullopt;
}

Json optionalDate(std::optional<double> julianDate) {
    const std::optional<std::string> text = julianDate ? places::universalText(*julianDate) : std::nullopt;
    return text ? Json(*text) : Json(nullptr);
}

Json systemJson(const host::Document& document, const host::Node* system, double zoneOffsetDays) {
    if (system == nullptr) {
        return Json{{"system", nullptr},
                    {"systemName", nullptr},
                    {"epoch", nullptr},
                    {"modelDate", nullptr},
                    {"modelJulianDate", nullptr},
                    {"timeScaleSecondsPerDay", nullptr},
                    {"distanceScaleUnitsPerAu", nullptr},
                    {"bodyScaleUnitsPerEarthDiameter", nullptr},
                    {"deltaTSeconds", nullptr},
                    {"eclipse", nullptr}};
    }
    const auto julianDate = places::modelJulianDate(document, *system, zoneOffsetDays);
    return Json{{"system", document.pathOf(*system)},
                {"systemName", system->name},
                {"epoch", optionalDate(places::epochJulianDate(*system, zoneOffsetDays))},
                {"modelDate", optionalDate(julianDate)},
                {"modelJulianDate", julianDate ? number(*julianDate) : Json(nullptr)},
                {"timeScaleSecondsPerDay", number(system->parameters.getFloat(OCAELOSYSTEM_TIME_SCALE, 0.0))},
                {"distanceScaleUnitsPerAu", number(places::sceneUnitsPerAu(*system))},
                {"bodyScaleUnitsPerEarthDiameter", number(places::sceneUnitsPerEarthDiameter(*system))},
                {"deltaTSeconds", julianDate ? number(places::deltaTSecondsAt(*julianDate)) : Json(nullptr)},
                {"eclipse", julianDate ? eclipseSummaryJson(eclipseUnderWay(*julianDate)) : Json(nullptr)}};
}

Json bodyJson(const host::Document& document, const BodyPlace& place) {
    const host::Vector& at = place.worldPosition;
    const auto& helio = place.heliocentric;
    Json body{{"name", place.body->name},
              {"path", document.pathOf(*place.body)},
              {"position", Json::array({number(at.x), number(at.y), number(at.z)})},
              {"distanceAu", helio ? number(helio->distanceAu) : Json(nullptr)},
              {"longitudeDeg", helio ? number(helio->longitudeDeg) : Json(nullptr)},
              {"latitudeDeg", helio ? number(helio->latitudeDeg) : Json(nullptr)}};
    for (const SkyField& field : kSkyFields) {
        const auto value = skyValue(place, field);
        body[field.jsonName] = value ? number(*value) : Json(nullptr);
    }
    return body;
}

// ------------------------------------------------------------------ CSV

std::string csvNumber(double value) {
    return std::isfinite(value) ? host::formatDouble(value) : std::string();
}

void writeCsv(const host::Document& document, std::ostream& out) {
    out << "name,path,x,y,z,distance_au,longitude_deg,latitude_deg";
    for (const SkyField& field : kSkyFields) {
        out << ',' << field.csvName;
    }
    out << '\n';
    for (const BodyPlace& place : places::bodyPlaces(document, host::application().strings())) {
        const host::Vector& at = place.worldPosition;
        out << csvField(host::escapedText(place.body->name)) << ',' << csvField(document.pathOf(*place.body))
            << ',' << csvNumber(at.x) << ',' << csvNumber(at.y) << ',' << csvNumber(at.z);
        if (const auto& helio = place.heliocentric) {
            out << ',' << csvNumber(helio->distanceAu) << ',' << csvNumber(helio->longitudeDeg) << ','
                << csvNumber(helio->latitudeDeg);
        } else {
            out << ",,,";
        }
        for (const SkyField& field : kSkyFields) {
            const auto value = skyValue(place, field);
            out << ',' << (value ? csvNumber(*value) : std::string());
        }
        out << '\n';
    }
}

// ---------------------------------------------------------------- table

std::string fixedText(double value, int decimals) {
    if (!std::isfinite(value)) {
        return "-";
    }
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    std::string written = text.str();
    // A value that rounds to zero is written without a sign ("-0.0000" reads as a fault).
    if (written.front() == '-' && written.find_first_not_of("-0.") == std::string::npos) {
        written.erase(0, 1);
    }
    return written;
}

void writeTableHeading(const host::Document& document, const host::Node* system, double zoneOffsetDays,
                       std::ostream& out) {
    if (system == nullptr) {
        out << "The document holds no system object: no heliocentric places.\n\n";
        return;
    }
    out << "System \"" << host::escapedText(system->name) << "\" (" << document.pathOf(*system) << ")\n";
    if (const auto julianDate = places::modelJulianDate(document, *system, zoneOffsetDays)) {
        out << "  model date          "
            << places::universalText(*julianDate).value_or(std::string(host::kNoDateText)) << '\n'
            << "  model Julian Date   " << fixedText(*julianDate, kJulianDateDecimals) << " (UT)\n";
        out << "  Delta T             " << fixedText(places::deltaTSecondsAt(*julianDate), 1)
            << " s (TT - UT, Espenak and Meeus)\n";
        if (const auto eclipse = eclipseUnderWay(*julianDate)) {
            out << "  eclipse             " << eclipseSentence(*eclipse) << " (under way)\n";
        }
    }
    out << "  distance scale      1 au is " << host::formatDouble(places::sceneUnitsPerAu(*system))
        << " scene units\n"
        << "  body scale          the Earth's diameter is "
        << host::formatDouble(places::sceneUnitsPerEarthDiameter(*system)) << " scene units\n\n";
}

// The bodies as seen from the Earth, when the document has an Earth.
void writeSkyTable(const std::vector<BodyPlace>& places, const std::vector<std::string>& names,
                   std::size_t nameWidth, std::ostream& table) {
    if (std::none_of(places.begin(), places.end(),
                     [](const BodyPlace& p) { return p.fromEarth.has_value(); })) {
        return;
    }
    table
        << "\nSeen from the Earth (geometric; ecliptic of J2000; angles in degrees; position angle of a moon"
           " around its planet from north through east; rings open to the Earth and to the Sun):\n"
        << std::left << std::setw(static_cast<int>(nameWidth)) << "body" << std::right;
    for (const SkyField& field : kSkyFields) {
        table << std::setw(kSkyColumn) << field.heading;
    }
    table << '\n';
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (!places[i].fromEarth) {
            continue;
        }
        table << std::left << std::setw(static_cast<int>(nameWidth)) << names[i] << std::right;
        for (const SkyField& field : kSkyFields) {
            const auto value = skyValue(places[i], field);
            table << std::setw(kSkyColumn) << (value ? fixedText(*value, field.decimals) : std::string("-"));
        }
        table << '\n';
    }
}

void writeTable(const host::Document& document, double zoneOffsetDays, std::ostream& out) {
    const std::vector<BodyPlace> places = places::bodyPlaces(document, host::application().strings());
    std::vector<std::string> names;
    std::vector<std::string> paths;
    std::size_t nameWidth = std::string("body").size();
    std::size_t pathWidth = std::string("path").size();
    for (const BodyPlace& place : places) {
        names.push_back(std::string(kIndentPerDepth * static_cast<std::size_t>(place.depth), ' ') +
                        host::escapedText(place.body->name));
        paths.push_back(document.pathOf(*place.body));
        nameWidth = std::max(nameWidth, names.back().size());
        pathWidth = std::max(pathWidth, paths.back().size());
    }
    nameWidth += kColumnGap;
    pathWidth += kColumnGap;

    std::ostringstream table;
    writeTableHeading(document, places::firstSystem(document), zoneOffsetDays, table);
    table << std::left << std::setw(static_cast<int>(nameWidth)) << "body"
          << std::setw(static_cast<int>(pathWidth)) << "path" << std::right;
    for (const char* heading :
         {"x (scene)", "y (scene)", "z (scene)", "distance (au)", "longitude (deg)", "latitude (deg)"}) {
        table << std::setw(kNumberColumn) << heading;
    }
    table << '\n';
    for (std::size_t i = 0; i < places.size(); ++i) {
        const host::Vector& at = places[i].worldPosition;
        table << std::left << std::setw(static_cast<int>(nameWidth)) << names[i]
              << std::setw(static_cast<int>(pathWidth)) << paths[i] << std::right;
        for (const double coordinate : {at.x, at.y, at.z}) {
            table << std::setw(kNumberColumn) << fixedText(coordinate, kSceneDecimals);
        }
        if (const auto& helio = places[i].heliocentric) {
            table << std::setw(kNumberColumn) << fixedText(helio->distanceAu, kAuDecimals)
                  << std::setw(kNumberColumn) << fixedText(helio->longitudeDeg, kDegreeDecimals)
                  << std::setw(kNumberColumn) << fixedText(helio->latitudeDeg, kDegreeDecimals);
        }
        table << '\n';
    }
    if (places.empty()) {
        table << "(no body axes)\n";
    }
    writeSkyTable(places, names, nameWidth, table);
    out << table.str();
}

} // namespace

std::optional<PositionsFormat> positionsFormatNamed(std::string_view name) {
    if (name == "table") {
        return PositionsFormat::Table;
    }
    if (name == "csv") {
        return PositionsFormat::Csv;
    }
    if (name == "json") {
        return PositionsFormat::Json;
    }
    return std::nullopt;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

Json positionsToJson(const host::Document& document, double zoneOffsetDays) {
    Json json = systemJson(document, places::firstSystem(document), zoneOffsetDays);
    Json bodies = Json::array();
    for (const BodyPlace& place : places::bodyPlaces(document, host::application().strings())) {
        bodies.push_back(bodyJson(document, place));
    }
    json["bodies"] = std::move(bodies);
    return json;
}

void writePositions(const host::Document& document, double zoneOffsetDays, PositionsFormat format,
                    std::ostream& out) {
    switch (format) {
    case PositionsFormat::Table:
        writeTable(document, zoneOffsetDays, out);
        break;
    case PositionsFormat::Csv:
        writeCsv(document, out);
        break;
    case PositionsFormat::Json:
        out << positionsToJson(document, zoneOffsetDays).dump(2, ' ', false, Json::error_handler_t::replace)
            << '\n';
        break;
    }
}

} // namespace caelo::app
