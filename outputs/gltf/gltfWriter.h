// A glTF 2.0 asset being put together: its JSON and one binary buffer, written
// as a binary .glb or as .gltf JSON with the buffer embedded as a data URI.
//
// Example:
//   GltfWriter writer;
//   const int times = writer.addFloats({0.0f, 1.0f}, 1, GltfTarget::None);
//   ...
//   const std::string glb = writer.glb();
#ifndef CAELO_OUTPUTS_GLTF_GLTF_WRITER_H
#define CAELO_OUTPUTS_GLTF_GLTF_WRITER_H

#include <cstdint>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace caelo::gltf {

// What a buffer view holds, for viewers that upload it.
enum class GltfTarget { None, Vertices, Indices };

// How a texture lies on its surface: a globe's map repeats around (u) and
// stops at the poles (v); a ring's strip stops at both edges.
enum class TextureLayout { AroundGlobe, AcrossRing };

class GltfWriter {
public:
    GltfWriter();

    // The JSON of the asset; callers add nodes, meshes, materials, cameras,
    // animations and scenes to it as glTF defines them.
    [[nodiscard]] nlohmann::json& json() { return json_; }

    // Appends `values` (components per element: 1, 3 or 4) to the buffer with a
    // view and an accessor of float elements, with their bounds; answers the
    // accessor's index. The values must be finite.
    // Data equal to what was added before is not stored again: the earlier
    // accessor is answered (sphere normals, indices of equal topologies,
    // equal key times and keys).
    int addFloats(const std::vector<float>& values, int components, GltfTarget target);
    // Appends unit quaternions (4 values each, in [-1, 1]) as normalised
    // signed 16-bit numbers, as glTF allows for rotation keys, with a view and
    // an accessor; answers the accessor's index. Each component is off by at
    // most 1 / 65534.
    int addNormalizedQuaternions(const std::vector<float>& values);
    // The same for indices, stored as unsigned 16-bit numbers where they all
    // fit, else as 32-bit ones.
    int addIndices(const std::vector<std::uint32_t>& indices);

    // Appends the bytes of a picture (`mimeType` "image/jpeg" or "image/png")
    // to the buffer as an image named `name`, with a texture laid out as
    // `layout` says; answers the texture's index. The same name answers the
    // texture made before.
    int addTexture(const std::string& name, std::string_view bytes, const char* mimeType,
                   TextureLayout layout);

    // Appends an element to a top-level array of the JSON ("nodes", ...) and
    // answers its index.
    int append(const char* array, nlohmann::json element);

    // The whole asset as a binary glTF file. Throws HostError when it would
    // not fit the format's 32-bit lengths.
    [[nodiscard]] std::string glb() const;
    // The whole asset as glTF JSON with the buffer as a base64 data URI.
    [[nodiscard]] std::string embeddedGltf() const;

private:
    int addView(const void* data, std::size_t bytes, GltfTarget target);
    int addFloatsOnce(const std::vector<float>& values, int components, GltfTarget target);
    int addIndicesOnce(const std::vector<std::uint32_t>& indices);
    // The accessor already made of these bytes with this description, or the
    // one `make` appends: equal key times and equal keys are stored once.
    int shared(const void* data, std::size_t bytes, const nlohmann::json& description,
               const std::function<int()>& make);
    [[nodiscard]] nlohmann::json withBuffer(const std::string* uri) const;

    nlohmann::json json_;
    std::string binary_;
    std::map<std::string, int> accessorsByContent_;
    std::map<std::string, int> texturesByName_;
    std::map<TextureLayout, int> samplersByLayout_;
};

} // namespace caelo::gltf

#endif
