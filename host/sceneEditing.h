// Editing the scene tree as a user does: creating, inserting, moving, copying
// and removing nodes. Failures throw HostError with a message naming the node
// (by path) or the type and the reason.
//
// The functions that make or remove nodes take the host whose types they make
// and whose store holds the nodes; the others work on what they are given.
//
// Example:
//   Document& document = host.activeDocument();
//   Node& system = createObject(host, 1032493); // factory, then InitNode
//   appendChild(document, system, nullptr);     // last top-level object
//   Node& tag = createTag(host, system, 5612);
#ifndef CAELO_HOST_SCENE_EDITING_H
#define CAELO_HOST_SCENE_EDITING_H

#include "host/application.h"
#include "host/scene.h"

#include <cstdint>
#include <memory>

namespace caelo::host {

// A new empty document with its view camera (outside the tree) at the default
// orientation (kDefaultCameraHeading, defaultCameraPitch()).
[[nodiscard]] std::unique_ptr<Document> createDocument(Application& host);

// A new object of a registered object type, outside any document: the type's
// factory makes the class instance, then InitNode writes the defaults (host
// types get their description's defaults). Throws for an unknown type, a tag
// type, a factory that answers nothing or an InitNode that fails.
Node& createObject(Application& host, std::int32_t typeId);

// A new tag of a registered tag type, appended as the object's last tag
// (factory, then InitNode). Throws as createObject does, and for a node that
// is not an object.
Node& createTag(Application& host, Node& object, std::int32_t typeId);

// Makes a node that sits in no tree the last child of `parent`, or the last
// top-level object of the document for a null parent. Sends no message.
// Throws when the node is attached already, is a tag, or when the parent is
// the node itself, lies below it or belongs to another document.
void appendChild(Document& document, Node& node, Node* parent);

// Puts a tag that sits on no object as the object's last tag. Throws when the
// tag sits on an object already or either node is of the wrong kind.
void appendTag(Node& object, Node& tag);

// Moves an object with its subtree to the end of `newParent`'s children (or
// of the top level for nullptr) and sends message 1018756 with flag 0x20 to
// every node of the moved subtree, objects and tags. Throws when the new
// parent is the node itself or lies below it.
void moveNode(Document& document, Node& node, Node* newParent);

// A copy of a node outside any document: its parameters, transforms,
// switches, colours, tags and children, with fresh identities; links that
// point into the copied subtree point to the copies. Then each copied node's
// class runs CopyNode. Throws when a factory answers nothing or a CopyNode
// fails; nothing of the copy remains then.
Node& cloneNode(Application& host, const Node& node);

// Removes a node with its subtree and tags: detaches it first, then destroys
// the class instances (destructors may broadcast to the active document).
// Removing a document's view camera leaves the view without a camera.
void removeNode(Application& host, Node& node);

// A text that names a node in errors: its path in its document, "camera" for a
// view camera outside the tree, else "node <id> outside any document".
[[nodiscard]] std::string describeNode(const Node& node);

} // namespace caelo::host

#endif
