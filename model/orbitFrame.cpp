#include "model/orbitFrame.h"

#include "model/bodyAxisRotation.h"

#include <cmath>

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

HostVector SystemToFrameAxes(const HostMatrix& systemWorld, const HostMatrix& frameWorld, HostVector v) {
    const auto unit = [](const HostVector& a) {
        const double length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
        return length > 0.0 ? HostVector{a.x / length, a.y / length, a.z / length} : a;
    };
    const auto dot = [](const HostVector& a, const HostVector& b) {
        return a.x * b.x + a.y * b.y + a.z * b.z;
    };
    const HostVector sx = unit(systemWorld.x), sy = unit(systemWorld.y), sz = unit(systemWorld.z);
    const HostVector world{sx.x * v.x + sy.x * v.y + sz.x * v.z, sx.y * v.x + sy.y * v.y + sz.y * v.z,
                           sx.z * v.x + sy.z * v.y + sz.z * v.z};
    return {dot(world, unit(frameWorld.x)), dot(world, unit(frameWorld.y)), dot(world, unit(frameWorld.z))};
}

HostVector SceneAxesOfEcliptic(const std::array<double, 3>& ecliptic) {
    return {ecliptic[0], ecliptic[2], ecliptic[1]};
}

} // namespace caelo
