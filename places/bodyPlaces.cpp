#include "places/bodyPlaces.h"

#include "model/moduleIds.h"
#include "model/units.h"
#include "places/systemObject.h"

#include <cmath>
#include <map>

namespace caelo::places {
namespace {

constexpr double kFullCircleDeg = 360.0;

// The nearest body-axis ancestor of a node below `system` (or anywhere when
// `system` is nullptr), or nullptr.
const host::Node* enclosingBody(const host::Node& node, const host::Node* system) {
    for (const host::Node* ancestor = node.parent(); ancestor != nullptr && ancestor != system;
         ancestor = ancestor->parent()) {
        if (ancestor->typeId() == kTypeCaeloBodyAxis) {
            return ancestor;
        }
    }
    return nullptr;
}

int bodyDepth(const host::Node& node, const host::Node* system) {
    int depth = 0;
    for (const host::Node* body = enclosingBody(node, system); body != nullptr;
         body = enclosingBody(*body, system)) {
        ++depth;
    }
    return depth;
}

// Scene units per au of the orbits in au below `body`: its satellite scale and
// those of the body axes above it, times the system's distance scale.
double sceneUnitsPerAuBelow(const host::Node* body, const host::Node& system) {
    double factor = sceneUnitsPerAu(system);
    for (; body != nullptr; body = enclosingBody(*body, &system)) {
        factor *= body->parameters.getFloat(OCAELOBODYAXIS_SATELLITE_SCALE, 1.0);
    }
    return factor;
}

// Scene units per au of a body's offset from the body it circles, by the rule
// its orbit axis sizes its orbit with: in kilometres at the system's body
// scale and the primary's globe scale, or in au at the distance scale and the
// satellite scales above.
double offsetScale(const host::Node& body, const host::Node* primary, const host::Node& system) {
    const host::Node* orbit = body.parent();
    const bool inKilometres = orbit != nullptr && orbit->typeId() == kTypeCaeloOrbitAxis &&
                              orbit->parameters.getBool(OCAELOORBITAXIS_KM, false);
    if (!inKilometres) {
        return sceneUnitsPerAuBelow(primary, system);
    }
    const double globeScale =
        primary != nullptr ? primary->parameters.getFloat(OCAELOBODYAXIS_GLOBE_SCALE, 1.0) : 1.0;
    return sceneUnitsPerKilometre(system) * globeScale * kKilometresPerAu;
}

// Whether rings lie in the body's equator: a child carrying a ring tag, or a
// ring band (an orbit axis in band mode).
bool carriesRings(const host::Node& body) {
    for (const host::Node* child = body.firstChild(); child != nullptr; child = child->nextSibling()) {
        for (const host::Node* tag : child->tags()) {
            if (tag->typeId() == kTypeCaeloRing) {
                return true;
            }
        }
        if (child->typeId() == kTypeCaeloOrbitAxis &&
            child->parameters.getInt32(OCAELOORBITAXIS_MODE, 0) == kModeChoiceBase + kOrbitModeBand) {
            return true;
        }
    }
    return false;
}

// The body axis of the Earth: the first whose globe carries the Earth's name.
const BodyPlace* earthAmong(const host::Document& document, const host::StringTable& moduleStrings,
                            const std::vector<BodyPlace>& places) {
    const std::string& earth = moduleStrings.find(kStringEarth);
    for (const BodyPlace& place : places) {
        const host::Node* globe = globeOf(document, *place.body);
        if (!earth.empty() && globe != nullptr && globe->name == earth && place.trueEclipticAu) {
            return &place;
        }
    }
    return nullptr;
}

// How the Earth sees each body; `trueAu` holds the true places of the bodies
// that have one.
void addSkyPlaces(const host::Document& document, const host::StringTable& moduleStrings,
                  const std::map<const host::Node*, host::Vector>& trueAu, std::vector<BodyPlace>& places) {
    const BodyPlace* earth = earthAmong(document, moduleStrings, places);
    if (earth == nullptr) {
        return;
    }
    const host::Vector sunAu{0.0, 0.0, 0.0};
    for (BodyPlace& place : places) {
        if (&place == earth || place.system != earth->system || !place.trueEclipticAu) {
            continue;
        }
        // A position angle for the moons of other planets: not for the planets
        // themselves, nor for the Earth's own companions.
        std::optional<host::Vector> primaryAu;
        const bool isMoon = place.primary != nullptr && place.primary->parent() != place.system &&
                            place.primary != earth->primary;
        if (isMoon && trueAu.contains(place.primary)) {
            primaryAu = trueAu.at(place.primary);
        }
        std::optional<host::Vector> pole;
        if (carriesRings(*place.body)) {
            pole = eclipticFromScene(place.body->worldMatrix().y);
        }
        place.fromEarth = skyPlaceOf(*place.trueEclipticAu, *earth->trueEclipticAu, sunAu, primaryAu, pole);
    }
}

} // namespace

host::Vector eclipticFromScene(const host::Vector& scene) {
    return {scene.x, scene.z, scene.y};
}

std::optional<HeliocentricPlace> heliocentricPlace(const host::Vector& offsetScene, double sceneUnitsPerAu) {
    if (!std::isfinite(sceneUnitsPerAu) || sceneUnitsPerAu <= 0.0) {
        return std::nullopt;
    }
    const host::Vector au = eclipticFromScene(offsetScene) * (1.0 / sceneUnitsPerAu);
    if (!host::hasFiniteComponents(au)) {
        return std::nullopt;
    }
    HeliocentricPlace place;
    place.distanceAu = host::length(au);
    place.longitudeDeg = std::atan2(au.y, au.x) * kDegreesPerRadian;
    if (place.longitudeDeg < 0.0) {
        place.longitudeDeg += kFullCircleDeg;
    }
    place.latitudeDeg = std::atan2(au.z, std::hypot(au.x, au.y)) * kDegreesPerRadian;
    return place;
}

std::vector<BodyPlace> bodyPlaces(const host::Document& document, const host::StringTable& moduleStrings) {
    std::vector<BodyPlace> places;
    std::map<const host::Node*, const host::Node*> centralBodies; // system -> its first body axis
    std::map<const host::Node*, host::Vector> trueAu;             // body axis -> its true place
    document.forEachObject([&](host::Node& node) {
        if (node.typeId() != kTypeCaeloBodyAxis) {
            return;
        }
        BodyPlace place;
        place.body = &node;
        place.system = governingSystem(node);
        place.primary = enclosingBody(node, place.system);
        place.depth = bodyDepth(node, place.system);
        place.worldPosition = node.worldMatrix().off;
        if (place.system != nullptr) {
            const host::Node* central = centralBodies.try_emplace(place.system, &node).first->second;
            if (central != &node && place.primary == central) {
                const host::Vector sun = central->worldMatrix().off;
                place.heliocentric =
                    heliocentricPlace(place.worldPosition - sun, sceneUnitsPerAu(*place.system));
            }
            if (central == &node) {
                place.trueEclipticAu = host::Vector{};
            } else if (place.primary != nullptr && trueAu.contains(place.primary)) {
                const double scale = offsetScale(node, place.primary, *place.system);
                const host::Vector offset =
                    eclipticFromScene(place.worldPosition - place.primary->worldMatrix().off) * (1.0 / scale);
                if (std::isfinite(scale) && scale > 0.0 && host::hasFiniteComponents(offset)) {
                    place.trueEclipticAu = trueAu.at(place.primary) + offset;
                }
            }
            if (place.trueEclipticAu) {
                trueAu.emplace(&node, *place.trueEclipticAu);
            }
        }
        places.push_back(place);
    });
    addSkyPlaces(document, moduleStrings, trueAu, places);
    return places;
}

} // namespace caelo::places
