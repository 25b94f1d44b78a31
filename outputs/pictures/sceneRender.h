// The camera view: a document as last evaluated, drawn in perspective through
// its view's camera with cairo (the camera model is in sceneRenderProjection.h).
//
// What is drawn, back to front, on a dark background:
// 1. planes (type 5168) as translucent quads in their display colour;
// 2. spheres (type 5160) as shaded discs and tubes and tori (types 5165, 5163)
//    as flat translucent rings, sorted by depth; each ring is cut into the
//    part nearer the camera than its centre and the part beyond it, so that a
//    planet's rings pass behind the planet and in front of it;
// 3. circle splines (type 5181) as lines, the orbits, left out where a sphere
//    lies in front of them (a moon's orbit passes in front of its planet and
//    behind it; a planet's own orbit does not cross its disc);
// 4. the spheres' names as labels, larger discs first; a label that would
//    cover another, or whose sphere is hidden behind another, is left out.
// Other types (boxes, deformers, polygon objects, nulls, the module's axes)
// are not drawn. An object is left out when it is disabled or hidden for
// rendering: render display code 1 on the object or on an ancestor that it
// follows (code 2 follows the parent; a top-level object that follows is
// shown). A disabled object's children are still drawn.
//
// Light: a point light at the world origin, where a system's central star
// sits. A sphere that encloses the light glows (bright centre, a halo);
// every other sphere is lit from the light's side with its phase (the
// terminator drawn as a half ellipse) and a dim night side.
//
// Colours and opacities are the objects' looks (appearance.h). See-through
// planes and orbit lines are drawn fainter.
//
// Example:
//   drawCameraView(cairo, document, 1600, 1200);
#ifndef CAELO_OUTPUTS_PICTURES_SCENE_RENDER_H
#define CAELO_OUTPUTS_PICTURES_SCENE_RENDER_H

#include "host/scene.h"
#include "outputs/appearance/appearance.h"

typedef struct _cairo cairo_t; // NOLINT: cairo's own declaration of its context

namespace caelo::pictures {

// How much larger than at the reference size (1200 pixels on the picture's
// smaller side) lines and text are drawn: lines scale with the picture, text
// stops shrinking at 70 % so that small pictures stay readable.
// Example: pictureScale(800, 600) gives lines 0.5 and text 0.7.
struct PictureScale {
    double lines = 1.0;
    double text = 1.0;
};
[[nodiscard]] PictureScale pictureScale(int widthPx, int heightPx);

// Draws `document` as last evaluated through its view's camera onto `cairo`,
// whose target is widthPx x heightPx pixels (both positive). Throws HostError
// when the view has no camera. Objects behind the camera are left out; nothing
// drawn has coordinates that are not finite.
void drawCameraView(cairo_t* cairo, const host::Document& document, int widthPx, int heightPx);

} // namespace caelo::pictures

#endif
