#include "host/hostTypes.h"

#include "host/description.h"
#include "host/primitiveParameters.h"
#include "host/registry.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace caelo::host {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

ParameterDescription floatParameter(std::int32_t id, const char* name, const char* label, double value,
                                    std::optional<double> min, std::optional<double> max) {
    return {id, name, label, ParameterKind::Float, Value{value}, min, max, {}, false};
}

ParameterDescription intParameter(std::int32_t id, const char* name, const char* label, std::int32_t value,
                                  double min, double max) {
    return {id, name, label, ParameterKind::Int32, Value{value}, min, max, {}, false};
}

ParameterDescription boolParameter(std::int32_t id, const char* name, const char* label, bool value) {
    return {id, name, label, ParameterKind::Bool, Value{value}, std::nullopt, std::nullopt, {}, false};
}

ParameterDescription cycleParameter(std::int32_t id, const char* name, const char* label, std::int32_t value,
                                    std::vector<std::pair<std::int32_t, std::string>> choices) {
    return {id,           name,         label,        ParameterKind::Cycle,
            Value{value}, std::nullopt, std::nullopt, std::move(choices),
            false};
}

ParameterDescription plainParameter(std::int32_t id, const char* name, const char* label,
                                    ParameterKind kind) {
    return {id, name, label, kind, std::nullopt, std::nullopt, std::nullopt, {}, false};
}

ParameterDescription axisParameter(const char* name) {
    return cycleParameter(kPrimitiveAxis, name, "Orientation", kAxisPlusY,
                          {{kAxisPlusX, "+X"},
                           {kAxisMinusX, "-X"},
                           {kAxisPlusY, "+Y"},
                           {kAxisMinusY, "-Y"},
                           {kAxisPlusZ, "+Z"},
                           {kAxisMinusZ, "-Z"}});
}

// The slice parameters that tube and torus share; symbols take the type's prefix.
void addSlice(std::vector<ParameterDescription>& parameters, const std::string& prefix) {
    parameters.push_back(boolParameter(kSliceOn, "", "Slice", false));
    parameters.back().name = prefix + "_SLICE";
    parameters.push_back(floatParameter(kSliceFrom, "", "Slice from (rad)", 0.0, -kTwoPi, kTwoPi));
    parameters.back().name = prefix + "_SLICE_FROM";
    parameters.push_back(floatParameter(kSliceTo, "", "Slice to (rad)", kTwoPi, -kTwoPi, kTwoPi));
    parameters.back().name = prefix + "_SLICE_TO";
}

struct HostTypeDefinition {
    std::int32_t id;
    NodeKind kind;
    const char* displayName;
    const char* descriptionName;
    std::vector<ParameterDescription> parameters;
};

