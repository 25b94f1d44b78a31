// The evaluation pass of a document.
#ifndef CAELO_HOST_EVALUATION_H
#define CAELO_HOST_EVALUATION_H

#include "host/scene.h"

#include <cstdint>
#include <vector>

namespace caelo::host {

// The list into which objects enrol for a pass (HostEvaluationList). Its
// storage is kept from pass to pass, so a pass allocates nothing once the
// list has grown to the document's size.
class EvaluationList {
public:
    // Adds a node for this pass; false when it enrolled already in this pass or
    // when no pass is being prepared.
    bool enrol(Node& node, std::int32_t priority, std::int32_t flags);

    struct Entry {
        NodeId node;
        Node* address; // valid while no node has left the store
        std::int32_t priority;
        std::int32_t flags;
        std::uint32_t order; // enrolment order: depth-first tree order
    };
    [[nodiscard]] const std::vector<Entry>& entries() const { return entries_; }

    // A tag noted for the pass.
    struct Tag {
        NodeId node;
        Node* address; // valid while no node has left the store
    };

private:
    friend void evaluateDocument(Document& document);

    // An object a pass offers the list, with what the offer calls: the
    // addresses are valid while the tree version they were collected at holds.
    struct Offer {
        NodeId node;
        Node* address;
        void* instance;
        const HostNodeClass* nodeClass;
    };
    // Makes the offers and tags anew from the document's tree.
    void collect(const Document& document);
    // Notes, in depth-first tree order, every object from `first` on (and
    // below) that takes offers and every tag with a module class.
    void collectFrom(Node* first);
    // Offers the list to each object of the offers.
    void offer(const Document& document);

    std::vector<Entry> entries_;
    // The objects offered and the tags noted, in tree order, and the tree
    // version they were collected at: a pass over an unchanged tree offers
    // from the list without walking the tree again.
    std::vector<Offer> offers_;
    std::vector<Tag> tags_;
    std::uint64_t collectedAt_ = kNeverATreeVersion;
    // The slot of a node's identity in enrolledPass_, growing it as needed.
    std::uint64_t& enrolledPassOf(NodeId node);
    // Lets go of the slots below the smallest identity that enrolled in the
    // last pass; before a pass, while no node has enrolled in it.
    void releaseEnrolmentBeforeLastPass();

    // The pass in which each node last enrolled, indexed by identity from
    // enrolledBase_ on (0 or an earlier pass: not in this one). Kept here
    // rather than in the nodes, so that offering writes to one dense array
    // instead of to every node, whose lines a pass over a large scene would
    // then have to write back to memory. It spans the identities that
    // enrolled in the last pass, 8 bytes each.
    std::vector<std::uint64_t> enrolledPass_;
    NodeId enrolledBase_ = kNoNode;
    NodeId lowestEnrolled_ = kNoNode; // in this pass; kNoNode while none has
    std::uint64_t pass_ = 0;
    bool preparing_ = false;
    bool running_ = false;
};

// One evaluation pass:
// 1. every enabled object with a module class in the tree as the pass
//    begins, in depth-first tree order, is offered the list (AddToEvaluation)
//    and may enrol (EnrolEvaluation); an object that an earlier offer removed
//    from the document or switched off is not offered, and one that an
//    earlier offer added takes part from the next pass on;
// 2. the enrolled nodes' EvaluateObject runs in ascending priority, a parent
//    before its children at equal priority (enrolment order breaks ties);
// 3. every tag's EvaluateTag runs in tree order.
// Each callback runs at most once per pass. A pass started from inside a pass
// does nothing. A node removed during the pass is skipped.
void evaluateDocument(Document& document);

// The list of the document's passes (one per document).
[[nodiscard]] EvaluationList& evaluationListOf(Document& document);

} // namespace caelo::host

#endif
