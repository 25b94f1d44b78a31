#include "host/files/sceneFile.h"

#include "host/application.h"
#include "host/hostInternal.h"
#include "host/messages.h"
#include "host/registry.h"
#include "host/sceneEditing.h"
#include "host/services/atomicFile.h"
#include "host/services/displayText.h"
#include "host/services/hostError.h"
#include "host/services/jsonReader.h"
#include "host/treeDepth.h"
#include "host/treeEdits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <unordered_map>

namespace caelo::host {

namespace {


// Numbers that JSON cannot hold are written as these texts.
constexpr const char* kNotANumber = "NaN";
constexpr const char* kInfinity = "Infinity";
constexpr const char* kMinusInfinity = "-Infinity";

// ---------------------------------------------------------------- writing

// The file's indentation: two blanks a level, growing no further than
// kMaxIndent columns, so that a deeply nested tree saves in space linear in
// its content (a thousand levels would otherwise ask for kilobytes of blanks
// on every line of the deepest nodes).
constexpr int kIndentStep = 2;
constexpr int kMaxIndent = 64;

void appendBlanks(int indent, std::string& out) {
    out.append(static_cast<std::size_t>(std::min(indent, kMaxIndent)), ' ');
}

// Plain values as JSON texts: numbers in the shortest text that reads back
// exactly, the numbers JSON cannot hold as the texts above, strings quoted
// and escaped (a string that is not UTF-8 is refused).
void appendNumber(double value, std::string& out) {
    if (std::isnan(value)) {
        out += '"' + std::string(kNotANumber) + '"';
    } else if (std::isinf(value)) {
        out += '"' + std::string(value > 0 ? kInfinity : kMinusInfinity) + '"';
    } else {
        out += nlohmann::json(value).dump();
    }
}

void appendString(const std::string& text, std::string& out) {
    out += nlohmann::json(text).dump();
}

void appendVector(Vector v, std::string& out) {
    out += '[';
    appendNumber(v.x, out);
    out += ", ";
    appendNumber(v.y, out);
    out += ", ";
    appendNumber(v.z, out);
    out += ']';
}

// A JSON object written a member a line at `indent`:
//   {
//     "key": value,
//     ...
//   }
// Keys are the file's own (names and numbers), written as they are.
class ObjectLines {
public:
    ObjectLines(std::string& out, int indent) : out_(out), indent_(indent) { out_ += "{\n"; }
    ObjectLines(const ObjectLines&) = delete;
    ObjectLines& operator=(const ObjectLines&) = delete;
    ~ObjectLines() {
        out_ += '\n';
        appendBlanks(indent_, out_);
        out_ += '}';
    }

    // Starts the next member; its value is written to the returned text, at
    // valueIndent() where it spans lines.
    std::string& member(std::string_view key) {
        out_ += first_ ? "" : ",\n";
        first_ = false;
        appendBlanks(valueIndent(), out_);
        out_ += '"';
        out_ += key;
        out_ += "\": ";
        return out_;
    }

    [[nodiscard]] int valueIndent() const { return indent_ + kIndentStep; }

private:
    std::string& out_;
    int indent_;
    bool first_ = true;
};

// A JSON array of objects written an element a line at `indent`, or "[]":
//   [
//     element,
//     ...
//   ]
class ArrayLines {
public:
    ArrayLines(std::string& out, int indent) : out_(out), indent_(indent) {}
    ArrayLines(const ArrayLines&) = delete;
    ArrayLines& operator=(const ArrayLines&) = delete;
    ~ArrayLines() {
        if (empty_) {
            out_ += "[]";
            return;
        }
        out_ += '\n';
        appendBlanks(indent_, out_);
        out_ += ']';
    }

    // Starts the next element; it is written to the returned text, at
    // elementIndent().
    std::string& element() {
        out_ += empty_ ? "[\n" : ",\n";
        empty_ = false;
        appendBlanks(elementIndent(), out_);
        return out_;
    }

    [[nodiscard]] int elementIndent() const { return indent_ + kIndentStep; }

private:
    std::string& out_;
    int indent_;
    bool empty_ = true;
};

void appendTransform(const Transform& t, int indent, std::string& out) {
    ObjectLines members(out, indent);
    appendVector(t.position, members.member("position"));
    appendVector(t.rotation, members.member("rotation"));
    appendVector(t.scale, members.member("scale"));
}

void appendKnot(const HostCurveKnot& k, int indent, std::string& out) {
    ObjectLines members(out, indent);
    appendVector(fromHost(k.position), members.member("position"));
    appendVector(fromHost(k.leftTangent), members.member("left"));
    appendVector(fromHost(k.rightTangent), members.member("right"));
    members.member("flags") += std::to_string(k.flags);
    members.member("interpolation") += std::to_string(k.interpolation);
}

// Streams the scene file: each object is written as it is reached, its
// children after it, so that saving holds no copy of the document but the
// text.
class SceneWriter {
public:
    explicit SceneWriter(const Document& document) : document_(document) {}

