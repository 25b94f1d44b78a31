#include "host/treeEdits.h"

#include "host/nodeStore.h"
#include "host/registry.h"

#include <algorithm>
#include <memory>

namespace caelo::host {

Node& TreeEditor::makeNode(NodeStore& store, NodeKind kind, std::int32_t typeId, const NodeType* type) {
    auto node = std::make_unique<Node>(store.takeId(), kind, typeId, type);
    Node& result = *node;
    store.add(std::move(node));
    return result;
}

void TreeEditor::noteEdit(Document* document) {
    if (document) {
        ++document->treeVersion_;
    }
}

void TreeEditor::setDocument(Node& node, Document* document) {
    node.document_ = document;
    for (Node* tag : node.tags_) {
        tag->document_ = document;
    }
    for (Node* child = node.firstChild_; child; child = child->next_) {
        setDocument(*child, document);
    }
}

void TreeEditor::setInstance(Node& node, void* instance) {
    node.instance_ = instance;
    noteEdit(node.document_);
}

void TreeEditor::attachChild(Node& node, Node& parent) {
    noteEdit(parent.document_);
    if (parent.childOrderMade_) {
        node.siblingIndex_ = parent.childOrder_.size();
        if (parent.placesValidBelow_ == parent.childOrder_.size()) {
            ++parent.placesValidBelow_;
        }
        parent.childOrder_.push_back(&node);
    }
    node.parent_ = &parent;
    node.prev_ = parent.lastChild_;
    node.next_ = nullptr;
    if (parent.lastChild_) {
        parent.lastChild_->next_ = &node;
    } else {
        parent.firstChild_ = &node;
    }
    parent.lastChild_ = &node;
    setDocument(node, parent.document_);
}

void TreeEditor::attachTag(Node& tag, Node& object) {
    noteEdit(object.document_);
    tag.object_ = &object;
    tag.document_ = object.document_;
    object.tags_.push_back(&tag);
}

void TreeEditor::detach(Node& node) {
    Document* const oldDocument = node.document_;
    noteEdit(oldDocument);
    if (Node* object = node.object_) {
        std::erase(object->tags_, &node);
        node.object_ = nullptr;
        node.document_ = nullptr;
        return;
    }
    if (Node* parent = node.parent_) {
        parent->dropFromChildOrder(node);
        (node.prev_ ? node.prev_->next_ : parent->firstChild_) = node.next_;
        (node.next_ ? node.next_->prev_ : parent->lastChild_) = node.prev_;
        node.parent_ = nullptr;
        node.prev_ = nullptr;
        node.next_ = nullptr;
    }
    setDocument(node, nullptr);
    if (oldDocument && oldDocument->view_.camera == node.id_) {
        node.document_ = oldDocument;
    }
}

void TreeEditor::collectSubtree(Node& node, std::vector<Node*>& out) {
    out.push_back(&node);
    for (Node* tag : node.tags_) {
        out.push_back(tag);
    }
    for (Node* child = node.firstChild_; child; child = child->next_) {
        collectSubtree(*child, out);
    }
}

namespace {

Node* deepestLastDescendant(Node* node) {
    while (node->lastChild() != nullptr) {
        node = node->lastChild();
    }
    return node;
}

// Visits the objects of the subtree of `top` in the reverse of tree order
// (the last descendant first, `top` last), with neither a list nor
// recursion, so that removing a subtree needs no memory and no stack however
// large or deep it is: memory may have run out. `visit` may destroy the
// object it is given.
template <class Visit> void forEachObjectInReverse(Node& top, Visit visit) {
    Node* node = deepestLastDescendant(&top);
    for (;;) {
        Node* const next = node == &top                     ? nullptr
                           : node->prevSibling() != nullptr ? deepestLastDescendant(node->prevSibling())
                                                            : node->parent();
        visit(*node);
        if (next == nullptr) {
            return;
        }
        node = next;
    }
}

} // namespace

void TreeEditor::destroy(NodeStore& store, Node& node) {
    detach(node);
    node.document_ = nullptr;
    // Destructors may broadcast to the active document; the subtree is out of
    // every tree by now, so no message reaches a node being destroyed. Every
    // instance goes before any node leaves the store.
    const auto destroyInstance = [](Node& n) {
        void* instance = n.instance_;
        setInstance(n, nullptr);
        if (const HostNodeClass* nodeClass = n.nodeClass(); instance && nodeClass && nodeClass->destroy) {
            nodeClass->destroy(instance);
        }
    };
    forEachObjectInReverse(node, [&destroyInstance](Node& object) {
        for (auto tag = object.tags_.rbegin(); tag != object.tags_.rend(); ++tag) {
            destroyInstance(**tag);
        }
        destroyInstance(object);
    });
    forEachObjectInReverse(node, [&store](Node& object) {
        for (Node* tag : object.tags_) {
            store.remove(tag->id_);
        }
        store.remove(object.id_);
    });
}

} // namespace caelo::host
