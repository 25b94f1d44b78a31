#include "outputs/gltf/gltfExport.h"

#include "host/evaluation.h"
#include "host/primitiveParameters.h"
#include "host/registry.h"
#include "host/sceneEditing.h"
#include "host/services/fileNames.h"
#include "host/services/hostError.h"
#include "outputs/appearance/appearance.h"
#include "outputs/gltf/gltfAnimation.h"
#include "outputs/gltf/gltfFrame.h"
#include "outputs/gltf/gltfLooks.h"
#include "outputs/gltf/gltfMesh.h"
#include "outputs/gltf/gltfNames.h"
#include "outputs/gltf/gltfWrap.h"
#include "outputs/gltf/gltfWriter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace caelo::gltf {

using host::Document;
using host::HostError;
using host::Node;
using host::Vector;

namespace {

// The camera's focal length when it has none (mm) and the film it is taken
// for, 36 mm wide at an aspect of 4:3.
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

// An orbit line's tube is this share of the orbit's radius across: thin
// beside the orbit at any distance, and wider for the larger orbits, which
// are seen from further away; but no wider than this share of the diameter of
// the body that runs on it, so that it does not hide the body seen close up
// (Neptune's orbit would be twice as wide as Neptune).
constexpr double kOrbitTubeWidthShare = 0.006;
constexpr double kOrbitTubeBodyShare = 0.25;

} // namespace

GltfFormat gltfFormatOf(const std::filesystem::path& file) {
    const std::string extension = host::lowercaseExtension(file);
    if (extension == ".glb") {
        return GltfFormat::Binary;
    }
    if (extension == ".gltf") {
        return GltfFormat::Json;
    }
    throw HostError("the file name must end in .glb or .gltf");
}

namespace {

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

// The tube width of an orbit line (scene units, in the spline's frame).
double orbitTubeWidth(const Node& spline, const PrimitiveMesh& loop) {
    double width = loopRadius(loop) * kOrbitTubeWidthShare;
    const Document* document = spline.document();
    if (const Node* globe = document != nullptr ? appearance::globeOnOrbitLine(*document, spline) : nullptr) {
        const double diameter = 2.0 * sphereWorldRadius(*globe);
        const double splineScale = host::largestScale(spline.worldMatrix());
        if (diameter > 0.0 && splineScale > 0.0) {
            width = std::min(width, kOrbitTubeBodyShare * diameter / splineScale);
        }
    }
    return width;
}

// The mesh of an object's primitive as the scene stands, with an orbit line
// as the options ask and a bent box no finer than its bend needs; nothing for
// no mesh.
std::optional<PrimitiveMesh> exportedMesh(const Node& object, OrbitLines orbitLines) {
    if (object.typeId() == host::kTypeBox) {
        if (const auto segments = bentBoxSegments(object)) {
            return boxMeshWithSegments(object, *segments);
        }
    }
    std::optional<PrimitiveMesh> mesh = buildPrimitiveMesh(object);
    if (!mesh || mesh->topology != MeshTopology::LineLoop || orbitLines == OrbitLines::Lines) {
        return mesh;
    }
    if (orbitLines == OrbitLines::None) {
        return std::nullopt;
    }
    PrimitiveMesh tube = tubeAlongLoop(*mesh, orbitTubeWidth(object, *mesh) / 2.0);
    return tube.positions.empty() ? std::nullopt : std::optional(std::move(tube));
}

// Puts the objects' geometry, materials and camera into the asset.
class SceneBuilder {
public:
    SceneBuilder(GltfWriter& writer, const Document& document, OrbitLines orbitLines, GlobeMaps maps)
        : writer_(writer), looks_(writer, document, maps == GlobeMaps::Embedded), orbitLines_(orbitLines) {}

