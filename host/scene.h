// The scene model: nodes (objects and tags), their tree, and documents.
//
// Every node lives in the host's node store (application.h) from its creation
// until it is removed; the tree only links nodes. An object has children and
// tags; a tag belongs to one object. A node belongs to a document while it
// sits in that document's tree (the view's camera belongs to its document
// also outside the tree). Nodes made by a module and never inserted stay
// outside any document until the host shuts down.
//
// Paths name nodes of a document's tree by zero-based child indices
// (host/nodePath.h): "/0" is the first top-level object, "/0/2" its third
// child, "/0/2#1" the second tag of that object.
#ifndef CAELO_HOST_SCENE_H
#define CAELO_HOST_SCENE_H

#include "host/container.h"
#include "host/documentTime.h"
#include "host/services/matrix.h"
#include "interface/hostInterface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace caelo::host {

class Document;
class EvaluationList;
class NodeStore;
struct NodeType;
struct Description;

enum class NodeKind { Object, Tag };

// Type ids of the host's own node types.
enum HostTypeId : std::int32_t {
    kTypePolygon = 5100,
    kTypeCamera = 5103,
    kTypeNull = 5140,
    kTypeBox = 5159,
    kTypeSphere = 5160,
    kTypeTorus = 5163,
    kTypeTube = 5165,
    kTypePlane = 5168,
    kTypeCircleSpline = 5181,
    kTypeShadingTag = 5612,
    kTypeWrapDeformer = 1019221,
};

// One object or tag.
class Node {
public:
    // A node of the identity `id` (which the node store hands out).
    Node(NodeId id, NodeKind kind, std::int32_t typeId, const NodeType* type);
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    ~Node();

    [[nodiscard]] NodeId id() const { return id_; }
    [[nodiscard]] NodeKind kind() const { return kind_; }
    [[nodiscard]] bool isObject() const { return kind_ == NodeKind::Object; }
    [[nodiscard]] bool isTag() const { return kind_ == NodeKind::Tag; }
    [[nodiscard]] std::int32_t typeId() const { return typeId_; }
    // The registered type, or nullptr for a node of a type no one registered
    // (kept from a scene file and written back unchanged).
    [[nodiscard]] const NodeType* type() const { return type_; }
    // The type's parameter description, or nullptr.
    [[nodiscard]] const Description* description() const;

    // The document the node belongs to, or nullptr.
    [[nodiscard]] Document* document() const { return document_; }

    // Tree of objects: nullptr where there is no such node. A top-level
    // object has no parent.
    [[nodiscard]] Node* parent() const;
    [[nodiscard]] Node* firstChild() const { return firstChild_; }
    [[nodiscard]] Node* lastChild() const { return lastChild_; }
    [[nodiscard]] Node* nextSibling() const { return next_; }
    [[nodiscard]] Node* prevSibling() const { return prev_; }
    // The n-th child (from 0), or nullptr; and the object's place among its
    // siblings (0 for the first child or top-level object). Both take
    // constant time but after an edit that detached a sibling.
    [[nodiscard]] Node* childAt(std::size_t index) const;
    [[nodiscard]] std::size_t indexAmongSiblings() const;
    // True while the node is linked into a tree (under an object or at the top
    // level of a document); tags: while they sit on an object.
    [[nodiscard]] bool isAttached() const { return parent_ != nullptr || object_ != nullptr; }
    // True when `ancestor` is this node or lies above it.
    [[nodiscard]] bool isWithin(const Node& ancestor) const;

    // Whether the object is switched on: a switched-off object is neither
    // evaluated nor shown.
    [[nodiscard]] bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // Tags of an object in order; the object a tag sits on.
    [[nodiscard]] const std::vector<Node*>& tags() const { return tags_; }
    [[nodiscard]] Node* object() const { return object_; }

    // The module's class instance behind the node and the callbacks of its
    // registered class; nullptr for host types and unregistered types.
    [[nodiscard]] void* instance() const { return instance_; }
    [[nodiscard]] const HostNodeClass* nodeClass() const { return nodeClass_; }

