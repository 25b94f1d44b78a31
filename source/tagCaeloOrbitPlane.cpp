#include "source/tagCaeloOrbitPlane.h"

#include "model/moduleIds.h"
#include "source/finiteWrites.h"
#include "source/objCaeloOrbitAxis.h"
#include "source/planeTag.h"

#include <optional>

namespace caelo {

int32_t TagCaeloOrbitPlane::EvaluateTag(HostNode* /*tag*/, HostDocument* /*document*/, HostNode* object) {
    return EvaluatePlaneTag<ObjCaeloOrbitAxis>(
        object, kTypeHostPlane, kTypeCaeloOrbitAxis,
        [](HostNode* plane, HostNode* /*orbitAxisNode*/, ObjCaeloOrbitAxis& orbitAxis) {
            const std::optional<ScaledEllipse> ellipse = orbitAxis.GetScaledOrbitEllipse();
            if (!ellipse) {
                return;
            }
            const Container container = GetParameterContainer(plane);
            SetFiniteFloat(container, kPlaneWidth, ellipse->semiMajorAxis * 2.0);
            SetFiniteFloat(container, kPlaneHeight, ellipse->semiMinorAxis * 2.0);
            SetRelativePosition(plane, {-ellipse->centreOffset, 0.0, 0.0});
        });
}

} // namespace caelo
