#include "tagCaeloOrbit.h"

#include "model/moduleIds.h"
#include "objCaeloOrbitAxis.h"
#include "planeTag.h"

#include <optional>

namespace caelo {

void ShapeSplineToEllipse(HostNode* spline, const ScaledEllipse& ellipse) {
    const Container container = GetParameterContainer(spline);
    container.SetFloat(kSplineRadius, ellipse.semiMajorAxis);
    container.SetFloat(kSplineSecondRadius, ellipse.semiMinorAxis);
    SendNodeMessage(spline, HOST_MSG_UPDATE, nullptr);
    SetRelativePosition(spline, {-ellipse.centreOffset, 0.0, 0.0});
}

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
