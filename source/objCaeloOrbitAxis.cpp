#include "objCaeloOrbitAxis.h"

#include <iterator>

namespace caelo {

namespace {

/* The record fields behind the number-text parameters 1003 to 1018, in id
 * order. */
constexpr double OrbitAxisRecord::*kElementFields[] = {
    &OrbitAxisRecord::semiMajorAxis,
    &OrbitAxisRecord::semiMajorAxisRate,
    &OrbitAxisRecord::eccentricity,
    &OrbitAxisRecord::eccentricityRate,
    &OrbitAxisRecord::inclinationDeg,
    &OrbitAxisRecord::inclinationRateDeg,
    &OrbitAxisRecord::meanLongitudeDeg,
    &OrbitAxisRecord::meanLongitudeRateDeg,
    &OrbitAxisRecord::perihelionLongitudeDeg,
    &OrbitAxisRecord::perihelionLongitudeRateDeg,
    &OrbitAxisRecord::nodeLongitudeDeg,
    &OrbitAxisRecord::nodeLongitudeRateDeg,
    &OrbitAxisRecord::termBDeg,
    &OrbitAxisRecord::termCDeg,
    &OrbitAxisRecord::termSDeg,
    &OrbitAxisRecord::termFDeg,
};
static_assert(std::size(kElementFields) == OCAELOORBITAXIS_TERM_F - OCAELOORBITAXIS_A + 1);

} // namespace

bool ObjCaeloOrbitAxis::InitNode(HostNode* node) {
    WriteParameters(node);
    return true;
}

void ObjCaeloOrbitAxis::WriteParameters(HostNode* node) const {
    const Container container = GetParameterContainer(node);
    container.SetInt32(OCAELOORBITAXIS_MODE, record.mode + kModeChoiceBase);
    container.SetFloat(OCAELOORBITAXIS_EPOCH, record.epochJd);
    int32_t id = OCAELOORBITAXIS_A;
    for (double OrbitAxisRecord::*field : kElementFields) {
        SetNumberText(container, id++, record.*field);
    }
    container.SetFloat(OCAELOORBITAXIS_AUX_DATE1, record.auxDate1Jd);
    container.SetFloat(OCAELOORBITAXIS_AUX_DATE2, record.auxDate2Jd);
    container.SetBool(OCAELOORBITAXIS_KM, record.kmFlag);
    container.SetFloat(OCAELOORBITAXIS_BAND_WIDTH, record.bandWidth);
    container.SetFloat(OCAELOORBITAXIS_BAND_HEIGHT, record.bandHeight);
    container.SetFloat(OCAELOORBITAXIS_BAND_END_SIZE, record.bandEndSize);
    container.SetFloat(OCAELOORBITAXIS_BAND_LENGTH, record.bandLengthDeg);
    container.SetInt32(OCAELOORBITAXIS_BAND_SPACING, record.bandSpacing + kBandSpacingChoiceBase);
}

} // namespace caelo
