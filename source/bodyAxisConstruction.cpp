/*
 * What a body axis builds below itself on request: its globe with an orbit
 * plane and an equator plane, rings laid out between 1.25 and 2 equatorial
 * radii, moon orbits in band mode and plain orbit axes. The buttons of the
 * node and the solar-system preset both build through these operations.
 */
#include "model/orbitalMath.h"
#include "source/hostPrimitives.h"
#include "source/nodeNames.h"
#include "source/objCaeloBodyAxis.h"
#include "source/objCaeloOrbitAxis.h"
#include "source/planeTag.h"
#include "source/tagCaeloRing.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace caelo {

namespace {

/* Names of created objects: ids of the module's string table. */
constexpr int32_t kStringEquatorPlane = 10054;
constexpr int32_t kStringOrbitPlane = 10055;
constexpr int32_t kStringGlobe = 10056;
constexpr int32_t kStringRing = 10057;
constexpr int32_t kStringMoon = 10058;

/* Segment counts of the created primitives. */
constexpr int32_t kPlaneSegments = 1; /* across and along */
constexpr int32_t kGlobeSegments = 24;
constexpr int32_t kTubeRotationSegmentCount = 144;
constexpr int32_t kTubeHeightSegmentCount = 1;
constexpr int32_t kTubeCapSegmentCount = 1;
constexpr int32_t kTorusRingSegmentCount = 72;
constexpr int32_t kTorusPipeSegmentCount = 72;

/* Display colours (red, green, blue in [0, 1]) of the two planes. */
constexpr HostVector kOrbitPlaneColor{0.0, 0.5, 1.0};
constexpr HostVector kEquatorPlaneColor{0.7137254901960784, 0.0, 0.0}; /* 182/255, 0, 0 */

/* The ring zone runs from (1 + kRingZoneStart) to (1 + kRingZoneStart +
 * kRingZoneWidth) equatorial radii; each ring leaves the outer
 * kRingGapFraction of its slot free. */
constexpr double kRingZoneStart = 0.25;
constexpr double kRingZoneWidth = 0.75;
constexpr double kRingGapFraction = 0.05;
constexpr double kNewRingThicknessKm = 0.5;

/* A new moon's band, in equatorial radii and band units. */
constexpr double kMoonBandInnerExtra = 0.25;  /* 1.25 R; the band starts at twice that */
constexpr double kMoonBandWidthFactor = 0.75; /* band from 2.5 R to 3.25 R */
constexpr double kMoonEccentricity = 0.25;
constexpr double kMoonMeanLongitudeRateDeg = 1314900.0; /* per Julian century: 36 degrees a day */
constexpr double kMoonBandHeight = 0.5;
constexpr double kMoonBandEndSize = 0.6;
constexpr double kMoonBandLengthDeg = 360.0;

/* The rings collected for a layout, in host memory that grows as needed. A
 * ring that finds no room is left out. */
class RingList {
public:
    RingList() = default;
    ~RingList() {
        if (rings_ != nullptr) {
            ResizeArray(rings_, 0);
        }
    }
    RingList(const RingList&) = delete;
    RingList& operator=(const RingList&) = delete;

    void Add(TagCaeloRing* ring) {
        if (count_ == capacity_ && !Grow()) {
            return;
        }
        rings_[count_++] = ring;
    }
    [[nodiscard]] TagCaeloRing** begin() const { return rings_; }
    [[nodiscard]] TagCaeloRing** end() const { return rings_ + count_; }
    [[nodiscard]] size_t size() const { return count_; }

private:
    static constexpr size_t kInitialCapacity = 8;

    bool Grow() {
        const size_t capacity = capacity_ == 0 ? kInitialCapacity : capacity_ * 2;
        void* grown = ResizeArray(rings_, capacity * sizeof(TagCaeloRing*));
        if (grown == nullptr) {
            return false;
        }
        rings_ = static_cast<TagCaeloRing**>(grown);
        capacity_ = capacity;
        return true;
    }

