// The store that owns every living node, indexed by identity.
#ifndef CAELO_HOST_NODE_STORE_H
#define CAELO_HOST_NODE_STORE_H

#include "host/scene.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace caelo::host {

// Identities are handed out in increasing order and never reused, so a node is
// found by indexing a table with its identity: a link resolved in an
// evaluation pass costs two reads (the page, then the slot), and the nodes
// made one after another (a belt of orbit axes, a built system) sit side by
// side in one page. A page goes when its last node leaves, so that the table
// holds the pages of the living nodes and 8 bytes for every 1,024
// identities ever made: a session that builds and deletes scene after scene
// keeps a table of the size of its scene.
class NodeStore {
public:
    NodeStore() = default;
    NodeStore(const NodeStore&) = delete;
    NodeStore& operator=(const NodeStore&) = delete;

    // A new identity, larger than every one handed out before.
    [[nodiscard]] NodeId takeId() { return nextId_++; }

    // Takes a node with an identity not in the store.
    void add(std::unique_ptr<Node> node) {
        const std::size_t page = pageOf(node->id());
        if (page >= pages_.size()) {
            pages_.resize(page + 1);
        }
        if (!pages_[page]) {
            pages_[page] = std::make_unique<Page>();
        }
        pages_[page]->slots[slotOf(node->id())] = std::move(node);
        ++pages_[page]->living;
        ++count_;
    }
    // Destroys the node of the identity; nothing when there is none.
    void remove(NodeId id) {
        const std::size_t page = pageOf(id);
        if (page >= pages_.size() || !pages_[page] || !pages_[page]->slots[slotOf(id)]) {
            return;
        }
        pages_[page]->slots[slotOf(id)].reset();
        if (--pages_[page]->living == 0) {
            pages_[page].reset();
        }
        --count_;
        ++removed_;
    }
    [[nodiscard]] Node* find(NodeId id) const {
        const std::size_t page = pageOf(id);
        return page < pages_.size() && pages_[page] ? pages_[page]->slots[slotOf(id)].get() : nullptr;
    }
    [[nodiscard]] std::size_t size() const { return count_; }
    [[nodiscard]] bool empty() const { return count_ == 0; }
    // How many nodes have left the store. While it stays the same, every node
    // a caller took the address of is still alive.
    [[nodiscard]] std::uint64_t removedCount() const { return removed_; }
    // How many pages of slots the store holds.
    [[nodiscard]] std::size_t pageCount() const {
        return static_cast<std::size_t>(
            std::count_if(pages_.begin(), pages_.end(), [](const auto& p) { return p != nullptr; }));
    }

    // Calls `visit` with every living node, in order of identity. `visit` must
    // not add or remove nodes.
    template <class Visit> void forEach(Visit visit) const {
        for (const std::unique_ptr<Page>& page : pages_) {
            if (!page) {
                continue;
            }
            for (const std::unique_ptr<Node>& node : page->slots) {
                if (node) {
                    visit(*node);
                }
            }
        }
    }

private:
    static constexpr std::size_t kPageSlots = 1024;
    struct Page {
        std::array<std::unique_ptr<Node>, kPageSlots> slots; // slot i: the node of identity page * 1024 + i
        std::size_t living = 0;
    };
    static std::size_t pageOf(NodeId id) { return static_cast<std::size_t>(id / kPageSlots); }
    static std::size_t slotOf(NodeId id) { return static_cast<std::size_t>(id % kPageSlots); }

    std::vector<std::unique_ptr<Page>> pages_; // page i, if one of its nodes lives
    std::size_t count_ = 0;
    std::uint64_t removed_ = 0;
    NodeId nextId_ = kNoNode + 1;
};

} // namespace caelo::host

#endif
