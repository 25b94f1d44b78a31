// The evaluation pass of a document.
#ifndef CAELO_HOST_EVALUATION_H
#define CAELO_HOST_EVALUATION_H

#include "scene.h"

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

    // While a pass is prepared, asks for the nodes that enrolled a little after
    // the i-th one in the last pass: the tree walk meets them again in the same
    // order, most often, and finds them in cache.
    void prefetchFromLastPass(std::size_t i) const;

    std::vector<Entry> entries_;
    std::vector<Entry> lastPass_;            // the entries of the last pass, in enrolment order
    std::uint64_t removedAfterLastPass_ = 0; // nodes removed from the store when it ended
    std::vector<Tag> tags_;
    std::uint64_t pass_ = 0;
    bool preparing_ = false;
    bool running_ = false;
};

// One evaluation pass:
// 1. every enabled object with a module class, in depth-first tree order, is
//    offered the list (AddToEvaluation) and may enrol (EnrolEvaluation);
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