    // Asks the processor to bring into cache what evaluating the node reads:
    // first the node's own fields (`prefetchNode`), then, once those are in,
    // what they point to (`prefetchReferences`): its parameters, its class
    // instance and its first child, and last, once that child is in, the
    // child's parameters (`prefetchChildReferences`: a body axis sizes its
    // globe). A pass over a large scene does this a few nodes ahead of the
    // one it evaluates.
    void prefetchNode() const;
    void prefetchReferences() const;
    void prefetchChildReferences() const;

    // The object's matrices (identity for tags).
    [[nodiscard]] Matrix frozenMatrix() const; // frozen (base) transform
    [[nodiscard]] Matrix localMatrix() const;  // frozen x relative
    [[nodiscard]] Matrix parentWorldMatrix() const;
    [[nodiscard]] Matrix worldMatrix() const; // parent world x frozen x relative
    // Sets the relative transform so that the world matrix becomes `world`
    // (position, rotation and scale decomposed as matrixToTransform does).
    // Where no finite relative transform does that (the parent's world matrix
    // or the frozen transform collapses space, e.g. a scale of 0, or the
    // numbers overflow), the relative transform stays as it was.
    void setWorldMatrix(const Matrix& world);

    // The fields are laid out by use: what every pass reads of every node
    // (offering, enrolment, dispatch) fills the first cache line, the
    // parameters and transforms that evaluation reads and writes follow, and
    // what passes seldom touch comes last; the matrix memo, which only some
    // nodes need, lives apart. A pass over a large scene reads fewer cache
    // lines that way.
private:
    friend class TreeEditor;
    friend class Document;
    friend class EvaluationList;

    const HostNodeClass* nodeClass_; // the type's callbacks, asked for by every pass
    void* instance_ = nullptr;
    Node* next_ = nullptr;
    Node* firstChild_ = nullptr;
    Document* document_ = nullptr;
    NodeId id_;
    std::int32_t typeId_;
    NodeKind kind_;
    bool isRoot_ = false; // the hidden node above a document's top-level objects

    bool enabled_ = true;

public:
    Container parameters;
    Transform relative; // the object's own position, rotation, scale
    Transform frozen;   // the frozen (base) transform below it

private:
    std::vector<Node*> tags_;
    Node* parent_ = nullptr; // for top-level objects the document's root
    Node* object_ = nullptr;
    Node* lastChild_ = nullptr;
    Node* prev_ = nullptr;
    const NodeType* type_;

public:
    std::string name;
    HostColorProperties color{};                          // display colour properties
    std::int32_t editorMode = HOST_DISPLAY_FOLLOW_PARENT; // 1 hidden, 2 follow parent
    std::int32_t renderMode = HOST_DISPLAY_FOLLOW_PARENT;
    std::uint64_t rebuildCount = 0; // host primitives: rebuilds asked by message 5

private:
    // The matrices last made for the node, with what they were made from: the
    // transforms for the local matrix; the parent's identity (never reused)
    // and the version of its world matrix for the world matrix. World matrices are asked for along whole
    // chains of ancestors, many times a pass; an ancestor whose transforms and
    // ancestors did not change is neither turned into a matrix nor multiplied
    // again. The memo is made when a matrix of the node is first asked for,
    // so nodes whose matrices no one asks for stay small. (The host runs on
    // one thread; the memo is not guarded.)
    struct MatrixMemo {
        Transform relative;
        Transform frozen;
        Matrix local;
        bool localMade = false;
        NodeId parent = kNoNode;
        std::uint64_t parentVersion = 0;
        Matrix world;
        std::uint64_t version = 0; // 0 until made; grows with every world matrix made
    };
    mutable std::unique_ptr<MatrixMemo> matrices_;
    // The memo, made on first use.
    MatrixMemo& matrixMemo() const;

