#include "source/tagCaeloOrbitPlaneS.h"

#include "model/moduleIds.h"
#include "source/finiteWrites.h"
#include "source/objCaeloBodyAxis.h"
#include "source/planeTag.h"
#include "source/tagCaeloEquatPlane.h"

namespace caelo {

int32_t TagCaeloOrbitPlaneS::EvaluateTag(HostNode* /*tag*/, HostDocument* /*document*/, HostNode* object) {
    return EvaluatePlaneTag<ObjCaeloBodyAxis>(
        object, kTypeHostPlane, kTypeCaeloBodyAxis,
        [](HostNode* plane, HostNode* bodyAxisNode, const ObjCaeloBodyAxis& bodyAxis) {
            /* The body axis tilts by a pitch in its relative rotation; the
             * counter-pitch lays the plane back into the frame the body axis
             * turns in, while the body's heading stays in force. */
            const HostVector bodyRotation = GetRelativeRotation(bodyAxisNode);
            const HostVector counterTilt{0.0, bodyRotation.y * -1.0, bodyRotation.z};
            if (IsFiniteVector(counterTilt)) {
                SetBaseRotation(plane, counterTilt);
            }
            SizePlaneToGlobe(plane, bodyAxis);
        });
}

} // namespace caelo