    std::string write() {
        Node* camera = document_.camera();
        const bool cameraOutsideTree = camera && !camera->isAttached();
        if (cameraOutsideTree) {
            assignId(*camera);
        }
        document_.forEachNode([this](Node& node) { assignId(node); });

        std::string out;
        {
            ObjectLines top(out, 0);
            appendString(kSceneFormat, top.member("format"));
            top.member("version") += std::to_string(kSceneVersion);
            {
                ObjectLines time(top.member("time"), top.valueIndent());
                time.member("numerator") += std::to_string(document_.time.numerator);
                time.member("denominator") += std::to_string(document_.time.denominator);
            }
            top.member("fps") += std::to_string(document_.fps);
            if (!camera) {
                top.member("camera") += "null";
            } else if (!cameraOutsideTree) {
                top.member("camera") += "{\"node\": " + std::to_string(ids_.at(camera->id())) + "}";
            } else {
                printObject(*camera, top.valueIndent(), top.member("camera"));
            }
            printObjects(document_.firstObject(), top.valueIndent(), top.member("objects"));
        }
        out += '\n';
        return out;
    }

private:
    void assignId(const Node& node) { ids_.emplace(node.id(), static_cast<std::int64_t>(ids_.size()) + 1); }

    // A parameter's value as an object of one member named after its kind:
    // {"float": 0.1} on one line, a curve's knots a line each.
    void appendParameter(const Value& value, int indent, std::string& out) const {
        std::visit(
            [&](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, double>) {
                    out += "{\"float\": ";
                    appendNumber(v, out);
                } else if constexpr (std::is_same_v<T, std::int32_t>) {
                    out += "{\"int32\": " + std::to_string(v);
                } else if constexpr (std::is_same_v<T, bool>) {
                    out += v ? "{\"bool\": true" : "{\"bool\": false";
                } else if constexpr (std::is_same_v<T, std::string>) {
                    out += "{\"string\": ";
                    appendString(v, out);
                } else if constexpr (std::is_same_v<T, Vector>) {
                    out += "{\"vector\": ";
                    appendVector(v, out);
                } else if constexpr (std::is_same_v<T, Link>) {
                    const Node* target = document_.findNode(v.target);
                    const auto it = target ? ids_.find(target->id()) : ids_.end();
                    out +=
                        "{\"link\": " + (it == ids_.end() ? std::string("null") : std::to_string(it->second));
                } else if constexpr (std::is_same_v<T, DateTime>) {
                    const HostDateTime& f = v.fields;
                    out += "{\"date\": [" + std::to_string(f.year) + ", " + std::to_string(f.month) + ", " +
                           std::to_string(f.day) + ", " + std::to_string(f.hour) + ", " +
                           std::to_string(f.minute) + ", " + std::to_string(f.second) + "]";
                } else if constexpr (std::is_same_v<T, Curve>) {
                    if (v.knots.empty()) {
                        out += "{\"curve\": []";
                    } else {
                        appendCurve(v, indent, out);
                        return;
                    }
                }
                out += '}';
            },
            value);
    }

    static void appendCurve(const Curve& curve, int indent, std::string& out) {
        ObjectLines members(out, indent);
        ArrayLines knots(members.member("curve"), members.valueIndent());
        for (const HostCurveKnot& knot : curve.knots) {
            appendKnot(knot, knots.elementIndent(), knots.element());
        }
    }

    // The members every node has; those that hold their default (an empty
    // name, no parameters) are left out, as for objects below, so that a
    // scene of many plain objects stays small.
    void appendCommon(const Node& node, ObjectLines& members) const {
        members.member("id") += std::to_string(ids_.at(node.id()));
        members.member("type") += std::to_string(node.typeId());
        if (!node.name.empty()) {
            appendString(node.name, members.member("name"));
        }
        if (node.parameters.values().begin() == node.parameters.values().end()) {
            return;
        }
        std::string& out = members.member("parameters");
        ObjectLines parameters(out, members.valueIndent());
        for (const auto& [id, value] : node.parameters.values()) {
            appendParameter(value, parameters.valueIndent(), parameters.member(std::to_string(id)));
        }
    }

