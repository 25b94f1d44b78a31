/*
 * The equatorial plane tag: sizes a plane primitive below a body axis to the body's globe.
 * The tag has no parameters and no state.
 */
#ifndef CAELO_SOURCE_TAG_CAELO_EQUAT_PLANE_H
#define CAELO_SOURCE_TAG_CAELO_EQUAT_PLANE_H

#include "source/nodeData.h"

#include <cstdint>

namespace caelo {

class ObjCaeloBodyAxis;

/* Sets a plane's width and height to four times the x and z half extents of
 * the body axis's globe (twice its diameter; 0 without a globe). A globe that
 * is itself a plane these tags size leaves the plane as it is. */
void SizePlaneToGlobe(HostNode* plane, const ObjCaeloBodyAxis& bodyAxis);

class TagCaeloEquatPlane : public TagData {
public:
    /* On a plane that is a direct child of a body axis: width and height
     * become four times the globe's half extents in x and z (twice its
     * diameter), 0 without a globe. Anything else is left as it was. */
    int32_t EvaluateTag(HostNode* tag, HostDocument* document, HostNode* object) override;
};

} // namespace caelo

#endif
