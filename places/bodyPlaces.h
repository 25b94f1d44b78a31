// Where the body axes of a document are, as last evaluated: their world
// positions, their places at true distances relative to their system's central
// body and, for the bodies that orbit the central body directly (the planets
// and barycentres about the Sun), their heliocentric ecliptic places.
//
// The scene frame is the module's: ecliptic (x, y, z) is scene (x, z, y), so
// scene +Y is ecliptic north and ecliptic longitude grows from scene +X
// towards scene +Z. The ecliptic is the mean ecliptic of J2000, the frame of
// the preset's elements.
//
// Example:
//   for (const BodyPlace& place : bodyPlaces(document, host.strings())) {
//       if (place.heliocentric) { std::cout << place.heliocentric->distanceAu; }
//   }
#ifndef CAELO_PLACES_BODY_PLACES_H
#define CAELO_PLACES_BODY_PLACES_H

#include "host/resources.h"
#include "host/scene.h"
#include "places/skyPlaces.h"

#include <optional>
#include <vector>

namespace caelo::places {

// A place relative to the central body on the ecliptic sphere.
struct HeliocentricPlace {
    double distanceAu = 0.0;
    double longitudeDeg = 0.0; // [0, 360)
    double latitudeDeg = 0.0;  // [-90, 90], north positive
};

// The heliocentric place of an offset from the central body given in scene
// units. Nothing when `sceneUnitsPerAu` is not a positive finite number or the
// offset is not finite.
// Example: heliocentricPlace({0, 0, 2}, 2) gives 1 au at longitude 90, latitude 0.
[[nodiscard]] std::optional<HeliocentricPlace> heliocentricPlace(const host::Vector& offsetScene,
                                                                 double sceneUnitsPerAu);

// An offset in the scene frame as ecliptic (x, y, z): scene (x, z, y).
[[nodiscard]] host::Vector eclipticFromScene(const host::Vector& scene);

// One body axis.
struct BodyPlace {
    const host::Node* body = nullptr;
    const host::Node* system = nullptr;  // the governing system, or nullptr
    const host::Node* primary = nullptr; // the nearest body axis above (within its system), or nullptr
    int depth = 0;                       // body axes above it (within its system, if any)
    host::Vector worldPosition;          // scene units
    // For a body whose nearest body-axis ancestor is its system's central body
    // (the system's first body axis in tree order).
    std::optional<HeliocentricPlace> heliocentric;
    // The body's place relative to its system's central body with every orbit
    // at its true size (the scene draws the orbits below a body larger by its
    // satellite scale, or by its globe scale for orbits in kilometres):
    // ecliptic (x, y, z) in au. Nothing outside a system or where a scale is
    // not a positive finite number.
    std::optional<host::Vector> trueEclipticAu;
    // How the body is seen from the Earth (skyPlaces.h); nothing for the Earth
    // itself, or when the document has no Earth.
    std::optional<SkyPlace> fromEarth;
};

// Every body axis of the document in tree order (a parent before its
// children). The Earth is the body whose globe carries the Earth's name in
// `moduleStrings` (the strings the module's resources gave the host).
[[nodiscard]] std::vector<BodyPlace> bodyPlaces(const host::Document& document,
                                                const host::StringTable& moduleStrings);

} // namespace caelo::places

#endif
