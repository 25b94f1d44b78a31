#include "source/objCaeloBodyAxis.h"

#include "model/bodyAxisRotation.h"
#include "model/finiteValues.h"
#include "source/hostPrimitives.h"
#include "source/objCaeloSystem.h"

#include <cmath>
#include <limits>
#include <optional>

namespace caelo {

namespace {

/* The heading this body axis last wrote into its node and the base it added
 * its heading to (radians; see OrientAxis), kept with the node in two Float
 * parameters outside the description, so that a saved and loaded scene
 * remembers them as a copy does and does not turn the body once more. */
constexpr int32_t kWrittenHeadingParameter = 1052;
constexpr int32_t kHeadingBaseParameter = 1053;
/* Read when a parameter is missing: no memory was kept. */
constexpr double kNotWritten = std::numeric_limits<double>::quiet_NaN();

/* Replaces the heading of a globe's relative rotation; a non-finite heading
 * leaves the globe as it was. */
void SetGlobeHeading(HostNode* globe, double headingRad) {
    if (!std::isfinite(headingRad)) {
        return;
    }
    HostVector rotation = GetRelativeRotation(globe);
    rotation.x = headingRad;
    SetRelativeRotation(globe, rotation);
}

/* Heading and pitch of the direction from the globe to the reference body's
 * world position, in the frame in which the globe's relative position and
 * rotation act; nothing when that frame is singular (a globe or parent
 * scaled to zero), which leaves no direction to face. */
std::optional<HostVector> AnglesTowardReference(HostNode* globe, HostNode* reference) {
    const HostMatrix frame = rotation::MultiplyMatrices(GetParentWorldMatrix(globe), GetBaseMatrix(globe));
    return rotation::AnglesTowardPoint(frame, GetWorldMatrix(reference).off, GetRelativePosition(globe));
}

} // namespace

HostNode* FindEnclosingBodyAxis(HostNode* node, ObjCaeloSystem** system) {
    if (system != nullptr) {
        *system = nullptr;
    }
    for (HostNode* ancestor = GetParent(node); ancestor != nullptr; ancestor = GetParent(ancestor)) {
        const int32_t type = GetNodeType(ancestor);
        if (type == kTypeCaeloSystem) {
            if (system != nullptr) {
                *system = InstanceOf<ObjCaeloSystem>(ancestor);
            }
            return nullptr;
        }
        if (type == kTypeCaeloBodyAxis) {
            return ancestor;
        }
    }
    return nullptr;
}

ObjCaeloBodyAxis::~ObjCaeloBodyAxis() {
    BroadcastRefreshLinks(GetActiveDocument());
}

bool ObjCaeloBodyAxis::InitNode(HostNode* node) {
    WriteBoundParameters(GetParameterContainer(node), kBodyAxisBindings, record);
    return true;
}

bool ObjCaeloBodyAxis::CopyNode(HostNode* node, HostNode* destination, BaseData* destinationData) {
    const bool copied = ObjectData::CopyNode(node, destination, destinationData);
    auto* clone = dynamic_cast<ObjCaeloBodyAxis*>(destinationData);
    if (copied && clone != nullptr) {
        clone->record = record;
        /* The copy carries this node's rotation, so it also takes the memory
         * of the heading written into it; otherwise its first evaluation
         * would add the body's heading a second time. The links are its own
         * to find. */
        clone->headingWritten = headingWritten;
        clone->writtenHeading = writtenHeading;
        clone->headingBase = headingBase;
    }
    return copied;
}

bool ObjCaeloBodyAxis::HandleMessage(HostNode* node, int32_t type, void* data) {
    switch (type) {
    case HOST_MSG_REFRESH_LINKS:
        cachedSystem = nullptr;
        cachedReferenceBody = nullptr;
        cachedEnclosingBodyAxis = nullptr;
        return true;
    case HOST_MSG_PARAMETER_SET:
        if (IsUserParameterEdit(data)) {
            ReadBoundParameter(GetParameterContainer(node), kBodyAxisBindings, GetMessageParameterId(data),
                               record);
        }
        return true;
    case HOST_MSG_BUTTON:
        return data != nullptr ? HandleButton(node, GetMessageParameterId(data)) : true;
    case HOST_MSG_DOCUMENT:
        if (IsDocumentLoaded(data)) {
            ReloadBodyParameters(node);
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

bool ObjCaeloBodyAxis::IsParameterEnabled(HostNode* node, int32_t parameterId) {
    switch (parameterId) {
    case OCAELOBODYAXIS_ROTATION_ANGLE:
    case OCAELOBODYAXIS_ROTATION_PERIOD:
    case OCAELOBODYAXIS_ROTATION_EPOCH:
        return record.rotationMode == kRotationModePeriod;
    case OCAELOBODYAXIS_CREATE_GLOBE:
        return GetFirstChild(node) == nullptr;
    default:
        return true;
    }
}

bool ObjCaeloBodyAxis::AddToEvaluation(HostNode* node, HostEvaluationList* list) {
    EnrolEvaluation(list, node, kEvaluationPriority, 0);
    return true;
}

int32_t ObjCaeloBodyAxis::EvaluateObject(HostNode* node) {
    RefreshBodyLinks(node);
    HostNode* globe = LinkedGlobe(node);
    SizeGlobe(globe);
    OrientBody(node, globe);
    return 0;
}

HostVector ObjCaeloBodyAxis::GetGlobeSize() const {
    HostNode* globe = GetGlobe();
    return globe != nullptr ? GetObjectSize(globe) : HostVector{0.0, 0.0, 0.0};
}

void ObjCaeloBodyAxis::SetBodyRecord(const BodyAxisRecord& newRecord) {
    record = newRecord;
    HostNode* node = GetNode();
    WriteBoundParameters(GetParameterContainer(node), kBodyAxisBindings, record);
    RefreshBodyLinks(node);
    HostNode* globe = LinkedGlobe(node);
    SizeGlobe(globe);
    OrientBody(node, globe);
}

/* ---- Parameters ---------------------------------------------------------- */

void ObjCaeloBodyAxis::ReloadBodyParameters(HostNode* node) {
    const Container container = GetParameterContainer(node);
    ReadBoundParameters(container, kBodyAxisBindings, record);
    const double written = container.GetFloat(kWrittenHeadingParameter, kNotWritten);
    const double base = container.GetFloat(kHeadingBaseParameter, kNotWritten);
    if (std::isfinite(written) && std::isfinite(base)) {
        headingWritten = true;
        writtenHeading = written;
        headingBase = base;
    }
}

/* ---- Links --------------------------------------------------------------- */

HostNode* ObjCaeloBodyAxis::FindReferenceBody(HostNode* enclosing) const {
    /* In solar-day mode the reference is the nearest enclosing body that
     * does not itself turn by solar day (a body inside a barycentre group
     * refers to the group's central body); otherwise the enclosing body. The
     * walk only climbs the tree, so it ends at its top. */
    if (record.rotationMode != kRotationModeSolarDay) {
        return enclosing;
    }
    HostNode* body = enclosing;
    while (body != nullptr &&
           InstanceOf<ObjCaeloBodyAxis>(body)->record.rotationMode == kRotationModeSolarDay) {
        HostNode* above = GetParent(body);
        if (above == nullptr || GetNodeType(above) == kTypeCaeloSystem) {
            return nullptr;
        }
        body = GetNodeType(above) == kTypeCaeloBodyAxis ? above : FindEnclosingBodyAxis(above, nullptr);
    }
    return body;
}

void ObjCaeloBodyAxis::RefreshBodyLinks(HostNode* node) {
    ObjCaeloSystem* metSystem = nullptr;
    if (cachedEnclosingBodyAxis == nullptr) {
        cachedEnclosingBodyAxis = FindEnclosingBodyAxis(node, &metSystem);
    }
    if (cachedReferenceBody == nullptr) {
        cachedReferenceBody = FindReferenceBody(cachedEnclosingBodyAxis);
    }
    if (cachedSystem == nullptr) {
        if (metSystem != nullptr) {
            cachedSystem = metSystem;
        } else if (cachedReferenceBody != nullptr) {
            cachedSystem = FindSystem(cachedReferenceBody);
        }
    }
}

/* ---- Evaluation ---------------------------------------------------------- */

HostNode* ObjCaeloBodyAxis::LinkedGlobe(HostNode* node) {
    return GetParameterContainer(node).GetLink(OCAELOBODYAXIS_GLOBE_LINK, GetDocument(node));
}

void ObjCaeloBodyAxis::SizeGlobe(HostNode* globe) const {
    if (globe == nullptr || GetNodeType(globe) != kTypeHostSphere) {
        return;
    }
    /* Kilometres to centimetres to scene units. */
    const double radius = cachedSystem != nullptr ? cachedSystem->GetBodyScale() * kCentimetresPerKilometre *
                                                        record.equatorialRadiusKm * record.globeScale
                                                  : 0.0;
    if (std::isfinite(radius)) {
        GetParameterContainer(globe).SetFloat(kSphereRadius, radius);
    }
}

void ObjCaeloBodyAxis::OrientBody(HostNode* node, HostNode* globe) {
    OrientAxis(node);
    if (globe == nullptr || cachedSystem == nullptr) {
        return;
    }
    switch (record.rotationMode) {
    case kRotationModePeriod:
        SpinByPeriod(globe);
        break;
    case kRotationModeLocked:
        if (cachedReferenceBody != nullptr) {
            SpinLocked(globe);
        }
        break;
    case kRotationModeSolarDay:
        if (cachedReferenceBody != nullptr) {
            SpinSolarDay(globe);
        }
        break;
    default:
        break;
    }
}

/*
 * Sets the node's pitch to minus the obliquity and its heading to a base plus
 * the body's heading. The base is the heading someone else gave the node in
 * this pass (below an orbit axis, the counter-heading it writes just before
 * the body axis runs), so that the two compose. Where nobody rewrites the
 * node's heading, the node still holds exactly the heading this instance
 * wrote last; the remembered base is then used again, so that evaluating the
 * same time twice gives the same rotation instead of turning the body by its
 * heading once more. Any other heading found in the node becomes the new
 * base. A rotation that would not be finite is not written. The memory also
 * goes into two parameters of the node, so that a saved and loaded node
 * carries it as a copy does.
 */
void ObjCaeloBodyAxis::OrientAxis(HostNode* node) {
    const HostVector current = GetRelativeRotation(node);
    const double base = headingWritten && current.x == writtenHeading ? headingBase : current.x;
    const HostVector oriented{base + record.headingDeg * kRadiansPerDegree,
                              record.obliquityDeg * -kRadiansPerDegree, current.z};
    if (!IsFiniteVector(oriented)) {
        return;
    }
    SetRelativeRotation(node, oriented);
    if (headingParametersCurrent && SameBits(oriented.x, writtenHeading) && SameBits(base, headingBase)) {
        return;
    }
    headingWritten = true;
    writtenHeading = oriented.x;
    headingBase = base;
    const Container container = GetParameterContainer(node);
    container.SetFloat(kWrittenHeadingParameter, writtenHeading);
    container.SetFloat(kHeadingBaseParameter, headingBase);
    headingParametersCurrent = true;
}

void ObjCaeloBodyAxis::SpinByPeriod(HostNode* globe) const {
    const double angleDeg =
        rotation::PeriodSpinAngleDeg(cachedSystem->GetModelJulianDate(), record.rotationEpochJd,
                                     record.rotationPeriodDays, record.rotationAngleDeg);
    SetGlobeHeading(globe, angleDeg * kRadiansPerDegree);
}

/* Without a direction to the reference body the globe keeps its heading. */
void ObjCaeloBodyAxis::SpinLocked(HostNode* globe) const {
    if (const std::optional<HostVector> toReference = AnglesTowardReference(globe, cachedReferenceBody)) {
        SetGlobeHeading(globe, rotation::LockedHeading(toReference->x));
    }
}

void ObjCaeloBodyAxis::SpinSolarDay(HostNode* globe) const {
    if (const std::optional<HostVector> toReference = AnglesTowardReference(globe, cachedReferenceBody)) {
        SetGlobeHeading(globe, rotation::SolarDayHeading(cachedSystem->GetModelJulianDate(), toReference->x));
    }
}

} // namespace caelo
