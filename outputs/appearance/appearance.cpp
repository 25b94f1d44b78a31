#include "outputs/appearance/appearance.h"

#include "places/systemObject.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace caelo::appearance {

namespace {

// The colours of the bodies and of their rings, by the body's English name.
struct BodyColours {
    std::string_view name;
    RgbColour globe;
    RgbColour rings;
};

constexpr RgbColour kDefaultGlobeColour{0.78, 0.76, 0.72};
constexpr RgbColour kDefaultRingColour{0.62, 0.6, 0.58};
constexpr RgbColour kDefaultPlaneColour{0.5, 0.55, 0.62};
constexpr RgbColour kDefaultLineColour{0.45, 0.62, 0.9};

constexpr std::array<BodyColours, 17> kBodyColours{{
    {"Sun", {1.0, 0.78, 0.32}, kDefaultRingColour},
    {"Mercury", {0.68, 0.65, 0.62}, kDefaultRingColour},
    {"Venus", {0.93, 0.83, 0.6}, kDefaultRingColour},
    {"Earth", {0.32, 0.56, 0.94}, kDefaultRingColour},
    {"Moon", {0.76, 0.76, 0.75}, kDefaultRingColour},
    {"Mars", {0.88, 0.43, 0.26}, kDefaultRingColour},
    {"Jupiter", {0.87, 0.71, 0.53}, {0.6, 0.5, 0.42}},
    {"Io", {0.93, 0.85, 0.45}, kDefaultRingColour},
    {"Europa", {0.86, 0.8, 0.7}, kDefaultRingColour},
    {"Ganymede", {0.7, 0.66, 0.6}, kDefaultRingColour},
    {"Callisto", {0.52, 0.48, 0.44}, kDefaultRingColour},
    {"Saturn", {0.92, 0.81, 0.57}, {0.85, 0.77, 0.62}},
    {"Titan", {0.9, 0.7, 0.4}, kDefaultRingColour},
    {"Uranus", {0.62, 0.86, 0.9}, {0.5, 0.52, 0.55}},
    {"Neptune", {0.38, 0.54, 0.97}, {0.52, 0.53, 0.56}},
    {"Pluto", {0.82, 0.72, 0.62}, kDefaultRingColour},
    {"Charon", {0.62, 0.6, 0.58}, kDefaultRingColour},
}};

// An orbit line is its body's colour this much darker, so that the body
// stands out on it.
constexpr double kOrbitLineShade = 0.75;

// The opacity of a see-through object by its role: rings let the planet and
// the sky through, planes stay faint overlays.
constexpr double kSeeThroughRingOpacity = 0.6;
constexpr double kSeeThroughPlaneOpacity = 0.3;
constexpr double kSeeThroughOpacity = 0.5;

const BodyColours* coloursOf(std::string_view bodyName) {
    const auto found = std::find_if(kBodyColours.begin(), kBodyColours.end(),
                                    [&](const BodyColours& body) { return body.name == bodyName; });
    return found != kBodyColours.end() ? &*found : nullptr;
}

bool isBentByWrap(const host::Node& box) {
    for (const host::Node* child = box.firstChild(); child != nullptr; child = child->nextSibling()) {
        if (child->typeId() == host::kTypeWrapDeformer) {
            return true;
        }
    }
    return false;
}

// The body axis whose globe the sphere is, or nullptr.
const host::Node* bodyOfGlobe(const host::Document& document, const host::Node& sphere) {
    const host::Node* parent = sphere.parent();
    return parent != nullptr && parent->typeId() == kTypeCaeloBodyAxis &&
                   places::globeOf(document, *parent) == &sphere
               ? parent
               : nullptr;
}

RgbColour ringColourBelow(const host::Document& document, const host::Node& object) {
    const host::Node* planet = planetGlobeAbove(document, object);
    const BodyColours* colours = planet != nullptr ? coloursOf(planet->name) : nullptr;
    return colours != nullptr ? colours->rings : kDefaultRingColour;
}

RgbColour colourOfRole(const host::Document& document, const host::Node& object, Role role) {
    switch (role) {
    case Role::Star:
    case Role::Globe: {
        const BodyColours* colours = coloursOf(object.name);
        return colours != nullptr ? colours->globe : kDefaultGlobeColour;
    }
    case Role::Ring:
        return ringColourBelow(document, object);
    case Role::OrbitLine:
        if (const host::Node* globe = globeOnOrbitLine(document, object)) {
            const RgbColour body = lookOf(document, *globe).colour;
            return {body.red * kOrbitLineShade, body.green * kOrbitLineShade, body.blue * kOrbitLineShade};
        }
        return object.parent() != nullptr && object.parent()->typeId() == kTypeCaeloOrbitAxis
                   ? ringColourBelow(document, object)
                   : kDefaultLineColour;
    case Role::Plane:
        return kDefaultPlaneColour;
    case Role::Other:
        break;
    }
    return kDefaultGlobeColour;
}

double seeThroughOpacity(Role role) {
    switch (role) {
    case Role::Ring:
        return kSeeThroughRingOpacity;
    case Role::Plane:
        return kSeeThroughPlaneOpacity;
    default:
        return kSeeThroughOpacity;
    }
}

// The body that runs on a spline below an orbit axis: the first body axis
// below the same orbit axis that links a globe, or nullptr.
const host::Node* bodyOnOrbitLine(const host::Document& document, const host::Node& spline) {
    const host::Node* orbitAxis = spline.parent();
    if (orbitAxis == nullptr || orbitAxis->typeId() != kTypeCaeloOrbitAxis) {
        return nullptr;
    }
    return places::firstGlobedBody(document, *orbitAxis);
}

} // namespace

