// The scenes the benchmarks evaluate, built in the host's active document
// through its editing API, as a user or a script builds them. The process
// runs in universal time (TZ=UTC), so document time 0 is J2000.0 exactly.
//
// Example:
//   host::Node& system = newBeltScene(20000);
//   evaluateFrame(*system.document(), 1);
#ifndef CAELO_BENCH_BENCH_SCENES_H
#define CAELO_BENCH_BENCH_SCENES_H

#include "host/scene.h"

#include <cstdint>

namespace caelo::bench {

// Frames per second of the benchmarks' documents.
inline constexpr std::int32_t kFramesPerSecond = 30;
// The systems' time scale: model time runs one day per document second.
inline constexpr double kDocumentSecondsPerModelDay = 1.0;

// A new active document whose only top-level object is a system: document
// time 0 is J2000.0 and model time runs one day per document second.
[[nodiscard]] host::Node& newSystemScene();

// A new active document whose system has built the solar-system preset by
// its button 1101. Throws HostError when the build fails.
[[nodiscard]] host::Node& newPresetScene();

// A new active document whose system holds `orbitAxes` orbit axes in
// elements mode, each carrying a body axis with a sphere as its linked
// globe: an asteroid belt with semi-major axes from 2.1 to 3.3 au,
// eccentricities up to 0.3, inclinations up to 20 degrees, angles spread over
// the whole turn and mean motions by Kepler's third law.
[[nodiscard]] host::Node& newBeltScene(std::int32_t orbitAxes);

// The model Julian Date of a frame in these scenes.
[[nodiscard]] double julianDateOfFrame(std::int64_t frame);

// Sets the document to a frame and evaluates it once.
void evaluateFrame(host::Document& document, std::int64_t frame);

} // namespace caelo::bench

#endif
