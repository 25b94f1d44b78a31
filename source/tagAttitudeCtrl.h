/*
 * The attitude-control tag: holds the object that carries it to a chosen
 * angle (or all three angles) of its parent frame in world space.
 *
 * The parent frame is the parent's world matrix times the object's frozen
 * (base) transformation: the frame in which the object's own position and
 * rotation act. At every evaluation the tag writes a world matrix with that
 * frame's kept angles, unit axes and the object's unchanged world position,
 * so the object's own rotation, world scale and shear are overridden.
 */
#ifndef CAELO_SOURCE_TAG_ATTITUDE_CTRL_H
#define CAELO_SOURCE_TAG_ATTITUDE_CTRL_H

#include "model/moduleIds.h"
#include "model/units.h"
#include "source/nodeData.h"

#include <cstdint>

namespace caelo {

/* The tag's one setting, held in parameter 1000. */
struct AttitudeRecord {
    int32_t mode = kAttitudeKeepHeading; /* parameter value - 1200 */
};

class TagAttitudeCtrl : public TagData {
public:
    bool InitNode(HostNode* tag) override;
    /* The host's default copy, then the mode goes to the clone. */
    bool CopyNode(HostNode* tag, HostNode* destination, BaseData* destinationData) override;
    /* A user's edit of the mode and a loaded scene reread the mode. */
    bool HandleMessage(HostNode* tag, int32_t type, void* data) override;
    /* HoldAttitude on the object carrying the tag. Returns 0. */
    int32_t EvaluateTag(HostNode* tag, HostDocument* document, HostNode* object) override;

private:
    /* Sets the object's world matrix to the kept angles of its parent frame
     * at its current world position. A matrix that would not be finite
     * leaves the object as it was. */
    void HoldAttitude(HostNode* object) const;

    AttitudeRecord record;
};

} // namespace caelo

#endif
