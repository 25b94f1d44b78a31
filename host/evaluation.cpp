#include "host/evaluation.h"

#include "host/handles.h"
#include "host/nodeStore.h"

#include <algorithm>

namespace caelo::host {

namespace {

// Passes over fewer entries than this find their nodes in cache; asking for
// nodes ahead would only cost instructions.
constexpr std::size_t kEntriesWorthAskingAhead = 2048;

bool takesOffers(const Node& node) {
    const HostNodeClass* nodeClass = node.nodeClass();
    return node.enabled() && nodeClass && nodeClass->addToEvaluation && node.instance();
}

// A tag with a module class that evaluates tags.
bool evaluatesAsTag(const Node& tag) {
    const HostNodeClass* tagClass = tag.nodeClass();
    return tagClass && tagClass->evaluateTag && tag.instance();
}

bool runsBefore(const EvaluationList::Entry& a, const EvaluationList::Entry& b) {
    return a.priority != b.priority ? a.priority < b.priority : a.order < b.order;
}

// The node of an entry while it still belongs to the document. While no node
// has left the store since enrolment (`addressesHold`) the address taken then
// is used as it is; after that the node is looked up by its identity.
Node* stillInDocument(const Document& document, NodeId id, Node* address, bool addressesHold) {
    if (!addressesHold) {
        return document.findNode(id);
    }
    return address->document() == &document ? address : nullptr;
}

// How many entries ahead of the one reached a pass asks for the nodes'
// fields, and for what those point to: far enough for memory to answer
// before the entry's turn, near enough for the lines to stay in cache.
constexpr std::size_t kPrefetchNodesAhead = 8;
constexpr std::size_t kPrefetchReferencesAhead = 4;
constexpr std::size_t kPrefetchChildReferencesAhead = 2;
// Offering is quicker than evaluating: it asks further ahead.
constexpr std::size_t kOffersAhead = 16;

void prefetchAhead(const std::vector<EvaluationList::Entry>& entries, std::size_t i) {
    if (i + kPrefetchNodesAhead < entries.size()) {
        entries[i + kPrefetchNodesAhead].address->prefetchNode();
    }
    if (i + kPrefetchReferencesAhead < entries.size()) {
        entries[i + kPrefetchReferencesAhead].address->prefetchReferences();
    }
    if (i + kPrefetchChildReferencesAhead < entries.size()) {
        entries[i + kPrefetchChildReferencesAhead].address->prefetchChildReferences();
    }
}

} // namespace

bool EvaluationList::enrol(Node& node, std::int32_t priority, std::int32_t flags) {
    if (!preparing_) {
        return false;
    }
    std::uint64_t& enrolled = enrolledPassOf(node.id());
    if (enrolled == pass_) {
        return false;
    }
    enrolled = pass_;
    entries_.push_back({node.id(), &node, priority, flags, static_cast<std::uint32_t>(entries_.size())});
    return true;
}

std::uint64_t& EvaluationList::enrolledPassOf(NodeId node) {
    lowestEnrolled_ = lowestEnrolled_ == kNoNode ? node : std::min(lowestEnrolled_, node);
    if (enrolledPass_.empty()) {
        enrolledBase_ = node;
    } else if (node < enrolledBase_) {
        enrolledPass_.insert(enrolledPass_.begin(), static_cast<std::size_t>(enrolledBase_ - node), 0);
        enrolledBase_ = node;
    }
    const std::size_t slot = static_cast<std::size_t>(node - enrolledBase_);
    if (slot >= enrolledPass_.size()) {
        enrolledPass_.resize(slot + 1, 0);
    }
    return enrolledPass_[slot];
}

void EvaluationList::releaseEnrolmentBeforeLastPass() {
    if (lowestEnrolled_ > enrolledBase_) {
        const auto released = static_cast<std::ptrdiff_t>(
            std::min<NodeId>(lowestEnrolled_ - enrolledBase_, enrolledPass_.size()));
        enrolledPass_.erase(enrolledPass_.begin(), enrolledPass_.begin() + released);
        enrolledBase_ = lowestEnrolled_;
    }
    lowestEnrolled_ = kNoNode;
}

void EvaluationList::collect(const Document& document) {
    offers_.clear();
    tags_.clear();
    collectFrom(document.firstObject());
    collectedAt_ = document.treeVersion();
}

void EvaluationList::collectFrom(Node* first) {
    for (Node* node = first; node; node = node->nextSibling()) {
        if (takesOffers(*node)) {
            offers_.push_back({node->id(), node, node->instance(), node->nodeClass()});
        }
        for (Node* tag : node->tags()) {
            if (evaluatesAsTag(*tag)) {
                tags_.push_back({tag->id(), tag});
            }
        }
        collectFrom(node->firstChild());
    }
}

void EvaluationList::offer(const Document& document) {
    const std::uint64_t version = document.treeVersion();
    const bool askAhead = offers_.size() >= kEntriesWorthAskingAhead;
    for (std::size_t i = 0; i < offers_.size(); ++i) {
        const Offer& o = offers_[i];
        if (document.treeVersion() == version) {
            // An offer reads the instance and the node's identity, the first
            // line of each.
            if (askAhead && i + kOffersAhead < offers_.size()) {
                __builtin_prefetch(offers_[i + kOffersAhead].address);
                __builtin_prefetch(offers_[i + kOffersAhead].instance);
            }
            o.nodeClass->addToEvaluation(o.instance, toHandle(o.address), toHandle(this));
            continue;
        }
        // An earlier offer changed the tree: the rest are looked up again, and
        // offered only while still in the document and taking offers.
        Node* node = document.findNode(o.node);
        if (node && takesOffers(*node)) {
            node->nodeClass()->addToEvaluation(node->instance(), toHandle(node), toHandle(this));
        }
    }
}

void evaluateDocument(Document& document) {
    EvaluationList& list = evaluationListOf(document);
    if (list.preparing_ || list.running_) {
        return;
    }
    const std::uint64_t removedBefore = document.nodes().removedCount();
    if (list.collectedAt_ != document.treeVersion()) {
        list.collect(document);
    }
    list.entries_.clear();
    list.releaseEnrolmentBeforeLastPass();
    ++list.pass_;

    list.preparing_ = true;
    list.offer(document);
    list.preparing_ = false;

    // Objects of one priority enrol in the order they run, so the list is
    // most often in order already.
    if (!std::is_sorted(list.entries_.begin(), list.entries_.end(), runsBefore)) {
        std::sort(list.entries_.begin(), list.entries_.end(), runsBefore);
    }

    list.running_ = true;
    const std::vector<EvaluationList::Entry>& entries = list.entries_;
    const bool askAhead = entries.size() >= kEntriesWorthAskingAhead;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool addressesHold = document.nodes().removedCount() == removedBefore;
        // Nodes ahead are read only while their addresses hold.
        if (askAhead && addressesHold) {
            prefetchAhead(entries, i);
        }
        const EvaluationList::Entry& entry = entries[i];
        Node* node = stillInDocument(document, entry.node, entry.address, addressesHold);
        const HostNodeClass* nodeClass = node ? node->nodeClass() : nullptr;
        if (nodeClass && nodeClass->evaluateObject && node->instance()) {
            nodeClass->evaluateObject(node->instance(), toHandle(node));
        }
    }
    for (const EvaluationList::Tag& enrolled : list.tags_) {
        Node* tag = stillInDocument(document, enrolled.node, enrolled.address,
                                    document.nodes().removedCount() == removedBefore);
        if (tag && evaluatesAsTag(*tag)) {
            tag->nodeClass()->evaluateTag(tag->instance(), toHandle(tag), toHandle(&document),
                                          toHandle(tag->object()));
        }
    }
    list.running_ = false;
}

} // namespace caelo::host
