#include "gltfExport.h"

#include "atomicFile.h"
#include "evaluation.h"
#include "gltfAnimation.h"
#include "gltfFrame.h"
#include "gltfMesh.h"
#include "gltfWrap.h"
#include "gltfWriter.h"
#include "hostError.h"
#include "registry.h"
#include "sceneEditing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace caelo::host {

namespace {

// Display colours: the mode that uses the object's own colour, the colour of
// the others, and the opacity of a see-through object.
constexpr std::int32_t kColorModeOwn = 2;
constexpr std::array<double, 3> kDefaultColour{0.8, 0.8, 0.8};
constexpr double kSeeThroughOpacity = 0.5;
// Surfaces are not metals and reflect diffusely.
constexpr double kMetallic = 0.0;
constexpr double kRoughness = 0.8;

// The camera: its focal length parameter (mm) and the film it is taken for,
// 36 mm wide at an aspect of 4:3.
constexpr std::int32_t kCameraFocalLength = 500;
constexpr double kDefaultFocalLengthMm = 36.0;
constexpr double kFilmWidthMm = 36.0;
constexpr double kFilmAspect = 4.0 / 3.0;
// The far plane lies this many times beyond the farthest geometry at the first
// frame (room for its motion); the near plane this fraction of the far.
constexpr double kFarPlaneMargin = 2.0;
constexpr double kNearToFar = 1e-5;
constexpr double kFallbackFarPlane = 10000.0;

// glTF's mesh modes.
constexpr int kModeLineLoop = 2;
constexpr int kModeTriangles = 4;

enum class GltfFormat { Binary, Json };

GltfFormat formatOf(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".glb") {
        return GltfFormat::Binary;
    }
    if (extension == ".gltf") {
        return GltfFormat::Json;
    }
    throw HostError(file.string() + ": cannot export glTF: the file name must end in .glb or .gltf");
}

// ASCII for a Latin-1 letter U+00C0 to U+00FF ('_' where there is none).
constexpr char kLatin1Ascii[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTs"
                                "aaaaaaaceeeeiiiidnooooo_ouuuuyty";

// The name as plain printable ASCII: accented Latin letters lose their
// accents, other characters (and broken UTF-8) become '_'.
std::string asciiName(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(lead >= 0x20 && lead < 0x7F ? static_cast<char>(lead) : '_');
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::uint32_t codePoint = length == 4 ? lead & 0x07u : length == 3 ? lead & 0x0Fu : lead & 0x1Fu;
        bool valid = length > 1 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0u) == 0x80u;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        const bool latin1Letter = valid && codePoint >= 0xC0 && codePoint <= 0xFF;
        out.push_back(latin1Letter ? kLatin1Ascii[codePoint - 0xC0] : '_');
        i += valid ? length : 1;
    }
    return out;
}

std::string nodeName(const Node& node) {
    if (!node.name.empty()) {
        return asciiName(node.name);
    }
    return node.type() ? asciiName(node.type()->displayName) : "Object";
}

// An object that is exported, with the index of its exported parent (-1 at
// the top); a switched-off object is exported undrawn.
struct ExportedObject {
    const Node* node;
    int parent;
    bool drawn;
};

// The objects shown: an object whose render display code is "hidden" is left
// out with everything below it (what follows its parent is hidden with it).
// A switched-off object is not drawn, but what is shown below it still is: it
// stays as a node without geometry where it has such children, and is left
// out otherwise. The active view's camera comes last when it sits outside the
// tree.
std::vector<ExportedObject> collectObjects(const Document& document) {
    std::vector<ExportedObject> objects;
    const auto visit = [&objects](const auto& self, const Node* first, int parent) -> void {
        for (const Node* node = first; node != nullptr; node = node->nextSibling()) {
            if (node->renderMode == HOST_DISPLAY_HIDDEN) {
                continue;
            }
            const std::size_t index = objects.size();
            objects.push_back({node, parent, node->enabled()});
            self(self, node->firstChild(), static_cast<int>(index));
            if (!node->enabled() && objects.size() == index + 1) {
                objects.pop_back();
            }
        }
    };
    visit(visit, document.firstObject(), -1);
    if (const Node* camera = document.camera(); camera != nullptr && !camera->isAttached()) {
        objects.push_back({camera, -1, true});
    }
    return objects;
}

