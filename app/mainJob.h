// The main job of `caelo` without arguments: the preset solar system built by
// the module, evaluated, summarised and saved.
#ifndef CAELO_APP_MAIN_JOB_H
#define CAELO_APP_MAIN_JOB_H

#include "host/scene.h"

#include <filesystem>
#include <ostream>

namespace caelo::app {

// Writes a readable summary of the first system object of `document` as it
// was last evaluated: its epoch, model date and scales, then every body axis
// by name, indented below the body it orbits, with the heliocentric distance
// (au) and ecliptic longitude and latitude (degrees) of each body that orbits
// the Sun directly (the planets and barycentres), as bodyPlaces.h computes
// them. `zoneOffsetDays` is the zone offset the system reads its dates with
// (systemObject.h). A document without a system gets one line that says so.
void writeSolarSystemSummary(const host::Document& document, double zoneOffsetDays, std::ostream& out);

// Makes a new active document with a system object (epoch: now), presses its
// "Build solar system" button (kSystemBuildSolarSystem) to build the preset
// solar system, evaluates at document time 0, writes the summary to `out`,
// then writes into `outputFolder` (creating it) the scene
// (solar-system.caelo), the orrery chart seen from ecliptic north
// (solar-system.png), one model year of animation at the document's frame
// rate (solar-system.glb, with a progress bar unless `quiet`) and the page
// that plays it in a browser (solar-system.html; in a build without the
// viewer, it says there is none), and says where they are.
// Throws host::HostError when the build fails, a host operation is refused,
// an output cannot be drawn or the scene cannot be saved, and CommandError
// when the folder cannot be created or another file written.
void runMainJob(std::ostream& out, std::ostream& err, const std::filesystem::path& outputFolder, bool quiet);

} // namespace caelo::app

#endif
