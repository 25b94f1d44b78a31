/*
 * The orbit plane S tag: lays a plane primitive below a body axis parallel to the body's orbit plane.
 * The tag has no parameters and no state.
 */
#ifndef CAELO_SOURCE_TAG_CAELO_ORBIT_PLANE_S_H
#define CAELO_SOURCE_TAG_CAELO_ORBIT_PLANE_S_H

#include "source/nodeData.h"

#include <cstdint>

namespace caelo {

class TagCaeloOrbitPlaneS : public TagData {
public:
    /* On a plane that is a direct child of a body axis: the plane's base
     * rotation takes back the body axis's pitch (heading 0, pitch negated,
     * bank copied), then the plane is sized like the equatorial plane. Anything
     * else is left as it was. */
    int32_t EvaluateTag(HostNode* tag, HostDocument* document, HostNode* object) override;
};

} // namespace caelo

#endif
