#include "host/sceneEditing.h"

#include "host/application.h"
#include "host/handles.h"
#include "host/hostInternal.h"
#include "host/messages.h"
#include "host/registry.h"
#include "host/services/hostError.h"
#include "host/treeDepth.h"
#include "host/treeEdits.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace caelo::host {

namespace {

std::string typeText(const Application& host, std::int32_t typeId) {
    const NodeType* type = host.findType(typeId);
    return "type " + std::to_string(typeId) +
           (type && !type->displayName.empty() ? " (" + type->displayName + ")" : std::string{});
}

// Writes a new node's defaults: the class's InitNode, or the description's
// defaults for a host type. Throws (and removes the node) when InitNode fails.
void initialise(Application& host, Node& node) {
    const HostNodeClass* nodeClass = node.nodeClass();
    if (nodeClass) {
        if (nodeClass->initNode && !nodeClass->initNode(node.instance(), toHandle(&node))) {
            const std::int32_t typeId = node.typeId();
            TreeEditor::destroy(host.nodes(), node);
            throw HostError("InitNode of " + typeText(host, typeId) + " failed");
        }
        return;
    }
    if (const Description* description = node.description()) {
        for (const ParameterDescription& p : description->parameters) {
            if (p.defaultValue) {
                node.parameters.set(p.id, *p.defaultValue);
            }
        }
    }
}

const NodeType& requireType(const Application& host, std::int32_t typeId, NodeKind kind) {
    const NodeType* type = host.findType(typeId);
    if (!type) {
        throw HostError("unknown node type " + std::to_string(typeId));
    }
    if (type->kind != kind) {
        throw HostError(typeText(host, typeId) + (kind == NodeKind::Object
                                                      ? " is a tag type, not an object type"
                                                      : " is an object type, not a tag type"));
    }
    return *type;
}

// Copies a node with its tags and children, recording each (source, copy).
Node& copyStructure(Application& host, const Node& source,
                    std::vector<std::pair<const Node*, Node*>>& pairs) {
    Node& copy = instantiateNode(host, source.kind(), source.typeId());
    pairs.emplace_back(&source, &copy);
    copy.name = source.name;
    copy.parameters = source.parameters;
    copy.relative = source.relative;
    copy.frozen = source.frozen;
    copy.color = source.color;
    copy.editorMode = source.editorMode;
    copy.renderMode = source.renderMode;
    copy.setEnabled(source.enabled());
    for (const Node* tag : source.tags()) {
        TreeEditor::attachTag(copyStructure(host, *tag, pairs), copy);
    }
    for (const Node* child = source.firstChild(); child; child = child->nextSibling()) {
        TreeEditor::attachChild(copyStructure(host, *child, pairs), copy);
    }
    return copy;
}

void remapLinks(const std::vector<std::pair<const Node*, Node*>>& pairs) {
    std::unordered_map<NodeId, NodeId> copies;
    for (const auto& [source, copy] : pairs) {
        copies.emplace(source->id(), copy->id());
    }
    for (const auto& pair : pairs) {
        Node* copy = pair.second;
        for (const auto& [id, value] : copy->parameters.values()) {
            if (const Link* link = std::get_if<Link>(&value)) {
                if (const auto it = copies.find(link->target); it != copies.end()) {
                    copy->parameters.setLink(id, it->second);
                }
            }
        }
    }
}

void requireInDocument(const Document& document, const Node& node, const char* role) {
    if (node.document() != &document || (!node.isAttached() && document.camera() != &node)) {
        throw HostError(describeNode(node) + " is not in this document and cannot be " + role);
    }
}

// A top-level place needs no check of depth: no tree is deeper than
// kMaxTreeDepth, so neither is the node's subtree.
void checkNewParent(const Document& document, const Node& node, const Node* parent) {
    if (!parent) {
        return;
    }
    if (!parent->isObject()) {
        throw HostError(describeNode(*parent) + " is a tag and cannot hold objects");
    }
    if (parent->document() != &document || !parent->isAttached()) {
        throw HostError(describeNode(*parent) + " is not in the document's tree");
    }
    if (parent->isWithin(node)) {
        throw HostError("cannot put " + describeNode(node) + " below itself (" + describeNode(*parent) + ")");
    }
    requireFitsUnder(node, parent);
}

} // namespace

Node& instantiateNode(Application& host, NodeKind kind, std::int32_t typeId) {
    const NodeType* type = host.findType(typeId);
    Node& node = TreeEditor::makeNode(host.nodes(), kind, typeId, type);
    const HostNodeClass* nodeClass = node.nodeClass();
    if (nodeClass && nodeClass->allocate) {
        void* instance = nodeClass->allocate(toHandle(&node));
        if (!instance) {
            TreeEditor::destroy(host.nodes(), node);
            throw HostError("the factory of " + typeText(host, typeId) + " made no instance");
        }
        TreeEditor::setInstance(node, instance);
    }
    // Room for the type's parameters is made at once, after the instance: the
    // arrays are not moved while defaults and edits fill them, so a node, its
    // instance and its parameters lie together in the order nodes are made,
    // which a pass over many nodes reads faster.
    if (const Description* description = node.description()) {
        node.parameters.reserve(description->parameters.size());
    }
    return node;
}

