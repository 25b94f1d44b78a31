#include "outputs/gltf/gltfWriter.h"

#include "host/services/base64.h"
#include "host/services/hostError.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace caelo::gltf {

namespace {

// Numbers glTF gives to component types, element types' names and targets.
constexpr int kComponentFloat = 5126;
constexpr int kComponentUnsignedInt = 5125;
constexpr int kComponentUnsignedShort = 5123;
constexpr int kComponentShort = 5122;
// A normalised signed 16-bit number stands for its value / 32767.
constexpr double kShortScale = 32767.0;
constexpr int kTargetArrayBuffer = 34962;
constexpr int kTargetElementArrayBuffer = 34963;
// Texture sampling: bilinear, with mipmaps when minified; repeated or
// stopped at the edge.
constexpr int kFilterLinear = 9729;
constexpr int kFilterLinearMipmapLinear = 9987;
constexpr int kWrapRepeat = 10497;
constexpr int kWrapClampToEdge = 33071;

// The binary container: header magic, version and chunk types.
constexpr std::uint32_t kGlbMagic = 0x46546C67; // "glTF"
constexpr std::uint32_t kGlbVersion = 2;
constexpr std::uint32_t kChunkJson = 0x4E4F534A;   // "JSON"
constexpr std::uint32_t kChunkBinary = 0x004E4942; // "BIN\0"
constexpr std::size_t kGlbHeaderBytes = 12;
constexpr std::size_t kChunkHeaderBytes = 8;
// Buffer views and chunks start on 4-byte boundaries.
constexpr std::size_t kAlignment = 4;

const char* elementType(int components) {
    switch (components) {
    case 1:
        return "SCALAR";
    case 2:
        return "VEC2";
    case 3:
        return "VEC3";
    default:
        return "VEC4";
    }
}

std::size_t padded(std::size_t bytes) {
    return (bytes + kAlignment - 1) / kAlignment * kAlignment;
}

void appendWord(std::string& out, std::uint32_t word) {
    // Little-endian, as the container is.
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((word >> shift) & 0xFFu));
    }
}

} // namespace

GltfWriter::GltfWriter() {
    json_["asset"] = {{"version", "2.0"}, {"generator", "caelo"}};
}

int GltfWriter::append(const char* array, nlohmann::json element) {
    nlohmann::json& elements = json_[array];
    elements.push_back(std::move(element));
    return static_cast<int>(elements.size()) - 1;
}

int GltfWriter::addView(const void* data, std::size_t bytes, GltfTarget target) {
    nlohmann::json view = {{"buffer", 0}, {"byteOffset", binary_.size()}, {"byteLength", bytes}};
    if (target != GltfTarget::None) {
        view["target"] = target == GltfTarget::Vertices ? kTargetArrayBuffer : kTargetElementArrayBuffer;
    }
    binary_.append(static_cast<const char*>(data), bytes);
    binary_.resize(padded(binary_.size()), '\0');
    return append("bufferViews", std::move(view));
}

int GltfWriter::shared(const void* data, std::size_t bytes, const nlohmann::json& description,
                       const std::function<int()>& make) {
    std::string key = description.dump();
    key.push_back('\0');
    key.append(static_cast<const char*>(data), bytes);
    if (const auto found = accessorsByContent_.find(key); found != accessorsByContent_.end()) {
        return found->second;
    }
    const int accessor = make();
    accessorsByContent_.emplace(std::move(key), accessor);
    return accessor;
}

int GltfWriter::addTexture(const std::string& name, std::string_view bytes, const char* mimeType,
                           TextureLayout layout) {
    if (const auto found = texturesByName_.find(name); found != texturesByName_.end()) {
        return found->second;
    }
    auto sampler = samplersByLayout_.find(layout);
    if (sampler == samplersByLayout_.end()) {
        const int wrapS = layout == TextureLayout::AroundGlobe ? kWrapRepeat : kWrapClampToEdge;
        sampler = samplersByLayout_
                      .emplace(layout, append("samplers", {{"magFilter", kFilterLinear},
                                                           {"minFilter", kFilterLinearMipmapLinear},
                                                           {"wrapS", wrapS},
                                                           {"wrapT", kWrapClampToEdge}}))
                      .first;
    }
    const int view = addView(bytes.data(), bytes.size(), GltfTarget::None);
    const int image = append("images", {{"name", name}, {"bufferView", view}, {"mimeType", mimeType}});
    const int texture = append("textures", {{"name", name}, {"sampler", sampler->second}, {"source", image}});
    texturesByName_.emplace(name, texture);
    return texture;
}

int GltfWriter::addFloats(const std::vector<float>& values, int components, GltfTarget target) {
    return shared(values.data(), values.size() * sizeof(float),
                  {{"floats", components}, {"target", static_cast<int>(target)}},
                  [&] { return addFloatsOnce(values, components, target); });
}

