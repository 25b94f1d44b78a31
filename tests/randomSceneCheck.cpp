#include "tests/randomSceneCheck.h"

#include "host/application.h"
#include "host/evaluation.h"
#include "host/sceneEditing.h"
#include "host/services/numberText.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <set>
#include <sstream>
#include <variant>
#include <vector>

namespace caelo::host::randomScene {

namespace {

class Inspector {
public:
    explicit Inspector(const Document& document) : document_(document) {}

    std::optional<Failure> inspect() {
        if (auto failure = objects(document_.firstObject(), nullptr)) {
            return failure;
        }
        std::size_t inDocument = seen_.size();
        if (const Node* camera = document_.camera(); camera && !camera->isAttached()) {
            if (camera->document() != &document_) {
                return fail("tree", "the view camera does not belong to its document");
            }
            if (auto failure = values(*camera)) {
                return failure;
            }
            ++inDocument;
        }
        if (application().nodeCount() != inDocument) {
            return fail("tree", std::to_string(application().nodeCount() - inDocument) +
                                    " living node(s) belong to no document");
        }
        return std::nullopt;
    }

private:
    static std::optional<Failure> fail(const std::string& category, const std::string& message) {
        return Failure{0, category, message};
    }

    std::optional<Failure> common(const Node& node) {
        if (!seen_.insert(&node).second) {
            return fail("tree", describeNode(node) + " is reached twice in the tree");
        }
        if (node.document() != &document_) {
            return fail("tree", describeNode(node) + " sits in the tree but names another document");
        }
        if (application().findNode(node.id()) != &node) {
            return fail("tree", describeNode(node) + " is not in the host's node store");
        }
        const std::string path = document_.pathOf(node);
        if (path.empty() || document_.nodeAtPath(path) != &node) {
            return fail("tree", "the path " + quotedText(path) + " does not lead back to its node");
        }
        return values(node);
    }

    std::optional<Failure> objects(const Node* first, const Node* parent) {
        const Node* previous = nullptr;
        for (const Node* node = first; node; previous = node, node = node->nextSibling()) {
            if (seen_.size() > application().nodeCount()) {
                return fail("tree", "the tree holds more nodes than are alive: it has a cycle");
            }
            if (!node->isObject()) {
                return fail("tree", describeNode(*node) + " is a tag among objects");
            }
            if (node->parent() != parent || node->prevSibling() != previous) {
                return fail("tree", describeNode(*node) + " disagrees with its parent or previous sibling");
            }
            if (auto failure = common(*node)) {
                return failure;
            }
            for (const Node* tag : node->tags()) {
                if (!tag->isTag() || tag->object() != node) {
                    return fail("tree", describeNode(*node) + " holds a tag that does not name it");
                }
                if (auto failure = common(*tag)) {
                    return failure;
                }
            }
            if (auto failure = objects(node->firstChild(), node)) {
                return failure;
            }
        }
        const Node* last = parent ? parent->lastChild() : document_.lastObject();
        if (last != previous) {
            return fail("tree", "the last child of " +
                                    (parent ? describeNode(*parent) : std::string("the top level")) +
                                    " is not the end of its children");
        }
        return std::nullopt;
    }