std::unique_ptr<Document> createDocument(Application& host) {
    auto document = std::make_unique<Document>(host.nodes());
    Node& camera = createObject(host, kTypeCamera);
    camera.name = "Camera";
    camera.relative.rotation = {kDefaultCameraHeading, defaultCameraPitch(), 0.0};
    TreeEditor::placeOutsideTree(camera, *document);
    document->view().camera = camera.id();
    return document;
}

Node& createObject(Application& host, std::int32_t typeId) {
    const NodeType& type = requireType(host, typeId, NodeKind::Object);
    Node& node = instantiateNode(host, NodeKind::Object, typeId);
    node.name = type.displayName;
    initialise(host, node);
    return node;
}

Node& createTag(Application& host, Node& object, std::int32_t typeId) {
    if (!object.isObject()) {
        throw HostError(describeNode(object) + " is a tag; tags sit on objects");
    }
    const NodeType& type = requireType(host, typeId, NodeKind::Tag);
    Node& tag = instantiateNode(host, NodeKind::Tag, typeId);
    tag.name = type.displayName;
    initialise(host, tag);
    TreeEditor::attachTag(tag, object);
    return tag;
}

void appendChild(Document& document, Node& node, Node* parent) {
    if (!node.isObject()) {
        throw HostError(describeNode(node) + " is a tag and cannot be a child");
    }
    if (node.isAttached()) {
        throw HostError(describeNode(node) + " sits in a tree already; move it instead");
    }
    checkNewParent(document, node, parent);
    TreeEditor::attachChild(node, parent ? *parent : TreeEditor::root(document));
}

void appendTag(Node& object, Node& tag) {
    if (!object.isObject() || !tag.isTag()) {
        throw HostError("a tag goes on an object: " + describeNode(tag) + " on " + describeNode(object));
    }
    if (tag.isAttached()) {
        throw HostError(describeNode(tag) + " sits on an object already");
    }
    TreeEditor::attachTag(tag, object);
}

void moveNode(Document& document, Node& node, Node* newParent) {
    if (!node.isObject()) {
        throw HostError(describeNode(node) + " is a tag; only objects move between parents");
    }
    requireInDocument(document, node, "moved");
    checkNewParent(document, node, newParent);
    TreeEditor::detach(node);
    TreeEditor::attachChild(node, newParent ? *newParent : TreeEditor::root(document));

    std::vector<Node*> subtree;
    TreeEditor::collectSubtree(node, subtree);
    std::vector<NodeId> ids;
    ids.reserve(subtree.size());
    for (const Node* n : subtree) {
        ids.push_back(n->id());
    }
    HostHierarchyMessage message{HOST_HIERARCHY_MOVED};
    for (const NodeId id : ids) {
        if (Node* n = document.findNode(id)) {
            sendNodeMessage(*n, HOST_MSG_HIERARCHY, &message);
        }
    }
}

Node& cloneNode(Application& host, const Node& node) {
    std::vector<std::pair<const Node*, Node*>> pairs;
    try {
        Node& copy = copyStructure(host, node, pairs);
        remapLinks(pairs);
        for (const auto& [source, target] : pairs) {
            const HostNodeClass* nodeClass = target->nodeClass();
            if (nodeClass && nodeClass->copyNode &&
                !nodeClass->copyNode(source->instance(), toHandle(const_cast<Node*>(source)),
                                     toHandle(target), target->instance())) {
                throw HostError("copying " + describeNode(*source) + " failed: CopyNode refused");
            }
        }
        return copy;
    } catch (...) {
        // Remove the copies made so far, also when memory ran out: each one
        // not yet linked to its parent copy goes with its subtree.
        std::vector<NodeId> made;
        for (const auto& pair : pairs) {
            made.push_back(pair.second->id());
        }
        for (const NodeId id : made) {
            if (Node* n = host.findNode(id); n && !n->isAttached()) {
                TreeEditor::destroy(host.nodes(), *n);
            }
        }
        throw;
    }
}

void removeNode(Application& host, Node& node) {
    TreeEditor::destroy(host.nodes(), node);
}

std::string describeNode(const Node& node) {
    if (const Document* document = node.document()) {
        std::string path = document->pathOf(node);
        if (!path.empty()) {
            return path;
        }
        if (document->view().camera == node.id()) {
            return "camera";
        }
    }
    return "node " + std::to_string(node.id()) + " (outside any document)";
}

} // namespace caelo::host
