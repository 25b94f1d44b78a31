/*
 * The ring tag: turns a tube or torus primitive into a planetary ring
 * described in kilometres, degrees and days. It keeps its settings in a
 * RingRecord, mirrored in its parameters. At every evaluation it sizes the
 * primitive from the body scale of the system and the globe scale of the
 * enclosing body axis, slices it, tilts it by its base rotation and spins it
 * by the heading of its relative rotation at the model date.
 */
#ifndef CAELO_SOURCE_TAG_CAELO_RING_H
#define CAELO_SOURCE_TAG_CAELO_RING_H

#include "model/moduleIds.h"
#include "model/units.h"
#include "source/nodeData.h"

#include <cstdint>

namespace caelo {

class ObjCaeloBodyAxis;
class ObjCaeloSystem;

/* The settings of one ring, copied and handed over as one block; the field
 * order is part of the interface with the presets and the body axis. */
struct RingRecord {
    double innerRadiusKm = 0.0;
    double outerRadiusKm = 0.0;
    double thicknessKm = 0.1;
    double tiltDeg = 0.0;
    double headingDeg = 0.0;
    double sliceStartDeg = 0.0;
    double sliceEndDeg = 0.0;
    double epochJd = kJulianDateJ2000;
    double phaseDeg = 0.0; /* spin angle at the epoch */
    double periodDays = 0.0;
    int32_t sliceMode = kSliceModeWhole; /* parameter value - 1200 */
};

class TagCaeloRing : public TagData {
public:
    bool InitNode(HostNode* tag) override;
    /* The host's default copy, then the record goes to the clone; the clone
     * finds its own links. */
    bool CopyNode(HostNode* tag, HostNode* destination, BaseData* destinationData) override;
    bool HandleMessage(HostNode* tag, int32_t type, void* data) override;
    /* The slice angles are editable only while the ring is sliced. */
    bool IsParameterEnabled(HostNode* tag, int32_t parameterId) override;
    /* Sizes a tube or torus (other objects keep their size), then applies
     * tilt, heading and spin to the object carrying the tag. Returns 0. */
    int32_t EvaluateTag(HostNode* tag, HostDocument* document, HostNode* object) override;

    /* Sets the inner and outer radius (km), writes them into the tag's
     * parameters and applies the ring to its object at once. */
    void SetRingRadii(double innerRadiusKm, double outerRadiusKm);
    /* Replaces the whole record, writes it into the tag's parameters and
     * applies the ring to its object at once. */
    void ApplyRingRecord(const RingRecord& newRecord);
    [[nodiscard]] const RingRecord& GetRingRecord() const { return record; }

private:
    /* Fills each empty cached link from the object's ancestors. */
    void ResolveRingLinks(HostNode* object);
    /* A ring length in scene units: kilometres through the body scale of
     * the body axis's system and its globe scale; 0 without a body axis or
     * without its system. */
    [[nodiscard]] double ScaledKm(double lengthKm) const;
    void UpdateTubeRing(HostNode* tube) const;
    void UpdateTorusRing(HostNode* torus) const;
    void ApplySlice(const Container& primitive) const;
    /* Tilt and heading as the base rotation; the spin at the model date as
     * the heading of the relative rotation. */
    void ApplyRingRotation(HostNode* object) const;
    /* Links, size and rotation of the object carrying the tag. */
    void UpdateRingObject(HostNode* object);

    RingRecord record;

    /* Links found by evaluation; per instance, never copied or stored,
     * emptied by HOST_MSG_REFRESH_LINKS and by a move to a new parent. */
    ObjCaeloSystem* cachedSystem = nullptr;
    ObjCaeloBodyAxis* cachedBodyAxis = nullptr;
};

} // namespace caelo

#endif
