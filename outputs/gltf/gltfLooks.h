// The export's materials and lights, from the objects' looks (appearance.h),
// so that the scene opens lit and coloured in three.js and in a Blender
// Cycles render as it is.
//
// - Globes and rings: a rough, non-metallic surface of their colour lit by the
//   star, with a faint glow of that colour (kAmbientShare of it) so that the
//   night sides and the far planets, which the light hardly reaches, still
//   show. Translucent rings are blended.
// - A globe whose body has a surface map (surfaceMaps.h) wears it instead of
//   its colour, when the maps are embedded: the map is its base colour and
//   its faint glow, and the Earth glows with its lights by night instead.
// - The star: its colour or map, glowing warm white
//   (KHR_materials_emissive_strength; its map does not glow, so that a
//   renderer lit by glowing surfaces lights the bodies white, not in the
//   map's orange) and carrying a point light (KHR_lights_punctual) at its
//   centre.
// - A ring whose planet has a radial profile (ringProfiles.h) wears its strip
//   when the maps are embedded: a white PNG across the ring (u from the inner
//   to the outer edge) whose alpha is the profile's opacity, tinted by the
//   ring's colour and blended.
// Every material is named after what it dresses (appearance::dressedName).
// - Orbit lines and planes: unlit (KHR_materials_unlit), their colour whatever
//   the light.
//
// The light falls off with the square of the distance, as glTF defines it:
// seen at the system's distance scale, a planet's day side is kLitBrightness
// times its colour at 1 au (its full colour at 1.4 au), a ninth of that at
// 3 au. So that both clients
// show the inner planets lit without washing them out, the two are lit by
// different means, chosen by how each reads the file:
// - three.js lights only by the point light, whose intensity (candela) is
//   kLitBrightness x pi x (scene units per au)^2 (a Lambertian surface of
//   albedo A at distance d then shows A x intensity / (pi d^2));
// - Blender's importer turns candela into watts divided by 683, too faint to
//   see; its Cycles lights by the star's glowing surface as well, which is
//   strength kCyclesBrightness x (au / star radius)^2, and which its own
//   sphere does not block since the light leaves that very surface (the
//   point light at the centre stays inside).
// Colours are given in glTF's linear space, from the looks' sRGB.
#ifndef CAELO_OUTPUTS_GLTF_GLTF_LOOKS_H
#define CAELO_OUTPUTS_GLTF_GLTF_LOOKS_H

#include "host/scene.h"
#include "outputs/appearance/surfaceMaps.h"
#include "outputs/gltf/gltfWriter.h"

#include <map>
#include <optional>
#include <set>
#include <string>

namespace caelo::gltf {

class GltfLooks {
public:
    GltfLooks(GltfWriter& writer, const host::Document& document, bool embedMaps)
        : writer_(writer), document_(document), embedMaps_(embedMaps) {}

    // The material of an object's mesh, shared by the objects that look alike;
    // `open` surfaces (planes) are seen from both sides. Throws HostError
    // naming the object when its glow cannot be sized.
    int materialOf(const host::Node& object, bool open);

    // The point light an object carries (the star), or -1.
    int lightOf(const host::Node& object);

    // Declares the extensions the materials and lights used.
    void declareExtensions();

private:
    void use(const char* extension);

    // The texture of one of a globe's maps, or nothing when it has none or
    // the maps are left out.
    std::optional<int> textureOf(const host::Node& globe, appearance::MapLayer layer);
    // The texture of a ring's strip (appearance/ringProfiles.h), or nothing
    // when its planet has no profile or the maps are left out.
    std::optional<int> stripTextureOf(const host::Node& ring);

    GltfWriter& writer_;
    const host::Document& document_;
    bool embedMaps_;
    std::map<std::string, int> materials_; // by their JSON
    std::set<std::string> extensions_;
};

} // namespace caelo::gltf

#endif
