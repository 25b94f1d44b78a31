// The scene a command works on: the preset solar system built now or a saved
// scene, optionally moved to a date, and evaluated.
//
// Example:
//   const OpenScene scene = openScene({.sceneFile = "my.caelo", .date = "2026-12-08"});
//   writePositions(scene.document, scene.zoneOffsetDays, PositionsFormat::Table, std::cout);
#ifndef CAELO_APP_SCENE_SETUP_H
#define CAELO_APP_SCENE_SETUP_H

#include "host/scene.h"

#include <filesystem>
#include <optional>
#include <string>

namespace caelo::app {

struct SceneChoice {
    std::optional<std::filesystem::path> sceneFile{}; // nothing: build the preset solar system
    std::optional<std::string> date{};                // ISO 8601 (isoDate.h); nothing: keep the epoch
    std::string places = "theories"; // the preset's: theories or elements (a scene file keeps its own)
};

// The active document a command works on.
struct OpenScene {
    host::Document& document;
    // The zone offset its system objects read their dates with (days; see
    // systemObject.h): the current one for a system built now, 0 for one read
    // from a scene file.
    double zoneOffsetDays;
};

// A new active document with a system object named "Solar system" (epoch:
// now) whose "Build solar system" button (kSystemBuildSolarSystem) built the
// preset solar system, dressed (dressSolarSystem) and, unless `byElements`,
// placed by the theories (placeByTheories), at document time 0.
// Throws host::HostError when the build fails or a host operation is refused.
OpenScene buildSolarSystem(bool byElements = false);

// Gives every globe, ring, band and orbit line below a system object that
// carries no colour of its own (colour mode other than kColourModeOwn) its
// role's colour (appearance.h) as its display colour; rings and bands become
// see-through. Objects that carry a colour keep it.
void dressSolarSystem(host::Document& document);

// Puts the preset's planets, the Earth-Moon barycentre, the Earth and the
// Moon about it, and the Pluto-Charon barycentre on their theories (orbit-axis
// mode 4, docs/sky.md), as a user would by editing each orbit axis's mode and
// theory; their elements still draw their orbits. Orbit axes of other bodies
// keep their mode. Returns how many orbit axes it switched.
int placeByTheories(host::Document& document);

// The scene of `choice`, evaluated at the document's time. The date is read
// first, so that a bad date fails before any work; then the preset is built or
// the scene file loaded (keeping its epoch and time); then a date sets the
// epoch of every system object and document time 0. Throws CommandError for a
// bad date or a scene without a system object to date, and host::HostError
// naming the file when the scene file cannot be read or is malformed.
OpenScene openScene(const SceneChoice& choice);

} // namespace caelo::app

#endif
