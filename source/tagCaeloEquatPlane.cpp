#include "tagCaeloEquatPlane.h"

#include "finiteWrites.h"
#include "model/moduleIds.h"
#include "objCaeloBodyAxis.h"
#include "planeTag.h"

namespace caelo {

void SizePlaneToGlobe(HostNode* plane, const ObjCaeloBodyAxis& bodyAxis) {
    const HostVector globeHalfExtents = bodyAxis.GetGlobeSize();
    const Container container = GetParameterContainer(plane);
    SetFiniteFloat(container, kPlaneWidth, globeHalfExtents.x * 2.0 * 2);
    SetFiniteFloat(container, kPlaneHeight, globeHalfExtents.z * 2.0 * 2);
}

int32_t TagCaeloEquatPlane::EvaluateTag(HostNode* /*tag*/, HostDocument* /*document*/, HostNode* object) {
    return EvaluatePlaneTag<ObjCaeloBodyAxis>(
        object, kTypeHostPlane, kTypeCaeloBodyAxis,
        [](HostNode* plane, HostNode* /*bodyAxisNode*/, const ObjCaeloBodyAxis& bodyAxis) {
            SizePlaneToGlobe(plane, bodyAxis);
        });
}

} // namespace caelo