std::vector<double> asVector(const auto& values) {
    return {std::begin(values), std::end(values)};
}

bool isIdentity(const GltfTransform& t) {
    return t.translation == std::array<double, 3>{0.0, 0.0, 0.0} &&
           t.rotation == std::array<double, 4>{0.0, 0.0, 0.0, 1.0} &&
           t.scale == std::array<double, 3>{1.0, 1.0, 1.0};
}

// A node with the transform written where it is not the default.
nlohmann::json transformNode(const std::string& name, const GltfTransform& t) {
    nlohmann::json node = {{"name", name}};
    if (t.translation != std::array<double, 3>{0.0, 0.0, 0.0}) {
        node["translation"] = asVector(t.translation);
    }
    if (t.rotation != std::array<double, 4>{0.0, 0.0, 0.0, 1.0}) {
        node["rotation"] = asVector(t.rotation);
    }
    if (t.scale != std::array<double, 3>{1.0, 1.0, 1.0}) {
        node["scale"] = asVector(t.scale);
    }
    return node;
}

// Puts the objects' geometry, materials and camera into the asset.
class SceneBuilder {
public:
    explicit SceneBuilder(GltfWriter& writer) : writer_(writer) {}

    // The mesh of the object's primitive as the scene stands, or -1.
    int meshOf(const Node& object) {
        std::optional<PrimitiveMesh> mesh = buildPrimitiveMesh(object);
        if (!mesh) {
            return -1;
        }
        applyWrapDeformers(object, *mesh);
        noteExtent(object, *mesh);
        nlohmann::json primitive = {
            {"attributes",
             {{"POSITION", writer_.addFloats(points(object, mesh->positions), 3, GltfTarget::Vertices)}}},
            {"material", materialOf(object, mesh->open)}};
        if (mesh->topology == MeshTopology::Triangles) {
            primitive["attributes"]["NORMAL"] =
                writer_.addFloats(points(object, mesh->normals), 3, GltfTarget::Vertices);
            // The mirror into glTF's frame turns the corners' order around.
            std::vector<std::uint32_t> indices = mesh->indices;
            for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
                std::swap(indices[i + 1], indices[i + 2]);
            }
            primitive["indices"] = writer_.addIndices(indices);
            primitive["mode"] = kModeTriangles;
        } else {
            primitive["mode"] = kModeLineLoop;
        }
        return writer_.append("meshes", {{"name", nodeName(object)}, {"primitives", {std::move(primitive)}}});
    }

    // A perspective glTF camera for a camera object.
    int cameraOf(const Node& camera) {
        const double focalLengthMm = finiteParameter(camera, kCameraFocalLength, kDefaultFocalLengthMm);
        if (focalLengthMm <= 0.0) {
            throw HostError(describeNode(camera) + " (\"" + camera.name +
                            "\"): its focal length is not positive");
        }
        const double yfov = 2.0 * std::atan(kFilmWidthMm / kFilmAspect / 2.0 / focalLengthMm);
        const Vector eye = camera.worldMatrix().off;
        double far = 0.0;
        for (const Extent& extent : extents_) {
            far = std::max(far, length(extent.centre - eye) + extent.radius);
        }
        far = far > 0.0 && std::isfinite(far) ? far * kFarPlaneMargin : kFallbackFarPlane;
        return writer_.append(
            "cameras",
            {{"name", nodeName(camera)},
             {"type", "perspective"},
             {"perspective",
              {{"aspectRatio", kFilmAspect}, {"yfov", yfov}, {"znear", far * kNearToFar}, {"zfar", far}}}});
    }

