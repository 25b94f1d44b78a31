// The registry of node types: the module's types with their classes and the
// host's own types.
#ifndef CAELO_HOST_REGISTRY_H
#define CAELO_HOST_REGISTRY_H

#include "host/scene.h"
#include "interface/hostInterface.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace caelo::host {

class Bitmap;
class DescriptionTable;
struct Description;

struct NodeType {
    std::int32_t id = 0;
    NodeKind kind = NodeKind::Object;
    std::string displayName;
    std::int32_t flags = 0;
    // The module's callbacks; nothing for the host's own types.
    std::optional<HostNodeClass> nodeClass;
    std::string descriptionName;
    Bitmap* icon = nullptr; // the registry's own reference, or nullptr
    std::int32_t level = 0;
    bool hostType = false;
    const void* module = nullptr; // the loaded module that registered it, if any
    // The table its description is looked up in (the registry's).
    const DescriptionTable* descriptions = nullptr;

    // The type's parameter description, or nullptr.
    [[nodiscard]] const Description* description() const;
};

class TypeRegistry {
public:
    // Types added take their descriptions from `descriptions`.
    explicit TypeRegistry(const DescriptionTable& descriptions) : descriptions_(descriptions) {}
    TypeRegistry(const TypeRegistry&) = delete;
    TypeRegistry& operator=(const TypeRegistry&) = delete;
    ~TypeRegistry();

    // Adds a type; false when its id is taken. Takes over the reference to the
    // icon the caller passes in (the caller keeps its own).
    bool add(NodeType type);
    [[nodiscard]] const NodeType* find(std::int32_t id) const;
    // Removes the types a module registered (or, for nullptr, every type that
    // no module registered and that is not the host's own).
    void removeModuleTypes(const void* module);
    void clear();
    // Types in id order.
    void forEach(const std::function<void(const NodeType&)>& visit) const;

private:
    const DescriptionTable& descriptions_;
    std::map<std::int32_t, NodeType> types_;
};

} // namespace caelo::host

#endif
