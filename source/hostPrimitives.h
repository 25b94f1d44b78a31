/*
 * The host's own object and tag types that the module creates or drives,
 * and the parameters it writes into them.
 */
#ifndef CAELO_SOURCE_HOST_PRIMITIVES_H
#define CAELO_SOURCE_HOST_PRIMITIVES_H

#include "interface/hostInterface.h"

#include <cstdint>

namespace caelo {

/* Host object and tag types. */
inline constexpr int32_t kTypeHostPolygon = 5100; /* a primitive converted to polygons */
inline constexpr int32_t kTypeHostBox = 5159;
inline constexpr int32_t kTypeHostSphere = 5160;
inline constexpr int32_t kTypeHostTorus = 5163;
inline constexpr int32_t kTypeHostTube = 5165;
inline constexpr int32_t kTypeHostPlane = 5168;
inline constexpr int32_t kTypeHostCircleSpline = 5181;
inline constexpr int32_t kTypeHostShadingTag = 5612;
inline constexpr int32_t kTypeHostWrapDeformer = 1019221;

/* Sphere. */
inline constexpr int32_t kSphereRadius = 1110;   /* Float, scene units */
inline constexpr int32_t kSphereSegments = 1111; /* Int32 */

/* Torus (sizes Float, scene units). */
inline constexpr int32_t kTorusRingRadius = 1150; /* centre to the middle of the pipe */
inline constexpr int32_t kTorusPipeRadius = 1151;
inline constexpr int32_t kTorusRingSegments = 1152; /* Int32 */
inline constexpr int32_t kTorusPipeSegments = 1153; /* Int32 */

/* Tube (sizes Float, scene units). */
inline constexpr int32_t kTubeOuterRadius = 1170;
inline constexpr int32_t kTubeInnerRadius = 1171;
inline constexpr int32_t kTubeHeight = 1172;
inline constexpr int32_t kTubeCapSegments = 1174;      /* Int32 */
inline constexpr int32_t kTubeHeightSegments = 1175;   /* Int32 */
inline constexpr int32_t kTubeRotationSegments = 1176; /* Int32 */

/* Slice of a tube or torus. */
inline constexpr int32_t kPrimitiveSliceOn = 1200;    /* Bool */
inline constexpr int32_t kPrimitiveSliceStart = 1201; /* Float, radians */
inline constexpr int32_t kPrimitiveSliceEnd = 1202;   /* Float, radians */

/* Plane. */
inline constexpr int32_t kPlaneWidth = 1230;          /* Float, scene units */
inline constexpr int32_t kPlaneHeight = 1231;         /* Float, scene units */
inline constexpr int32_t kPlaneWidthSegments = 1232;  /* Int32 */
inline constexpr int32_t kPlaneHeightSegments = 1233; /* Int32 */

/* Axis of a tube, torus or plane (Int32 choice). */
inline constexpr int32_t kPrimitiveAxis = 1300;
inline constexpr int32_t kPrimitiveAxisPlusY = 2;

/* Box. */
inline constexpr int32_t kBoxSize = 1100;             /* Vector of full side lengths, scene units */
inline constexpr int32_t kBoxSeparateSurfaces = 1101; /* Bool */
inline constexpr int32_t kBoxSegmentsX = 1102;        /* Int32 */
inline constexpr int32_t kBoxSegmentsY = 1103;        /* Int32 */
inline constexpr int32_t kBoxSegmentsZ = 1104;        /* Int32 */
inline constexpr int32_t kBoxFillet = 1107;           /* Bool */

/* Every spline: how its intermediate points are placed. */
inline constexpr int32_t kSplineIntermediatePoints = 1001; /* Int32 choice */
inline constexpr int32_t kSplinePointsAdaptive = 3;
inline constexpr int32_t kSplineAngle = 1004; /* Float, radians between points */

/* Circle spline; its radii are Float, scene units. */
inline constexpr int32_t kSplineEllipseForm = 2010;  /* Bool */
inline constexpr int32_t kSplineRing = 2011;         /* Bool */
inline constexpr int32_t kSplineRadius = 2012;       /* along X */
inline constexpr int32_t kSplineSecondRadius = 2013; /* the second radius of the ellipse form */
inline constexpr int32_t kSplinePlane = 2300;        /* Int32 choice */
inline constexpr int32_t kSplinePlaneXZ = 2;

/* Wrap deformer. */
inline constexpr int32_t kWrapStrength = 1000;   /* Float */
inline constexpr int32_t kWrapSpline = 1001;     /* Link */
inline constexpr int32_t kWrapRangeStart = 1002; /* Float fraction of the spline */
inline constexpr int32_t kWrapRangeEnd = 1003;   /* Float fraction of the spline */
inline constexpr int32_t kWrapOffset = 1004;     /* Float fraction of the spline */
inline constexpr int32_t kWrapFitMode = 1005;    /* Int32 choice */
inline constexpr int32_t kWrapNoFit = 0;
inline constexpr int32_t kWrapAxis = 1006; /* Int32 choice */
inline constexpr int32_t kWrapAlongZ = 4;
inline constexpr int32_t kWrapScaleMode = 1012; /* Int32 choice */
inline constexpr int32_t kWrapNoScale = 0;
inline constexpr int32_t kWrapProfile = 1013; /* curve value */
inline constexpr int32_t kWrapTension = 1015; /* Float */

/* Shading tag: smooth shading on or off. */
inline constexpr int32_t kShadingSmooth = 1001; /* Bool */

/* Colour mode of SetColorProperties that uses the given colour. */
inline constexpr int32_t kColorModeOwn = 2;

/* Puts a shading tag with smoothing on an object; false when the host
 * cannot make the tag. */
bool AddSmoothShading(HostNode* object);

} // namespace caelo

#endif