    // An object: its members, then its tags and its children (where it has
    // any), each written in turn.
    void printObject(const Node& node, int indent, std::string& out) const {
        ObjectLines members(out, indent);
        appendCommon(node, members);
        if (node.relative != Transform{}) {
            appendTransform(node.relative, members.valueIndent(), members.member("relative"));
        }
        if (node.frozen != Transform{}) {
            appendTransform(node.frozen, members.valueIndent(), members.member("frozen"));
        }
        if (node.editorMode != HOST_DISPLAY_FOLLOW_PARENT) {
            members.member("editorMode") += std::to_string(node.editorMode);
        }
        if (node.renderMode != HOST_DISPLAY_FOLLOW_PARENT) {
            members.member("renderMode") += std::to_string(node.renderMode);
        }
        if (!node.enabled()) {
            members.member("enabled") += "false";
        }
        const HostColorProperties& color = node.color;
        if (color.mode != 0 || color.color.x != 0.0 || color.color.y != 0.0 || color.color.z != 0.0 ||
            color.seeThrough) {
            ObjectLines colorMembers(members.member("color"), members.valueIndent());
            colorMembers.member("mode") += std::to_string(color.mode);
            appendVector(fromHost(color.color), colorMembers.member("color"));
            colorMembers.member("seeThrough") += color.seeThrough ? "true" : "false";
        }
        if (!node.tags().empty()) {
            ArrayLines tags(members.member("tags"), members.valueIndent());
            for (const Node* tag : node.tags()) {
                ObjectLines tagMembers(tags.element(), tags.elementIndent());
                appendCommon(*tag, tagMembers);
            }
        }
        if (node.firstChild() != nullptr) {
            printObjects(node.firstChild(), members.valueIndent(), members.member("children"));
        }
    }

    // A list of sibling objects from `first` on, as a JSON array.
    void printObjects(const Node* first, int indent, std::string& out) const {
        ArrayLines objects(out, indent);
        for (const Node* o = first; o; o = o->nextSibling()) {
            printObject(*o, objects.elementIndent(), objects.element());
        }
    }

    const Document& document_;
    std::unordered_map<NodeId, std::int64_t> ids_;
};

// ---------------------------------------------------------------- reading

double readNumber(const JsonPlace& place) {
    if (place.value().is_string()) {
        const std::string text = place.value().get<std::string>();
        if (text == kNotANumber) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        if (text == kInfinity || text == kMinusInfinity) {
            return text == kInfinity ? std::numeric_limits<double>::infinity()
                                     : -std::numeric_limits<double>::infinity();
        }
    }
    return place.number();
}

Vector readVector(const JsonPlace& place) {
    place.requireArray();
    if (place.size() != 3) {
        place.fail("expected [x, y, z]");
    }
    return {readNumber(place.at(0)), readNumber(place.at(1)), readNumber(place.at(2))};
}

Transform readTransform(const JsonPlace& place) {
    Transform t;
    if (const auto p = place.find("position")) {
        t.position = readVector(*p);
    }
    if (const auto r = place.find("rotation")) {
        t.rotation = readVector(*r);
    }
    if (const auto s = place.find("scale")) {
        t.scale = readVector(*s);
    }
    return t;
}

std::int32_t readDisplayMode(const JsonPlace& place) {
    const std::int32_t mode = place.int32();
    if (mode != HOST_DISPLAY_HIDDEN && mode != HOST_DISPLAY_FOLLOW_PARENT) {
        place.fail("expected display mode 1 (hidden) or 2 (follow parent)");
    }
    return mode;
}

class SceneReader {
public:
    // `json` as parsed from `text`, which refusals quote numbers from.
    SceneReader(Application& host, const nlohmann::json& json, std::string_view text,
                const std::string& origin)
        : host_(host), json_(json), text_(text), origin_(origin) {}

