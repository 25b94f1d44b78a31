#include "tagAttitudeCtrl.h"

namespace caelo {

bool TagAttitudeCtrl::InitNode(HostNode* tag) {
    GetParameterContainer(tag).SetInt32(TATTITUDECTRL_MODE, mode + kModeChoiceBase);
    return true;
}

} // namespace caelo