std::vector<HostTypeDefinition> hostTypeDefinitions() {
    std::vector<HostTypeDefinition> definitions;
    definitions.push_back({kTypeNull, NodeKind::Object, "Null", "HostNull", {}});
    definitions.push_back({kTypePolygon, NodeKind::Object, "Polygon Object", "HostPolygon", {}});
    definitions.push_back({kTypeSphere,
                           NodeKind::Object,
                           "Sphere",
                           "HostSphere",
                           {floatParameter(kSphereRadius, "HOSTSPHERE_RADIUS", "Radius", kDefaultSphereRadius,
                                           0.0, std::nullopt),
                            intParameter(kSphereSegments, "HOSTSPHERE_SEGMENTS", "Segments",
                                         kDefaultSphereSegments, kFewestSegmentsAround, kMostSegments)}});

    HostTypeDefinition torus{kTypeTorus,
                             NodeKind::Object,
                             "Torus",
                             "HostTorus",
                             {floatParameter(kTorusRingRadius, "HOSTTORUS_RING_RADIUS", "Ring radius",
                                             kDefaultTorusRingRadius, 0.0, std::nullopt),
                              floatParameter(kTorusPipeRadius, "HOSTTORUS_PIPE_RADIUS", "Pipe radius",
                                             kDefaultTorusPipeRadius, 0.0, std::nullopt),
                              intParameter(kTorusRingSegments, "HOSTTORUS_RING_SEGMENTS", "Ring segments",
                                           kDefaultTorusRingSegments, kFewestSegmentsAround, kMostSegments),
                              intParameter(kTorusPipeSegments, "HOSTTORUS_PIPE_SEGMENTS", "Pipe segments",
                                           kDefaultTorusPipeSegments, kFewestSegmentsAround, kMostSegments),
                              axisParameter("HOSTTORUS_AXIS")}};
    addSlice(torus.parameters, "HOSTTORUS");
    definitions.push_back(std::move(torus));

    HostTypeDefinition tube{
        kTypeTube,
        NodeKind::Object,
        "Tube",
        "HostTube",
        {floatParameter(kTubeOuterRadius, "HOSTTUBE_OUTER_RADIUS", "Outer radius", kDefaultTubeOuterRadius,
                        0.0, std::nullopt),
         floatParameter(kTubeInnerRadius, "HOSTTUBE_INNER_RADIUS", "Inner radius", kDefaultTubeInnerRadius,
                        0.0, std::nullopt),
         floatParameter(kTubeHeight, "HOSTTUBE_HEIGHT", "Height", kDefaultTubeHeight, 0.0, std::nullopt),
         intParameter(kTubeCapSegments, "HOSTTUBE_CAP_SEGMENTS", "Cap segments", kDefaultTubeCapSegments,
                      kFewestSegmentsAlong, kMostSegments),
         intParameter(kTubeHeightSegments, "HOSTTUBE_HEIGHT_SEGMENTS", "Height segments",
                      kDefaultTubeHeightSegments, kFewestSegmentsAlong, kMostSegments),
         intParameter(kTubeRotationSegments, "HOSTTUBE_ROTATION_SEGMENTS", "Rotation segments",
                      kDefaultTubeRotationSegments, kFewestSegmentsAround, kMostSegments),
         axisParameter("HOSTTUBE_AXIS")}};
    addSlice(tube.parameters, "HOSTTUBE");
    definitions.push_back(std::move(tube));

    definitions.push_back(
        {kTypePlane,
         NodeKind::Object,
         "Plane",
         "HostPlane",
         {floatParameter(kPlaneWidth, "HOSTPLANE_WIDTH", "Width", kDefaultPlaneSide, 0.0, std::nullopt),
          floatParameter(kPlaneHeight, "HOSTPLANE_HEIGHT", "Height", kDefaultPlaneSide, 0.0, std::nullopt),
          intParameter(kPlaneWidthSegments, "HOSTPLANE_WIDTH_SEGMENTS", "Width segments",
                       kDefaultPlaneSegments, kFewestSegmentsAlong, kMostSegments),
          intParameter(kPlaneHeightSegments, "HOSTPLANE_HEIGHT_SEGMENTS", "Height segments",
                       kDefaultPlaneSegments, kFewestSegmentsAlong, kMostSegments),
          axisParameter("HOSTPLANE_AXIS")}});

    ParameterDescription boxSize = plainParameter(kBoxSize, "HOSTBOX_SIZE", "Size", ParameterKind::Vector);
    boxSize.defaultValue = Vector{kDefaultBoxSide, kDefaultBoxSide, kDefaultBoxSide};
    boxSize.min = 0.0;
    definitions.push_back(
        {kTypeBox,
         NodeKind::Object,
         "Box",
         "HostBox",
         {boxSize,
          boolParameter(kBoxSeparateSurfaces, "HOSTBOX_SEPARATE_SURFACES", "Separate surfaces", false),
          intParameter(kBoxSegmentsX, "HOSTBOX_SEGMENTS_X", "Segments X", kDefaultBoxSegments,
                       kFewestSegmentsAlong, kMostSegments),
          intParameter(kBoxSegmentsY, "HOSTBOX_SEGMENTS_Y", "Segments Y", kDefaultBoxSegments,
                       kFewestSegmentsAlong, kMostSegments),
          intParameter(kBoxSegmentsZ, "HOSTBOX_SEGMENTS_Z", "Segments Z", kDefaultBoxSegments,
                       kFewestSegmentsAlong, kMostSegments),
          boolParameter(kBoxFillet, "HOSTBOX_FILLET", "Fillet", false)}});

    definitions.push_back(
        {kTypeCircleSpline,
         NodeKind::Object,
         "Circle",
         "HostCircle",
         {boolParameter(kCircleEllipse, "HOSTCIRCLE_ELLIPSE", "Ellipse", false),
          boolParameter(kCircleRing, "HOSTCIRCLE_RING", "Ring", false),
          floatParameter(kCircleRadius, "HOSTCIRCLE_RADIUS", "Radius", kDefaultCircleRadius, 0.0,
                         std::nullopt),
          floatParameter(kCircleSecondRadius, "HOSTCIRCLE_SECOND_RADIUS", "Second radius",
                         kDefaultCircleRadius, 0.0, std::nullopt),
          cycleParameter(kCirclePlane, "HOSTCIRCLE_PLANE", "Plane", kPlaneXY,
                         {{kPlaneXY, "XY"}, {kPlaneZY, "ZY"}, {kPlaneXZ, "XZ"}}),
          cycleParameter(kSplineIntermediatePoints, "HOSTCIRCLE_INTERMEDIATE_POINTS", "Intermediate points",
                         3,
                         {{0, "None"}, {1, "Natural"}, {2, "Uniform"}, {3, "Adaptive"}, {4, "Subdivided"}}),
          floatParameter(kSplineAngle, "HOSTCIRCLE_ANGLE", "Angle (rad)", 0.08726646259971647, 0.0,
                         std::numbers::pi)}});

    definitions.push_back({kTypeCamera,
                           NodeKind::Object,
                           "Camera",
                           "HostCamera",
                           {floatParameter(kCameraFocalLength, "HOSTCAMERA_FOCAL_LENGTH", "Focal length (mm)",
                                           36.0, 1.0, 100000.0)}});

    definitions.push_back(
        {kTypeWrapDeformer,
         NodeKind::Object,
         "Wrap",
         "HostWrap",
         {floatParameter(kWrapStrength, "HOSTWRAP_STRENGTH", "Strength", 1.0, 0.0, 1.0),
          plainParameter(kWrapSpline, "HOSTWRAP_SPLINE", "Spline", ParameterKind::Link),
          floatParameter(kWrapRangeStart, "HOSTWRAP_RANGE_START", "Range start", 0.0, -1.0, 1.0),
          floatParameter(kWrapRangeEnd, "HOSTWRAP_RANGE_END", "Range end", 1.0, -1.0, 1.0),
          floatParameter(kWrapOffset, "HOSTWRAP_OFFSET", "Offset", 0.0, -1.0, 1.0),
          intParameter(kWrapFitMode, "HOSTWRAP_FIT_MODE", "Fit mode", 0, 0, 2),
          cycleParameter(kWrapAxis, "HOSTWRAP_AXIS", "Axis", kAxisPlusZ,
                         {{kAxisPlusX, "+X"},
                          {kAxisMinusX, "-X"},
                          {kAxisPlusY, "+Y"},
                          {kAxisMinusY, "-Y"},
                          {kAxisPlusZ, "+Z"},
                          {kAxisMinusZ, "-Z"}}),
          intParameter(kWrapScaleMode, "HOSTWRAP_SCALE_MODE", "Scale mode", 0, 0, 2),
          plainParameter(kWrapProfile, "HOSTWRAP_PROFILE", "Size profile", ParameterKind::Curve),
          floatParameter(kWrapTension, "HOSTWRAP_TENSION", "Tension", 1.0, 0.0, 100.0)}});

    definitions.push_back({kTypeShadingTag,
                           NodeKind::Tag,
                           "Shading",
                           "HostShading",
                           {boolParameter(kShadingSmooth, "HOSTSHADING_SMOOTH", "Smooth shading", false)}});
    return definitions;
}