    std::unique_ptr<Document> read() {
        const JsonPlace top(json_, origin_, {}, text_);
        top.requireObject();
        const JsonPlace format = top.at("format");
        if (format.text() != kSceneFormat) {
            format.fail(std::string("expected \"") + kSceneFormat + "\"");
        }
        const JsonPlace version = top.at("version");
        if (version.int32() != kSceneVersion) {
            version.fail("unsupported version " + std::to_string(version.int32()) +
                         " (this host reads version " + std::to_string(kSceneVersion) + ")");
        }
        std::unique_ptr<Document> document = createDocument(host_);
        document_ = document.get();
        try {
            readTime(top);
            const JsonPlace camera = top.at("camera");
            const bool cameraInTree = camera.value().is_object() && camera.find("node");
            if (!cameraInTree) {
                readCamera(camera);
            }
            const JsonPlace objects = top.at("objects");
            objects.requireArray();
            for (std::size_t i = 0; i < objects.size(); ++i) {
                Node& object = readObject(objects.at(i));
                TreeEditor::attachChild(object, TreeEditor::root(*document));
            }
            if (cameraInTree) {
                readCamera(camera);
            }
            resolveLinks();
        } catch (const HostError&) {
            removeLooseNodes();
            throw;
        }
        return document;
    }

private:
    struct PendingLink {
        NodeId node;
        std::int32_t parameter;
        std::int64_t target;
        std::string pointer;
    };

    void readTime(const JsonPlace& top) {
        const JsonPlace time = top.at("time");
        const JsonPlace denominator = time.at("denominator");
        document_->time = {time.at("numerator").int64(), denominator.int64()};
        if (document_->time.denominator <= 0) {
            denominator.fail("the denominator must be above 0");
        }
        const JsonPlace fps = top.at("fps");
        document_->fps = fps.int32();
        if (document_->fps < 1) {
            fps.fail("frames per second must be at least 1");
        }
    }

    void readCamera(const JsonPlace& place) {
        Node* defaultCamera = document_->camera();
        if (place.value().is_null()) {
            document_->view().camera = kNoNode;
        } else if (const auto reference = place.find("node")) {
            const auto it = nodes_.find(reference->int64());
            if (it == nodes_.end()) {
                reference->fail("no node with id " + std::to_string(reference->int64()));
            }
            document_->view().camera = it->second;
        } else {
            Node& camera = readObject(place);
            document_->view().camera = camera.id();
            TreeEditor::placeOutsideTree(camera, *document_);
        }
        if (defaultCamera) {
            TreeEditor::destroy(host_.nodes(), *defaultCamera);
        }
    }

    // A node's identity, type, name and parameters. `kind` is where it stands:
    // under "tags" or among objects.
    Node& readNode(const JsonPlace& place, NodeKind kind) {
        place.requireObject();
        const JsonPlace idPlace = place.at("id");
        const std::int64_t fileId = idPlace.int64();
        if (fileId < 1 || nodes_.contains(fileId)) {
            idPlace.fail(fileId < 1 ? "an id must be at least 1"
                                    : "the id " + std::to_string(fileId) + " is used twice");
        }
        const JsonPlace typePlace = place.at("type");
        const std::int32_t typeId = typePlace.int32();
        if (const NodeType* type = host_.findType(typeId); type && type->kind != kind) {
            typePlace.fail("type " + std::to_string(typeId) +
                           (kind == NodeKind::Tag ? " is an object type, not a tag type"
                                                  : " is a tag type, not an object type"));
        }
        Node* made = nullptr;
        try {
            made = &instantiateNode(host_, kind, typeId);
        } catch (const HostError& error) {
            typePlace.fail(error.what());
        }
        Node& node = *made;
        nodes_.emplace(fileId, node.id());
        if (const auto name = place.find("name")) {
            node.name = name->text();
        }
        if (const auto parameters = place.find("parameters")) {
            readParameters(*parameters, node);
        }
        return node;
    }

    // An object at `depth` (1 at the top level or as the view camera outside
    // the tree) with its subtree; deeper trees than the host holds are refused
    // rather than read.
    Node& readObject(const JsonPlace& place, int depth = 1) {
        if (depth > kMaxTreeDepth) {
            place.fail("objects nest deeper than " + std::to_string(kMaxTreeDepth) + " levels");
        }
        Node& node = readNode(place, NodeKind::Object);
        if (const auto relative = place.find("relative")) {
            node.relative = readTransform(*relative);
        }
        if (const auto frozen = place.find("frozen")) {
            node.frozen = readTransform(*frozen);
        }
        if (const auto editor = place.find("editorMode")) {
            node.editorMode = readDisplayMode(*editor);
        }
        if (const auto render = place.find("renderMode")) {
            node.renderMode = readDisplayMode(*render);
        }
        if (const auto enabled = place.find("enabled")) {
            node.setEnabled(enabled->boolean());
        }
        if (const auto color = place.find("color")) {
            node.color.mode = color->at("mode").int32();
            node.color.color = toHost(readVector(color->at("color")));
            node.color.seeThrough = color->at("seeThrough").boolean();
        }
        if (const auto tags = place.find("tags")) {
            tags->requireArray();
            for (std::size_t i = 0; i < tags->size(); ++i) {
                TreeEditor::attachTag(readNode(tags->at(i), NodeKind::Tag), node);
            }
        }
        if (const auto children = place.find("children")) {
            children->requireArray();
            for (std::size_t i = 0; i < children->size(); ++i) {
                TreeEditor::attachChild(readObject(children->at(i), depth + 1), node);
            }
        }
        return node;
    }

