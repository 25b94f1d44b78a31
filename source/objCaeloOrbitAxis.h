/*
 * The orbit-axis object: one orbit inside a planetary system, described by
 * Keplerian elements with linear rates per Julian century. It keeps its
 * settings in an OrbitAxisRecord, mirrored in its parameters.
 */
#ifndef CAELO_OBJ_CAELO_ORBIT_AXIS_H
#define CAELO_OBJ_CAELO_ORBIT_AXIS_H

#include "caeloConstants.h"
#include "nodeData.h"

#include <cstdint>

namespace caelo {

/* Parameters of the orbit-axis node. 1003 to 1018 are number texts. */
enum : int32_t {
    OCAELOORBITAXIS_MODE = 1000,  /* Int32 choice 1200 + mode */
    OCAELOORBITAXIS_EPOCH = 1001, /* Float, Julian Date */
    OCAELOORBITAXIS_A = 1003,
    OCAELOORBITAXIS_A_RATE = 1004,
    OCAELOORBITAXIS_E = 1005,
    OCAELOORBITAXIS_E_RATE = 1006,
    OCAELOORBITAXIS_I = 1007,
    OCAELOORBITAXIS_I_RATE = 1008,
    OCAELOORBITAXIS_L = 1009,
    OCAELOORBITAXIS_L_RATE = 1010,
    OCAELOORBITAXIS_PERI = 1011,
    OCAELOORBITAXIS_PERI_RATE = 1012,
    OCAELOORBITAXIS_NODE = 1013,
    OCAELOORBITAXIS_NODE_RATE = 1014,
    OCAELOORBITAXIS_TERM_B = 1015,
    OCAELOORBITAXIS_TERM_C = 1016,
    OCAELOORBITAXIS_TERM_S = 1017,
    OCAELOORBITAXIS_TERM_F = 1018,
    OCAELOORBITAXIS_AUX_DATE1 = 1020, /* Float, Julian Date */
    OCAELOORBITAXIS_AUX_DATE2 = 1021, /* Float, Julian Date */
    OCAELOORBITAXIS_KM = 1022,        /* Bool */
    OCAELOORBITAXIS_BAND_WIDTH = 1023,
    OCAELOORBITAXIS_BAND_HEIGHT = 1024,
    OCAELOORBITAXIS_BAND_END_SIZE = 1025,
    OCAELOORBITAXIS_BAND_LENGTH = 1026,
    OCAELOORBITAXIS_BAND_SPACING = 1027, /* Int32 choice 1250 + spacing */
    OCAELOORBITAXIS_ELLIPSE_LINK = 1050,
    OCAELOORBITAXIS_BAND_LINK = 1051,
    OCAELOORBITAXIS_CREATE_GUIDES = 1090,
    OCAELOORBITAXIS_CREATE_BAND = 1091,
    OCAELOORBITAXIS_CREATE_BODY = 1092,
};

/* The settings of one orbit axis, copied and handed over as one block; the
 * field order is part of the interface with the presets and the body axis.
 * "Unit of a" is the au, or the kilometre when kmFlag is set; rates are per
 * Julian century. */
struct OrbitAxisRecord {
    double semiMajorAxis = 0.0;              /* a at epoch, unit of a */
    double semiMajorAxisRate = 0.0;          /* unit of a per century */
    double eccentricity = 0.0;               /* e at epoch */
    double eccentricityRate = 0.0;           /* per century */
    double inclinationDeg = 0.0;             /* I at epoch */
    double inclinationRateDeg = 0.0;         /* degrees per century */
    double meanLongitudeDeg = 0.0;           /* L at epoch */
    double meanLongitudeRateDeg = 0.0;       /* degrees per century */
    double perihelionLongitudeDeg = 0.0;     /* varpi at epoch */
    double perihelionLongitudeRateDeg = 0.0; /* degrees per century */
    double nodeLongitudeDeg = 0.0;           /* Omega at epoch */
    double nodeLongitudeRateDeg = 0.0;       /* degrees per century */
    double termBDeg = 0.0;                   /* b, degrees per century squared */
    double termCDeg = 0.0;                   /* c, degrees */
    double termSDeg = 0.0;                   /* s, degrees */
    double termFDeg = 0.0;                   /* f, degrees per century */
    double bandWidth = 0.0;                  /* unit of a */
    double bandHeight = 0.0;                 /* unit of a */
    double bandEndSize = 1.0;                /* profile factor at both band ends */
    double bandLengthDeg = 360.0;            /* angular length of the band */
    int32_t bandSpacing = 0;                 /* 0 to 3: parameter value - 1250 */
    double auxDate1Jd = kJulianDateJ2000;    /* start of validity */
    double auxDate2Jd = kJulianDateJ2000;    /* end of validity */
    double epochJd = kJulianDateJ2000;
    int32_t mode = 0;    /* 0 to 3: parameter value - 1200 */
    bool kmFlag = false; /* a and band sizes in kilometres */
};

class ObjCaeloOrbitAxis : public ObjectData {
public:
    bool InitNode(HostNode* node) override;

private:
    /* Writes the record into the node's parameters. */
    void WriteParameters(HostNode* node) const;

    OrbitAxisRecord record;
};

} // namespace caelo

#endif