private:
    // The bounding sphere of a mesh in the world, for the camera's planes.
    struct Extent {
        Vector centre;
        double radius;
    };

    void noteExtent(const Node& object, const PrimitiveMesh& mesh) {
        const Matrix world = object.worldMatrix();
        const double stretch = std::max({length(world.x), length(world.y), length(world.z)});
        double radius = 0.0;
        for (const Vector& p : mesh.positions) {
            radius = std::max(radius, length(p));
        }
        extents_.push_back({world.off, radius * stretch});
    }

    // Positions or normals in glTF's frame as floats; throws for a value that
    // is not finite as a float.
    static std::vector<float> points(const Node& object, const std::vector<Vector>& vectors) {
        std::vector<float> out;
        out.reserve(vectors.size() * 3);
        for (const Vector& v : vectors) {
            for (const double c : toGltfVector(v)) {
                const auto f = static_cast<float>(c);
                if (!std::isfinite(f)) {
                    throw HostError(
                        describeNode(object) + " (\"" + object.name +
                        "\"): its geometry has a coordinate that is not finite or too large for glTF");
                }
                out.push_back(f);
            }
        }
        return out;
    }

    int materialOf(const Node& object, bool open) {
        const HostColorProperties& c = object.color;
        std::array<double, 3> colour = kDefaultColour;
        if (c.mode == kColorModeOwn) {
            if (!std::isfinite(c.color.x) || !std::isfinite(c.color.y) || !std::isfinite(c.color.z)) {
                throw HostError(describeNode(object) + " (\"" + object.name +
                                "\"): its display colour is not finite");
            }
            colour = {std::clamp(c.color.x, 0.0, 1.0), std::clamp(c.color.y, 0.0, 1.0),
                      std::clamp(c.color.z, 0.0, 1.0)};
        }
        const auto key = std::make_tuple(colour, c.seeThrough, open);
        if (const auto found = materials_.find(key); found != materials_.end()) {
            return found->second;
        }
        nlohmann::json material = {
            {"pbrMetallicRoughness",
             {{"baseColorFactor", {colour[0], colour[1], colour[2], c.seeThrough ? kSeeThroughOpacity : 1.0}},
              {"metallicFactor", kMetallic},
              {"roughnessFactor", kRoughness}}}};
        if (c.seeThrough) {
            material["alphaMode"] = "BLEND";
        }
        if (open) {
            material["doubleSided"] = true;
        }
        const int index = writer_.append("materials", std::move(material));
        materials_.emplace(key, index);
        return index;
    }

    GltfWriter& writer_;
    std::map<std::tuple<std::array<double, 3>, bool, bool>, int> materials_;
    std::vector<Extent> extents_;
};

// The nodes of the objects (a frozen node above an object's node where the
// frozen transform is not the identity or moves), linked into their tree.
// Answers the index of each object's own node and of its topmost node.
struct ObjectNodes {
    std::vector<int> own;
    std::vector<int> top;
};

ObjectNodes addNodes(GltfWriter& writer, const Document& document, const std::vector<ExportedObject>& objects,
                     const std::vector<ObjectKeys>& keys, const std::vector<int>& meshes, int cameraObject,
                     int camera) {
    std::vector<nlohmann::json> nodes;
    ObjectNodes indices{std::vector<int>(objects.size()), std::vector<int>(objects.size())};
    const auto firstNode = static_cast<int>(writer.json().value("nodes", nlohmann::json::array()).size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const Node& object = *objects[i].node;
        const ObjectKeys& k = keys[i];
        const bool frozenMoves =
            std::any_of(std::begin(k.channels[kFrozenPart]), std::end(k.channels[kFrozenPart]),
                        [](const ChannelKeys& channel) { return channel.moves; });
        indices.top[i] = firstNode + static_cast<int>(nodes.size());
        if (frozenMoves || !isIdentity(k.first[kFrozenPart])) {
            nodes.push_back(transformNode(nodeName(object) + " (frozen)", k.first[kFrozenPart]));
            nodes.back()["children"] = nlohmann::json::array({indices.top[i] + 1});
        }
        indices.own[i] = firstNode + static_cast<int>(nodes.size());
        nlohmann::json node = transformNode(nodeName(object), k.first[kRelativePart]);
        if (const std::string path = document.pathOf(object); !path.empty()) {
            node["extras"] = {{"hostPath", path}};
        }
        if (meshes[i] >= 0) {
            node["mesh"] = meshes[i];
        }
        if (static_cast<int>(i) == cameraObject) {
            node["camera"] = camera;
        }
        nodes.push_back(std::move(node));
        if (objects[i].parent >= 0) {
            nodes[static_cast<std::size_t>(indices.own[static_cast<std::size_t>(objects[i].parent)] -
                                           firstNode)]["children"]
                .push_back(indices.top[i]);
        }
    }
    for (nlohmann::json& node : nodes) {
        writer.append("nodes", std::move(node));
    }
    return indices;
}

