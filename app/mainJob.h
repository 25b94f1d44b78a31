// The main job of `caelo` without arguments: a small system built by hand,
// evaluated, summarised and saved.
#ifndef CAELO_APP_MAIN_JOB_H
#define CAELO_APP_MAIN_JOB_H

#include <filesystem>
#include <ostream>

namespace caelo::app {

// Builds, in a new active document, a system object with the Earth-Moon
// barycentre's orbit axis, a body axis for the Earth below it and a sphere as
// its globe; sets the orbit's elements and the body's settings where the
// module's descriptions declare them; evaluates at document time 0; writes a
// summary (epoch, model date, model Julian Date, scales and the tree) to `out`
// and saves the scene as `<outputFolder>/solar-system.caelo`, creating the
// folder. Throws host::HostError or std::filesystem::filesystem_error.
void runMainJob(std::ostream& out, const std::filesystem::path& outputFolder);

} // namespace caelo::app

#endif
