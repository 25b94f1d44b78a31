/*
 * The orbit axis's frame within its parent, for places given in the parent's
 * axes (a theory's): the orbit axis turns its frame by its frozen rotation
 * (heading Omega, pitch I) and then its relative rotation (heading omega),
 * which lay the orbit's plane and turn perihelion onto +X (orbitalMath.h);
 * a place in the parent's axes is found in the orbit axis's frame by the
 * inverse rotation.
 *
 * Pure functions: no state, no allocation, safe on any thread.
 */
#ifndef CAELO_MODEL_ORBIT_FRAME_H
#define CAELO_MODEL_ORBIT_FRAME_H

#include "interface/hostInterface.h"
#include "model/orbitalMath.h"

#include <array>

namespace caelo {

/* The orbit axis's rotation within its parent at an orbit state: frozen times
 * relative rotation, no offset. */
[[nodiscard]] HostMatrix OrbitFrameRotation(const OrbitState& state);

/* A place in the parent's axes (any unit) in the orbit axis's frame. */
[[nodiscard]] HostVector PlaceInOrbitFrame(const OrbitState& state, HostVector parentPlace);

/* A J2000 ecliptic vector (x to the equinox, z to the ecliptic's north pole)
 * in the scene's axes, where the ecliptic is the XZ plane and its north +Y:
 * (x, z, y) (docs/sky.md). */
[[nodiscard]] HostVector SceneAxesOfEcliptic(const std::array<double, 3>& ecliptic);

} // namespace caelo

#endif