    // Non-finite numbers and links that leave the document.
    std::optional<Failure> values(const Node& node) const {
        std::string where;
        const auto finite = [&where](const Vector& v, const std::string& what) {
            if (std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) {
                return true;
            }
            where = what + " is " + vectorText(v);
            return false;
        };
        const bool transformsFinite =
            !node.isObject() ||
            (finite(node.relative.position, "relative position") &&
             finite(node.relative.rotation, "relative rotation") &&
             finite(node.relative.scale, "relative scale") &&
             finite(node.frozen.position, "frozen position") &&
             finite(node.frozen.rotation, "frozen rotation") && finite(node.frozen.scale, "frozen scale") &&
             finite(fromHost(node.color.color), "display colour"));
        if (!transformsFinite) {
            return fail("non-finite", describeNode(node) + ": " + where);
        }
        for (const auto& [id, value] : node.parameters.values()) {
            const std::string what = "parameter " + std::to_string(id);
            bool ok = true;
            if (const double* d = std::get_if<double>(&value)) {
                ok = std::isfinite(*d) || (where = what + " is " + formatDouble(*d), false);
            } else if (const Vector* v = std::get_if<Vector>(&value)) {
                ok = finite(*v, what);
            } else if (const Curve* curve = std::get_if<Curve>(&value)) {
                for (const HostCurveKnot& k : curve->knots) {
                    ok = ok && finite(fromHost(k.position), what + " knot") &&
                         finite(fromHost(k.leftTangent), what + " knot") &&
                         finite(fromHost(k.rightTangent), what + " knot");
                }
            } else if (const Link* link = std::get_if<Link>(&value); link && link->target != kNoNode) {
                const Node* target = application().findNode(link->target);
                if (target && target->document() != &document_) {
                    return fail("link", describeNode(node) + ": " + what +
                                            " links to a living node outside the document");
                }
            }
            if (!ok) {
                return fail("non-finite", describeNode(node) + ": " + where);
            }
        }
        return std::nullopt;
    }

    const Document& document_;
    std::set<const Node*> seen_;
};

// Type ids of the module's tags, its body axis and the body axis's globe link.
constexpr std::int32_t kFirstModuleTag = 1032496;
constexpr std::int32_t kLastModuleTag = 1032501;
constexpr std::int32_t kBodyAxisType = 1032495;
constexpr std::int32_t kGlobeLink = 1011;

constexpr std::int32_t kAttitudeTagType = 1032501;

// True when one of the module's tags follows an attitude tag on the object:
// it may move the frozen frame the attitude tag has read.
bool holdsTagAfterAttitudeTag(const Node& object) {
    bool attitudeSeen = false;
    for (const Node* tag : object.tags()) {
        if (attitudeSeen && tag->typeId() >= kFirstModuleTag && tag->typeId() <= kLastModuleTag) {
            return true;
        }
        attitudeSeen = attitudeSeen || tag->typeId() == kAttitudeTagType;
    }
    return false;
}

bool holdsModuleTag(const Node& object) {
    for (const Node* tag : object.tags()) {
        if (tag->typeId() >= kFirstModuleTag && tag->typeId() <= kLastModuleTag) {
            return true;
        }
    }
    return false;
}

// How many repeats a scene that reads places set later in the pass may take
// to settle: one for each reader that reads a place from a later reader in
// turn. Scenes users build nest one or two.
constexpr int kMaxSettlingRepeats = 8;

// The body axes' memory of the heading they wrote last, kept in their nodes
// outside their description.
constexpr std::int32_t kWrittenHeadingParameter = 1052;
constexpr std::int32_t kHeadingBaseParameter = 1053;

// Numbers held exactly, as the scene file's shortest exact texts hold them:
// bit for bit, with every NaN the same.
bool sameNumber(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ||
           (std::isnan(a) && std::isnan(b));
}

bool sameVector(const Vector& a, const Vector& b) {
    return sameNumber(a.x, b.x) && sameNumber(a.y, b.y) && sameNumber(a.z, b.z);
}

bool sameTransform(const Transform& a, const Transform& b) {
    return sameVector(a.position, b.position) && sameVector(a.rotation, b.rotation) &&
           sameVector(a.scale, b.scale);
}

bool sameValue(const Value& a, const Value& b) {
    if (a.index() != b.index()) {
        return false;
    }
    if (const double* x = std::get_if<double>(&a)) {
        return sameNumber(*x, std::get<double>(b));
    }
    if (const Vector* v = std::get_if<Vector>(&a)) {
        return sameVector(*v, std::get<Vector>(b));
    }
    return a == b;
}

std::string transformText(const Transform& t) {
    return "position " + vectorText(t.position) + ", rotation " + vectorText(t.rotation) + ", scale " +
           vectorText(t.scale);
}

// What a scene file holds of a document (its time, rate and view, and each
// node's members in tree order), copied so that the document can be compared
// with itself after an evaluation without writing its text: exactly, as the
// scene text compares, and without the body axes' memory of the heading they
// wrote last (parameters 1052 and 1053). By design that memory follows the
// heading found in the node, so a second writer of the same rotation (an
// attitude tag on the body axis, which overrides it after the body axis runs)
// changes it once, on the second pass; the rotation itself does not change.
class SceneState {
public:
    explicit SceneState(const Document& document)
        : time_(document.time), fps_(document.fps),
          camera_(document.camera() ? document.camera()->id() : kNoNode) {
        if (const Node* camera = document.camera(); camera && !camera->isAttached()) {
            add(*camera);
        }
        document.forEachNode([this](const Node& node) { add(node); });
    }

