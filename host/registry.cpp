#include "host/registry.h"

#include "host/description.h"
#include "host/resources.h"

namespace caelo::host {

namespace {

void releaseIcon(NodeType& type) {
    if (type.icon) {
        type.icon->release();
        type.icon = nullptr;
    }
}

} // namespace

const Description* NodeType::description() const {
    return descriptions ? descriptions->find(descriptionName) : nullptr;
}

TypeRegistry::~TypeRegistry() {
    clear();
}

bool TypeRegistry::add(NodeType type) {
    if (types_.contains(type.id)) {
        return false;
    }
    const std::int32_t id = type.id;
    type.descriptions = &descriptions_;
    types_.emplace(id, std::move(type));
    return true;
}

const NodeType* TypeRegistry::find(std::int32_t id) const {
    const auto it = types_.find(id);
    return it == types_.end() ? nullptr : &it->second;
}

void TypeRegistry::removeModuleTypes(const void* module) {
    for (auto it = types_.begin(); it != types_.end();) {
        if (!it->second.hostType && it->second.module == module) {
            releaseIcon(it->second);
            it = types_.erase(it);
        } else {
            ++it;
        }
    }
}

void TypeRegistry::clear() {
    for (auto& [id, type] : types_) {
        releaseIcon(type);
    }
    types_.clear();
}

void TypeRegistry::forEach(const std::function<void(const NodeType&)>& visit) const {
    for (const auto& [id, type] : types_) {
        visit(type);
    }
}

} // namespace caelo::host
