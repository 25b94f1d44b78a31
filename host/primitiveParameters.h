// The parameter ids of the host's own types (primitives, splines, the wrap
// deformer, the camera, the shading tag) and the default sizes their
// descriptions give, for every unit that reads them: the descriptions, the
// glTF meshes and the pictures.
#ifndef CAELO_HOST_PRIMITIVE_PARAMETERS_H
#define CAELO_HOST_PRIMITIVE_PARAMETERS_H

#include <cstdint>

namespace caelo::host {

// Ids of different types may share a number.
enum PrimitiveParameter : std::int32_t {
    kSphereRadius = 1110,
    kSphereSegments = 1111,
    kTorusRingRadius = 1150,
    kTorusPipeRadius = 1151,
    kTorusRingSegments = 1152,
    kTorusPipeSegments = 1153,
    kTubeOuterRadius = 1170,
    kTubeInnerRadius = 1171,
    kTubeHeight = 1172,
    kTubeCapSegments = 1174,
    kTubeHeightSegments = 1175,
    kTubeRotationSegments = 1176,
    kPrimitiveAxis = 1300,
    kSliceOn = 1200,
    kSliceFrom = 1201,
    kSliceTo = 1202,
    kPlaneWidth = 1230,
    kPlaneHeight = 1231,
    kPlaneWidthSegments = 1232,
    kPlaneHeightSegments = 1233,
    kBoxSize = 1100,
    kBoxSeparateSurfaces = 1101,
    kBoxSegmentsX = 1102,
    kBoxSegmentsY = 1103,
    kBoxSegmentsZ = 1104,
    kBoxFillet = 1107,
    kCircleEllipse = 2010,
    kCircleRing = 2011,
    kCircleRadius = 2012,
    kCircleSecondRadius = 2013,
    kCirclePlane = 2300,
    kSplineIntermediatePoints = 1001,
    kSplineAngle = 1004,
    kCameraFocalLength = 500,
    kWrapStrength = 1000,
    kWrapSpline = 1001,
    kWrapRangeStart = 1002,
    kWrapRangeEnd = 1003,
    kWrapOffset = 1004,
    kWrapFitMode = 1005,
    kWrapAxis = 1006,
    kWrapScaleMode = 1012,
    kWrapProfile = 1013,
    kWrapTension = 1015,
    kShadingSmooth = 1001,
};

// Default sizes (scene units).
inline constexpr double kDefaultSphereRadius = 100.0;
inline constexpr double kDefaultTorusRingRadius = 100.0;
inline constexpr double kDefaultTorusPipeRadius = 20.0;
inline constexpr double kDefaultTubeOuterRadius = 100.0;
inline constexpr double kDefaultTubeInnerRadius = 50.0;
inline constexpr double kDefaultTubeHeight = 100.0;
inline constexpr double kDefaultPlaneSide = 400.0; // width and height
inline constexpr double kDefaultBoxSide = 200.0;
inline constexpr double kDefaultCircleRadius = 200.0;

// Segment counts: the defaults, and the limits a description sets (at least
// three around a round shape, at least one along a side).
inline constexpr std::int32_t kDefaultSphereSegments = 24;
inline constexpr std::int32_t kDefaultTorusRingSegments = 36;
inline constexpr std::int32_t kDefaultTorusPipeSegments = 18;
inline constexpr std::int32_t kDefaultTubeCapSegments = 1;
inline constexpr std::int32_t kDefaultTubeHeightSegments = 1;
inline constexpr std::int32_t kDefaultTubeRotationSegments = 36;
inline constexpr std::int32_t kDefaultPlaneSegments = 20; // along the width and the height
inline constexpr std::int32_t kDefaultBoxSegments = 1;    // along each side
inline constexpr std::int32_t kFewestSegmentsAround = 3;
inline constexpr std::int32_t kFewestSegmentsAlong = 1;
inline constexpr std::int32_t kMostSegments = 1000;

} // namespace caelo::host

#endif
