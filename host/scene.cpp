#include "host/scene.h"

#include "host/evaluation.h"
#include "host/nodePath.h"
#include "host/nodeStore.h"
#include "host/registry.h"
#include "host/services/askAhead.h"
#include "host/treeEdits.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace caelo::host {

namespace {

// Class instances are asked for by their first lines: those of this
// system's classes fit in them.
constexpr std::size_t kInstanceBytesAsked = 256;

void visitObjects(Node* first, const std::function<void(Node&)>& visit, bool withTags) {
    for (Node* node = first; node; node = node->nextSibling()) {
        visit(*node);
        if (withTags) {
            for (Node* tag : node->tags()) {
                visit(*tag);
            }
        }
        visitObjects(node->firstChild(), visit, withTags);
    }
}

} // namespace

// ---------------------------------------------------------------- Node

Node::Node(NodeId id, NodeKind kind, std::int32_t typeId, const NodeType* type)
    : nodeClass_(type && type->nodeClass ? &*type->nodeClass : nullptr), id_(id), typeId_(typeId),
      kind_(kind), type_(type) {}

Node::~Node() = default;

void Node::prefetchNode() const {
    askForLines(this, sizeof(Node));
}

void Node::prefetchReferences() const {
    parameters.prefetch();
    askForLines(instance_, kInstanceBytesAsked);
    if (firstChild_) {
        firstChild_->prefetchNode();
    }
}

void Node::setEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        if (document_) {
            ++document_->treeVersion_;
        }
    }
}

void Node::prefetchChildReferences() const {
    if (firstChild_) {
        firstChild_->parameters.prefetch();
    }
}

const Description* Node::description() const {
    return type_ ? type_->description() : nullptr;
}

Node* Node::parent() const {
    return parent_ && !parent_->isRoot_ ? parent_ : nullptr;
}

bool Node::isWithin(const Node& ancestor) const {
    for (const Node* n = this; n; n = n->parent_) {
        if (n == &ancestor) {
            return true;
        }
    }
    return false;
}

Matrix Node::frozenMatrix() const {
    return isObject() ? transformToMatrix(frozen) : Matrix{};
}

Node::MatrixMemo& Node::matrixMemo() const {
    if (!matrices_) {
        matrices_ = std::make_unique<MatrixMemo>();
    }
    return *matrices_;
}

// Most objects have no frozen transform and many sit at the top level: the
// unit matrices they would multiply by are left out.
bool Node::refreshLocalMatrix() const {
    MatrixMemo& memo = matrixMemo();
    // Same bits, same matrix (a transform is nine doubles without padding).
    if (memo.localMade && std::memcmp(&memo.relative, &relative, sizeof(Transform)) == 0 &&
        std::memcmp(&memo.frozen, &frozen, sizeof(Transform)) == 0) {
        return false;
    }
    const Matrix relativeMatrix = transformToMatrix(relative);
    memo.local = isIdentity(frozen) ? relativeMatrix : transformToMatrix(frozen) * relativeMatrix;
    memo.relative = relative;
    memo.frozen = frozen;
    memo.localMade = true;
    return true;
}

const Matrix& Node::memoWorldMatrix() const {
    MatrixMemo& memo = matrixMemo();
    const bool localRemade = refreshLocalMatrix();
    const Node* p = parent();
    const Matrix* parentWorld = p ? &p->memoWorldMatrix() : nullptr;
    const NodeId parentId = p ? p->id_ : kNoNode;
    const std::uint64_t parentVersion = p ? p->matrices_->version : 0;
    if (memo.version == 0 || localRemade || memo.parent != parentId || memo.parentVersion != parentVersion) {
        memo.world = parentWorld ? *parentWorld * memo.local : memo.local;
        memo.parent = parentId;
        memo.parentVersion = parentVersion;
        ++memo.version;
    }
    return memo.world;
}

Matrix Node::localMatrix() const {
    if (!isObject()) {
        return Matrix{};
    }
    refreshLocalMatrix();
    return matrices_->local;
}

