/*
 * The orbit tag: shapes a circle spline below an orbit axis into the orbit's ellipse.
 * The tag has no parameters and no state.
 */
#ifndef CAELO_SOURCE_TAG_CAELO_ORBIT_H
#define CAELO_SOURCE_TAG_CAELO_ORBIT_H

#include "source/nodeData.h"

#include <cstdint>

namespace caelo {

class TagCaeloOrbit : public TagData {
public:
    /* On a circle spline that is a direct child of an orbit axis: the spline
     * takes the orbit axis's current ellipse. Anything else, and an ellipse
     * that is not finite, leave the spline as it was. */
    int32_t EvaluateTag(HostNode* tag, HostDocument* document, HostNode* object) override;
};

} // namespace caelo

#endif
