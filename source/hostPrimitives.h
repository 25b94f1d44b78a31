/*
 * The host's own object and tag types that the module creates or drives,
 * and the parameters it writes into them.
 */
#ifndef CAELO_HOST_PRIMITIVES_H
#define CAELO_HOST_PRIMITIVES_H

#include <cstdint>

namespace caelo {

/* Host object and tag types. The plane primitive is kTypeHostPlane of
 * planeTag.h. */
inline constexpr int32_t kTypeHostPolygon = 5100; /* a primitive converted to polygons */
inline constexpr int32_t kTypeHostSphere = 5160;
inline constexpr int32_t kTypeHostTorus = 5163;
inline constexpr int32_t kTypeHostTube = 5165;
inline constexpr int32_t kTypeHostShadingTag = 5612;

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
inline constexpr int32_t kPlaneWidthSegments = 1232;  /* Int32 */
inline constexpr int32_t kPlaneHeightSegments = 1233; /* Int32 */

/* Axis of a tube, torus or plane (Int32 choice). */
inline constexpr int32_t kPrimitiveAxis = 1300;
inline constexpr int32_t kPrimitiveAxisPlusY = 2;

/* Shading tag: smooth shading on or off. */
inline constexpr int32_t kShadingSmooth = 1001; /* Bool */

/* Colour mode of SetColorProperties that uses the given colour. */
inline constexpr int32_t kColorModeOwn = 2;

} // namespace caelo

#endif