Matrix Node::parentWorldMatrix() const {
    const Node* p = parent();
    return p ? p->worldMatrix() : Matrix{};
}

Matrix Node::worldMatrix() const {
    return isObject() ? memoWorldMatrix() : Matrix{};
}

void Node::setWorldMatrix(const Matrix& world) {
    if (!isObject()) {
        return;
    }
    const Matrix frame = parentWorldMatrix() * frozenMatrix();
    const std::optional<Matrix> fromFrame = inverse(frame);
    if (!fromFrame) {
        return;
    }
    const Transform wanted = matrixToTransform(*fromFrame * world);
    if (hasFiniteComponents(wanted)) {
        relative = wanted;
    }
}

// ---------------------------------------------------------------- Document

double defaultCameraPitch() {
    return std::atan(-4.0 / std::sqrt(128.0));
}

Document::Document(NodeStore& nodes)
    : nodes_(nodes), root_(std::make_unique<Node>(nodes.takeId(), NodeKind::Object, 0, nullptr)) {
    root_->isRoot_ = true;
    root_->document_ = this;
}

Document::~Document() {
    while (Node* object = root_->lastChild_) {
        TreeEditor::destroy(nodes_, *object);
    }
    if (Node* cameraNode = camera()) {
        TreeEditor::destroy(nodes_, *cameraNode);
    }
}

void Document::forEachObject(const std::function<void(Node&)>& visit) const {
    visitObjects(root_->firstChild_, visit, false);
}

void Document::forEachNode(const std::function<void(Node&)>& visit) const {
    visitObjects(root_->firstChild_, visit, true);
}

Node* Document::findNode(NodeId id) const {
    Node* node = nodes_.find(id);
    return node && node->document_ == this ? node : nullptr;
}

Node* Document::camera() const {
    return findNode(view_.camera);
}

std::string Document::pathOf(const Node& node) const {
    return node.document_ == this ? pathBelow(*root_, node) : std::string{};
}

Node* Document::nodeAtPath(std::string_view path) const {
    return nodeBelow(*root_, path);
}

Node& Document::requireNode(std::string_view path) const {
    return requireNodeBelow(*root_, path);
}

const std::vector<Node*>& Node::childOrder() const {
    if (!childOrderMade_) {
        for (Node* child = firstChild_; child; child = child->next_) {
            child->siblingIndex_ = childOrder_.size();
            childOrder_.push_back(child);
        }
        placesValidBelow_ = childOrder_.size();
        childOrderMade_ = true;
    }
    return childOrder_;
}

void Node::dropFromChildOrder(const Node& child) const {
    if (!childOrderMade_) {
        return;
    }
    // A child whose place went stale stands no later than its old place: as
    // many places earlier as children before it were dropped since.
    std::size_t place = std::min(child.siblingIndex_, childOrder_.size() - 1);
    while (childOrder_[place] != &child) {
        --place;
    }
    childOrder_.erase(childOrder_.begin() + static_cast<std::ptrdiff_t>(place));
    placesValidBelow_ = std::min(placesValidBelow_, place);
}

Node* Node::childAt(std::size_t index) const {
    const std::vector<Node*>& children = childOrder();
    return index < children.size() ? children[index] : nullptr;
}

std::size_t Node::indexAmongSiblings() const {
    if (parent_ == nullptr) {
        return 0;
    }
    const std::vector<Node*>& siblings = parent_->childOrder();
    if (siblingIndex_ >= parent_->placesValidBelow_) {
        for (std::size_t place = parent_->placesValidBelow_; place < siblings.size(); ++place) {
            siblings[place]->siblingIndex_ = place;
        }
        parent_->placesValidBelow_ = siblings.size();
    }
    return siblingIndex_;
}

// ---------------------------------------------------------------- evaluation list

EvaluationList& evaluationListOf(Document& document) {
    if (!document.evaluation_) {
        document.evaluation_ = std::make_unique<EvaluationList>();
    }
    return *document.evaluation_;
}

} // namespace caelo::host
