#include "source/tagAttitudeCtrl.h"

#include "model/bodyAxisRotation.h"
#include "model/finiteValues.h"
#include "model/moduleIds.h"
#include "model/units.h"
#include "source/parameterBinding.h"

#include <cmath>

namespace caelo {

namespace {

constexpr ParameterBinding<AttitudeRecord> kAttitudeBindings[] = {
    ChoiceBinding(TATTITUDECTRL_MODE, &AttitudeRecord::mode, kModeChoiceBase),
};

/* The angles (heading, pitch, bank; radians) that a mode keeps, the others
 * set to 0. The heading is reduced by fmod to (-2 pi, 2 pi). */
HostVector KeptAngles(HostVector frameAngles, int32_t mode) {
    switch (mode) {
    case kAttitudeKeepHeading:
        return {std::fmod(frameAngles.x, kTwoPi), 0.0, 0.0};
    case kAttitudeKeepPitch:
        return {0.0, frameAngles.y, 0.0};
    case kAttitudeKeepBank:
        return {0.0, 0.0, frameAngles.z};
    default:
        return {std::fmod(frameAngles.x, kTwoPi), frameAngles.y, frameAngles.z};
    }
}

bool IsFiniteMatrix(const HostMatrix& m) {
    return IsFiniteVector(m.off) && IsFiniteVector(m.x) && IsFiniteVector(m.y) && IsFiniteVector(m.z);
}

} // namespace

bool TagAttitudeCtrl::InitNode(HostNode* tag) {
    WriteBoundParameters(GetParameterContainer(tag), kAttitudeBindings, record);
    return true;
}

bool TagAttitudeCtrl::CopyNode(HostNode* tag, HostNode* destination, BaseData* destinationData) {
    const bool copied = TagData::CopyNode(tag, destination, destinationData);
    auto* clone = dynamic_cast<TagAttitudeCtrl*>(destinationData);
    if (copied && clone != nullptr) {
        clone->record = record;
    }
    return copied;
}

bool TagAttitudeCtrl::HandleMessage(HostNode* tag, int32_t type, void* data) {
    switch (type) {
    case HOST_MSG_PARAMETER_SET:
        if (IsUserParameterEdit(data)) {
            ReadBoundParameter(GetParameterContainer(tag), kAttitudeBindings, GetMessageParameterId(data),
                               record);
        }
        return true;
    case HOST_MSG_DOCUMENT:
        if (IsDocumentLoaded(data)) {
            ReadBoundParameters(GetParameterContainer(tag), kAttitudeBindings, record);
        }
        return true;
    default:
        return true;
    }
}

int32_t TagAttitudeCtrl::EvaluateTag(HostNode* /*tag*/, HostDocument* /*document*/, HostNode* object) {
    if (object != nullptr) {
        HoldAttitude(object);
    }
    return 0;
}

void TagAttitudeCtrl::HoldAttitude(HostNode* object) const {
    /* The frame in which the object's own position and rotation act; only
     * its axes matter. */
    const HostMatrix frame = rotation::MultiplyMatrices(GetParentWorldMatrix(object), GetBaseMatrix(object));
    HostMatrix held = AnglesToMatrix(KeptAngles(MatrixToAngles(frame), record.mode));
    held.off = GetWorldMatrix(object).off;
    if (!IsFiniteMatrix(held)) {
        return;
    }
    /* The world position depends only on the frame and the object's own
     * position, so keeping that position keeps the world position exactly;
     * the position the host derives back from the world matrix differs in
     * the last bits and would make the object creep at every evaluation. */
    const HostVector position = GetRelativePosition(object);
    SetWorldMatrix(object, held);
    SetRelativePosition(object, position);
}

} // namespace caelo
