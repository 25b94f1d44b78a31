#include "source/tagCaeloOrbit.h"

#include "model/moduleIds.h"
#include "source/objCaeloOrbitAxis.h"
#include "source/planeTag.h"

#include <optional>

namespace caelo {

int32_t TagCaeloOrbit::EvaluateTag(HostNode* /*tag*/, HostDocument* /*document*/, HostNode* object) {
    return EvaluatePlaneTag<ObjCaeloOrbitAxis>(
        object, kTypeHostCircleSpline, kTypeCaeloOrbitAxis,
        [](HostNode* spline, HostNode* /*orbitAxisNode*/, ObjCaeloOrbitAxis& orbitAxis) {
            if (const std::optional<ScaledEllipse> ellipse = orbitAxis.GetScaledOrbitEllipse()) {
                ShapeSplineToEllipse(spline, *ellipse);
            }
        });
}

} // namespace caelo