int GltfWriter::addFloatsOnce(const std::vector<float>& values, int components, GltfTarget target) {
    const std::size_t count = values.size() / static_cast<std::size_t>(components);
    nlohmann::json minimum = nlohmann::json::array();
    nlohmann::json maximum = nlohmann::json::array();
    for (int c = 0; c < components; ++c) {
        float low = std::numeric_limits<float>::max();
        float high = std::numeric_limits<float>::lowest();
        for (std::size_t i = static_cast<std::size_t>(c); i < values.size();
             i += static_cast<std::size_t>(components)) {
            low = std::min(low, values[i]);
            high = std::max(high, values[i]);
        }
        minimum.push_back(static_cast<double>(low));
        maximum.push_back(static_cast<double>(high));
    }
    const int view = addView(values.data(), values.size() * sizeof(float), target);
    return append("accessors", {{"bufferView", view},
                                {"componentType", kComponentFloat},
                                {"count", count},
                                {"type", elementType(components)},
                                {"min", std::move(minimum)},
                                {"max", std::move(maximum)}});
}

int GltfWriter::addNormalizedQuaternions(const std::vector<float>& values) {
    std::vector<std::int16_t> shorts;
    shorts.reserve(values.size());
    for (const float v : values) {
        shorts.push_back(static_cast<std::int16_t>(
            std::lround(std::clamp(static_cast<double>(v), -1.0, 1.0) * kShortScale)));
    }
    return shared(shorts.data(), shorts.size() * sizeof(std::int16_t), {{"quaternions", true}}, [&] {
        const int view = addView(shorts.data(), shorts.size() * sizeof(std::int16_t), GltfTarget::None);
        return append("accessors", {{"bufferView", view},
                                    {"componentType", kComponentShort},
                                    {"normalized", true},
                                    {"count", values.size() / 4},
                                    {"type", "VEC4"}});
    });
}

int GltfWriter::addIndices(const std::vector<std::uint32_t>& indices) {
    return shared(indices.data(), indices.size() * sizeof(std::uint32_t), {{"indices", true}},
                  [&] { return addIndicesOnce(indices); });
}

int GltfWriter::addIndicesOnce(const std::vector<std::uint32_t>& indices) {
    // glTF keeps the largest value of the type for restarting strips.
    const bool fitsShorts = std::all_of(indices.begin(), indices.end(), [](std::uint32_t index) {
        return index < std::numeric_limits<std::uint16_t>::max();
    });
    int view = -1;
    if (fitsShorts) {
        const std::vector<std::uint16_t> shorts(indices.begin(), indices.end());
        view = addView(shorts.data(), shorts.size() * sizeof(std::uint16_t), GltfTarget::Indices);
    } else {
        view = addView(indices.data(), indices.size() * sizeof(std::uint32_t), GltfTarget::Indices);
    }
    return append("accessors",
                  {{"bufferView", view},
                   {"componentType", fitsShorts ? kComponentUnsignedShort : kComponentUnsignedInt},
                   {"count", indices.size()},
                   {"type", "SCALAR"}});
}

nlohmann::json GltfWriter::withBuffer(const std::string* uri) const {
    nlohmann::json whole = json_;
    if (!binary_.empty()) {
        nlohmann::json buffer = {{"byteLength", binary_.size()}};
        if (uri != nullptr) {
            buffer["uri"] = *uri;
        }
        whole["buffers"] = nlohmann::json::array({std::move(buffer)});
    }
    return whole;
}

std::string GltfWriter::glb() const {
    std::string text = withBuffer(nullptr).dump();
    text.resize(padded(text.size()), ' ');
    const std::size_t total = kGlbHeaderBytes + kChunkHeaderBytes + text.size() +
                              (binary_.empty() ? 0 : kChunkHeaderBytes + binary_.size());
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        throw host::HostError("the scene is too large for a binary glTF file (" + std::to_string(total) +
                              " bytes)");
    }
    std::string out;
    out.reserve(total);
    appendWord(out, kGlbMagic);
    appendWord(out, kGlbVersion);
    appendWord(out, static_cast<std::uint32_t>(total));
    appendWord(out, static_cast<std::uint32_t>(text.size()));
    appendWord(out, kChunkJson);
    out += text;
    if (!binary_.empty()) {
        appendWord(out, static_cast<std::uint32_t>(binary_.size()));
        appendWord(out, kChunkBinary);
        out += binary_;
    }
    return out;
}

std::string GltfWriter::embeddedGltf() const {
    const std::string uri = "data:application/octet-stream;base64," + host::base64(binary_);
    return withBuffer(&uri).dump(1) + "\n";
}

} // namespace caelo::gltf