    // The children in order, so that paths find the n-th child and a child's
    // place among its siblings without walking the siblings (a scene may hold
    // a million siblings, and scripts and files name nodes by paths). Made on
    // first use and kept up by appending and detaching. A detached child's
    // later siblings keep their old places until one of them is asked for
    // (`placesValidBelow_`), so that deleting the first of many children one
    // after the other does not renumber the rest each time.
    mutable std::vector<Node*> childOrder_;
    mutable bool childOrderMade_ = false;
    mutable std::size_t placesValidBelow_ = 0; // children before this hold their place
    mutable std::size_t siblingIndex_ = 0;     // the place, where the parent says it is valid

    // The children in order, made on first use.
    const std::vector<Node*>& childOrder() const;
    // Takes `child` out of the order (on detaching).
    void dropFromChildOrder(const Node& child) const;

    // Remakes the local matrix when the transforms changed; true when it did.
    bool refreshLocalMatrix() const;
    // The object's world matrix, remade where the chain above changed.
    const Matrix& memoWorldMatrix() const;
};

// A value Document::treeVersion() never has: what a list that was never collected holds.
inline constexpr std::uint64_t kNeverATreeVersion = 0;

// The active view of a document: it looks through a camera object.
struct View {
    NodeId camera = kNoNode;
};

// A scene: a tree of objects with their tags, a time and a view.
class Document {
public:
    // A new empty document whose nodes live in `nodes`. Its view has no camera
    // (createDocument, sceneEditing.h, gives it the default one).
    explicit Document(NodeStore& nodes);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;
    // Removes every node of the document (their class instances are destroyed).
    ~Document();

    // The tree.
    [[nodiscard]] Node* firstObject() const { return root_->firstChild_; }
    [[nodiscard]] Node* lastObject() const { return root_->lastChild_; }
    // Calls `visit` for every object of the tree in depth-first order (a parent
    // before its children). `visit` must not change the tree.
    void forEachObject(const std::function<void(Node&)>& visit) const;
    // The same for every object and tag: each object, then its tags, then its
    // children.
    void forEachNode(const std::function<void(Node&)>& visit) const;

    // The node with this identity if it belongs to this document, else nullptr.
    [[nodiscard]] Node* findNode(NodeId id) const;
    // The store the document's nodes live in.
    [[nodiscard]] const NodeStore& nodes() const { return nodes_; }

    // A count that changes whenever a change decides anew which nodes an
    // evaluation pass of the document offers: a node attached, detached or
    // removed, a class instance set, an object switched on or off.
    [[nodiscard]] std::uint64_t treeVersion() const { return treeVersion_; }

    // "/0/2", "/0/2#1"; the empty text for a node outside this document's tree.
    [[nodiscard]] std::string pathOf(const Node& node) const;
    // The node at a path, or nullptr when the path is malformed or names no node.
    [[nodiscard]] Node* nodeAtPath(std::string_view path) const;
    // The same, but throws HostError naming the path and what is wrong.
    [[nodiscard]] Node& requireNode(std::string_view path) const;

    // The document's time and its frames per second.
    DocumentTime time;
    std::int32_t fps = 30;

    [[nodiscard]] View& view() { return view_; }
    [[nodiscard]] const View& view() const { return view_; }
    // The view's camera, or nullptr when it was removed.
    [[nodiscard]] Node* camera() const;

private:
    friend class TreeEditor;
    friend class Node;

    friend EvaluationList& evaluationListOf(Document& document);

    NodeStore& nodes_;
    std::unique_ptr<Node> root_; // holds the top-level objects as its children
    View view_;
    std::unique_ptr<EvaluationList> evaluation_;
    std::uint64_t treeVersion_ = kNeverATreeVersion + 1;
};

// The default orientation of a new document's camera (radians): heading 45
// degrees, pitch atan(-4 / sqrt(128)).
inline constexpr double kDefaultCameraHeading = 0.7853981633974483; // 45 degrees
[[nodiscard]] double defaultCameraPitch();                          // atan(-4 / sqrt(128))

} // namespace caelo::host

#endif