    // Nothing when both hold the same, else the first difference, naming the
    // node it belongs to.
    [[nodiscard]] std::optional<std::string> differenceTo(const SceneState& other) const {
        if (time_.numerator != other.time_.numerator || time_.denominator != other.time_.denominator ||
            fps_ != other.fps_ || camera_ != other.camera_) {
            return "the document's time, rate or view camera changed";
        }
        if (nodes_.size() != other.nodes_.size()) {
            return std::to_string(nodes_.size()) + " node(s) became " + std::to_string(other.nodes_.size());
        }
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            if (auto difference = nodes_[i].differenceTo(other.nodes_[i])) {
                return "in node " + std::to_string(nodes_[i].id) + " (" + quotedText(nodes_[i].name) +
                       "): " + *difference;
            }
        }
        return std::nullopt;
    }

private:
    struct NodeState {
        NodeId id;
        std::int32_t typeId;
        std::string name;
        std::vector<std::pair<std::int32_t, Value>> parameters;
        Transform relative;
        Transform frozen;
        std::int32_t editorMode;
        std::int32_t renderMode;
        bool enabled;
        HostColorProperties color;

        std::optional<std::string> differenceTo(const NodeState& o) const {
            if (id != o.id || typeId != o.typeId || name != o.name) {
                return "became node " + std::to_string(o.id) + " (" + quotedText(o.name) + ")";
            }
            if (parameters.size() != o.parameters.size()) {
                return std::to_string(parameters.size()) + " parameter(s) became " +
                       std::to_string(o.parameters.size());
            }
            for (std::size_t i = 0; i < parameters.size(); ++i) {
                const auto& [paramId, value] = parameters[i];
                if (paramId != o.parameters[i].first || !sameValue(value, o.parameters[i].second)) {
                    return "parameter " + std::to_string(paramId) + " " + valueText(value) + " became " +
                           std::to_string(o.parameters[i].first) + " " + valueText(o.parameters[i].second);
                }
            }
            if (!sameTransform(relative, o.relative)) {
                return "relative " + transformText(relative) + " became " + transformText(o.relative);
            }
            if (!sameTransform(frozen, o.frozen)) {
                return "frozen " + transformText(frozen) + " became " + transformText(o.frozen);
            }
            if (editorMode != o.editorMode || renderMode != o.renderMode || enabled != o.enabled ||
                color.mode != o.color.mode || !sameNumber(color.color.x, o.color.color.x) ||
                !sameNumber(color.color.y, o.color.color.y) || !sameNumber(color.color.z, o.color.color.z) ||
                color.seeThrough != o.color.seeThrough) {
                return "its display modes, enabled state or colour changed";
            }
            return std::nullopt;
        }
    };

    void add(const Node& node) {
        NodeState& state = nodes_.emplace_back(NodeState{node.id(),
                                                         node.typeId(),
                                                         node.name,
                                                         {},
                                                         node.relative,
                                                         node.frozen,
                                                         node.editorMode,
                                                         node.renderMode,
                                                         node.enabled(),
                                                         node.color});
        for (const auto& [id, value] : node.parameters.values()) {
            if ((id != kWrittenHeadingParameter && id != kHeadingBaseParameter) ||
                !std::holds_alternative<double>(value)) {
                state.parameters.emplace_back(id, value);
            }
        }
    }

