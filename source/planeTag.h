/*
 * The evaluation scheme of the stateless plane and orbit tags. Each of them
 * drives one host primitive that is a direct child of an axis object and,
 * at every evaluation, re-derives the primitive's settings from that axis:
 *
 *     int32_t TagCaeloEquatPlane::EvaluateTag(HostNode*, HostDocument*, HostNode* object) {
 *         return EvaluatePlaneTag<ObjCaeloBodyAxis>(object, kTypeHostPlane, kTypeCaeloBodyAxis,
 *             [](HostNode* plane, HostNode* bodyAxisNode, ObjCaeloBodyAxis& bodyAxis) { ... });
 *     }
 *
 * The tags have no parameters and no state.
 */
#ifndef CAELO_SOURCE_PLANE_TAG_H
#define CAELO_SOURCE_PLANE_TAG_H

#include "source/hostApi.h"
#include "source/hostPrimitives.h"
#include "source/nodeData.h"

#include <cstdint>

namespace caelo {

/* Calls write(object, axisNode, axis) when the host object is of
 * `objectType` and its direct parent, axisNode, is of `axisType`; `axis` is
 * the parent's class instance, of class Axis. Any other object, a missing
 * parent or an axis object further up leaves everything as it was. Returns
 * 0, the evaluation result of every plane and orbit tag. */
template <class Axis, class Write>
int32_t EvaluatePlaneTag(HostNode* object, int32_t objectType, int32_t axisType, Write&& write) {
    if (object == nullptr || GetNodeType(object) != objectType) {
        return 0;
    }
    HostNode* axisNode = GetParent(object);
    if (axisNode == nullptr || GetNodeType(axisNode) != axisType) {
        return 0;
    }
    auto* axis = InstanceOf<Axis>(axisNode);
    if (axis != nullptr) {
        write(object, axisNode, *axis);
    }
    return 0;
}

} // namespace caelo

#endif
