/*
 * What an orbit axis builds below itself on request: its orbit plane and
 * orbit spline with their tags, the band of a band-mode orbit (an ellipse
 * spline, a box bent along it by a wrap deformer) and a body axis for the
 * orbit to carry. The buttons of the node, the body axis's moon orbits and
 * the solar-system preset all build through these operations.
 */
#include "source/hostPrimitives.h"
#include "source/objCaeloOrbitAxis.h"

namespace caelo {

namespace {

/* How the guides are made: one-segment planes, splines in the XZ plane
 * subdivided every 2.5 degrees, and a band finely divided along its length
 * so that it bends smoothly around the ellipse. */
constexpr int32_t kGuidePlaneSegments = 1;
constexpr double kSplineAngleRad = 2.5 * kRadiansPerDegree;
constexpr int32_t kBandCrossSegments = 10;
constexpr int32_t kBandLengthSegments = 200;
/* The wrap deformer bends the band along its Z axis at full strength,
 * without fitting or scaling it; each band update sets its range and offset. */
constexpr double kWrapFullStrength = 1.0;
constexpr double kWrapUnitTension = 1.0;

/* The orbit plane is drawn in its own see-through light blue and switched
 * off; its tag keeps sizing it. */
constexpr HostColorProperties kOrbitPlaneColour{kColorModeOwn, {0.0, 0.5, 1.0}, true};

/* Object names in the string table. */
constexpr int32_t kNameOrbitPlane = 10052;
constexpr int32_t kNameOrbitSpline = 10053;
constexpr int32_t kNameEllipseSpline = 10059;
constexpr int32_t kNameBand = 10060;

/* A named circle spline in its ellipse form, lying in the orbit plane, as the
 * orbit axis's last child; null when the host cannot make it. */
[[nodiscard]] HostNode* CreateEllipseSpline(HostNode* orbitAxisNode, int32_t nameId) {
    HostNode* spline = CreateObject(kTypeHostCircleSpline);
    if (spline == nullptr) {
        return nullptr;
    }
    SetNodeName(spline, LoadResourceString(nameId));
    const Container parameters = GetParameterContainer(spline);
    parameters.SetBool(kSplineEllipseForm, true);
    parameters.SetBool(kSplineRing, false);
    parameters.SetInt32(kSplinePlane, kSplinePlaneXZ);
    AppendChild(spline, orbitAxisNode);
    return spline;
}

} // namespace

bool ObjCaeloOrbitAxis::HandleButton(HostNode* node, int32_t buttonId) {
    switch (buttonId) {
    case OCAELOORBITAXIS_CREATE_GUIDES:
        return CreateOrbitGuides(node);
    case OCAELOORBITAXIS_CREATE_BAND:
        return CreateOrbitBand(node);
    case OCAELOORBITAXIS_CREATE_BODY:
        return CreateBodyAxisChild(node);
    default:
        return true;
    }
}

bool ObjCaeloOrbitAxis::CreateOrbitGuides(HostNode* node) {
    HostNode* plane = CreateObject(kTypeHostPlane);
    if (plane == nullptr) {
        return false;
    }
    SetNodeName(plane, LoadResourceString(kNameOrbitPlane));
    SetColorProperties(plane, kOrbitPlaneColour);
    const Container planeParameters = GetParameterContainer(plane);
    planeParameters.SetInt32(kPlaneWidthSegments, kGuidePlaneSegments);
    planeParameters.SetInt32(kPlaneHeightSegments, kGuidePlaneSegments);
    AppendChild(plane, node);
    if (!AddSmoothShading(plane) || CreateTag(plane, kTypeCaeloOrbitPlane) == nullptr) {
        return false;
    }
    SetObjectSwitch(plane, HOST_SWITCH_ENABLED, false);

    HostNode* spline = CreateEllipseSpline(node, kNameOrbitSpline);
    return spline != nullptr && CreateTag(spline, kTypeCaeloOrbit) != nullptr;
}

bool ObjCaeloOrbitAxis::CreateOrbitBand(HostNode* node) {
    HostNode* spline = CreateEllipseSpline(node, kNameEllipseSpline);
    if (spline == nullptr) {
        return false;
    }
    const Container splineParameters = GetParameterContainer(spline);
    splineParameters.SetInt32(kSplineIntermediatePoints, kSplinePointsAdaptive);
    splineParameters.SetFloat(kSplineAngle, kSplineAngleRad);
    const Container parameters = GetParameterContainer(node);
    parameters.SetLink(OCAELOORBITAXIS_ELLIPSE_LINK, spline);

    HostNode* band = CreateObject(kTypeHostBox);
    if (band == nullptr) {
        return false;
    }
    SetNodeName(band, LoadResourceString(kNameBand));
    const Container bandParameters = GetParameterContainer(band);
    bandParameters.SetInt32(kBoxSegmentsX, kBandCrossSegments);
    bandParameters.SetInt32(kBoxSegmentsY, kBandCrossSegments);
    bandParameters.SetInt32(kBoxSegmentsZ, kBandLengthSegments);
    bandParameters.SetBool(kBoxSeparateSurfaces, false);
    bandParameters.SetBool(kBoxFillet, false);
    AppendChild(band, node);
    if (!AddSmoothShading(band)) {
        return false;
    }
    parameters.SetLink(OCAELOORBITAXIS_BAND_LINK, band);

    HostNode* deformer = CreateObject(kTypeHostWrapDeformer);
    if (deformer == nullptr) {
        return false;
    }
    const Container deformerParameters = GetParameterContainer(deformer);
    deformerParameters.SetLink(kWrapSpline, spline);
    deformerParameters.SetInt32(kWrapAxis, kWrapAlongZ);
    deformerParameters.SetFloat(kWrapStrength, kWrapFullStrength);
    deformerParameters.SetFloat(kWrapOffset, 0.0);
    deformerParameters.SetInt32(kWrapScaleMode, kWrapNoScale);
    deformerParameters.SetInt32(kWrapFitMode, kWrapNoFit);
    deformerParameters.SetFloat(kWrapTension, kWrapUnitTension);
    AppendChild(deformer, band);
    return true;
}

bool ObjCaeloOrbitAxis::CreateBodyAxisChild(HostNode* node) {
    HostNode* body = CreateObject(kTypeCaeloBodyAxis);
    if (body == nullptr) {
        return false;
    }
    AppendChild(body, node);
    return true;
}

} // namespace caelo
