// How an object of the scene looks, for every output alike: the camera view,
// the orrery chart, the glTF export and the pages built on it.
//
// What a scene shows is what its objects carry: an object whose colour mode is
// 2 shows its own display colour, and its see-through flag makes it
// translucent. An object that carries no colour of its own shows the colour
// of its role in the solar system:
// - a globe (sphere) the colour of its body, by the body's English name
//   ("Mars" is rust red), else a pale grey;
// - a ring (tube or torus) or ring band (a box bent by a wrap deformer) the
//   colour of its planet's rings;
// - an orbit line (circle spline) a darker shade of the body that runs on it (the
//   first globe of a body axis below the same orbit axis: the Earth's for the
//   Earth-Moon barycentre's orbit), or of the rings for a band's path;
// - a plane a grey blue.
// The globe of a system's central body (the body axis directly below a system
// object) is its star: it glows and lights the others. Orbit lines and planes
// are unlit: they show their colour whatever the light.
//
// Scene set-up writes these colours onto the objects of a newly built system
// (dressSolarSystem, app/sceneSetup.h), so that a saved scene carries them and
// a user's change of a display colour is seen by every output; the outputs
// only read them.
//
// Example:
//   const Look look = lookOf(document, globe); // Mars: {0.88, 0.43, 0.26}, opaque
#ifndef CAELO_OUTPUTS_APPEARANCE_APPEARANCE_H
#define CAELO_OUTPUTS_APPEARANCE_APPEARANCE_H

#include "host/scene.h"

#include <cstdint>
#include <optional>
#include <string>

namespace caelo::appearance {

// The colour mode of an object that shows its own display colour.
inline constexpr std::int32_t kColourModeOwn = 2;

// A colour with red, green and blue in [0, 1] (sRGB as displayed).
struct RgbColour {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
};

// What an object is to the outputs.
enum class Role { Star, Globe, Ring, OrbitLine, Plane, Other };

struct Look {
    RgbColour colour;
    double opacity = 1.0; // 1 opaque; translucent objects less
    bool glows = false;   // emits its colour and lights the others (the star)
    bool unlit = false;   // shown in its colour whatever the light
};

// The role of an object, from its type and its place below the module's axes.
[[nodiscard]] Role roleOf(const host::Document& document, const host::Node& object);

// The object's own display colour, clamped to [0, 1]; nothing when its colour
// mode is not kColourModeOwn or the colour is not finite.
[[nodiscard]] std::optional<RgbColour> ownColour(const host::Node& object);

// The colour of the object's role (see above), which it shows when it carries
// none of its own.
[[nodiscard]] RgbColour roleColour(const host::Document& document, const host::Node& object);

// How the object looks (see above). Colours are clamped to [0, 1]; a display
// colour that is not finite counts as no colour.
[[nodiscard]] Look lookOf(const host::Document& document, const host::Node& object);

// The globe of the body that runs on an orbit line (a circle spline below an
// orbit axis): the first globe of a body axis below the same orbit axis, or
// nullptr (a band's path, a spline elsewhere).
[[nodiscard]] const host::Node* globeOnOrbitLine(const host::Document& document, const host::Node& spline);

// The globe of the body that an object's body circles, as users name them:
// for a globe its own body's, for an orbit line that of the body that runs on
// it; nullptr for other objects and for the star. A barycentre stands for the
// body that names it (its first globed body), so the Moon circles the Earth,
// the Earth and the Earth-Moon barycentre's orbit line the Sun, Charon Pluto.
// The pages tell planets from moons by it.
[[nodiscard]] const host::Node* circledGlobe(const host::Document& document, const host::Node& object);

// The globe of the nearest body axis above the object that has one (a ring's
// planet), or nullptr.
[[nodiscard]] const host::Node* planetGlobeAbove(const host::Document& document, const host::Node& object);

// What the object dresses, as a material is named after it: a globe its
// body ("Earth"), a ring or ring band its planet's rings ("Saturn Rings"), an
// orbit line or a plane below an orbit axis the orbit of the body that runs
// on it ("Earth Orbit", "Earth Orbit Plane") or, for a ring band's path, its
// planet's rings ("Saturn Rings Path"), else the object's own name.
[[nodiscard]] std::string dressedName(const host::Document& document, const host::Node& object);

} // namespace caelo::appearance

#endif
