// How the camera view paints one globe: a disc lit from one side with its
// phase, or a glowing disc for the globe that holds the light.
#ifndef CAELO_OUTPUTS_PICTURES_SCENE_RENDER_GLOBE_H
#define CAELO_OUTPUTS_PICTURES_SCENE_RENDER_GLOBE_H

#include "host/services/matrix.h"
#include "outputs/pictures/mapPixels.h"
#include "outputs/pictures/sceneRender.h"
#include "outputs/pictures/sceneRenderProjection.h"

#include <optional>

namespace caelo::pictures {

// The true shadow of an eclipse on a globe (the globes are drawn enlarged, so
// the shadow is mapped onto them, not cast by them): from the globe's centre,
// the Sun and the body in the way (km, camera space), and the two bodies'
// true radii (km).
struct TrueShadow {
    host::Vector sun;
    host::Vector occulter;
    double globeRadiusKm = 0.0;
    double occulterRadiusKm = 0.0;
};

// A globe as the picture shows it.
struct GlobeDisc {
    PicturePoint centre; // pixels
    double radiusPx = 0.0;
    appearance::RgbColour colour;
    bool glows = false; // the globe holds the light
    // Where the light comes from, seen from the globe (unused when it glows):
    // phaseCos is the cosine of the angle between the directions to the light
    // and to the camera (1 full, 0 half lit, -1 new); lightAngleRad is the
    // direction of the lit limb in the picture (radians from +x towards +y,
    // picture y pointing down).
    double phaseCos = 1.0;
    double lightAngleRad = 0.0;
    // The unit direction to the light from the globe's centre (camera space).
    host::Vector towardsLight{0.0, 0.0, -1.0};
    // A map the globe wears, with the globe's own axes in camera space (unit
    // length), or nullptr: the disc is then its colour.
    const MapPixels* map = nullptr;
    host::Vector axisX{1.0, 0.0, 0.0};
    host::Vector axisY{0.0, 1.0, 0.0};
    host::Vector axisZ{0.0, 0.0, 1.0};
    // During an eclipse, the shadow that darkens the globe where it falls
    // (on a globe that wears a map).
    std::optional<TrueShadow> shadow{};
};

// The disc of a sphere of `radius` (scene units) centred at `centre` (camera
// space) with the light at `light` (camera space). Nothing when the sphere
// reaches behind the near plane (the camera is inside it or level with it).
// The radius in pixels is the sphere's exact apparent radius for a sphere
// straight ahead, f r / sqrt(d^2 - r^2) with d its distance.
[[nodiscard]] std::optional<GlobeDisc> globeDisc(const CameraProjection& view, host::Vector centre,
                                                 double radius, host::Vector light,
                                                 appearance::RgbColour colour);

// Paints a globe: a glowing globe as a bright disc in a halo of its colour;
// any other as its night side (dim) under the lit part bounded by the limb on
// the light's side and the terminator, shaded from the point below the light.
// A globe that wears a map shows it, pixel by pixel, each point of the disc
// taken as seen from far away (the disc's orthographic view) and shaded by
// the light falling on it there, less the share of the Sun an eclipse's
// shadow hides there.
void paintGlobe(cairo_t* cairo, const GlobeDisc& globe);

} // namespace caelo::pictures

#endif
