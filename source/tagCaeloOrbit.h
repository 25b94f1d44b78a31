/*
 * The orbit tag: shapes a circle spline below an orbit axis into the orbit's ellipse.
 * The tag has no parameters and no state.
 */
#ifndef CAELO_TAG_CAELO_ORBIT_H
#define CAELO_TAG_CAELO_ORBIT_H

#include "nodeData.h"

namespace caelo {

class TagCaeloOrbit : public TagData {};

} // namespace caelo

#endif
