// The store that owns every living node, indexed by identity.
#ifndef CAELO_HOST_NODE_STORE_H
#define CAELO_HOST_NODE_STORE_H

#include "host/scene.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace caelo::host {

// Identities are handed out in increasing order and never reused, so a node is
// found by indexing a table with its identity: a link resolved in an
// evaluation pass costs one read, and the nodes made one after another (a
// belt of orbit axes, a built system) sit side by side in the table. The table
// keeps one empty slot for every node that has left the store.
class NodeStore {
public:
    NodeStore() = default;
    NodeStore(const NodeStore&) = delete;
    NodeStore& operator=(const NodeStore&) = delete;

    // A new identity, larger than every one handed out before.
    [[nodiscard]] NodeId takeId() { return nextId_++; }

    // Takes a node with an identity not in the store.
    void add(std::unique_ptr<Node> node) {
        const NodeId id = node->id();
        if (id >= slots_.size()) {
            slots_.resize(static_cast<std::size_t>(id) + 1);
        }
        slots_[id] = std::move(node);
        ++count_;
    }
    // Destroys the node of the identity; nothing when there is none.
    void remove(NodeId id) {
        if (id < slots_.size() && slots_[id]) {
            slots_[id].reset();
            --count_;
            ++removed_;
        }
    }
    [[nodiscard]] Node* find(NodeId id) const { return id < slots_.size() ? slots_[id].get() : nullptr; }
    [[nodiscard]] std::size_t size() const { return count_; }
    [[nodiscard]] bool empty() const { return count_ == 0; }
    // How many nodes have left the store. While it stays the same, every node
    // a caller took the address of is still alive.
    [[nodiscard]] std::uint64_t removedCount() const { return removed_; }

    // Calls `visit` with every living node, in order of identity. `visit` must
    // not add or remove nodes.
    template <class Visit> void forEach(Visit visit) const {
        for (const std::unique_ptr<Node>& node : slots_) {
            if (node) {
                visit(*node);
            }
        }
    }

private:
    std::vector<std::unique_ptr<Node>> slots_; // slot i holds the node of identity i, if it lives
    std::size_t count_ = 0;
    std::uint64_t removed_ = 0;
    NodeId nextId_ = kNoNode + 1;
};

} // namespace caelo::host

#endif
