#include "systemObject.h"

#include "dateService.h"
#include "timeUnits.h"

#include <cmath>
#include <vector>

namespace caelo::app {
namespace {

constexpr double kEarthDiameterCentimetres = 1275627400.0;
constexpr double kCentimetresPerAu = 149597870700.0 * 100.0;
constexpr double kCentimetresPerKilometre = 100000.0;

} // namespace

std::vector<host::Node*> systemsOf(const host::Document& document) {
    std::vector<host::Node*> systems;
    document.forEachObject([&systems](host::Node& node) {
        if (node.typeId() == kTypeSystem) {
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
        if (ancestor->typeId() == kTypeSystem) {
            return ancestor;
        }
    }
    return nullptr;
}

double sceneUnitsPerAu(const host::Node& system) {
    const double bodySize = system.parameters.getFloat(kSystemBodyScale, 0.0);
    const double distanceFactor = system.parameters.getFloat(kSystemDistanceFactor, 0.0);
    return kCentimetresPerAu * (bodySize / kEarthDiameterCentimetres) * distanceFactor;
}

double sceneUnitsPerKilometre(const host::Node& system) {
    return sceneUnitsPerEarthDiameter(system) / kEarthDiameterCentimetres * kCentimetresPerKilometre;
}

const host::Node* globeOf(const host::Document& document, const host::Node& body) {
    return document.findNode(body.parameters.getLink(kBodyGlobeLink));
}

const host::Node* firstGlobedBody(const host::Document& document, const host::Node& node) {
    if (node.typeId() == kTypeBodyAxis && globeOf(document, node) != nullptr) {
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
    return system.parameters.getFloat(kSystemBodyScale, 0.0);
}

double currentZoneOffsetDays() {
    const HostDateTime universal = host::currentDateTime();
    return host::dateTimeToDayNumber(host::universalToLocal(universal)) -
           host::dateTimeToDayNumber(universal);
}

std::optional<double> epochJulianDate(const host::Node& system, double zoneOffsetDays) {
    const auto epoch = system.parameters.getDateTime(kSystemEpoch);
    if (!epoch) {
        return std::nullopt;
    }
    return host::dateTimeToDayNumber(*epoch) - kDayNumberMinusJulianDate - zoneOffsetDays;
}

std::optional<double> documentSecondsPerModelDay(const host::Node& system) {
    const double secondsPerDay = system.parameters.getFloat(kSystemTimeScale, 0.0);
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
    const HostDateTime fields = host::dayNumberToDateTime(julianDate + kDayNumberMinusJulianDate);
    if (!host::isRepresentableDate(fields)) {
        return std::nullopt;
    }
    return host::formatDateTime(fields) + "Z";
}

} // namespace caelo::app
