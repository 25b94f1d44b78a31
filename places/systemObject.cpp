#include "places/systemObject.h"

#include "host/services/dateService.h"
#include "model/systemScales.h"
#include "model/units.h"

#include <cmath>
#include <vector>

namespace caelo::places {

std::vector<host::Node*> systemsOf(const host::Document& document) {
    std::vector<host::Node*> systems;
    document.forEachObject([&systems](host::Node& node) {
        if (node.typeId() == kTypeCaeloSystem) {
            systems.push_back(&node);
        }
    });
    return systems;
}

const host::Node* firstSystem(const host::Document& document) {
    const std::vector<host::Node*> systems = systemsOf(document);
    return systems.empty() ? nullptr : systems.front();
}

const host::Node* governingSystem(const host::Node& node) {
    for (const host::Node* ancestor = node.parent(); ancestor != nullptr; ancestor = ancestor->parent()) {
        if (ancestor->typeId() == kTypeCaeloSystem) {
            return ancestor;
        }
    }
    return nullptr;
}

double sceneUnitsPerAu(const host::Node& system) {
    const double bodyScale = SystemBodyScale(sceneUnitsPerEarthDiameter(system));
    return SystemDistanceScale(bodyScale, system.parameters.getFloat(OCAELOSYSTEM_DISTANCE_FACTOR, 0.0));
}

double sceneUnitsPerKilometre(const host::Node& system) {
    return SystemBodyScale(sceneUnitsPerEarthDiameter(system)) * kCentimetresPerKilometre;
}

const host::Node* globeOf(const host::Document& document, const host::Node& body) {
    return document.findNode(body.parameters.getLink(OCAELOBODYAXIS_GLOBE_LINK));
}

const host::Node* firstGlobedBody(const host::Document& document, const host::Node& node) {
    if (node.typeId() == kTypeCaeloBodyAxis && globeOf(document, node) != nullptr) {
        return &node;
    }
    for (const host::Node* child = node.firstChild(); child != nullptr; child = child->nextSibling()) {
        if (const host::Node* found = firstGlobedBody(document, *child)) {
            return found;
        }
    }
    return nullptr;
}

double sceneUnitsPerEarthDiameter(const host::Node& system) {
    return system.parameters.getFloat(OCAELOSYSTEM_BODY_SCALE, 0.0);
}

double currentZoneOffsetDays() {
    const HostDateTime universal = host::currentDateTime();
    return host::dateTimeToDayNumber(host::universalToLocal(universal)) -
           host::dateTimeToDayNumber(universal);
}

std::optional<double> epochJulianDate(const host::Node& system, double zoneOffsetDays) {
    const auto epoch = system.parameters.getDateTime(OCAELOSYSTEM_EPOCH);
    if (!epoch) {
        return std::nullopt;
    }
    return host::dateTimeToDayNumber(*epoch) - kDayNumberToJulianDate - zoneOffsetDays;
}

std::optional<double> documentSecondsPerModelDay(const host::Node& system) {
    const double secondsPerDay = system.parameters.getFloat(OCAELOSYSTEM_TIME_SCALE, 0.0);
    if (!std::isfinite(secondsPerDay) || secondsPerDay <= 0.0) {
        return std::nullopt;
    }
    return secondsPerDay;
}

std::optional<double> modelJulianDate(const host::Document& document, const host::Node& system,
                                      double zoneOffsetDays) {
    const auto epoch = epochJulianDate(system, zoneOffsetDays);
    const auto secondsPerDay = documentSecondsPerModelDay(system);
    if (!epoch || !secondsPerDay) {
        return std::nullopt;
    }
    return *epoch + document.time.seconds() / *secondsPerDay;
}

std::optional<std::string> universalText(double julianDate) {
    const HostDateTime fields = host::dayNumberToDateTime(julianDate + kDayNumberToJulianDate);
    if (!host::isRepresentableDate(fields)) {
        return std::nullopt;
    }
    return host::formatDateTime(fields) + "Z";
}

} // namespace caelo::places