void addAnimation(GltfWriter& writer, const std::vector<ObjectKeys>& keys, const ObjectNodes& nodes) {
    static constexpr const char* kPaths[kTransformPropertyCount] = {"translation", "rotation", "scale"};
    nlohmann::json samplers = nlohmann::json::array();
    nlohmann::json channels = nlohmann::json::array();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i].moves()) {
            continue;
        }
        int input = -1;
        for (int part = 0; part < kTransformPartCount; ++part) {
            for (int property = 0; property < kTransformPropertyCount; ++property) {
                const ChannelKeys& channel = keys[i].channels[part][property];
                if (!channel.moves) {
                    continue;
                }
                if (input < 0) {
                    input = writer.addFloats(keys[i].timesSeconds, 1, GltfTarget::None);
                }
                const int output =
                    writer.addFloats(channel.values, property == kRotation ? 4 : 3, GltfTarget::None);
                const int node = part == kFrozenPart ? nodes.top[i] : nodes.own[i];
                channels.push_back(
                    {{"sampler", samplers.size()}, {"target", {{"node", node}, {"path", kPaths[property]}}}});
                samplers.push_back({{"input", input}, {"output", output}, {"interpolation", "LINEAR"}});
            }
        }
    }
    if (!channels.empty()) {
        writer.append(
            "animations",
            {{"name", "Document"}, {"samplers", std::move(samplers)}, {"channels", std::move(channels)}});
    }
}

// Puts the document back at its time, evaluated, however the export ends.
class TimeRestorer {
public:
    explicit TimeRestorer(Document& document) : document_(document), time_(document.time) {}
    TimeRestorer(const TimeRestorer&) = delete;
    TimeRestorer& operator=(const TimeRestorer&) = delete;
    ~TimeRestorer() {
        document_.time = time_;
        evaluateDocument(document_);
    }

private:
    Document& document_;
    Rational time_;
};

std::string assemble(Document& document, GltfFormat format, const GltfExportOptions& options) {
    TimeRestorer restorer(document);
    document.time = options.start;
    evaluateDocument(document);

    const std::vector<ExportedObject> objects = collectObjects(document);
    GltfWriter writer;
    SceneBuilder scene(writer);
    std::vector<int> meshes;
    std::vector<const Node*> nodes;
    for (const ExportedObject& object : objects) {
        meshes.push_back(object.drawn ? scene.meshOf(*object.node) : -1);
        nodes.push_back(object.node);
    }
    int cameraObject = -1;
    int camera = -1;
    if (const Node* view = document.camera()) {
        if (const auto found = std::find(nodes.begin(), nodes.end(), view); found != nodes.end()) {
            cameraObject = static_cast<int>(found - nodes.begin());
            camera = scene.cameraOf(*view);
        }
    }

    const std::vector<ObjectKeys> keys =
        sampleObjectKeys(document, nodes, options.start, options.frameCount, options.progress);
    const ObjectNodes indices = addNodes(writer, document, objects, keys, meshes, cameraObject, camera);
    nlohmann::json roots = nlohmann::json::array();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (objects[i].parent < 0) {
            roots.push_back(indices.top[i]);
        }
    }
    nlohmann::json documentScene = {{"name", "Document"}};
    if (!roots.empty()) { // glTF wants a scene's node list to hold a node
        documentScene["nodes"] = std::move(roots);
    }
    writer.append("scenes", std::move(documentScene));
    writer.json()["scene"] = 0;
    addAnimation(writer, keys, indices);
    return format == GltfFormat::Binary ? writer.glb() : writer.embeddedGltf();
}

} // namespace

void exportGltf(Document& document, const std::filesystem::path& file, const GltfExportOptions& options) {
    const GltfFormat format = formatOf(file);
    const std::string prefix = file.string() + ": cannot export glTF: ";
    if (options.frameCount < 1 || options.frameCount > kMaxExportFrames) {
        throw HostError(prefix + "the frame count " + std::to_string(options.frameCount) +
                        " is not between 1 and " + std::to_string(kMaxExportFrames));
    }
    if (document.fps <= 0) {
        throw HostError(prefix + "the document's frame rate " + std::to_string(document.fps) +
                        " is not positive");
    }
    try {
        writeFileAtomically(file, assemble(document, format, options));
    } catch (const HostError& error) {
        throw HostError(prefix + error.what());
    }
}

} // namespace caelo::host
