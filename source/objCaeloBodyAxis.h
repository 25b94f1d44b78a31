/*
 * The body-axis object: one celestial body, with its size, the tilt of its
 * rotation axis and its daily rotation. It keeps its settings in a
 * BodyAxisRecord, mirrored in its parameters.
 */
#ifndef CAELO_OBJ_CAELO_BODY_AXIS_H
#define CAELO_OBJ_CAELO_BODY_AXIS_H

#include "caeloConstants.h"
#include "nodeData.h"

#include <cstdint>

namespace caelo {

/* Parameters of the body-axis node. 1001 to 1005 and 1051 are number texts. */
enum : int32_t {
    OCAELOBODYAXIS_EQUATORIAL_RADIUS = 1001, /* km */
    OCAELOBODYAXIS_POLAR_RADIUS = 1002,      /* km */
    OCAELOBODYAXIS_OBLIQUITY = 1003,         /* degrees */
    OCAELOBODYAXIS_ROTATION_ANGLE = 1004,    /* degrees at the rotation epoch */
    OCAELOBODYAXIS_ROTATION_PERIOD = 1005,   /* days */
    OCAELOBODYAXIS_ROTATION_MODE = 1007,     /* Int32 choice 1200 + mode */
    OCAELOBODYAXIS_ROTATION_EPOCH = 1008,    /* Float, Julian Date */
    OCAELOBODYAXIS_GLOBE_SCALE = 1009,       /* Float factor */
    OCAELOBODYAXIS_SATELLITE_SCALE = 1010,   /* Float factor */
    OCAELOBODYAXIS_GLOBE_LINK = 1011,        /* Link to the globe object */
    OCAELOBODYAXIS_CREATE_GLOBE = 1015,
    OCAELOBODYAXIS_ADD_TUBE_RING = 1016,
    OCAELOBODYAXIS_ADD_TORUS_RING = 1017,
    OCAELOBODYAXIS_ADD_MOON_ORBIT = 1018,
    OCAELOBODYAXIS_ADD_ORBIT_AXIS = 1019,
    OCAELOBODYAXIS_HEADING = 1051, /* degrees */
};

/* The settings of one body axis, copied and handed over as one block; the
 * field order is part of the interface with the presets. */
struct BodyAxisRecord {
    double equatorialRadiusKm = 6500.0;
    double polarRadiusKm = 6500.0;
    double obliquityDeg = 0.0;
    double headingDeg = 0.0;
    double rotationEpochJd = kJulianDateJ2000;
    double rotationAngleDeg = 0.0; /* globe angle at the rotation epoch */
    double rotationPeriodDays = 1.0;
    double globeScale = 1.0;     /* factor on the globe, its rings and km-mode orbits below */
    double satelliteScale = 1.0; /* factor on au-mode orbit distances below */
    int32_t rotationMode = 0;    /* 0 to 2: parameter value - 1200 */
};

class ObjCaeloBodyAxis : public ObjectData {
public:
    bool InitNode(HostNode* node) override;

private:
    /* Writes the record into the node's parameters; the globe link is left
     * as it is. */
    void WriteBodyParameters(HostNode* node) const;

    BodyAxisRecord record;
};

} // namespace caelo

#endif
