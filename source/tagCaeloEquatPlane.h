/*
 * The equatorial plane tag: sizes a plane primitive below a body axis to the body's globe.
 * The tag has no parameters and no state.
 */
#ifndef CAELO_TAG_CAELO_EQUAT_PLANE_H
#define CAELO_TAG_CAELO_EQUAT_PLANE_H

#include "nodeData.h"

namespace caelo {

class TagCaeloEquatPlane : public TagData {};

} // namespace caelo

#endif