    // The mesh of the object's primitive as the scene stands, or -1.
    int meshOf(const Node& object, const std::string& name) {
        std::optional<PrimitiveMesh> mesh = exportedMesh(object, orbitLines_);
        if (!mesh) {
            return -1;
        }
        applyWrapDeformers(object, *mesh);
        noteExtent(object, *mesh);
        nlohmann::json primitive = {
            {"attributes",
             {{"POSITION", writer_.addFloats(points(object, mesh->positions), 3, GltfTarget::Vertices)}}},
            {"material", looks_.materialOf(object, mesh->open)}};
        if (mesh->topology == MeshTopology::Triangles) {
            if (!mesh->normals.empty()) {
                primitive["attributes"]["NORMAL"] =
                    writer_.addFloats(points(object, mesh->normals), 3, GltfTarget::Vertices);
            }
            if (!mesh->texcoords.empty()) {
                primitive["attributes"]["TEXCOORD_0"] =
                    writer_.addFloats(texcoordFloats(mesh->texcoords), 2, GltfTarget::Vertices);
            }
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
        return writer_.append("meshes", {{"name", name}, {"primitives", {std::move(primitive)}}});
    }

    [[nodiscard]] GltfLooks& looks() { return looks_; }

    // A perspective glTF camera for a camera object.
    int cameraOf(const Node& camera, const std::string& name) {
        const double focalLengthMm = finiteParameter(camera, host::kCameraFocalLength, kDefaultFocalLengthMm);
        if (focalLengthMm <= 0.0) {
            throw HostError(host::describeNode(camera) + " (\"" + camera.name +
                            "\"): its focal length is not positive");
        }
        const double yfov = 2.0 * std::atan(kFilmWidthMm / kFilmAspect / 2.0 / focalLengthMm);
        const Vector eye = camera.worldMatrix().off;
        double far = 0.0;
        for (const Extent& extent : extents_) {
            far = std::max(far, host::length(extent.centre - eye) + extent.radius);
        }
        far = far > 0.0 && std::isfinite(far) ? far * kFarPlaneMargin : kFallbackFarPlane;
        return writer_.append(
            "cameras",
            {{"name", name},
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
        const host::Matrix world = object.worldMatrix();
        double radius = 0.0;
        for (const Vector& p : mesh.positions) {
            radius = std::max(radius, host::length(p));
        }
        extents_.push_back({world.off, radius * host::largestScale(world)});
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
                        host::describeNode(object) + " (\"" + object.name +
                        "\"): its geometry has a coordinate that is not finite or too large for glTF");
                }
                out.push_back(f);
            }
        }
        return out;
    }

    // Texture coordinates as floats; they lie in [0, 1].
    static std::vector<float> texcoordFloats(const std::vector<std::array<double, 2>>& texcoords) {
        std::vector<float> out;
        out.reserve(texcoords.size() * 2);
        for (const auto& [u, v] : texcoords) {
            out.push_back(static_cast<float>(u));
            out.push_back(static_cast<float>(v));
        }
        return out;
    }

    GltfWriter& writer_;
    GltfLooks looks_;
    OrbitLines orbitLines_;
    std::vector<Extent> extents_;
};

// The nodes of the objects (a frozen node above an object's node where the
// frozen transform is not the identity or moves), linked into their tree.
// Answers the index of each object's own node and of its topmost node.
struct ObjectNodes {
    std::vector<int> own;
    std::vector<int> top;
};

// What each exported object's node carries besides its transform.
struct ObjectContents {
    std::vector<std::string> names;
    std::vector<int> meshes; // -1: none
    std::vector<int> lights; // -1: none
    int cameraObject = -1;   // the object that carries the camera
    int camera = -1;
};

// The name of an object's role for the pages built on the file, or nullptr.
const char* roleName(appearance::Role role) {
    switch (role) {
    case appearance::Role::Star:
        return "star";
    case appearance::Role::Globe:
        return "globe";
    case appearance::Role::Ring:
        return "ring";
    case appearance::Role::OrbitLine:
        return "orbitLine";
    case appearance::Role::Plane:
        return "plane";
    case appearance::Role::Other:
        break;
    }
    return nullptr;
}

// What tools and pages read of an object besides its transform and geometry:
// its place in the document, its role and the globe its body circles.
nlohmann::json objectExtras(const Document& document, const Node& object) {
    nlohmann::json extras = nlohmann::json::object();
    if (const std::string path = document.pathOf(object); !path.empty()) {
        extras["hostPath"] = path;
    }
    if (const char* role = roleName(appearance::roleOf(document, object))) {
        extras["role"] = role;
    }
    if (const Node* globe = appearance::circledGlobe(document, object)) {
        extras["circles"] = document.pathOf(*globe);
    }
    return extras;
}

