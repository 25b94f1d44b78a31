// Internals shared by the host's units: structural edits of the node tree and
// the module shutdown sequence. Not part of the host's public interface.
#ifndef CAELO_HOST_HOST_INTERNAL_H
#define CAELO_HOST_HOST_INTERNAL_H

#include "application.h"
#include "scene.h"

#include <cstdint>
#include <vector>

namespace caelo::host {

// Structural edits of the tree. Callers check the preconditions (no cycles,
// kinds) before they call.
class TreeEditor {
public:
    // A new node in the host's node store, outside any tree, without class
    // instance.
    static Node& makeNode(NodeStore& store, NodeKind kind, std::int32_t typeId, const NodeType* type);
    static void setInstance(Node& node, void* instance);
    static Node& root(const Document& document) { return *document.root_; }
    static bool isRoot(const Node& node) { return node.isRoot_; }

    // Links a detached object as the last child of `parent` (an object or a
    // document's root); the subtree takes the parent's document.
    static void attachChild(Node& node, Node& parent);
    // Links a detached tag as the object's last tag.
    static void attachTag(Node& tag, Node& object);
    // Gives a node that sits in no tree (and its subtree) to a document, as its
    // view camera outside the tree.
    static void placeOutsideTree(Node& node, Document& document) { setDocument(node, &document); }
    // Unlinks a node from its parent (or a tag from its object); the subtree
    // leaves its document, except a view camera, which stays with it.
    static void detach(Node& node);
    // Detaches a node, destroys the class instances of its subtree (children
    // and tags included) and removes the nodes from the store.
    static void destroy(NodeStore& store, Node& node);

    // The node, its tags and its descendants in tree order.
    static void collectSubtree(Node& node, std::vector<Node*>& out);

private:
    static void setDocument(Node& node, Document* document);
    // Moves the document's tree version on (nothing for nullptr).
    static void noteEdit(Document* document);
};

// A node of a type made by the type's factory without InitNode; a node of a
// type nobody registered holds no instance. Throws HostError when the factory
// makes nothing (the node is removed again).
Node& instantiateNode(NodeKind kind, std::int32_t typeId);

// Removes every node, then ends and unloads the loaded modules (request 3,
// dlclose), last loaded first, and forgets their types, resources and help
// hooks.
void endModules(Application& app);

} // namespace caelo::host

#endif
