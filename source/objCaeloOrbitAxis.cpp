#include "source/objCaeloOrbitAxis.h"

#include "model/finiteValues.h"
#include "model/orbitFrame.h"
#include "model/theoryPlaces.h"
#include "model/units.h"
#include "source/hostPrimitives.h"
#include "source/objCaeloBodyAxis.h"
#include "source/objCaeloSystem.h"

#include <cmath>

namespace caelo {

namespace {

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

} // namespace

void ShapeSplineToEllipse(HostNode* spline, const ScaledEllipse& ellipse) {
    const Container container = GetParameterContainer(spline);
    container.SetFloat(kSplineRadius, ellipse.semiMajorAxis);
    container.SetFloat(kSplineSecondRadius, ellipse.semiMinorAxis);
    SendNodeMessage(spline, HOST_MSG_UPDATE, nullptr);
    SetRelativePosition(spline, {-ellipse.centreOffset, 0.0, 0.0});
}

ObjCaeloOrbitAxis::~ObjCaeloOrbitAxis() {
    BroadcastRefreshLinks(GetActiveDocument());
}

bool ObjCaeloOrbitAxis::InitNode(HostNode* node) {
    WriteBoundParameters(GetParameterContainer(node), kOrbitAxisBindings, record);
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
            ReadBoundParameter(GetParameterContainer(node), kOrbitAxisBindings, GetMessageParameterId(data),
                               record);
        }
        return true;
    case HOST_MSG_BUTTON:
        return data != nullptr ? HandleButton(node, GetMessageParameterId(data)) : true;
    case HOST_MSG_DOCUMENT:
        if (IsDocumentLoaded(data)) {
            ReadBoundParameters(GetParameterContainer(node), kOrbitAxisBindings, record);
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
    case OCAELOORBITAXIS_THEORY:
        return record.mode == kOrbitModeTheory;
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

void ObjCaeloOrbitAxis::SetOrbitRecord(const OrbitAxisRecord& newRecord) {
    HostNode* node = GetNode();
    record = newRecord;
    WriteBoundParameters(GetParameterContainer(node), kOrbitAxisBindings, record);
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
    case kOrbitModeTheory:
        PlaceBodyChildByTheory(state, cachedSystem->GetModelJulianDate());
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

void ObjCaeloOrbitAxis::PlaceBodyChildByTheory(const OrbitState& state, double jd) const {
    const std::optional<std::array<double, 3>> placeKm = TheoryPlaceKm(record.theory, jd);
    if (!placeKm || cachedBodyChild == nullptr) {
        /* Outside the theory's span, the element set places the body. */
        PlaceBodyChild(state);
        return;
    }
    SetHeading(cachedBodyChild, -state.perihelionArgumentRad);
    const double unitsPerKm = SceneUnitsPerUnitOfA() / (record.kmFlag ? 1.0 : kKilometresPerAu);
    const HostVector inParent =
        SystemToFrameAxes(GetWorldMatrix(cachedSystem->GetNode()), GetParentWorldMatrix(GetNode()),
                          SceneAxesOfEcliptic(*placeKm));
    const HostVector local = PlaceInOrbitFrame(state, inParent);
    const HostVector position{local.x * unitsPerKm, local.y * unitsPerKm, local.z * unitsPerKm};
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
    if (deformer != nullptr && GetNodeType(deformer) == kTypeHostWrapDeformer) {
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

} // namespace caelo
