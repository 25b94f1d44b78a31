#include "source/hostPrimitives.h"

#include "source/hostApi.h"

namespace caelo {

bool AddSmoothShading(HostNode* object) {
    HostNode* shading = CreateTag(object, kTypeHostShadingTag);
    if (shading == nullptr) {
        return false;
    }
    GetParameterContainer(shading).SetBool(kShadingSmooth, true);
    return true;
}

} // namespace caelo
