#include "model/orbitFrame.h"

#include "model/bodyAxisRotation.h"

namespace caelo {

HostMatrix OrbitFrameRotation(const OrbitState& state) {
    return rotation::MultiplyMatrices(
        rotation::AnglesToMatrix({state.nodeLongitudeRad, state.inclinationRad, 0.0}),
        rotation::AnglesToMatrix({state.perihelionArgumentRad, 0.0, 0.0}));
}

HostVector PlaceInOrbitFrame(const OrbitState& state, HostVector parentPlace) {
    /* A rotation's inverse is its transpose: the place's parts along its axes. */
    const HostMatrix r = OrbitFrameRotation(state);
    const auto along = [&](const HostVector& axis) {
        return axis.x * parentPlace.x + axis.y * parentPlace.y + axis.z * parentPlace.z;
    };
    return {along(r.x), along(r.y), along(r.z)};
}

HostVector SceneAxesOfEcliptic(const std::array<double, 3>& ecliptic) {
    return {ecliptic[0], ecliptic[2], ecliptic[1]};
}

} // namespace caelo