ObjectNodes addNodes(GltfWriter& writer, const Document& document, const std::vector<ExportedObject>& objects,
                     const std::vector<ObjectKeys>& keys, const ObjectContents& contents) {
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
            nodes.push_back(transformNode(contents.names[i] + " (frozen)", k.first[kFrozenPart]));
            nodes.back()["children"] = nlohmann::json::array({indices.top[i] + 1});
        }
        indices.own[i] = firstNode + static_cast<int>(nodes.size());
        nlohmann::json node = transformNode(contents.names[i], k.first[kRelativePart]);
        if (nlohmann::json extras = objectExtras(document, object); !extras.empty()) {
            node["extras"] = std::move(extras);
        }
        if (contents.meshes[i] >= 0) {
            node["mesh"] = contents.meshes[i];
        }
        if (contents.lights[i] >= 0) {
            node["extensions"]["KHR_lights_punctual"] = {{"light", contents.lights[i]}};
        }
        if (static_cast<int>(i) == contents.cameraObject) {
            node["camera"] = contents.camera;
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
                const int output = property == kRotation
                                       ? writer.addNormalizedQuaternions(channel.values)
                                       : writer.addFloats(channel.values, 3, GltfTarget::None);
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

// What the file records of its time, for the scene's extras.
nlohmann::json timeline(const Document& document, const GltfExportOptions& options) {
    nlohmann::json extras = {{"framesPerSecond", document.fps},
                             {"frameCount", options.frameCount},
                             {"startDocumentSeconds", options.start.seconds()}};
    if (!options.startDate.empty()) {
        extras["startDate"] = options.startDate;
    }
    if (options.secondsPerModelDay) {
        extras["secondsPerModelDay"] = *options.secondsPerModelDay;
    }
    if (options.sceneUnitsPerAu) {
        extras["sceneUnitsPerAu"] = *options.sceneUnitsPerAu;
    }
    return extras;
}

// Puts the document back at its time, evaluated, however the export ends.
class TimeRestorer {
public:
    explicit TimeRestorer(Document& document) : document_(document), time_(document.time) {}
    TimeRestorer(const TimeRestorer&) = delete;
    TimeRestorer& operator=(const TimeRestorer&) = delete;
    ~TimeRestorer() {
        document_.time = time_;
        host::evaluateDocument(document_);
    }

private:
    Document& document_;
    host::DocumentTime time_;
};

std::string assemble(Document& document, GltfFormat format, const GltfExportOptions& options) {
    TimeRestorer restorer(document);
    document.time = options.start;
    host::evaluateDocument(document);

    const std::vector<ExportedObject> objects = collectObjects(document);
    GltfWriter writer;
    SceneBuilder scene(writer, document, options.orbitLines, options.maps);
    std::vector<const Node*> nodes;
    std::vector<int> parents;
    for (const ExportedObject& object : objects) {
        nodes.push_back(object.node);
        parents.push_back(object.parent);
    }
    ObjectContents contents;
    contents.names = uniqueNodeNames(nodes);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const bool drawn = objects[i].drawn;
        contents.meshes.push_back(drawn ? scene.meshOf(*nodes[i], contents.names[i]) : -1);
        contents.lights.push_back(drawn ? scene.looks().lightOf(*nodes[i]) : -1);
    }
    if (const Node* view = document.camera()) {
        if (const auto found = std::find(nodes.begin(), nodes.end(), view); found != nodes.end()) {
            contents.cameraObject = static_cast<int>(found - nodes.begin());
            contents.camera =
                scene.cameraOf(*view, contents.names[static_cast<std::size_t>(contents.cameraObject)]);
        }
    }
    scene.looks().declareExtensions();

    const std::vector<ObjectKeys> keys =
        sampleObjectKeys(document, nodes, parents, options.start, options.frameCount, options.progress);
    const ObjectNodes indices = addNodes(writer, document, objects, keys, contents);
    nlohmann::json roots = nlohmann::json::array();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (objects[i].parent < 0) {
            roots.push_back(indices.top[i]);
        }
    }
    nlohmann::json documentScene = {{"name", "Document"}, {"extras", timeline(document, options)}};
    if (!roots.empty()) { // glTF wants a scene's node list to hold a node
        documentScene["nodes"] = std::move(roots);
    }
    writer.append("scenes", std::move(documentScene));
    writer.json()["scene"] = 0;
    addAnimation(writer, keys, indices);
    return format == GltfFormat::Binary ? writer.glb() : writer.embeddedGltf();
}

// Throws HostError when the options or the document cannot give an export.
void requireExportable(const Document& document, const GltfExportOptions& options) {
    if (options.frameCount < 1 || options.frameCount > kMaxExportFrames) {
        throw HostError("the frame count " + std::to_string(options.frameCount) + " is not between 1 and " +
                        std::to_string(kMaxExportFrames));
    }
    if (document.fps <= 0) {
        throw HostError("the document's frame rate " + std::to_string(document.fps) + " is not positive");
    }
}

} // namespace

std::string exportGltf(Document& document, GltfFormat format, const GltfExportOptions& options) {
    try {
        requireExportable(document, options);
        return assemble(document, format, options);
    } catch (const HostError& error) {
        throw HostError(std::string("cannot export glTF: ") + error.what());
    }
}

} // namespace caelo::gltf
