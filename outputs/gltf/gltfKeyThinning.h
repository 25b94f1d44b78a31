// Thinning an object's keys to those that interpolation needs: a key goes
// when the keys around it, interpolated as clients do (translations and
// scales along straight lines, rotations both along the shorter arc, as glTF
// specifies, and component by component, as clients that keep a rotation as
// four curves of the quaternion do), stay within
// kRotationToleranceRad and kPositionTolerance of every frame key between
// them, and keep the steps between keys within kMaxRotationStepRad and (for
// an object that is followed between frames) kMaxTurnStepRad
// (gltfAnimation.h). The first and the last key always stay.
//
// The rotation checked is the object's whole one, frozen then relative.
//
// Example: a planet keyed at every frame of a year keeps a key every few
// weeks; a globe that spins slowly keeps a key every 40 degrees or so of its
// turn.
#ifndef CAELO_OUTPUTS_GLTF_GLTF_KEY_THINNING_H
#define CAELO_OUTPUTS_GLTF_GLTF_KEY_THINNING_H

#include "outputs/gltf/gltfAnimation.h"

#include <vector>

namespace caelo::gltf {

// Thins `keys` in place. `frameTimes` are the key times of the frames, in
// increasing order; the keys between frames need not match the host.
void thinKeys(ObjectKeys& keys, const std::vector<float>& frameTimes, bool followed);

} // namespace caelo::gltf

#endif
