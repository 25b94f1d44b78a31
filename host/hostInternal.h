// Internals shared by the host's units: making a node's class instance and the
// module shutdown sequence. Not part of the host's public interface.
#ifndef CAELO_HOST_HOST_INTERNAL_H
#define CAELO_HOST_HOST_INTERNAL_H

#include "host/application.h"
#include "host/scene.h"

#include <cstdint>

namespace caelo::host {

// A node of a type made by the type's factory without InitNode; a node of a
// type nobody registered holds no instance. Throws HostError when the factory
// makes nothing (the node is removed again).
Node& instantiateNode(Application& host, NodeKind kind, std::int32_t typeId);

// Removes every node, then ends and unloads the loaded modules (request 3,
// dlclose), last loaded first, and forgets their types, resources and help
// hooks.
void endModules(Application& app);

} // namespace caelo::host

#endif