const host::Node* planetGlobeAbove(const host::Document& document, const host::Node& object) {
    for (const host::Node* node = object.parent(); node != nullptr; node = node->parent()) {
        if (node->typeId() == kTypeCaeloBodyAxis) {
            if (const host::Node* globe = places::globeOf(document, *node)) {
                return globe;
            }
        }
    }
    return nullptr;
}

const host::Node* globeOnOrbitLine(const host::Document& document, const host::Node& spline) {
    const host::Node* body = bodyOnOrbitLine(document, spline);
    return body != nullptr ? places::globeOf(document, *body) : nullptr;
}

const host::Node* circledGlobe(const host::Document& document, const host::Node& object) {
    const host::Node* body = nullptr;
    if (object.typeId() == host::kTypeSphere) {
        body = bodyOfGlobe(document, object);
    } else if (object.typeId() == host::kTypeCircleSpline) {
        body = bodyOnOrbitLine(document, object);
    }
    if (body == nullptr) {
        return nullptr;
    }
    for (const host::Node* above = body->parent(); above != nullptr; above = above->parent()) {
        if (above->typeId() != kTypeCaeloBodyAxis) {
            continue;
        }
        if (const host::Node* globe = places::globeOf(document, *above)) {
            return globe;
        }
        // A barycentre: the body that names it stands for it.
        const host::Node* named = places::firstGlobedBody(document, *above);
        if (named != nullptr && named != body) {
            return places::globeOf(document, *named);
        }
    }
    return nullptr;
}

Role roleOf(const host::Document& document, const host::Node& object) {
    switch (object.typeId()) {
    case host::kTypeSphere: {
        const host::Node* body = bodyOfGlobe(document, object);
        const bool central =
            body != nullptr && body->parent() != nullptr && body->parent()->typeId() == kTypeCaeloSystem;
        return central ? Role::Star : Role::Globe;
    }
    case host::kTypeTube:
    case host::kTypeTorus:
        return Role::Ring;
    case host::kTypeBox:
        return isBentByWrap(object) ? Role::Ring : Role::Other;
    case host::kTypeCircleSpline:
        return Role::OrbitLine;
    case host::kTypePlane:
        return Role::Plane;
    default:
        return Role::Other;
    }
}

std::optional<RgbColour> ownColour(const host::Node& object) {
    const HostColorProperties& c = object.color;
    if (c.mode != kColourModeOwn || !std::isfinite(c.color.x) || !std::isfinite(c.color.y) ||
        !std::isfinite(c.color.z)) {
        return std::nullopt;
    }
    return RgbColour{std::clamp(c.color.x, 0.0, 1.0), std::clamp(c.color.y, 0.0, 1.0),
                     std::clamp(c.color.z, 0.0, 1.0)};
}

RgbColour roleColour(const host::Document& document, const host::Node& object) {
    return colourOfRole(document, object, roleOf(document, object));
}

Look lookOf(const host::Document& document, const host::Node& object) {
    const Role role = roleOf(document, object);
    Look look;
    look.colour = ownColour(object).value_or(colourOfRole(document, object, role));
    look.opacity = object.color.seeThrough ? seeThroughOpacity(role) : 1.0;
    look.glows = role == Role::Star;
    look.unlit = role == Role::OrbitLine || role == Role::Plane;
    return look;
}

std::string dressedName(const host::Document& document, const host::Node& object) {
    const Role role = roleOf(document, object);
    if (role == Role::Ring) {
        const host::Node* planet = planetGlobeAbove(document, object);
        return (planet != nullptr ? planet->name + " " : std::string{}) + "Rings";
    }
    if (role == Role::OrbitLine || role == Role::Plane) {
        const host::Node* body = bodyOnOrbitLine(document, object);
        const host::Node* globe = body != nullptr ? places::globeOf(document, *body) : nullptr;
        if (globe != nullptr) {
            return globe->name + (role == Role::Plane ? " Orbit Plane" : " Orbit");
        }
        const host::Node* planet = planetGlobeAbove(document, object);
        if (role == Role::OrbitLine && planet != nullptr &&
            object.parent()->typeId() == kTypeCaeloOrbitAxis) {
            return planet->name + " Rings Path"; // a ring band's
        }
    }
    return object.name;
}

} // namespace caelo::appearance
