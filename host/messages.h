// Messages to nodes and user-level parameter edits.
//
// Message types and data records are those of hostInterface.h:
// HOST_MSG_PARAMETER_SET and HOST_MSG_BUTTON (HostParameterMessage),
// HOST_MSG_UPDATE, HOST_MSG_REFRESH_LINKS, HOST_MSG_DOCUMENT
// (HostDocumentMessage) and HOST_MSG_HIERARCHY (HostHierarchyMessage).
#ifndef CAELO_HOST_MESSAGES_H
#define CAELO_HOST_MESSAGES_H

#include "host/container.h"
#include "host/scene.h"

#include <cstdint>

namespace caelo::host {

struct ParameterDescription;

// Delivers a message to one node: a node with a module class gets it through
// its HandleMessage callback (answering its result); a host primitive given
// HOST_MSG_UPDATE rebuilds (its rebuild count grows). Other nodes answer true.
bool sendNodeMessage(Node& node, std::int32_t type, void* data);

// Delivers a message to every object and tag of the document in tree order
// (each object, then its tags, then its children). Handlers may broadcast again
// or change the tree: the nodes are taken at the start, and a node that left
// the document or was removed meanwhile is skipped.
void broadcastMessage(Document& document, std::int32_t type, void* data);

// Sends HOST_MSG_DOCUMENT of kind HOST_DOCUMENT_LOADED to every node, as after
// a scene was loaded.
void notifyDocumentLoaded(Document& document);

// The parameter's description on the node, or throws HostError naming the
// node and the id (unknown id, or a node type without description).
[[nodiscard]] const ParameterDescription& requireParameter(const Node& node, std::int32_t id);

// A user's edit: checks the value against the description (a known id that is
// no button, the value's type, limits and choices, not read-only, not greyed
// out by IsParameterEnabled), stores it and sends HOST_MSG_PARAMETER_SET with
// flag HOST_PARAMETER_SET_BY_USER and the id. A Float parameter also takes an
// Int32 value; an Int32 or choice parameter an integral Float value. Throws HostError naming the node path,
// the parameter (id and name) and the reason; nothing is stored then.
void editParameter(Node& node, std::int32_t id, const Value& value);

// Stores a value without the user's flag: checks the value as editParameter
// does (type, limits, choices) but not whether the parameter is read-only or
// greyed out, then sends HOST_MSG_PARAMETER_SET without
// HOST_PARAMETER_SET_BY_USER.
void setParameterQuietly(Node& node, std::int32_t id, const Value& value);

// Presses a button: checks that the id is a button of the node's description
// and not greyed out by IsParameterEnabled, then sends HOST_MSG_BUTTON with
// the id. Answers the node's result for the message.
bool pressButton(Node& node, std::int32_t id);

// Asks the node's class whether a parameter is editable now (true without a
// class or without the callback).
[[nodiscard]] bool isParameterEnabled(Node& node, std::int32_t id);

} // namespace caelo::host

#endif
