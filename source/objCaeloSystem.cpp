#include "source/objCaeloSystem.h"

#include "model/finiteValues.h"
#include "source/parameterBinding.h"
#include "source/solarSystemPreset.h"

#include <cmath>

namespace caelo {

namespace {

/* The settings' parameters, in the order in which they are written. */
constexpr ParameterBinding<SystemSettings> kSystemBindings[] = {
    FloatBinding(OCAELOSYSTEM_TIME_SCALE, &SystemSettings::timeScale),
    FloatBinding(OCAELOSYSTEM_BODY_SCALE, &SystemSettings::bodySize),
    FloatBinding(OCAELOSYSTEM_DISTANCE_FACTOR, &SystemSettings::distanceFactor),
};

/* Writes a date-time parameter from a day number: converts it to calendar
 * fields and stores them as a new date-time value. False, with the parameter
 * left as it was, when the host cannot make the value. */
bool SetDateParameter(const Container& container, int32_t parameterId, double dayNumber) {
    const HostDateTime fields = DayNumberToDateTime(dayNumber);
    DateValue value;
    if (!value.IsValid()) {
        return false;
    }
    value.SetFields(fields);
    value.StoreIn(container, parameterId);
    return true;
}

/* Adds a new object of a type as the node's last child; nothing when the
 * host cannot create it. */
void AppendNewChild(HostNode* node, int32_t type) {
    HostNode* child = CreateObject(type);
    if (child != nullptr) {
        AppendChild(child, node);
    }
}

} // namespace

ObjCaeloSystem::~ObjCaeloSystem() {
    BroadcastRefreshLinks(GetActiveDocument());
}

ObjCaeloSystem* FindSystem(HostNode* node) {
    for (HostNode* ancestor = GetParent(node); ancestor != nullptr; ancestor = GetParent(ancestor)) {
        if (GetNodeType(ancestor) == kTypeCaeloSystem) {
            return InstanceOf<ObjCaeloSystem>(ancestor);
        }
    }
    return nullptr;
}

double ObjCaeloSystem::GetModelJulianDate() const {
    DocumentTime time{0, 1};
    if (HostDocument* document = GetDocument(GetNode())) {
        time = GetDocumentTime(document);
    }
    /* A denominator of 0 counts as document time 0. */
    if (time.denominator == 0) {
        time = DocumentTime{0, 1};
    }
    ModelDateMemo& memo = modelDate;
    if (time.numerator != memo.numerator || time.denominator != memo.denominator ||
        !SameBits(timeFactor, memo.timeFactor) || !SameBits(epochBase, memo.epochBase)) {
        const double documentSeconds =
            static_cast<double>(time.numerator) / static_cast<double>(time.denominator);
        memo = {time.numerator, time.denominator, timeFactor, epochBase,
                (1.0 / timeFactor) * (documentSeconds * (1.0 / kSecondsPerDay)) + epochBase};
    }
    return memo.julianDate;
}

bool ObjCaeloSystem::InitNode(HostNode* node) {
    const HostDateTime universal = CurrentDateTime();
    const double universalDay = DateTimeToDayNumber(universal);
    zoneOffset = DateTimeToDayNumber(UniversalToLocal(universal)) - universalDay;
    epochBase = universalDay - kDayNumberToJulianDate;

    const Container container = GetParameterContainer(node);
    WriteBoundParameters(container, kSystemBindings, settings);
    /* The local date and time of creation. */
    SetDateParameter(container, OCAELOSYSTEM_EPOCH, zoneOffset + epochBase + kDayNumberToJulianDate);
    return true;
}

bool ObjCaeloSystem::CopyNode(HostNode* node, HostNode* destination, BaseData* destinationData) {
    const bool copied = ObjectData::CopyNode(node, destination, destinationData);
    auto* clone = dynamic_cast<ObjCaeloSystem*>(destinationData);
    if (copied && clone != nullptr) {
        /* lastModelTime stays at its constructor value, so the clone writes
         * its date parameter at its first evaluation. */
        clone->settings = settings;
        clone->epochBase = epochBase;
        clone->timeFactor = timeFactor;
        clone->bodyScale = bodyScale;
        clone->distanceScale = distanceScale;
        clone->zoneOffset = zoneOffset;
    }
    return copied;
}

bool ObjCaeloSystem::HandleMessage(HostNode* node, int32_t type, void* data) {
    switch (type) {
    case HOST_MSG_PARAMETER_SET:
        if (IsUserParameterEdit(data)) {
            RecomputeParameter(GetParameterContainer(node), GetMessageParameterId(data));
        }
        return true;
    case HOST_MSG_BUTTON:
        return data != nullptr ? HandleButton(node, GetMessageParameterId(data)) : true;
    case HOST_MSG_DOCUMENT:
        if (IsDocumentLoaded(data)) {
            RecomputeAll(GetParameterContainer(node));
        }
        return true;
    default:
        return true;
    }
}

bool ObjCaeloSystem::HandleButton(HostNode* node, int32_t buttonId) {
    switch (buttonId) {
    case OCAELOSYSTEM_BUILD_SOLAR_SYSTEM:
        return BuildSolarSystem(node, bodyScale);
    case OCAELOSYSTEM_ADD_BODY_AXIS:
        AppendNewChild(node, kTypeCaeloBodyAxis);
        return true;
    case OCAELOSYSTEM_ADD_ORBIT_AXIS:
        AppendNewChild(node, kTypeCaeloOrbitAxis);
        return true;
    case OCAELOSYSTEM_REFRESH_LINKS:
        BroadcastRefreshLinks(GetDocument(node));
        return true;
    default:
        return true;
    }
}

bool ObjCaeloSystem::IsParameterEnabled(HostNode* node, int32_t parameterId) {
    if (parameterId == OCAELOSYSTEM_BUILD_SOLAR_SYSTEM) {
        return GetFirstChild(node) == nullptr;
    }
    return true;
}

bool ObjCaeloSystem::AddToEvaluation(HostNode* node, HostEvaluationList* list) {
    EnrolEvaluation(list, node, kEvaluationPriority, 0);
    return true;
}

int32_t ObjCaeloSystem::EvaluateObject(HostNode* node) {
    const double modelTime = GetModelJulianDate();
    /* A time scale of 0 makes the model time non-finite; the date parameter
     * then keeps its last value rather than receive a non-finite date. */
    if (!std::isfinite(modelTime)) {
        return 0;
    }
    /* Written whenever the value differs, and on the first evaluation of a
     * new node or clone (lastModelTime starts at 0). */
    if (modelTime != lastModelTime) {
        SetDateParameter(GetParameterContainer(node), OCAELOSYSTEM_CURRENT_DATE,
                         modelTime + zoneOffset + kDayNumberToJulianDate);
        lastModelTime = modelTime;
    }
    return 0;
}

void ObjCaeloSystem::RecomputeParameter(const Container& container, int32_t parameterId) {
    if (ReadBoundParameter(container, kSystemBindings, parameterId, settings)) {
        DeriveScales();
    } else if (parameterId == OCAELOSYSTEM_EPOCH) {
        ReadEpoch(container);
    }
}

void ObjCaeloSystem::RecomputeAll(const Container& container) {
    ReadBoundParameters(container, kSystemBindings, settings);
    DeriveScales();
    ReadEpoch(container);
}

void ObjCaeloSystem::ReadEpoch(const Container& container) {
    HostDateTime fields{};
    if (container.GetDateTime(OCAELOSYSTEM_EPOCH, fields)) {
        epochBase = DateTimeToDayNumber(fields) - kDayNumberToJulianDate - zoneOffset;
    }
}

void ObjCaeloSystem::DeriveScales() {
    timeFactor = SystemTimeFactor(settings.timeScale);
    bodyScale = SystemBodyScale(settings.bodySize);
    distanceScale = SystemDistanceScale(bodyScale, settings.distanceFactor);
}

} // namespace caelo
