// Node paths: a document's tree names its nodes by zero-based child indices.
// "/0" is the first top-level object, "/0/2" its third child, "/0/2#1" the
// second tag of that object. The functions take the hidden node above a
// tree's top-level objects (a document's root).
#ifndef CAELO_HOST_NODE_PATH_H
#define CAELO_HOST_NODE_PATH_H

#include <string>
#include <string_view>

namespace caelo::host {

class Node;

// The path of an object or tag of the tree below `root`, or the empty text
// where the node does not sit in that tree.
[[nodiscard]] std::string pathBelow(const Node& root, const Node& node);

// The node at a path below `root`, or nullptr when the path is malformed or
// names no node.
[[nodiscard]] Node* nodeBelow(const Node& root, std::string_view path);

// The same, but throws HostError naming the path and what is wrong.
[[nodiscard]] Node& requireNodeBelow(const Node& root, std::string_view path);

} // namespace caelo::host

#endif
