/*
 * The orbit plane tag: sizes a plane primitive below an orbit axis to the orbit's ellipse.
 * The tag has no parameters and no state.
 */
#ifndef CAELO_TAG_CAELO_ORBIT_PLANE_H
#define CAELO_TAG_CAELO_ORBIT_PLANE_H

#include "nodeData.h"

namespace caelo {

class TagCaeloOrbitPlane : public TagData {};

} // namespace caelo

#endif
