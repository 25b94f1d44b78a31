#include "objCaeloBodyAxis.h"

namespace caelo {

namespace {

/* The number-text parameters and their record fields, in the order in which
 * they are written and read back. */
struct BodyText {
    int32_t parameterId;
    double BodyAxisRecord::*field;
};
constexpr BodyText kBodyTexts[] = {
    {OCAELOBODYAXIS_EQUATORIAL_RADIUS, &BodyAxisRecord::equatorialRadiusKm},
    {OCAELOBODYAXIS_POLAR_RADIUS, &BodyAxisRecord::polarRadiusKm},
    {OCAELOBODYAXIS_OBLIQUITY, &BodyAxisRecord::obliquityDeg},
    {OCAELOBODYAXIS_HEADING, &BodyAxisRecord::headingDeg},
    {OCAELOBODYAXIS_ROTATION_ANGLE, &BodyAxisRecord::rotationAngleDeg},
    {OCAELOBODYAXIS_ROTATION_PERIOD, &BodyAxisRecord::rotationPeriodDays},
};

} // namespace

bool ObjCaeloBodyAxis::InitNode(HostNode* node) {
    WriteBodyParameters(node);
    return true;
}

void ObjCaeloBodyAxis::WriteBodyParameters(HostNode* node) const {
    const Container container = GetParameterContainer(node);
    for (const BodyText& text : kBodyTexts) {
        SetNumberText(container, text.parameterId, record.*text.field);
    }
    container.SetInt32(OCAELOBODYAXIS_ROTATION_MODE, record.rotationMode + kModeChoiceBase);
    container.SetFloat(OCAELOBODYAXIS_ROTATION_EPOCH, record.rotationEpochJd);
    container.SetFloat(OCAELOBODYAXIS_GLOBE_SCALE, record.globeScale);
    container.SetFloat(OCAELOBODYAXIS_SATELLITE_SCALE, record.satelliteScale);
}

} // namespace caelo
