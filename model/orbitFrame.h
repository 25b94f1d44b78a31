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

/* A vector given in the axes of the system's frame (the scene's ecliptic, as
 * the system object stands in the world) in the axes of another frame, both
 * given by their world matrices; rotation only: each matrix's axes count as
 * unit directions, whatever their scale. A body axis's frame, in which an
 * orbit axis below it sits, is turned by the orbit frame above it, so a
 * theory's place is given in the system's axes and turned into its parent's. */
[[nodiscard]] HostVector SystemToFrameAxes(const HostMatrix& systemWorld, const HostMatrix& frameWorld,
                                           HostVector v);

/* A J2000 ecliptic vector (x to the equinox, z to the ecliptic's north pole)
 * in the scene's axes, where the ecliptic is the XZ plane and its north +Y:
 * (x, z, y) (docs/sky.md). */
[[nodiscard]] HostVector SceneAxesOfEcliptic(const std::array<double, 3>& ecliptic);

} // namespace caelo

#endif
