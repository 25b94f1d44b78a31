/*
 * The orbit plane S tag: lays a plane primitive below a body axis parallel to the body's orbit plane.
 * The tag has no parameters and no state.
 */
#ifndef CAELO_TAG_CAELO_ORBIT_PLANE_S_H
#define CAELO_TAG_CAELO_ORBIT_PLANE_S_H

#include "nodeData.h"

namespace caelo {

class TagCaeloOrbitPlaneS : public TagData {};

} // namespace caelo

#endif
