// The console's views of a document: a readable indented tree and the JSON
// form of `dump --json` (described in docs/console.md).
#ifndef CAELO_APP_SCENE_DUMP_H
#define CAELO_APP_SCENE_DUMP_H

#include "host/scene.h"

#include <ostream>

namespace caelo::app {

// The whole document as one line of JSON: time, fps, the top-level objects
// and the view's camera. Numbers read back to the same double; a non-finite
// number is null; a node outside the document's tree (the view's camera) has
// a null path. Written object by object, so that a scene of a million
// objects, or a tree of the deepest, needs the memory and stack of one.
void writeJsonDump(const host::Document& document, std::ostream& out);

// The document as an indented tree: each object with its name, type, transform
// and parameters, its tags below it, then its children.
void writeReadableDump(const host::Document& document, std::ostream& out);

// One object subtree of `writeReadableDump`, indented by `depth` levels.
void writeReadableNode(const host::Document& document, const host::Node& node, int depth, std::ostream& out);

} // namespace caelo::app

#endif
