/*
 * The orbit plane tag: sizes a plane primitive below an orbit axis to the orbit's ellipse.
 * The tag has no parameters and no state.
 */
#ifndef CAELO_SOURCE_TAG_CAELO_ORBIT_PLANE_H
#define CAELO_SOURCE_TAG_CAELO_ORBIT_PLANE_H

#include "source/nodeData.h"

#include <cstdint>

namespace caelo {

class TagCaeloOrbitPlane : public TagData {
public:
    /* On a plane that is a direct child of an orbit axis: the plane becomes
     * the rectangle enclosing the orbit axis's current ellipse (2a by 2b),
     * centred on the ellipse's centre at (-c, 0, 0). Anything else, and an
     * ellipse that is not finite, leave the plane as it was. */
    int32_t EvaluateTag(HostNode* tag, HostDocument* document, HostNode* object) override;
};

} // namespace caelo

#endif
