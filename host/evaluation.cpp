#include "evaluation.h"

#include "application.h"
#include "interfaceTable.h"

#include <algorithm>

namespace caelo::host {

namespace {

// Passes are numbered across all documents, so a node that moved between
// documents never looks enrolled in a pass it did not take part in.
std::uint64_t lastPass = 0;

// Offers every enabled object with a module class the list (depth-first tree
// order) and notes every tag with a module class.
void prepare(Node* first, EvaluationList& list, std::vector<NodeId>& tags) {
    for (Node* node = first; node;) {
        Node* next = node->nextSibling();
        const HostNodeClass* nodeClass = node->nodeClass();
        if (node->enabled && nodeClass && nodeClass->addToEvaluation && node->instance()) {
            nodeClass->addToEvaluation(node->instance(), toHandle(node), toHandle(&list));
        }
        for (const Node* tag : node->tags()) {
            const HostNodeClass* tagClass = tag->nodeClass();
            if (tagClass && tagClass->evaluateTag && tag->instance()) {
                tags.push_back(tag->id());
            }
        }
        prepare(node->firstChild(), list, tags);
        node = next;
    }
}

} // namespace

bool EvaluationList::enrol(Node& node, std::int32_t priority, std::int32_t flags) {
    if (!preparing_ || node.enrolledPass_ == pass_) {
        return false;
    }
    node.enrolledPass_ = pass_;
    entries_.push_back({node.id(), priority, flags, static_cast<std::uint32_t>(entries_.size())});
    return true;
}

void evaluateDocument(Document& document) {
    EvaluationList& list = evaluationListOf(document);
    if (list.preparing_ || list.running_) {
        return;
    }
    list.entries_.clear();
    list.tags_.clear();
    list.pass_ = ++lastPass;

    list.preparing_ = true;
    prepare(document.firstObject(), list, list.tags_);
    list.preparing_ = false;

    std::sort(list.entries_.begin(), list.entries_.end(),
              [](const EvaluationList::Entry& a, const EvaluationList::Entry& b) {
                  return a.priority != b.priority ? a.priority < b.priority : a.order < b.order;
              });

    list.running_ = true;
    for (const EvaluationList::Entry& entry : list.entries_) {
        Node* node = document.findNode(entry.node);
        const HostNodeClass* nodeClass = node ? node->nodeClass() : nullptr;
        if (nodeClass && nodeClass->evaluateObject && node->instance()) {
            nodeClass->evaluateObject(node->instance(), toHandle(node));
        }
    }
    for (const NodeId id : list.tags_) {
        Node* tag = document.findNode(id);
        const HostNodeClass* tagClass = tag ? tag->nodeClass() : nullptr;
        if (tagClass && tagClass->evaluateTag && tag->instance()) {
            tagClass->evaluateTag(tag->instance(), toHandle(tag), toHandle(&document),
                                  toHandle(tag->object()));
        }
    }
    list.running_ = false;
}

} // namespace caelo::host
