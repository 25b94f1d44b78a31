/*
 * The framework behind every node type of the module: the class hierarchy
 * whose virtual callbacks the host drives, and the node-class record that
 * carries them across the C interface.
 *
 * A node type derives from ObjectData (objects) or TagData (tags) and
 * overrides the callbacks it needs; every other callback keeps the host's
 * default behaviour implemented here. NodeClassOf<T> is the record passed at
 * registration: its factory allocates the instance through the host's
 * allocator and placement-constructs T; its destroy callback runs the
 * destructor and returns the memory to the host.
 */
#ifndef CAELO_SOURCE_NODE_DATA_H
#define CAELO_SOURCE_NODE_DATA_H

#include "source/hostApi.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

namespace caelo {

/* The callbacks every node type offers, with the host's defaults. */
class BaseData {
public:
    BaseData() = default;
    virtual ~BaseData() = default;
    BaseData(const BaseData&) = delete;
    BaseData& operator=(const BaseData&) = delete;

    /* A new node: write the type's parameter defaults. */
    virtual bool InitNode(HostNode* /*node*/) { return true; }
    /* A clone: the host's default copy of the node into the destination. */
    virtual bool CopyNode(HostNode* node, HostNode* destination, BaseData* /*destinationData*/) {
        return DefaultCopyNode(node, destination);
    }
    virtual bool HandleMessage(HostNode* /*node*/, int32_t /*type*/, void* /*data*/) { return true; }
    virtual bool IsParameterEnabled(HostNode* /*node*/, int32_t /*parameterId*/) { return true; }
};

/* A class instance that knows the node it belongs to. */
class NodeData : public BaseData {
public:
    /* The owning node; null until the factory attaches it. */
    HostNode* GetNode() const { return node_; }
    /* Called once by the factory, right after construction. */
    void AttachNode(HostNode* node) { node_ = node; }

private:
    HostNode* node_ = nullptr;
};

/* The base of the module's object types. */
class ObjectData : public NodeData {
public:
    /* By default an object takes no part in evaluation. */
    virtual bool AddToEvaluation(HostNode* /*node*/, HostEvaluationList* /*list*/) { return true; }
    /* Runs once per evaluation pass for an enrolled object; 0 is success. */
    virtual int32_t EvaluateObject(HostNode* /*node*/) { return 0; }
};

/* The base of the module's tag types. */
class TagData : public NodeData {
public:
    /* Runs once per evaluation pass for every tag; 0 is success. */
    virtual int32_t EvaluateTag(HostNode* /*tag*/, HostDocument* /*document*/, HostNode* /*object*/) {
        return 0;
    }
};

namespace detail {

/* The instance pointer handed to the host is always the BaseData subobject. */
inline BaseData* AsBase(void* instance) {
    return static_cast<BaseData*>(instance);
}

template <class T> void* AllocateNode(HostNode* owner) noexcept {
    static_assert(alignof(T) <= alignof(std::max_align_t), "the host's allocator aligns like malloc");
    void* memory = AllocateInstance(sizeof(T));
    if (memory == nullptr) {
        return nullptr;
    }
    T* instance = new (memory) T();
    instance->AttachNode(owner);
    return static_cast<BaseData*>(instance);
}

inline void DestroyNode(void* instance) noexcept {
    BaseData* base = AsBase(instance);
    void* memory = dynamic_cast<void*>(base); /* the start of the most derived object */
    base->~BaseData();
    FreeInstance(memory);
}

inline bool InitNodeCallback(void* instance, HostNode* node) noexcept {
    return AsBase(instance)->InitNode(node);
}

inline bool CopyNodeCallback(void* instance, HostNode* node, HostNode* destination,
                             void* destinationInstance) noexcept {
    BaseData* destinationData = destinationInstance != nullptr ? AsBase(destinationInstance) : nullptr;
    return AsBase(instance)->CopyNode(node, destination, destinationData);
}

inline bool HandleMessageCallback(void* instance, HostNode* node, int32_t type, void* data) noexcept {
    return AsBase(instance)->HandleMessage(node, type, data);
}

inline bool IsParameterEnabledCallback(void* instance, HostNode* node, int32_t parameterId) noexcept {
    return AsBase(instance)->IsParameterEnabled(node, parameterId);
}

inline bool AddToEvaluationCallback(void* instance, HostNode* node, HostEvaluationList* list) noexcept {
    return static_cast<ObjectData*>(AsBase(instance))->AddToEvaluation(node, list);
}

inline int32_t EvaluateObjectCallback(void* instance, HostNode* node) noexcept {
    return static_cast<ObjectData*>(AsBase(instance))->EvaluateObject(node);
}

inline int32_t EvaluateTagCallback(void* instance, HostNode* tag, HostDocument* document,
                                   HostNode* object) noexcept {
    return static_cast<TagData*>(AsBase(instance))->EvaluateTag(tag, document, object);
}

template <class T> constexpr HostNodeClass MakeNodeClass() {
    static_assert(std::is_base_of_v<ObjectData, T> || std::is_base_of_v<TagData, T>,
                  "a node type derives from ObjectData or TagData");
    constexpr bool isObject = std::is_base_of_v<ObjectData, T>;
    return HostNodeClass{
        &AllocateNode<T>,
        &DestroyNode,
        &InitNodeCallback,
        &CopyNodeCallback,
        &HandleMessageCallback,
        &IsParameterEnabledCallback,
        isObject ? &AddToEvaluationCallback : nullptr,
        isObject ? &EvaluateObjectCallback : nullptr,
        isObject ? nullptr : &EvaluateTagCallback,
    };
}

} // namespace detail

/* The class instance behind a node of the module, as class T; null for a
 * null node. The caller knows the node's type (for example by its type id). */
template <class T> [[nodiscard]] T* InstanceOf(HostNode* node) {
    return node != nullptr ? static_cast<T*>(detail::AsBase(GetNodeData(node))) : nullptr;
}

/* The node-class record of a node type: objects fill the two object
 * evaluation callbacks, tags the tag evaluation callback; the others are
 * null. */
template <class T> inline constexpr HostNodeClass NodeClassOf = detail::MakeNodeClass<T>();

} // namespace caelo

#endif