    TagCaeloRing** rings_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

void SetNameFromId(HostNode* object, int32_t nameId) {
    if (nameId != kNoNameId) {
        SetNodeName(object, LoadResourceString(nameId));
    }
}

/* Appends a see-through plane of one segment with a shading tag and the
 * plane tag of `planeTagType` that sizes it, switched off. False when the
 * plane or one of its tags cannot be made; what was made stays. */
bool AddGuidePlane(HostNode* bodyAxisNode, int32_t nameId, HostVector color, int32_t planeTagType) {
    HostNode* plane = CreateObject(kTypeHostPlane);
    if (plane == nullptr) {
        return false;
    }
    SetNodeName(plane, LoadResourceString(nameId));
    SetColorProperties(plane, HostColorProperties{kColorModeOwn, color, true});
    const Container settings = GetParameterContainer(plane);
    settings.SetInt32(kPlaneWidthSegments, kPlaneSegments);
    settings.SetInt32(kPlaneHeightSegments, kPlaneSegments);
    AppendChild(plane, bodyAxisNode);
    if (!AddSmoothShading(plane) || CreateTag(plane, planeTagType) == nullptr) {
        return false;
    }
    SetObjectSwitch(plane, HOST_SWITCH_ENABLED, 0);
    return true;
}

/* Names a tube or torus and sets its segments and its axis (+Y, the body's
 * rotation axis); other ring bodies are left as they are. */
void SetUpRingBody(HostNode* ring, int32_t objectType, int32_t nameId) {
    const Container settings = GetParameterContainer(ring);
    switch (objectType) {
    case kTypeHostTube:
        SetNameFromId(ring, nameId);
        settings.SetInt32(kTubeRotationSegments, kTubeRotationSegmentCount);
        settings.SetInt32(kTubeHeightSegments, kTubeHeightSegmentCount);
        settings.SetInt32(kTubeCapSegments, kTubeCapSegmentCount);
        settings.SetInt32(kPrimitiveAxis, kPrimitiveAxisPlusY);
        break;
    case kTypeHostTorus:
        SetNameFromId(ring, nameId);
        settings.SetInt32(kTorusPipeSegments, kTorusPipeSegmentCount);
        settings.SetInt32(kTorusRingSegments, kTorusRingSegmentCount);
        settings.SetInt32(kPrimitiveAxis, kPrimitiveAxisPlusY);
        break;
    default:
        break;
    }
}

/* Ring bodies: a tube, a torus, or either converted to polygons. */
bool IsRingBodyType(int32_t type) {
    return type == kTypeHostTube || type == kTypeHostTorus || type == kTypeHostPolygon;
}

/* A layout value that would not be finite (only for radii near the largest
 * double) is taken as 0, so that no non-finite size reaches the scene. */
double FiniteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

bool ObjCaeloBodyAxis::HandleButton(HostNode* node, int32_t buttonId) {
    switch (buttonId) {
    case OCAELOBODYAXIS_CREATE_GLOBE:
        return CreateGlobeAndPlanes(node, kStringGlobe);
    case OCAELOBODYAXIS_ADD_TUBE_RING:
        return AddRing(node, kTypeHostTube, kStringRing, nullptr);
    case OCAELOBODYAXIS_ADD_TORUS_RING:
        return AddRing(node, kTypeHostTorus, kStringRing, nullptr);
    case OCAELOBODYAXIS_ADD_MOON_ORBIT:
        return AddMoonOrbit(node, kStringMoon, nullptr);
    case OCAELOBODYAXIS_ADD_ORBIT_AXIS:
        return AddOrbitAxis(node);
    default:
        return true;
    }
}

bool ObjCaeloBodyAxis::CreateGlobeAndPlanes(HostNode* node, int32_t nameId) {
    if (!AddGuidePlane(node, kStringOrbitPlane, kOrbitPlaneColor, kTypeCaeloOrbitPlaneS) ||
        !AddGuidePlane(node, kStringEquatorPlane, kEquatorPlaneColor, kTypeCaeloEquatPlane)) {
        return false;
    }
    HostNode* globe = CreateObject(kTypeHostSphere);
    if (globe == nullptr) {
        return false;
    }
    SetNameFromId(globe, nameId);
    GetParameterContainer(globe).SetInt32(kSphereSegments, kGlobeSegments);
    AppendChild(globe, node);
    AddSmoothShading(globe); /* without one the globe is only shaded flat */
    GetParameterContainer(node).SetLink(OCAELOBODYAXIS_GLOBE_LINK, globe);
    return true;
}

bool ObjCaeloBodyAxis::AddRing(HostNode* node, int32_t objectType, int32_t nameId,
                               const RingRecord* ringRecord) {
    HostNode* ring = CreateObject(objectType);
    if (ring == nullptr) {
        return false;
    }
    SetUpRingBody(ring, objectType, nameId);
    AppendChild(ring, node);
    AddSmoothShading(ring); /* without one the ring is only shaded flat */
    /* The new body carries no ring tag yet, so the layout leaves it out. */
    const RingRecord applied = ringRecord != nullptr ? *ringRecord : LayoutRings(node);
    HostNode* tag = CreateTag(ring, kTypeCaeloRing);
    if (tag == nullptr) {
        return false;
    }
    InstanceOf<TagCaeloRing>(tag)->ApplyRingRecord(applied);
    return true;
}

/*
 * n existing rings and the new one share the zone from 1.25 R to 2 R in
 * n + 1 equal slots, ordered by inner radius; each ring fills its slot but
 * the outer 5 per cent, and the new ring takes the outermost slot. Its spin
 * period is the body's rotation period times its mean radius over R; R = 0
 * gives zero radii and a zero period.
 */
RingRecord ObjCaeloBodyAxis::LayoutRings(HostNode* node) const {
    RingList rings;
    for (HostNode* child = GetFirstChild(node); child != nullptr; child = GetNextSibling(child)) {
        if (!IsRingBodyType(GetNodeType(child))) {
            continue;
        }
        HostNode* tag = FindTag(child, kTypeCaeloRing, 0);
        if (tag != nullptr) {
            rings.Add(InstanceOf<TagCaeloRing>(tag));
        }
    }
    /* Ring radii are always finite: the tag refuses other text. */
    std::sort(rings.begin(), rings.end(), [](const TagCaeloRing* a, const TagCaeloRing* b) {
        return a->GetRingRecord().innerRadiusKm < b->GetRingRecord().innerRadiusKm;
    });

    const double radiusKm = record.equatorialRadiusKm;
    const double slotKm = kRingZoneWidth * radiusKm / static_cast<double>(rings.size() + 1);
    const double gapKm = slotKm * kRingGapFraction;
    double startKm = radiusKm * kRingZoneStart + radiusKm;
    for (TagCaeloRing* ring : rings) {
        const double outerKm = startKm + slotKm - gapKm;
        if (std::isfinite(startKm) && std::isfinite(outerKm)) {
            ring->SetRingRadii(startKm, outerKm);
        }
        startKm = startKm + slotKm;
    }

    RingRecord next;
    next.innerRadiusKm = FiniteOrZero(startKm);
    next.outerRadiusKm = FiniteOrZero(startKm + slotKm - gapKm);
    next.thicknessKm = kNewRingThicknessKm;
    next.tiltDeg = 0.0;
    next.headingDeg = 0.0;
    next.sliceStartDeg = 0.0;
    next.sliceEndDeg = 0.0;
    next.epochJd = kJulianDateJ2000;
    next.phaseDeg = 0.0;
    const double perRadiusKm = radiusKm == 0.0 ? 0.0 : 1.0 / radiusKm;
    next.periodDays = FiniteOrZero((next.innerRadiusKm + next.outerRadiusKm) * 0.5 * perRadiusKm *
                                   record.rotationPeriodDays);
    next.sliceMode = kSliceModeWhole;
    return next;
}

bool ObjCaeloBodyAxis::AddMoonOrbit(HostNode* node, int32_t nameId, const OrbitAxisRecord* orbitRecord) {
    HostNode* orbit = CreateObject(kTypeCaeloOrbitAxis);
    if (orbit == nullptr) {
        return false;
    }
    AppendChild(orbit, node);

    SetPrefixedName(orbit, kStringOrbitPrefix, nameId);

    auto* orbitAxis = InstanceOf<ObjCaeloOrbitAxis>(orbit);
    orbitAxis->SetOrbitRecord(orbitRecord != nullptr ? *orbitRecord : DefaultMoonOrbit());
    return orbitAxis->CreateOrbitBand(orbit);
}

bool ObjCaeloBodyAxis::AddOrbitAxis(HostNode* node) {
    HostNode* orbit = CreateObject(kTypeCaeloOrbitAxis);
    if (orbit == nullptr) {
        return false;
    }
    AppendChild(orbit, node);
    return true;
}

/* The band's edges are formed as 1.25 R + 1.25 R and 0.75 R + 1.25 R +
 * 1.25 R, and its middle and width from those; this order of operations
 * fixes the last bit of a and of the band width. */
OrbitAxisRecord ObjCaeloBodyAxis::DefaultMoonOrbit() const {
    const double radiusKm = record.equatorialRadiusKm;
    const double radius125Km = radiusKm * kMoonBandInnerExtra + radiusKm;
    const double bandInnerKm = radius125Km + radius125Km;
    const double bandOuterKm = radiusKm * kMoonBandWidthFactor + radius125Km + radius125Km;

    OrbitAxisRecord moon;
    moon.semiMajorAxis = FiniteOrZero((bandOuterKm + bandInnerKm) * 0.5);
    moon.eccentricity = kMoonEccentricity;
    moon.meanLongitudeRateDeg = kMoonMeanLongitudeRateDeg;
    moon.bandWidth = FiniteOrZero(bandOuterKm - bandInnerKm);
    moon.bandHeight = kMoonBandHeight;
    moon.bandEndSize = kMoonBandEndSize;
    moon.bandLengthDeg = kMoonBandLengthDeg;
    moon.bandSpacing = kBandSpacingMeanAngle;
    moon.auxDate1Jd = kJulianDateJ2000;
    moon.auxDate2Jd = kJulianDateJ2000;
    moon.epochJd = kJulianDateJ2000;
    moon.mode = kOrbitModeBand;
    moon.kmFlag = true;
    return moon;
}

} // namespace caelo
