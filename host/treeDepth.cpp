#include "host/treeDepth.h"

#include "host/scene.h"
#include "host/sceneEditing.h"
#include "host/services/displayText.h"
#include "host/services/hostError.h"

#include <algorithm>
#include <string>

namespace caelo::host {

namespace {

// The level `parent` stands at (0 for the top level), counted no further
// than past kMaxTreeDepth.
int levelOf(const Node* parent) {
    int level = 0;
    for (const Node* n = parent; n != nullptr && level <= kMaxTreeDepth; n = n->parent()) {
        ++level;
    }
    return level;
}

// The levels of the subtree of `top` (1 for an object without children),
// counted no further than past `most`. Walks the tree by its links, neither
// recursing nor keeping a list.
int heightOf(const Node& top, int most) {
    int height = 1;
    int level = 1;
    const Node* node = &top;
    for (;;) {
        if (node->firstChild() != nullptr && level <= most) {
            node = node->firstChild();
            height = std::max(height, ++level);
            continue;
        }
        while (node != &top && node->nextSibling() == nullptr) {
            node = node->parent();
            --level;
        }
        if (node == &top) {
            return height;
        }
        node = node->nextSibling();
    }
}

} // namespace

bool fitsUnder(const Node& object, const Node* parent) {
    const int room = kMaxTreeDepth - levelOf(parent);
    return room >= 1 && heightOf(object, room) <= room;
}

void requireFitsUnder(const Node& object, const Node* parent) {
    if (fitsUnder(object, parent)) {
        return;
    }
    const int level = levelOf(parent);
    const int height = heightOf(object, kMaxTreeDepth);
    const std::string what = height == 1
                                 ? std::string("an object")
                                 : "an object with " + std::to_string(height - 1) + " levels below it";
    const std::string where =
        parent ? " under " + excerpt(describeNode(*parent)) + " (level " + std::to_string(level) + ")"
               : std::string(" at the top level");
    throw HostError(what + where + " would reach level " + std::to_string(level + height) +
                    ", deeper than the " + std::to_string(kMaxTreeDepth) +
                    " levels objects may nest (as deep as a scene file is read back)");
}

} // namespace caelo::host
