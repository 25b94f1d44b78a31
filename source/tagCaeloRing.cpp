#include "source/tagCaeloRing.h"

#include "model/bodyAxisRotation.h"
#include "source/finiteWrites.h"
#include "source/hostPrimitives.h"
#include "source/objCaeloBodyAxis.h"
#include "source/objCaeloSystem.h"
#include "source/parameterBinding.h"

#include <cmath>

namespace caelo {

namespace {

/* The ring tag's parameters and the record fields behind them, in the order
 * in which they are written and read back. */
constexpr ParameterBinding<RingRecord> kRingBindings[] = {
    NumberTextBinding(TCAELORING_INNER_RADIUS, &RingRecord::innerRadiusKm),
    NumberTextBinding(TCAELORING_OUTER_RADIUS, &RingRecord::outerRadiusKm),
    NumberTextBinding(TCAELORING_THICKNESS, &RingRecord::thicknessKm),
    NumberTextBinding(TCAELORING_TILT, &RingRecord::tiltDeg),
    NumberTextBinding(TCAELORING_HEADING, &RingRecord::headingDeg),
    NumberTextBinding(TCAELORING_PHASE, &RingRecord::phaseDeg),
    NumberTextBinding(TCAELORING_PERIOD, &RingRecord::periodDays),
    ChoiceBinding(TCAELORING_SLICE_MODE, &RingRecord::sliceMode, kModeChoiceBase),
    FloatBinding(TCAELORING_SLICE_START, &RingRecord::sliceStartDeg),
    FloatBinding(TCAELORING_SLICE_END, &RingRecord::sliceEndDeg),
    FloatBinding(TCAELORING_EPOCH, &RingRecord::epochJd),
};

} // namespace

bool TagCaeloRing::InitNode(HostNode* tag) {
    WriteBoundParameters(GetParameterContainer(tag), kRingBindings, record);
    return true;
}

bool TagCaeloRing::CopyNode(HostNode* tag, HostNode* destination, BaseData* destinationData) {
    const bool copied = TagData::CopyNode(tag, destination, destinationData);
    auto* clone = dynamic_cast<TagCaeloRing*>(destinationData);
    if (copied && clone != nullptr) {
        clone->record = record;
    }
    return copied;
}

bool TagCaeloRing::HandleMessage(HostNode* tag, int32_t type, void* data) {
    switch (type) {
    case HOST_MSG_REFRESH_LINKS:
        cachedSystem = nullptr;
        cachedBodyAxis = nullptr;
        return true;
    case HOST_MSG_PARAMETER_SET:
        if (IsUserParameterEdit(data)) {
            ReadBoundParameter(GetParameterContainer(tag), kRingBindings, GetMessageParameterId(data),
                               record);
        }
        return true;
    case HOST_MSG_DOCUMENT:
        if (IsDocumentLoaded(data)) {
            ReadBoundParameters(GetParameterContainer(tag), kRingBindings, record);
        }
        return true;
    case HOST_MSG_HIERARCHY:
        if (IsHierarchyMoved(data)) {
            cachedSystem = nullptr;
            cachedBodyAxis = nullptr;
        }
        return true;
    default:
        return true;
    }
}

bool TagCaeloRing::IsParameterEnabled(HostNode* /*tag*/, int32_t parameterId) {
    switch (parameterId) {
    case TCAELORING_SLICE_START:
    case TCAELORING_SLICE_END:
        return record.sliceMode == kSliceModeSliced;
    default:
        return true;
    }
}

int32_t TagCaeloRing::EvaluateTag(HostNode* /*tag*/, HostDocument* /*document*/, HostNode* object) {
    UpdateRingObject(object);
    return 0;
}

void TagCaeloRing::SetRingRadii(double innerRadiusKm, double outerRadiusKm) {
    record.innerRadiusKm = innerRadiusKm;
    record.outerRadiusKm = outerRadiusKm;
    HostNode* tag = GetNode();
    const Container container = GetParameterContainer(tag);
    SetNumberText(container, TCAELORING_INNER_RADIUS, record.innerRadiusKm);
    SetNumberText(container, TCAELORING_OUTER_RADIUS, record.outerRadiusKm);
    UpdateRingObject(GetTagObject(tag));
}

void TagCaeloRing::ApplyRingRecord(const RingRecord& newRecord) {
    record = newRecord;
    HostNode* tag = GetNode();
    WriteBoundParameters(GetParameterContainer(tag), kRingBindings, record);
    UpdateRingObject(GetTagObject(tag));
}

/* ---- Evaluation ---------------------------------------------------------- */

void TagCaeloRing::ResolveRingLinks(HostNode* object) {
    if (cachedSystem == nullptr) {
        cachedSystem = FindSystem(object);
    }
    if (cachedBodyAxis == nullptr) {
        HostNode* bodyAxisNode = FindEnclosingBodyAxis(object, nullptr);
        if (bodyAxisNode != nullptr) {
            cachedBodyAxis = InstanceOf<ObjCaeloBodyAxis>(bodyAxisNode);
        }
    }
}

double TagCaeloRing::ScaledKm(double lengthKm) const {
    if (cachedBodyAxis == nullptr) {
        return 0.0;
    }
    /* The body axis's own system: a ring is drawn at its body's scale. */
    const ObjCaeloSystem* system = cachedBodyAxis->GetCachedSystem();
    if (system == nullptr) {
        return 0.0;
    }
    return system->GetBodyScale() * kCentimetresPerKilometre * lengthKm * cachedBodyAxis->GetGlobeScale();
}

void TagCaeloRing::UpdateTubeRing(HostNode* tube) const {
    const Container container = GetParameterContainer(tube);
    SetFiniteFloat(container, kTubeInnerRadius, ScaledKm(record.innerRadiusKm));
    SetFiniteFloat(container, kTubeOuterRadius, ScaledKm(record.outerRadiusKm));
    SetFiniteFloat(container, kTubeHeight, ScaledKm(record.thicknessKm));
    ApplySlice(container);
}

void TagCaeloRing::UpdateTorusRing(HostNode* torus) const {
    /* The pipe spans the ring from its inner to its outer radius; the
     * thickness is not drawn. */
    const Container container = GetParameterContainer(torus);
    SetFiniteFloat(container, kTorusRingRadius,
                   ScaledKm((record.outerRadiusKm + record.innerRadiusKm) * 0.5));
    SetFiniteFloat(container, kTorusPipeRadius,
                   ScaledKm((record.outerRadiusKm - record.innerRadiusKm) * 0.5));
    ApplySlice(container);
}

void TagCaeloRing::ApplySlice(const Container& primitive) const {
    if (record.sliceMode != kSliceModeSliced) {
        /* The slice angles stay as they were, ready for the next slicing. */
        primitive.SetBool(kPrimitiveSliceOn, false);
        return;
    }
    primitive.SetBool(kPrimitiveSliceOn, true);
    SetFiniteFloat(primitive, kPrimitiveSliceStart, record.sliceStartDeg * kRadiansPerDegree);
    SetFiniteFloat(primitive, kPrimitiveSliceEnd, record.sliceEndDeg * kRadiansPerDegree);
}

void TagCaeloRing::ApplyRingRotation(HostNode* object) const {
    /* The tilt is a negative pitch of the frozen rotation; the relative
     * rotation's heading then spins the ring about its tilted axis. */
    HostVector base = GetBaseRotation(object);
    base.x = record.headingDeg * kRadiansPerDegree;
    base.y = record.tiltDeg * -kRadiansPerDegree;
    if (IsFiniteVector(base)) {
        SetBaseRotation(object, base);
    }

    /* A period of 0 (the default) means the ring does not spin. */
    if (cachedSystem == nullptr || record.periodDays == 0.0) {
        return;
    }
    const double spinDeg = rotation::PeriodSpinAngleDeg(cachedSystem->GetModelJulianDate(), record.epochJd,
                                                        record.periodDays, record.phaseDeg);
    const double spinRad = spinDeg * kRadiansPerDegree;
    if (!std::isfinite(spinRad)) {
        return;
    }
    HostVector spin = GetRelativeRotation(object);
    spin.x = spinRad;
    SetRelativeRotation(object, spin);
}

void TagCaeloRing::UpdateRingObject(HostNode* object) {
    if (object == nullptr) {
        return;
    }
    ResolveRingLinks(object);
    switch (GetNodeType(object)) {
    case kTypeHostTube:
        UpdateTubeRing(object);
        break;
    case kTypeHostTorus:
        UpdateTorusRing(object);
        break;
    default:
        break; /* another object carrying a ring keeps its size */
    }
    ApplyRingRotation(object);
}

} // namespace caelo
