#include "outputs/gltf/gltfLooks.h"

#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "outputs/appearance/appearance.h"
#include "outputs/appearance/ringProfiles.h"
#include "outputs/gltf/gltfMesh.h"
#include "outputs/gltf/gltfNames.h"
#include "outputs/gltf/pngImage.h"
#include "places/systemObject.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace caelo::gltf {

using host::Node;

namespace {

// Surfaces are not metals and reflect diffusely.
constexpr double kMetallic = 0.0;
constexpr double kRoughness = 0.9;

// The brightness of a lit day side at 1 au in three.js, as a share of its
// colour, and in Cycles; see gltfLooks.h.
constexpr double kLitBrightness = 2.0;
constexpr double kCyclesBrightness = 3.0;
// The share of its colour a globe or ring glows with, lit or not.
constexpr double kAmbientShare = 0.01;
// How bright the Earth's lights glow, as a share of their map: faint, since
// a client that cannot tell night from day shows them on the day side too
// (the page shows them by night only, brighter).
constexpr double kNightLightsShare = 0.2;
// The star's glow and light: its colour mixed this far towards white.
constexpr double kGlowWhiteShare = 0.6;

constexpr const char* kLightsExtension = "KHR_lights_punctual";
constexpr const char* kEmissiveStrengthExtension = "KHR_materials_emissive_strength";
constexpr const char* kUnlitExtension = "KHR_materials_unlit";

// The linear value of an sRGB component (IEC 61966-2-1).
double linearOf(double srgb) {
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

std::array<double, 3> linearOf(const appearance::RgbColour& c) {
    return {linearOf(c.red), linearOf(c.green), linearOf(c.blue)};
}

std::array<double, 3> scaled(const std::array<double, 3>& c, double factor) {
    return {c[0] * factor, c[1] * factor, c[2] * factor};
}

std::array<double, 3> glowOf(const appearance::RgbColour& colour) {
    const auto towardsWhite = [](double c) { return c + (1.0 - c) * kGlowWhiteShare; };
    return linearOf(appearance::RgbColour{towardsWhite(colour.red), towardsWhite(colour.green),
                                          towardsWhite(colour.blue)});
}

// Scene units per au of the system that governs the object; throws when it
// has none that is usable.
double unitsPerAuOf(const Node& object) {
    const Node* system = places::governingSystem(object);
    const double unitsPerAu = system != nullptr ? places::sceneUnitsPerAu(*system) : 0.0;
    if (!std::isfinite(unitsPerAu) || unitsPerAu <= 0.0) {
        throw host::HostError(host::describeNode(object) + " (\"" + object.name +
                              "\"): it glows, but no system with a usable distance scale governs it");
    }
    return unitsPerAu;
}

} // namespace

void GltfLooks::use(const char* extension) {
    extensions_.insert(extension);
}

std::optional<int> GltfLooks::textureOf(const Node& globe, appearance::MapLayer layer) {
    const appearance::Role role = appearance::roleOf(document_, globe);
    if (!embedMaps_ || (role != appearance::Role::Globe && role != appearance::Role::Star)) {
        return std::nullopt;
    }
    const appearance::SurfaceMap* map = appearance::surfaceMapOf(globe.name, layer);
    if (map == nullptr) {
        return std::nullopt;
    }
    return writer_.addTexture(map->fileName, map->jpeg, "image/jpeg", TextureLayout::AroundGlobe);
}

std::optional<int> GltfLooks::stripTextureOf(const Node& ring) {
    const std::vector<double> strip =
        embedMaps_ ? appearance::ringStripOf(document_, ring) : std::vector<double>{};
    const std::optional<appearance::RadialSpan> span = appearance::ringSpanOf(ring);
    if (strip.empty() || !span) {
        return std::nullopt;
    }
    // White, so that the material's colour (the ring's) tints it; its
    // transparency is the profile's.
    constexpr int kRows = 1;
    std::vector<std::uint8_t> rgba;
    rgba.reserve(strip.size() * 4);
    for (const double opacity : strip) {
        rgba.insert(rgba.end(), {255, 255, 255, static_cast<std::uint8_t>(std::lround(opacity * 255.0))});
    }
    const std::string name = asciiName(appearance::dressedName(document_, ring)) + " " +
                             std::to_string(std::lround(span->innerKm)) + "-" +
                             std::to_string(std::lround(span->outerKm)) + " km";
    return writer_.addTexture(name, pngOfRgba(static_cast<int>(strip.size()), kRows, rgba), "image/png",
                              TextureLayout::AcrossRing);
}

int GltfLooks::materialOf(const Node& object, bool open) {
    const appearance::Look look = appearance::lookOf(document_, object);
    const std::optional<int> surface = textureOf(object, appearance::MapLayer::Surface);
    const std::optional<int> strip = surface ? std::nullopt : stripTextureOf(object);
    // A map shows its own colours: the object's colour does not tint it. A
    // ring's strip is white and gives the transparency.
    const std::array<double, 3> colour = surface ? std::array{1.0, 1.0, 1.0} : linearOf(look.colour);
    const double opacity = strip ? 1.0 : look.opacity;
    nlohmann::json material = {{"name", asciiName(appearance::dressedName(document_, object))},
                               {"pbrMetallicRoughness",
                                {{"baseColorFactor", {colour[0], colour[1], colour[2], opacity}},
                                 {"metallicFactor", kMetallic},
                                 {"roughnessFactor", kRoughness}}}};
    if (surface || strip) {
        material["pbrMetallicRoughness"]["baseColorTexture"] = {{"index", surface ? *surface : *strip}};
    }
    const std::optional<int> night = surface ? textureOf(object, appearance::MapLayer::Night) : std::nullopt;
    if (look.unlit) {
        material["extensions"][kUnlitExtension] = nlohmann::json::object();
        use(kUnlitExtension);
    } else if (look.glows) {
        const double radius = sphereWorldRadius(object);
        const double auPerRadius = unitsPerAuOf(object) / radius;
        const double strength = kCyclesBrightness * auPerRadius * auPerRadius;
        if (!(radius > 0.0) || !std::isfinite(strength)) {
            throw host::HostError(host::describeNode(object) + " (\"" + object.name +
                                  "\"): it glows, but its size gives its glow no strength");
        }
        // Its glow, not its map, lights a renderer that lights by glowing
        // surfaces: a map's own colours would tint every body it lights.
        material["emissiveFactor"] = glowOf(look.colour);
        material["extensions"][kEmissiveStrengthExtension] = {{"emissiveStrength", strength}};
        use(kEmissiveStrengthExtension);
    } else if (night) {
        material["emissiveFactor"] = scaled(colour, kNightLightsShare);
    } else {
        material["emissiveFactor"] = scaled(colour, kAmbientShare);
    }
    if (surface && !look.glows) {
        material["emissiveTexture"] = {{"index", night.value_or(*surface)}};
    }
    const bool blends = opacity < 1.0 || strip;
    if (blends) {
        material["alphaMode"] = "BLEND";
    }
    if (open || blends) {
        material["doubleSided"] = true;
    }
    const std::string key = material.dump();
    if (const auto found = materials_.find(key); found != materials_.end()) {
        return found->second;
    }
    const int index = writer_.append("materials", std::move(material));
    materials_.emplace(key, index);
    return index;
}

int GltfLooks::lightOf(const Node& object) {
    const appearance::Look look = appearance::lookOf(document_, object);
    if (!look.glows) {
        return -1;
    }
    const double unitsPerAu = unitsPerAuOf(object);
    nlohmann::json& lights = writer_.json()["extensions"][kLightsExtension]["lights"];
    lights.push_back({{"name", asciiName(object.name) + " light"},
                      {"type", "point"},
                      {"color", glowOf(look.colour)},
                      {"intensity", kLitBrightness * std::numbers::pi * unitsPerAu * unitsPerAu}});
    use(kLightsExtension);
    return static_cast<int>(lights.size()) - 1;
}

void GltfLooks::declareExtensions() {
    for (const std::string& extension : extensions_) {
        writer_.json()["extensionsUsed"].push_back(extension);
    }
}

} // namespace caelo::gltf
