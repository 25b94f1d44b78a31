#include "source/tagCaeloEquatPlane.h"

#include "model/moduleIds.h"
#include "source/finiteWrites.h"
#include "source/objCaeloBodyAxis.h"
#include "source/planeTag.h"

namespace caelo {

namespace {

/* Whether a plane tag sizes the node. */
bool IsSizedPlane(HostNode* node) {
    return FindTag(node, kTypeCaeloEquatPlane, 0) != nullptr ||
           FindTag(node, kTypeCaeloOrbitPlaneS, 0) != nullptr;
}

} // namespace

void SizePlaneToGlobe(HostNode* plane, const ObjCaeloBodyAxis& bodyAxis) {
    /* A plane these tags size is no globe to size planes from: linked as its
     * own body's globe, or two such planes as each other's, each pass would
     * double it. */
    if (HostNode* globe = bodyAxis.GetGlobe(); globe != nullptr && IsSizedPlane(globe)) {
        return;
    }
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
