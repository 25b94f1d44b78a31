#include "objCaeloOrbitAxis.h"

#include "hostPrimitives.h"
#include "model/finiteValues.h"
#include "objCaeloBodyAxis.h"
#include "objCaeloSystem.h"
#include "planeTag.h"
#include "tagCaeloOrbit.h"

#include <cmath>
#include <iterator>

namespace caelo {

namespace {

[[nodiscard]] bool IsElementText(int32_t parameterId) {
    return parameterId >= OCAELOORBITAXIS_A && parameterId <= OCAELOORBITAXIS_TERM_F;
}

/* The host's own types and the parameters the guides and the band update
 * write, beyond those of the primitives the body axis makes too and of the
 * plane and circle spline that the tags size. */
constexpr int32_t kTypeHostBox = 5159;
constexpr int32_t kTypeWrapDeformer = 1019221;

constexpr int32_t kSplineEllipseForm = 2010;        /* circle spline, Bool */
constexpr int32_t kSplineRing = 2011;               /* circle spline, Bool */
constexpr int32_t kSplinePlane = 2300;              /* circle spline, Int32 */
constexpr int32_t kSplineIntermediatePoints = 1001; /* spline, Int32 */
constexpr int32_t kSplineAngle = 1004;              /* spline, Float radians between points */

constexpr int32_t kBoxSize = 1100;             /* box, Vector of full side lengths */
constexpr int32_t kBoxSeparateSurfaces = 1101; /* box, Bool */
constexpr int32_t kBoxSegmentsX = 1102;        /* box, Int32 */
constexpr int32_t kBoxSegmentsY = 1103;
constexpr int32_t kBoxSegmentsZ = 1104;
constexpr int32_t kBoxFillet = 1107; /* box, Bool */

constexpr int32_t kWrapStrength = 1000;   /* wrap deformer, Float */
constexpr int32_t kWrapSpline = 1001;     /* wrap deformer, Link */
constexpr int32_t kWrapRangeStart = 1002; /* wrap deformer, Float fraction of the spline */
constexpr int32_t kWrapRangeEnd = 1003;
constexpr int32_t kWrapOffset = 1004;
constexpr int32_t kWrapFitMode = 1005;   /* wrap deformer, Int32 */
constexpr int32_t kWrapAxis = 1006;      /* wrap deformer, Int32 */
constexpr int32_t kWrapScaleMode = 1012; /* wrap deformer, Int32 */
constexpr int32_t kWrapProfile = 1013;   /* wrap deformer, curve value */
constexpr int32_t kWrapTension = 1015;   /* wrap deformer, Float */

/* How the guides are made: one-segment planes, splines in the XZ plane
 * subdivided every 2.5 degrees, and a band finely divided along its length
 * so that it bends smoothly around the ellipse. */
constexpr int32_t kGuidePlaneSegments = 1;
constexpr int32_t kSplinePlaneXZ = 2;
constexpr int32_t kSplinePointsAdaptive = 3;
constexpr double kSplineAngleRad = 2.5 * kRadiansPerDegree;
constexpr int32_t kBandCrossSegments = 10;
constexpr int32_t kBandLengthSegments = 200;
/* The wrap deformer bends the band along its Z axis at full strength,
 * without fitting or scaling it; each band update sets its range and offset. */
constexpr int32_t kWrapAlongZ = 4;
constexpr int32_t kWrapNoFit = 0;
constexpr int32_t kWrapNoScale = 0;
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

/* The bit of the band spacing choice that selects spacing by arc length. */
constexpr int32_t kBandSpacingByArcBit = 2;

/* The band's size profile along the spline: three knots, the band end size
 * at both ends and 1.0 in the middle, with flat tangents of this length. */
constexpr double kProfileTangentLength = 0.1;
constexpr int32_t kProfileKnotCount = 3;
constexpr int32_t kProfileKnotFlags = 0x10000;
constexpr int32_t kProfileInterpolation = 0;

/* Parameter ids the enabling rules cover; outside them everything is
 * enabled. */
constexpr int32_t kFirstRuledParameter = 1000;
constexpr int32_t kLastRuledParameter = 1300;

void BroadcastRefreshLinks(HostDocument* document) {
    if (document != nullptr) {
        BroadcastMessage(document, HOST_BROADCAST_ALL, HOST_MSG_REFRESH_LINKS, nullptr);
    }
}

/* The last direct child of body-axis type, or null. */
[[nodiscard]] HostNode* FindLastBodyAxisChild(HostNode* node) {
    for (HostNode* child = GetLastChild(node); child != nullptr; child = GetPrevSibling(child)) {
        if (GetNodeType(child) == kTypeCaeloBodyAxis) {
            return child;
        }
    }
    return nullptr;
}

[[nodiscard]] bool HasBodyAxisChild(HostNode* node) {
    for (HostNode* child = GetFirstChild(node); child != nullptr; child = GetNextSibling(child)) {
        if (GetNodeType(child) == kTypeCaeloBodyAxis) {
            return true;
        }
    }
    return false;
}

/* Scene units per au below a body axis: its satellite scale times that of
 * every enclosing body axis, times the distance scale of the outermost one's
 * system; 0 when that body axis has found no system. */
[[nodiscard]] double SatelliteScaleChain(const ObjCaeloBodyAxis& innermost) {
    double factor = 1.0;
    const ObjCaeloBodyAxis* body = &innermost;
    while (true) {
        factor *= body->GetSatelliteScale();
        const ObjCaeloBodyAxis* outer = InstanceOf<ObjCaeloBodyAxis>(body->GetCachedEnclosingBodyAxis());
        if (outer == nullptr) {
            const ObjCaeloSystem* system = body->GetCachedSystem();
            return system != nullptr ? factor * system->GetDistanceScale() : 0.0;
        }
        body = outer;
    }
}

/* Replaces the heading of an object's relative rotation; pitch and bank stay. */
void SetHeading(HostNode* object, double headingRad) {
    HostVector rotation = GetRelativeRotation(object);
    rotation.x = headingRad;
    SetRelativeRotation(object, rotation);
}

/* Stores the band's size profile in the wrap deformer. Nothing is stored when
 * the host cannot make the curve. */
void WriteBandProfile(const Container& deformer, double endSize) {
    const double t = kProfileTangentLength;
    const HostCurveKnot knots[kProfileKnotCount] = {
        {{0.0, endSize, 0.0}, {0.0, 0.0, 0.0}, {t, 0.0, 0.0}, kProfileKnotFlags, kProfileInterpolation},
        {{0.5, 1.0, 0.0}, {-t, 0.0, 0.0}, {t, 0.0, 0.0}, kProfileKnotFlags, kProfileInterpolation},
        {{1.0, endSize, 0.0}, {-t, 0.0, 0.0}, {0.0, 0.0, 0.0}, kProfileKnotFlags, kProfileInterpolation},
    };
    Curve curve;
    if (!curve.IsValid() || !curve.Resize(kProfileKnotCount)) {
        return;
    }
    for (int32_t index = 0; index < kProfileKnotCount; ++index) {
        HostCurveKnot* knot = curve.Knot(index);
        if (knot == nullptr) {
            return;
        }
        *knot = knots[index];
    }
    curve.StoreIn(deformer, kWrapProfile);
}

/* Puts a shading tag with smoothing on an object; false when the host
 * cannot make the tag. */
[[nodiscard]] bool AddSmoothShading(HostNode* object) {
    HostNode* shading = CreateTag(object, kTypeHostShadingTag);
    if (shading == nullptr) {
        return false;
    }
    GetParameterContainer(shading).SetBool(kShadingSmooth, true);
    return true;
}

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

ObjCaeloOrbitAxis::~ObjCaeloOrbitAxis() {
    BroadcastRefreshLinks(GetActiveDocument());
}

bool ObjCaeloOrbitAxis::InitNode(HostNode* node) {
    WriteParameters(node);
    return true;
}

bool ObjCaeloOrbitAxis::CopyNode(HostNode* node, HostNode* destination, BaseData* destinationData) {
    const bool copied = ObjectData::CopyNode(node, destination, destinationData);
    auto* clone = dynamic_cast<ObjCaeloOrbitAxis*>(destinationData);
    if (copied && clone != nullptr) {
        clone->record = record; /* the clone finds its own links */
    }
    return copied;
}

bool ObjCaeloOrbitAxis::HandleMessage(HostNode* node, int32_t type, void* data) {
    switch (type) {
    case HOST_MSG_REFRESH_LINKS:
        cachedSystem = nullptr;
        cachedEnclosingBodyAxis = nullptr;
        cachedBodyChild = nullptr;
        return true;
    case HOST_MSG_PARAMETER_SET:
        if (IsUserParameterEdit(data)) {
            const int32_t parameterId = GetMessageParameterId(data);
            const Container container = GetParameterContainer(node);
            if (IsElementText(parameterId)) {
                ParseElementText(container, parameterId);
            } else {
                ReadParameter(container, parameterId);
            }
        }
        return true;
    case HOST_MSG_BUTTON:
        return data != nullptr ? HandleButton(node, GetMessageParameterId(data)) : true;
    case HOST_MSG_DOCUMENT:
        if (IsDocumentLoaded(data)) {
            ReadAllParameters(GetParameterContainer(node));
        }
        return true;
    case HOST_MSG_HIERARCHY:
        if (IsHierarchyMoved(data)) {
            BroadcastRefreshLinks(GetDocument(node));
        }
        return true;
    default:
        return true;
    }
}

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

bool ObjCaeloOrbitAxis::IsParameterEnabled(HostNode* node, int32_t parameterId) {
    switch (parameterId) {
    case OCAELOORBITAXIS_MODE:
    case OCAELOORBITAXIS_I:
    case OCAELOORBITAXIS_I_RATE:
    case OCAELOORBITAXIS_PERI:
    case OCAELOORBITAXIS_PERI_RATE:
    case OCAELOORBITAXIS_NODE:
    case OCAELOORBITAXIS_NODE_RATE:
        return true; /* the elements that orient the frame */
    case OCAELOORBITAXIS_TERM_B:
    case OCAELOORBITAXIS_TERM_C:
    case OCAELOORBITAXIS_TERM_S:
    case OCAELOORBITAXIS_TERM_F:
        return record.mode == kOrbitModeElementsExtended;
    case OCAELOORBITAXIS_BAND_WIDTH:
    case OCAELOORBITAXIS_BAND_HEIGHT:
    case OCAELOORBITAXIS_BAND_END_SIZE:
    case OCAELOORBITAXIS_BAND_LENGTH:
    case OCAELOORBITAXIS_BAND_SPACING:
    case OCAELOORBITAXIS_ELLIPSE_LINK:
    case OCAELOORBITAXIS_BAND_LINK:
        return record.mode == kOrbitModeBand;
    case OCAELOORBITAXIS_CREATE_GUIDES:
        return GetFirstChild(node) == nullptr;
    case OCAELOORBITAXIS_CREATE_BAND:
        return record.mode == kOrbitModeBand && GetFirstChild(node) == nullptr;
    case OCAELOORBITAXIS_CREATE_BODY:
        return record.mode != kOrbitModeBand && !HasBodyAxisChild(node);
    default:
        if (parameterId < kFirstRuledParameter || parameterId > kLastRuledParameter) {
            return true;
        }
        return record.mode != kOrbitModeOrientation;
    }
}

bool ObjCaeloOrbitAxis::AddToEvaluation(HostNode* node, HostEvaluationList* list) {
    EnrolEvaluation(list, node, kEvaluationPriority, 0);
    return true;
}

int32_t ObjCaeloOrbitAxis::EvaluateObject(HostNode* node) {
    RefreshOrbitLinks(node);
    EvaluateOrbit(node);
    return 0;
}

void ObjCaeloOrbitAxis::RefreshOrbitLinks(HostNode* node) {
    if (cachedSystem == nullptr) {
        cachedSystem = FindSystem(node);
    }
    if (cachedEnclosingBodyAxis == nullptr) {
        cachedEnclosingBodyAxis = InstanceOf<ObjCaeloBodyAxis>(FindEnclosingBodyAxis(node, nullptr));
    }
    if (cachedBodyChild == nullptr) {
        cachedBodyChild = FindLastBodyAxisChild(node);
    }
}

double ObjCaeloOrbitAxis::SceneUnitsPerUnitOfA() const {
    if (record.kmFlag) {
        /* Kilometres at the body scale (scene units per centimetre), enlarged
         * with the enclosing body's globe. */
        if (cachedEnclosingBodyAxis == nullptr) {
            return cachedSystem != nullptr ? cachedSystem->GetBodyScale() * kCentimetresPerKilometre : 0.0;
        }
        const ObjCaeloSystem* system = cachedEnclosingBodyAxis->GetCachedSystem();
        return system != nullptr ? system->GetBodyScale() * kCentimetresPerKilometre *
                                       cachedEnclosingBodyAxis->GetGlobeScale()
                                 : 0.0;
    }
    if (cachedEnclosingBodyAxis == nullptr) {
        return cachedSystem != nullptr ? cachedSystem->GetDistanceScale() : 0.0;
    }
    return SatelliteScaleChain(*cachedEnclosingBodyAxis);
}

std::optional<ScaledEllipse> ObjCaeloOrbitAxis::GetScaledOrbitEllipse() {
    RefreshOrbitLinks(GetNode());
    if (cachedSystem == nullptr) {
        return ScaledEllipse{0.0, 0.0, 0.0};
    }
    const OrbitEllipse ellipse = OrbitEllipseFromJ2000(record, cachedSystem->GetModelJulianDate());
    const double a = ellipse.semiMajorAxis;
    const double e = ellipse.eccentricity;
    const double scale = SceneUnitsPerUnitOfA();
    const ScaledEllipse scaled{a * scale, std::sqrt(1.0 - e * e) * a * scale, e * a * scale};
    if (!IsFiniteVector(HostVector{scaled.semiMajorAxis, scaled.semiMinorAxis, scaled.centreOffset})) {
        return std::nullopt;
    }
    return scaled;
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

    HostNode* deformer = CreateObject(kTypeWrapDeformer);
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

void ObjCaeloOrbitAxis::SetOrbitRecord(const OrbitAxisRecord& newRecord) {
    HostNode* node = GetNode();
    record = newRecord;
    WriteParameters(node);
    RefreshOrbitLinks(node);
    EvaluateOrbit(node);
}

void ObjCaeloOrbitAxis::EvaluateOrbit(HostNode* node) {
    if (cachedSystem == nullptr) {
        return;
    }
    const OrbitState state = ComputeOrbitState(record, cachedSystem->GetModelJulianDate());
    /* A non-finite model date leaves the whole orbit as it was. */
    if (!state.frameValid) {
        return;
    }
    /* The frozen rotation lays the orbit plane (node line, inclination); the
     * relative rotation turns the perihelion within it about the normal. */
    SetBaseRotation(node, {state.nodeLongitudeRad, state.inclinationRad, 0.0});
    SetRelativeRotation(node, {state.perihelionArgumentRad, 0.0, 0.0});
    switch (record.mode) {
    case kOrbitModeElements:
    case kOrbitModeElementsExtended:
        PlaceBodyChild(state);
        break;
    case kOrbitModeBand:
        if (state.orbitValid) {
            UpdateBand(node, state);
        }
        break;
    default:
        break;
    }
}

void ObjCaeloOrbitAxis::PlaceBodyChild(const OrbitState& state) const {
    if (cachedBodyChild == nullptr) {
        return;
    }
    /* The counter-heading keeps the body's orientation from turning with the
     * argument of perihelion. */
    SetHeading(cachedBodyChild, -state.perihelionArgumentRad);
    if (!state.orbitValid) {
        return;
    }
    const double scale = SceneUnitsPerUnitOfA();
    const HostVector position{state.position.x * scale, state.position.y * scale, state.position.z * scale};
    if (IsFiniteVector(position)) {
        SetRelativePosition(cachedBodyChild, position);
    }
}

void ObjCaeloOrbitAxis::UpdateBand(HostNode* node, const OrbitState& state) {
    /* Choices 1 and 3 follow the eccentric anomaly, 0 and 2 the mean anomaly:
     * the choice without its by-arc bit. */
    const bool byEccentricAnomaly = (record.bandSpacing & ~kBandSpacingByArcBit) != 0;
    const double anomaly = byEccentricAnomaly ? state.eccentricAnomalyRad : state.meanAnomalyRad;
    const std::optional<ScaledEllipse> ellipse = GetScaledOrbitEllipse();
    const Container container = GetParameterContainer(node);
    HostDocument* document = GetDocument(node);

    HostNode* spline = container.GetLink(OCAELOORBITAXIS_ELLIPSE_LINK, document);
    if (spline != nullptr && ellipse) {
        ShapeSplineToEllipse(spline, *ellipse);
    }

    HostNode* band = container.GetLink(OCAELOORBITAXIS_BAND_LINK, document);
    if (band == nullptr) {
        return;
    }
    const double scale = SceneUnitsPerUnitOfA();
    const HostVector bandSize{record.bandWidth * scale, record.bandHeight * scale, record.bandWidth * scale};
    if (ellipse && IsFiniteVector(bandSize)) {
        GetParameterContainer(band).SetVector(kBoxSize, bandSize);
        SendNodeMessage(band, HOST_MSG_UPDATE, nullptr);
        SetRelativePosition(band, {-2.0 * ellipse->centreOffset, 0.0, 0.0});
    }
    HostNode* deformer = GetFirstChild(band);
    if (deformer != nullptr && GetNodeType(deformer) == kTypeWrapDeformer) {
        UpdateWrapDeformer(deformer, ArcLengthFraction(record.bandSpacing, state.semiMajorAxis,
                                                       state.eccentricity, anomaly));
    }
    SetHeading(band, anomaly);
}

void ObjCaeloOrbitAxis::UpdateWrapDeformer(HostNode* deformer, double bandFraction) const {
    const Container parameters = GetParameterContainer(deformer);
    WriteBandProfile(parameters, record.bandEndSize);
    if (std::isfinite(bandFraction)) {
        parameters.SetFloat(kWrapOffset, bandFraction);
    }
    /* The band covers its angular length centred on the offset. */
    const double halfRange = record.bandLengthDeg * 0.5 / 360.0;
    parameters.SetFloat(kWrapRangeStart, -halfRange);
    parameters.SetFloat(kWrapRangeEnd, halfRange);
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

void ObjCaeloOrbitAxis::ReadParameter(const Container& container, int32_t parameterId) {
    /* A parameter that is absent or of another type keeps the field. */
    switch (parameterId) {
    case OCAELOORBITAXIS_MODE:
        record.mode = container.GetInt32(parameterId, record.mode + kModeChoiceBase) - kModeChoiceBase;
        break;
    case OCAELOORBITAXIS_EPOCH:
        record.epochJd = container.GetFloat(parameterId, record.epochJd);
        break;
    case OCAELOORBITAXIS_AUX_DATE1:
        record.auxDate1Jd = container.GetFloat(parameterId, record.auxDate1Jd);
        break;
    case OCAELOORBITAXIS_AUX_DATE2:
        record.auxDate2Jd = container.GetFloat(parameterId, record.auxDate2Jd);
        break;
    case OCAELOORBITAXIS_KM:
        record.kmFlag = container.GetBool(parameterId, record.kmFlag);
        break;
    case OCAELOORBITAXIS_BAND_WIDTH:
        record.bandWidth = container.GetFloat(parameterId, record.bandWidth);
        break;
    case OCAELOORBITAXIS_BAND_HEIGHT:
        record.bandHeight = container.GetFloat(parameterId, record.bandHeight);
        break;
    case OCAELOORBITAXIS_BAND_END_SIZE:
        record.bandEndSize = container.GetFloat(parameterId, record.bandEndSize);
        break;
    case OCAELOORBITAXIS_BAND_LENGTH:
        record.bandLengthDeg = container.GetFloat(parameterId, record.bandLengthDeg);
        break;
    case OCAELOORBITAXIS_BAND_SPACING:
        record.bandSpacing = container.GetInt32(parameterId, record.bandSpacing + kBandSpacingChoiceBase) -
                             kBandSpacingChoiceBase;
        break;
    default:
        break;
    }
}

void ObjCaeloOrbitAxis::ParseElementText(const Container& container, int32_t parameterId) {
    NormaliseNumberText(container, parameterId, record.*ElementField(parameterId));
}

void ObjCaeloOrbitAxis::ReadAllParameters(const Container& container) {
    ReadParameter(container, OCAELOORBITAXIS_MODE);
    ReadParameter(container, OCAELOORBITAXIS_EPOCH);
    for (int32_t id = OCAELOORBITAXIS_A; id <= OCAELOORBITAXIS_TERM_F; ++id) {
        ParseElementText(container, id);
    }
    ReadParameter(container, OCAELOORBITAXIS_KM);
    ReadParameter(container, OCAELOORBITAXIS_BAND_WIDTH);
    ReadParameter(container, OCAELOORBITAXIS_BAND_HEIGHT);
    ReadParameter(container, OCAELOORBITAXIS_BAND_END_SIZE);
    ReadParameter(container, OCAELOORBITAXIS_BAND_LENGTH);
    ReadParameter(container, OCAELOORBITAXIS_BAND_SPACING);
    ReadParameter(container, OCAELOORBITAXIS_AUX_DATE1);
    ReadParameter(container, OCAELOORBITAXIS_AUX_DATE2);
}

} // namespace caelo
