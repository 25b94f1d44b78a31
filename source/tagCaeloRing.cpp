#include "tagCaeloRing.h"

namespace caelo {

namespace {

/* The number-text parameters and their record fields, in the order in which
 * they are written and read back. */
struct RingText {
    int32_t parameterId;
    double RingRecord::*field;
};
constexpr RingText kRingTexts[] = {
    {TCAELORING_INNER_RADIUS, &RingRecord::innerRadiusKm},
    {TCAELORING_OUTER_RADIUS, &RingRecord::outerRadiusKm},
    {TCAELORING_THICKNESS, &RingRecord::thicknessKm},
    {TCAELORING_TILT, &RingRecord::tiltDeg},
    {TCAELORING_HEADING, &RingRecord::headingDeg},
    {TCAELORING_PHASE, &RingRecord::phaseDeg},
    {TCAELORING_PERIOD, &RingRecord::periodDays},
};

} // namespace

bool TagCaeloRing::InitNode(HostNode* tag) {
    WriteRingParameters(tag);
    return true;
}

void TagCaeloRing::WriteRingParameters(HostNode* tag) const {
    const Container container = GetParameterContainer(tag);
    for (const RingText& text : kRingTexts) {
        SetNumberText(container, text.parameterId, record.*text.field);
    }
    container.SetInt32(TCAELORING_SLICE_MODE, record.sliceMode + kModeChoiceBase);
    container.SetFloat(TCAELORING_SLICE_START, record.sliceStartDeg);
    container.SetFloat(TCAELORING_SLICE_END, record.sliceEndDeg);
    container.SetFloat(TCAELORING_EPOCH, record.epochJd);
}

} // namespace caelo
