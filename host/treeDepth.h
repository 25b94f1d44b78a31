// How deep the host's trees of objects may nest, and the check that every
// edit linking an object under another makes.
//
// A top-level object stands at level 1, its children at level 2, and so on.
// No tree the host holds, in a document or outside one, nests deeper than
// kMaxTreeDepth: adding, copying and moving objects, the module's
// AppendChild and reading a scene file all keep to it. So every tree the
// host can save, its scene reader reads back, and the passes that follow a
// tree's depth with recursion (saving, reading, the readable dump, copying,
// collecting the evaluation order, world matrices) need a bounded stack:
// under a kilobyte a level, so at the limit each needs less than 1 MB of the
// main thread's 8 MB (measured on a chain of 1000 objects, the program's own
// 0.2 MB included: saving 0.9 MB, the readable dump 0.8 MB, reading 0.5 MB).
// Removing a subtree walks it by its links, without recursion.
#ifndef CAELO_HOST_TREE_DEPTH_H
#define CAELO_HOST_TREE_DEPTH_H

namespace caelo::host {

class Node;

// Levels of objects a tree may have. Real scenes nest a few dozen at most; a
// thousand leaves room for generated ones and keeps a scene file of the
// deepest tree at about 2,000 levels of JSON.
inline constexpr int kMaxTreeDepth = 1000;

// Whether `object` with its subtree may become a child of `parent` (nullptr:
// a top-level object) without any object standing deeper than kMaxTreeDepth.
// Walks the parent's ancestors and the object's subtree, without memory.
[[nodiscard]] bool fitsUnder(const Node& object, const Node* parent);

// The same, throwing HostError when it does not fit, e.g. "an object under
// /0/0/0/... (level 1000) would reach level 1001, deeper than the 1000 levels
// objects may nest (as deep as a scene file is read back)".
void requireFitsUnder(const Node& object, const Node* parent);

} // namespace caelo::host

#endif
