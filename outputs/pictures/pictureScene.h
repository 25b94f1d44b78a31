// What the pictures read from a planetary system built by the module: the
// system, its central body, the bodies that orbit it directly (the planets and
// barycentres of the solar system) with their orbits and colours, and the
// model date.
//
// Positions are heliocentric and ecliptic, in au: scene (x, y, z) relative to
// the central body, divided by the system's scene units per au and read as
// ecliptic (x, z, y), so that +z is ecliptic north and longitude grows from
// +x towards +y.
//
// Example:
//   const OrbitingBodies system = readOrbitingBodies(document);
//   for (const OrbitingBody& body : system.bodies) { std::cout << body.label << '\n'; }
#ifndef CAELO_OUTPUTS_PICTURES_PICTURE_SCENE_H
#define CAELO_OUTPUTS_PICTURES_PICTURE_SCENE_H

#include "outputs/pictures/sceneRender.h"

#include <optional>
#include <string>
#include <vector>

namespace caelo::pictures {

// A body that orbits the central body directly.
struct OrbitingBody {
    std::string label;                 // its globe's name, e.g. "Jupiter" (see readOrbitingBodies)
    host::Vector placeAu;              // heliocentric ecliptic position, au
    std::vector<host::Vector> orbitAu; // its orbit's ellipse, heliocentric ecliptic au; empty without one
    double radiusKm = 0.0;             // equatorial radius of the labelled body; 0 when unknown
    appearance::RgbColour colour;      // its labelled globe's look, else the default globe colour
};

// The system as the pictures show it.
struct OrbitingBodies {
    std::string systemName;
    std::string centralLabel; // e.g. "Sun"
    appearance::RgbColour centralColour;
    std::optional<HostDateTime> modelDate; // the system's current date (parameter 1004) as it holds it
    std::vector<OrbitingBody> bodies;      // in tree order
};

// Reads the first system object of the document (type 1032493, in tree order)
// as last evaluated. The central body is the system's first body axis (type
// 1032495); the orbiting bodies are the body axes whose nearest body axis
// above them is the central one. Each is labelled with the name of its linked
// globe or, when it has none (a barycentre), with that of the first body axis
// below it that has one ("Earth" for the Earth-Moon barycentre), else with its
// own name. Its orbit is the first circle spline (type 5181) among the
// children of the orbit axis above it, sampled at `orbitSamples` points.
// Throws host::HostError when the document holds no system, the system has no
// body axis, or its distance scale is not a positive finite number.
[[nodiscard]] OrbitingBodies readOrbitingBodies(const host::Document& document, int orbitSamples);

// "Solar system, 8 December 2026, 21:57": the name and model date of the
// document's first system object; nothing without one.
[[nodiscard]] std::optional<std::string> systemCaption(const host::Document& document);

// A date as a picture shows it: "8 December 2026, 21:57".
[[nodiscard]] std::string pictureDateText(const HostDateTime& date);

} // namespace caelo::pictures

#endif
