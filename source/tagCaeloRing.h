/*
 * The ring tag: turns a tube or torus primitive into a planetary ring
 * described in kilometres, degrees and days. It keeps its settings in a
 * RingRecord, mirrored in its parameters.
 */
#ifndef CAELO_TAG_CAELO_RING_H
#define CAELO_TAG_CAELO_RING_H

#include "caeloConstants.h"
#include "nodeData.h"

#include <cstdint>

namespace caelo {

/* Parameters of the ring tag. 1001 to 1006 and 1051 are number texts. */
enum : int32_t {
    TCAELORING_INNER_RADIUS = 1001, /* km */
    TCAELORING_OUTER_RADIUS = 1002, /* km */
    TCAELORING_THICKNESS = 1003,    /* km */
    TCAELORING_TILT = 1004,         /* degrees */
    TCAELORING_PHASE = 1005,        /* degrees at the epoch */
    TCAELORING_PERIOD = 1006,       /* days */
    TCAELORING_SLICE_MODE = 1008,   /* Int32 choice 1200 + slice mode */
    TCAELORING_SLICE_START = 1009,  /* Float, degrees */
    TCAELORING_SLICE_END = 1010,    /* Float, degrees */
    TCAELORING_EPOCH = 1011,        /* Float, Julian Date */
    TCAELORING_HEADING = 1051,      /* degrees */
};

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
    int32_t sliceMode = 0; /* 0 whole, 1 sliced: parameter value - 1200 */
};

class TagCaeloRing : public TagData {
public:
    bool InitNode(HostNode* tag) override;

private:
    /* Writes the record into the tag's parameters. */
    void WriteRingParameters(HostNode* tag) const;

    RingRecord record;
};

} // namespace caelo

#endif