    void readParameters(const JsonPlace& place, Node& node) {
        place.requireObject();
        for (const auto& [key, unused] : place.value().items()) {
            const std::int32_t id = place.keyAsInt32(key);
            const JsonPlace entry = place.at(key);
            entry.requireObject();
            if (entry.size() != 1) {
                entry.fail("expected one member naming the value's type (float, int32, bool, string, vector, "
                           "link, date or curve)");
            }
            const std::string type = entry.value().begin().key();
            node.parameters.set(id, readValue(entry.at(type), type, node, id));
        }
    }

    Value readValue(const JsonPlace& place, const std::string& type, const Node& node, std::int32_t id) {
        if (type == "float") {
            return readNumber(place);
        }
        if (type == "int32") {
            return place.int32();
        }
        if (type == "bool") {
            return place.boolean();
        }
        if (type == "string") {
            return place.text();
        }
        if (type == "vector") {
            return readVector(place);
        }
        if (type == "link") {
            if (!place.value().is_null()) {
                pending_.push_back({node.id(), id, place.int64(), place.pointer()});
            }
            return Link{};
        }
        if (type == "date") {
            place.requireArray();
            if (place.size() != 6) {
                place.fail("expected [year, month, day, hour, minute, second]");
            }
            return DateTime{{place.at(0).int32(), place.at(1).int32(), place.at(2).int32(),
                             place.at(3).int32(), place.at(4).int32(), place.at(5).int32()}};
        }
        if (type == "curve") {
            place.requireArray();
            Curve curve;
            for (std::size_t i = 0; i < place.size(); ++i) {
                const JsonPlace k = place.at(i);
                curve.knots.push_back({toHost(readVector(k.at("position"))), toHost(readVector(k.at("left"))),
                                       toHost(readVector(k.at("right"))), k.at("flags").int32(),
                                       k.at("interpolation").int32()});
            }
            return curve;
        }
        JsonPlace(place.value(), origin_, place.pointer().substr(0, place.pointer().rfind('/')))
            .fail("unknown value type \"" + type + "\"");
    }

    void resolveLinks() {
        for (const PendingLink& link : pending_) {
            const auto it = nodes_.find(link.target);
            if (it == nodes_.end()) {
                throw HostError(origin_ + ": at " + link.pointer + ": no node with id " +
                                std::to_string(link.target));
            }
            host_.findNode(link.node)->parameters.setLink(link.parameter, it->second);
        }
    }

    // After a failure: removes the nodes read so far that hang in no tree
    // (with their subtrees); the document removes the rest.
    void removeLooseNodes() {
        for (const auto& [fileId, id] : nodes_) {
            if (Node* node = host_.findNode(id); node && !node->isAttached() && !node->document()) {
                TreeEditor::destroy(host_.nodes(), *node);
            }
        }
    }

    Application& host_;
    const nlohmann::json& json_;
    std::string_view text_;
    const std::string& origin_;
    Document* document_ = nullptr;
    std::unordered_map<std::int64_t, NodeId> nodes_;
    std::vector<PendingLink> pending_;
};

} // namespace

std::string sceneToText(const Document& document) {
    return SceneWriter(document).write();
}

void saveScene(const Document& document, const std::filesystem::path& file) {
    try {
        writeFileAtomically(file, sceneToText(document));
    } catch (const HostError& error) {
        throw HostError(excerpt(file.string()) + ": cannot save the scene: " + error.what());
    }
}

std::unique_ptr<Document> sceneFromText(Application& host, std::string_view text, const std::string& origin) {
    const nlohmann::json json = parseJsonText(text, origin, kSceneNesting);
    return SceneReader(host, json, text, origin).read();
}

Document& loadScene(Application& host, const std::filesystem::path& file) {
    const JsonDocument json = readJsonDocument(file.string(), kSceneNesting);
    const std::string origin = excerpt(file.string());
    std::unique_ptr<Document> document = SceneReader(host, json.value, json.text, origin).read();
    Document& loaded = host.adoptDocument(std::move(document));
    notifyDocumentLoaded(loaded);
    return loaded;
}

} // namespace caelo::host
