#include "bodyPlaces.h"

#include "systemObject.h"

#include <cmath>
#include <map>
#include <numbers>

namespace caelo::app {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr double kFullCircleDeg = 360.0;

// The nearest body-axis ancestor of a node below `system` (or anywhere when
// `system` is nullptr), or nullptr.
const host::Node* enclosingBody(const host::Node& node, const host::Node* system) {
    for (const host::Node* ancestor = node.parent(); ancestor != nullptr && ancestor != system;
         ancestor = ancestor->parent()) {
        if (ancestor->typeId() == kTypeBodyAxis) {
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

} // namespace

std::optional<HeliocentricPlace> heliocentricPlace(const host::Vector& offsetScene, double sceneUnitsPerAu) {
    if (!std::isfinite(sceneUnitsPerAu) || sceneUnitsPerAu <= 0.0) {
        return std::nullopt;
    }
    const double xAu = offsetScene.x / sceneUnitsPerAu;
    const double yAu = offsetScene.z / sceneUnitsPerAu;
    const double northAu = offsetScene.y / sceneUnitsPerAu;
    if (!std::isfinite(xAu) || !std::isfinite(yAu) || !std::isfinite(northAu)) {
        return std::nullopt;
    }
    HeliocentricPlace place;
    place.distanceAu = std::sqrt(xAu * xAu + yAu * yAu + northAu * northAu);
    place.longitudeDeg = std::atan2(yAu, xAu) * kDegreesPerRadian;
    if (place.longitudeDeg < 0.0) {
        place.longitudeDeg += kFullCircleDeg;
    }
    place.latitudeDeg = std::atan2(northAu, std::hypot(xAu, yAu)) * kDegreesPerRadian;
    return place;
}

std::vector<BodyPlace> bodyPlaces(const host::Document& document) {
    std::vector<BodyPlace> places;
    std::map<const host::Node*, const host::Node*> centralBodies; // system -> its first body axis
    document.forEachObject([&](host::Node& node) {
        if (node.typeId() != kTypeBodyAxis) {
            return;
        }
        BodyPlace place;
        place.body = &node;
        place.system = governingSystem(node);
        place.depth = bodyDepth(node, place.system);
        place.worldPosition = node.worldMatrix().off;
        if (place.system != nullptr) {
            const host::Node* central = centralBodies.try_emplace(place.system, &node).first->second;
            if (central != &node && enclosingBody(node, place.system) == central) {
                const host::Vector sun = central->worldMatrix().off;
                const host::Vector& at = place.worldPosition;
                place.heliocentric = heliocentricPlace({at.x - sun.x, at.y - sun.y, at.z - sun.z},
                                                       sceneUnitsPerAu(*place.system));
            }
        }
        places.push_back(place);
    });
    return places;
}

} // namespace caelo::app
