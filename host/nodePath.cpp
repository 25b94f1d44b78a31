#include "host/nodePath.h"

#include "host/scene.h"
#include "host/services/displayText.h"
#include "host/services/hostError.h"

#include <charconv>

namespace caelo::host {

namespace {

// Reads a decimal index at the front of `text`, advancing it.
bool readIndex(std::string_view& text, std::size_t& index) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, index);
    if (error != std::errc{} || end == first) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - first));
    return true;
}

} // namespace

std::string pathBelow(const Node& root, const Node& node) {
    if (node.isTag()) {
        const Node* object = node.object();
        const std::string objectPath = object ? pathBelow(root, *object) : std::string{};
        if (objectPath.empty()) {
            return {};
        }
        const std::vector<Node*>& tags = object->tags();
        std::size_t index = 0;
        while (index < tags.size() && tags[index] != &node) {
            ++index;
        }
        return objectPath + "#" + std::to_string(index);
    }
    std::string path;
    for (const Node* n = &node;;) {
        const std::size_t index = n->indexAmongSiblings();
        path.insert(0, "/" + std::to_string(index));
        const Node* parent = n->parent();
        if (!parent) {
            // A top-level object of this tree is the root's child at its place.
            return root.childAt(index) == n ? path : std::string{};
        }
        n = parent;
    }
}

Node* nodeBelow(const Node& root, std::string_view path) {
    if (path.empty() || path.front() != '/') {
        return nullptr;
    }
    const Node* node = &root;
    while (!path.empty() && path.front() == '/') {
        path.remove_prefix(1);
        std::size_t index = 0;
        if (!readIndex(path, index)) {
            return nullptr;
        }
        node = node->childAt(index);
        if (!node) {
            return nullptr;
        }
    }
    if (path.empty()) {
        return const_cast<Node*>(node);
    }
    if (path.front() != '#') {
        return nullptr;
    }
    path.remove_prefix(1);
    std::size_t index = 0;
    if (!readIndex(path, index) || !path.empty() || index >= node->tags().size()) {
        return nullptr;
    }
    return node->tags()[index];
}

Node& requireNodeBelow(const Node& root, std::string_view path) {
    if (Node* node = nodeBelow(root, path)) {
        return *node;
    }
    if (path.empty() || path.front() != '/' || path == "/") {
        throw HostError("malformed node path " + quotedExcerpt(path) +
                        " (expected a path such as /0, /0/2 or /0/2#1)");
    }
    throw HostError("no node at path " + excerpt(path));
}

} // namespace caelo::host