    DocumentTime time_;
    std::int32_t fps_;
    NodeId camera_;
    std::vector<NodeState> nodes_;
};

// True when the module reads a world place that is set later in the pass
// (see changesOnReevaluation): a body's globe outside its body axis's
// subtree, an object the module evaluates or a globe at or below an object
// that one of the module's tags moves, or a tag after an attitude tag on the
// same object.
bool readsPlacesSetLaterInThePass(const Document& document) {
    std::set<NodeId> globes;
    bool found = false;
    document.forEachObject([&](Node& node) {
        if (node.typeId() != kBodyAxisType) {
            return;
        }
        const Node* globe = document.findNode(node.parameters.getLink(kGlobeLink));
        if (globe) {
            globes.insert(globe->id());
            found = found || !globe->isWithin(node);
        }
    });
    document.forEachObject([&](Node& node) {
        found = found || holdsTagAfterAttitudeTag(node);
        if (found || !holdsModuleTag(node)) {
            return;
        }
        std::vector<Node*> below{&node};
        while (!below.empty() && !found) {
            const Node* n = below.back();
            below.pop_back();
            found = (n->nodeClass() && n->isObject()) || globes.contains(n->id());
            for (Node* child = n->firstChild(); child; child = child->nextSibling()) {
                below.push_back(child);
            }
        }
    });
    return found;
}

} // namespace

std::string changesOnReevaluation(Document& document) {
    SceneState before(document);
    evaluateDocument(document);
    SceneState after(document);
    std::optional<std::string> difference = before.differenceTo(after);
    if (!difference || !readsPlacesSetLaterInThePass(document)) {
        return difference.value_or(std::string{});
    }
    for (int repeat = 2; repeat <= kMaxSettlingRepeats; ++repeat) {
        before = std::move(after);
        evaluateDocument(document);
        after = SceneState(document);
        difference = before.differenceTo(after);
        if (!difference) {
            return {};
        }
    }
    return "still changing after " + std::to_string(kMaxSettlingRepeats) + " repeats: " + *difference;
}

std::string quotedText(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) {
            static constexpr char kHex[] = "0123456789abcdef";
            quoted += "\\x";
            quoted += kHex[static_cast<unsigned char>(c) >> 4];
            quoted += kHex[static_cast<unsigned char>(c) & 0xf];
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string vectorText(const Vector& v) {
    return "(" + formatDouble(v.x) + ", " + formatDouble(v.y) + ", " + formatDouble(v.z) + ")";
}

std::string firstDifference(const std::string& before, const std::string& after) {
    std::istringstream a(before);
    std::istringstream b(after);
    std::string lineA;
    std::string lineB;
    std::string lastName;
    for (std::size_t number = 1;; ++number) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB) {
            return "no difference";
        }
        if (lineA != lineB || moreA != moreB) {
            return "line " + std::to_string(number) + (lastName.empty() ? "" : " (in " + lastName + ")") +
                   ": " + quotedText(moreA ? lineA : "<end>") + " became " +
                   quotedText(moreB ? lineB : "<end>");
        }
        if (lineA.find("\"name\":") != std::string::npos) {
            lastName = lineA.substr(lineA.find_first_not_of(' '));
        }
    }
}

std::optional<Failure> findViolation(const Document& document) {
    return Inspector(document).inspect();
}

std::string valueText(const Value& value) {
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, double>) {
                return formatDouble(v);
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                return std::to_string(v) + " (whole)";
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? "true" : "false";
            } else if constexpr (std::is_same_v<T, std::string>) {
                return v.size() > 60
                           ? quotedText(v.substr(0, 60)) + "... (" + std::to_string(v.size()) + " chars)"
                           : quotedText(v);
            } else if constexpr (std::is_same_v<T, Vector>) {
                return vectorText(v);
            } else if constexpr (std::is_same_v<T, Link>) {
                if (v.target == kNoNode) {
                    return "link to none";
                }
                const Node* target = application().findNode(v.target);
                return target ? "link to " + describeNode(*target) : "link to a removed node";
            } else if constexpr (std::is_same_v<T, DateTime>) {
                const HostDateTime& f = v.fields;
                return "date " + std::to_string(f.year) + "-" + std::to_string(f.month) + "-" +
                       std::to_string(f.day) + " " + std::to_string(f.hour) + ":" + std::to_string(f.minute) +
                       ":" + std::to_string(f.second);
            } else {
                return "curve of " + std::to_string(v.knots.size()) + " knots";
            }
        },
        value);
}

} // namespace caelo::host::randomScene
