// Structural edits of the node tree: making and destroying nodes in the node
// store, linking them into a tree and out of it. Scene editing, the interface
// table and scene files build on these after checking what a user or module
// asked for. Not part of the host's public interface.
#ifndef CAELO_HOST_TREE_EDITS_H
#define CAELO_HOST_TREE_EDITS_H

#include "host/scene.h"

#include <cstdint>
#include <vector>

namespace caelo::host {

// Structural edits of the tree. Callers check the preconditions (no cycles,
// kinds) before they call.
class TreeEditor {
public:
    // A new node in `store`, with the store's next identity, outside any
    // tree and without class instance.
    static Node& makeNode(NodeStore& store, NodeKind kind, std::int32_t typeId, const NodeType* type);
    static void setInstance(Node& node, void* instance);
    static Node& root(const Document& document) { return *document.root_; }

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

} // namespace caelo::host

#endif
