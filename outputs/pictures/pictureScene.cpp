#include "outputs/pictures/pictureScene.h"

#include "host/services/hostError.h"
#include "host/services/matrix.h"
#include "host/services/numberText.h"
#include "outputs/pictures/sceneRenderShapes.h"
#include "places/systemObject.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace caelo::pictures {

using appearance::RgbColour;

namespace {

// A body without a globe of its own and without one below it.
constexpr RgbColour kDefaultBodyColour{0.78, 0.76, 0.72};

RgbColour globeColour(const host::Document& document, const host::Node* globe) {
    return globe != nullptr ? appearance::lookOf(document, *globe).colour : kDefaultBodyColour;
}

constexpr std::array<std::string_view, 12> kMonthNames{"January",   "February", "March",    "April",
                                                       "May",       "June",     "July",     "August",
                                                       "September", "October",  "November", "December"};

// The first body axis at or below the siblings from `first` on, in tree order.
const host::Node* firstBodyAxis(const host::Node* first) {
    for (const host::Node* node = first; node != nullptr; node = node->nextSibling()) {
        if (node->typeId() == kTypeCaeloBodyAxis) {
            return node;
        }
        if (const host::Node* below = firstBodyAxis(node->firstChild())) {
            return below;
        }
    }
    return nullptr;
}

// The body axes below `parent` whose nearest body axis above is `parent`'s.
void collectOrbitingAxes(const host::Node& parent, std::vector<const host::Node*>& axes) {
    for (const host::Node* child = parent.firstChild(); child != nullptr; child = child->nextSibling()) {
        if (child->typeId() == kTypeCaeloBodyAxis) {
            axes.push_back(child);
        } else {
            collectOrbitingAxes(*child, axes);
        }
    }
}

class HeliocentricFrame {
public:
    HeliocentricFrame(host::Vector centralWorld, double unitsPerAu)
        : central_(centralWorld), unitsPerAu_(unitsPerAu) {}

    // Scene world position to heliocentric ecliptic au.
    [[nodiscard]] host::Vector eclipticAu(host::Vector world) const {
        const host::Vector d = (world - central_) * (1.0 / unitsPerAu_);
        return {d.x, d.z, d.y};
    }

private:
    host::Vector central_;
    double unitsPerAu_;
};

std::vector<host::Vector> orbitOf(const host::Node& body, const HeliocentricFrame& frame, int samples) {
    const host::Node* orbitAxis = body.parent();
    if (orbitAxis == nullptr || orbitAxis->typeId() != kTypeCaeloOrbitAxis) {
        return {};
    }
    for (const host::Node* child = orbitAxis->firstChild(); child != nullptr; child = child->nextSibling()) {
        if (child->typeId() == host::kTypeCircleSpline) {
            const host::Matrix world = child->worldMatrix();
            std::vector<host::Vector> orbit;
            for (const host::Vector& p : circleSplineOutline(*child, samples)) {
                orbit.push_back(frame.eclipticAu(host::transformPoint(world, p)));
            }
            return orbit;
        }
    }
    return {};
}

OrbitingBody orbitingBody(const host::Document& document, const host::Node& body,
                          const HeliocentricFrame& frame, int orbitSamples) {
    OrbitingBody result;
    const host::Node* named = places::firstGlobedBody(document, body);
    result.label = named != nullptr ? places::globeOf(document, *named)->name : body.name;
    if (result.label.empty()) {
        result.label = body.name;
    }
    if (named != nullptr) {
        result.radiusKm =
            host::textToNumber(named->parameters.getString(OCAELOBODYAXIS_EQUATORIAL_RADIUS)).value_or(0.0);
    }
    result.placeAu = frame.eclipticAu(body.worldMatrix().off);
    result.orbitAu = orbitOf(body, frame, orbitSamples);
    result.colour = globeColour(document, named != nullptr ? places::globeOf(document, *named) : nullptr);
    return result;
}

} // namespace

OrbitingBodies readOrbitingBodies(const host::Document& document, int orbitSamples) {
    const host::Node* system = places::firstSystem(document);
    if (system == nullptr) {
        throw host::HostError("the document holds no system object (type 1032493) to chart");
    }
    const host::Node* central = firstBodyAxis(system->firstChild());
    if (central == nullptr) {
        throw host::HostError("the system \"" + system->name +
                              "\" holds no body axis (type 1032495) to chart");
    }
    const double unitsPerAu = places::sceneUnitsPerAu(*system);
    if (!std::isfinite(unitsPerAu) || unitsPerAu <= 0.0) {
        throw host::HostError("the system \"" + system->name +
                              "\" has no usable distance scale (its body scale and distance factor must be "
                              "positive)");
    }
    OrbitingBodies result;
    result.systemName = system->name;
    const host::Node* centralGlobe = places::globeOf(document, *central);
    result.centralLabel =
        centralGlobe != nullptr && !centralGlobe->name.empty() ? centralGlobe->name : central->name;
    result.centralColour = globeColour(document, centralGlobe);
    result.modelDate = system->parameters.getDateTime(OCAELOSYSTEM_CURRENT_DATE);

    const HeliocentricFrame frame(central->worldMatrix().off, unitsPerAu);
    std::vector<const host::Node*> axes;
    collectOrbitingAxes(*central, axes);
    for (const host::Node* body : axes) {
        result.bodies.push_back(orbitingBody(document, *body, frame, orbitSamples));
    }
    return result;
}

std::optional<std::string> systemCaption(const host::Document& document) {
    const host::Node* system = places::firstSystem(document);
    if (system == nullptr) {
        return std::nullopt;
    }
    const auto date = system->parameters.getDateTime(OCAELOSYSTEM_CURRENT_DATE);
    return system->name + (date ? ", " + pictureDateText(*date) : std::string{});
}

std::string pictureDateText(const HostDateTime& date) {
    const bool knownMonth = date.month >= 1 && date.month <= 12;
    const std::string month = knownMonth ? std::string(kMonthNames[static_cast<std::size_t>(date.month - 1)])
                                         : "month " + std::to_string(date.month);
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", date.hour % 100, date.minute % 100);
    return std::to_string(date.day) + " " + month + " " + std::to_string(date.year) + ", " + time;
}

} // namespace caelo::pictures
