#include "source/tagCaeloEquatPlane.h"

#include "model/moduleIds.h"
#include "source/finiteWrites.h"
#include "source/objCaeloBodyAxis.h"
#include "source/planeTag.h"

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