// Half extents (a along the axis, b across it) placed by the axis choice.
Vector alongAxis(std::int32_t axis, double along, double across) {
    switch (axis) {
    case kAxisPlusX:
    case kAxisMinusX:
        return {along, across, across};
    case kAxisPlusZ:
    case kAxisMinusZ:
        return {across, across, along};
    default:
        return {across, along, across};
    }
}

} // namespace

void registerHostTypes(TypeRegistry& types, DescriptionTable& descriptions) {
    for (HostTypeDefinition& definition : hostTypeDefinitions()) {
        NodeType type;
        type.id = definition.id;
        type.kind = definition.kind;
        type.displayName = definition.displayName;
        type.descriptionName = definition.descriptionName;
        type.hostType = true;
        types.add(std::move(type));
        descriptions.add(Description{definition.descriptionName, std::move(definition.parameters)});
    }
}

Vector objectHalfExtents(const Node& object) {
    const Container& c = object.parameters;
    switch (object.typeId()) {
    case kTypeSphere: {
        const double r = std::abs(c.getFloat(kSphereRadius, kDefaultSphereRadius));
        return {r, r, r};
    }
    case kTypeTorus: {
        const double pipe = std::abs(c.getFloat(kTorusPipeRadius, kDefaultTorusPipeRadius));
        const double ring = std::abs(c.getFloat(kTorusRingRadius, kDefaultTorusRingRadius));
        return alongAxis(c.getInt32(kPrimitiveAxis, kAxisPlusY), pipe, ring + pipe);
    }
    case kTypeTube: {
        const double height = std::abs(c.getFloat(kTubeHeight, kDefaultTubeHeight));
        const double outer = std::abs(c.getFloat(kTubeOuterRadius, kDefaultTubeOuterRadius));
        return alongAxis(c.getInt32(kPrimitiveAxis, kAxisPlusY), height / 2.0, outer);
    }
    case kTypePlane: {
        const double w = std::abs(c.getFloat(kPlaneWidth, kDefaultPlaneSide)) / 2.0;
        const double h = std::abs(c.getFloat(kPlaneHeight, kDefaultPlaneSide)) / 2.0;
        switch (c.getInt32(kPrimitiveAxis, kAxisPlusY)) {
        case kAxisPlusX:
        case kAxisMinusX:
            return {0.0, h, w};
        case kAxisPlusZ:
        case kAxisMinusZ:
            return {w, h, 0.0};
        default:
            return {w, 0.0, h};
        }
    }
    case kTypeBox: {
        const Vector size = c.getVector(kBoxSize, {kDefaultBoxSide, kDefaultBoxSide, kDefaultBoxSide});
        return {std::abs(size.x) / 2.0, std::abs(size.y) / 2.0, std::abs(size.z) / 2.0};
    }
    case kTypeCircleSpline: {
        const double r = std::abs(c.getFloat(kCircleRadius, kDefaultCircleRadius));
        const double r2 = c.getBool(kCircleEllipse, false) ? std::abs(c.getFloat(kCircleSecondRadius, r)) : r;
        switch (c.getInt32(kCirclePlane, kPlaneXY)) {
        case kPlaneZY:
            return {0.0, r2, r};
        case kPlaneXZ:
            return {r, 0.0, r2};
        default:
            return {r, r2, 0.0};
        }
    }
    default:
        return {};
    }
}

Vector ontoAxis(std::int32_t axis, Vector v) {
    switch (axis) {
    case kAxisPlusX:
        return {v.y, v.z, v.x};
    case kAxisMinusX:
        return {-v.y, v.z, -v.x};
    case kAxisMinusY:
        return {v.x, -v.y, -v.z};
    case kAxisPlusZ:
        return {v.x, -v.z, v.y};
    case kAxisMinusZ:
        return {v.x, v.z, -v.y};
    default:
        return v;
    }
}

} // namespace caelo::host
