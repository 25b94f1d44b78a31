/*
 * The attitude-control tag: holds the object that carries it to a chosen
 * angle (or all three angles) of its parent frame in world space.
 */
#ifndef CAELO_TAG_ATTITUDE_CTRL_H
#define CAELO_TAG_ATTITUDE_CTRL_H

#include "caeloConstants.h"
#include "nodeData.h"

#include <cstdint>

namespace caelo {

/* Parameter of the attitude-control tag. */
enum : int32_t {
    TATTITUDECTRL_MODE = 1000, /* Int32 choice 1200 + mode */
};

class TagAttitudeCtrl : public TagData {
public:
    bool InitNode(HostNode* tag) override;

private:
    int32_t mode = 0; /* 0 heading, 1 pitch, 2 bank, other values all three */
};

} // namespace caelo

#endif
