// The floor an evaluation pass is measured against: the orbit and rotation
// computations of a system's bodies in a plain loop, without the host's scene,
// parameters or calls across the module boundary.
//
// Example:
//   std::vector<BaselineBody> bodies = readBaselineBodies(document);
//   std::vector<BaselinePose> poses(bodies.size());
//   evaluateBaseline(bodies, 2451545.0, poses);
#ifndef CAELO_BENCH_PRESET_BASELINE_H
#define CAELO_BENCH_PRESET_BASELINE_H

#include "host/scene.h"
#include "model/nodeRecords.h"
#include "model/orbitalMath.h"

#include <span>
#include <vector>

namespace caelo::bench {

// Marks a body with no enclosing or no reference body.
inline constexpr int kNoBody = -1;

// One body: the orbit axis that carries it, when it has one, its own
// rotation settings, and the bodies it sits in and turns towards, as indices
// into the same list (always earlier in it).
struct BaselineBody {
    bool hasOrbit = false;
    OrbitAxisRecord orbit;
    double sceneUnitsPerUnitOfA = 0.0; // scene units per au, or per km for a km orbit
    BodyAxisRecord body;
    int enclosingBody = kNoBody;
    int referenceBody = kNoBody; // of a locked or solar-day globe
};

// Where a pass leaves one body.
struct BaselinePose {
    HostVector position{};        // in its orbit axis, scene units
    HostVector axisRotation{};    // the body axis's heading, pitch, bank; radians
    double globeHeadingRad = 0.0; // the globe's spin
    HostMatrix world{};           // the body axis's world matrix
};

// Evaluates every body at a Julian Date: its orbit state and place in the
// orbit, the tilt and heading of its axis, its world matrix, and its globe's
// spin by its rotation mode (a locked or solar-day globe turns towards its
// reference body). `poses` holds one entry per body; nothing is allocated.
void evaluateBaseline(std::span<const BaselineBody> bodies, double jd, std::span<BaselinePose> poses);

// The bodies of a document as evaluation reads them back from the
// parameters: every body axis in tree order, with the orbit axis it sits in
// (a direct child of the enclosing body axis or of the system), the scale its
// orbit lengths take from the enclosing body axes and the system, and the
// body its globe turns towards.
[[nodiscard]] std::vector<BaselineBody> readBaselineBodies(const host::Document& document);

} // namespace caelo::bench

#endif
