#include "bench/presetBaseline.h"

#include "host/services/matrix.h"
#include "host/services/numberText.h"
#include "model/bodyAxisRotation.h"
#include "model/moduleIds.h"
#include "model/nodeRecords.h"
#include "model/systemScales.h"

#include <cstddef>
#include <unordered_map>

namespace caelo::bench {

namespace {

using host::Matrix;

double numberText(const host::Container& parameters, std::int32_t id) {
    return host::textToNumber(parameters.getString(id)).value_or(0.0);
}

OrbitAxisRecord readOrbitRecord(const host::Container& parameters) {
    OrbitAxisRecord orbit;
    for (const ParameterBinding<OrbitAxisRecord>& binding : kOrbitAxisBindings) {
        if (binding.kind == ParameterKind::NumberText) {
            orbit.*binding.number = numberText(parameters, binding.parameterId);
        }
    }
    orbit.mode = parameters.getInt32(OCAELOORBITAXIS_MODE, kModeChoiceBase) - kModeChoiceBase;
    orbit.epochJd = parameters.getFloat(OCAELOORBITAXIS_EPOCH, kJulianDateJ2000);
    orbit.kmFlag = parameters.getBool(OCAELOORBITAXIS_KM, false);
    return orbit;
}

BodyAxisRecord readBodyRecord(const host::Container& parameters) {
    BodyAxisRecord body;
    for (const ParameterBinding<BodyAxisRecord>& binding : kBodyAxisBindings) {
        if (binding.kind == ParameterKind::NumberText) {
            body.*binding.number = numberText(parameters, binding.parameterId);
        }
    }
    body.rotationMode = parameters.getInt32(OCAELOBODYAXIS_ROTATION_MODE, kModeChoiceBase) - kModeChoiceBase;
    body.rotationEpochJd = parameters.getFloat(OCAELOBODYAXIS_ROTATION_EPOCH, kJulianDateJ2000);
    body.globeScale = parameters.getFloat(OCAELOBODYAXIS_GLOBE_SCALE, 1.0);
    body.satelliteScale = parameters.getFloat(OCAELOBODYAXIS_SATELLITE_SCALE, 1.0);
    return body;
}

// The nearest body axis above a node; null at the system or the top.
const host::Node* enclosingBodyAxis(const host::Node& node) {
    for (const host::Node* above = node.parent(); above; above = above->parent()) {
        if (above->typeId() == kTypeCaeloSystem) {
            return nullptr;
        }
        if (above->typeId() == kTypeCaeloBodyAxis) {
            return above;
        }
    }
    return nullptr;
}

const host::Node* governingSystem(const host::Node& node) {
    for (const host::Node* above = node.parent(); above; above = above->parent()) {
        if (above->typeId() == kTypeCaeloSystem) {
            return above;
        }
    }
    return nullptr;
}

// Scene units per centimetre and per au of a system.
struct SystemScale {
    double perCentimetre = 0.0;
    double perAu = 0.0;
};

SystemScale systemScaleOf(const host::Node* system) {
    if (!system) {
        return {};
    }
    const double bodyScale = SystemBodyScale(system->parameters.getFloat(OCAELOSYSTEM_BODY_SCALE, 0.0));
    return {bodyScale,
            SystemDistanceScale(bodyScale, system->parameters.getFloat(OCAELOSYSTEM_DISTANCE_FACTOR, 0.0))};
}

double globeScaleOf(const host::Node& bodyAxis) {
    return bodyAxis.parameters.getFloat(OCAELOBODYAXIS_GLOBE_SCALE, 1.0);
}

double satelliteScaleOf(const host::Node& bodyAxis) {
    return bodyAxis.parameters.getFloat(OCAELOBODYAXIS_SATELLITE_SCALE, 1.0);
}

// Scene units per unit of an orbit axis's a: kilometres at the body scale
// enlarged by the enclosing globe; au at the distance scale times the
// satellite scales of every enclosing body axis.
double sceneUnitsPerUnitOfA(const host::Node& orbitAxis, bool kmFlag) {
    const host::Node* enclosing = enclosingBodyAxis(orbitAxis);
    if (kmFlag) {
        const SystemScale scale = systemScaleOf(governingSystem(orbitAxis));
        return scale.perCentimetre * kCentimetresPerKilometre * (enclosing ? globeScaleOf(*enclosing) : 1.0);
    }
    double factor = 1.0;
    for (const host::Node* body = enclosing; body; body = enclosingBodyAxis(*body)) {
        factor *= satelliteScaleOf(*body);
    }
    return factor * systemScaleOf(governingSystem(orbitAxis)).perAu;
}

std::int32_t rotationModeOf(const host::Node& bodyAxis) {
    return bodyAxis.parameters.getInt32(OCAELOBODYAXIS_ROTATION_MODE, kModeChoiceBase) - kModeChoiceBase;
}

// The body a locked or solar-day globe turns towards: the enclosing body
// axis, or for a solar day the first body above that does not itself turn by
// solar day (null when the walk reaches the system).
const host::Node* referenceBody(const host::Node* enclosing, std::int32_t rotationMode) {
    if (rotationMode != kRotationModeSolarDay) {
        return enclosing;
    }
    const host::Node* body = enclosing;
    while (body && rotationModeOf(*body) == kRotationModeSolarDay) {
        const host::Node* above = body->parent();
        if (!above || above->typeId() == kTypeCaeloSystem) {
            return nullptr;
        }
        body = above->typeId() == kTypeCaeloBodyAxis ? above : enclosingBodyAxis(*above);
    }
    return body;
}

bool placesItsBody(const OrbitAxisRecord& orbit) {
    return orbit.mode == kOrbitModeElements || orbit.mode == kOrbitModeElementsExtended;
}

} // namespace

void evaluateBaseline(std::span<const BaselineBody> bodies, double jd, std::span<BaselinePose> poses) {
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const BaselineBody& body = bodies[i];
        BaselinePose& pose = poses[i];
        Matrix orbitFrame = body.enclosingBody == kNoBody
                                ? Matrix{}
                                : host::fromHost(poses[static_cast<std::size_t>(body.enclosingBody)].world);
        double counterHeading = 0.0;
        if (body.hasOrbit) {
            const OrbitState state = ComputeOrbitState(body.orbit, jd);
            if (state.frameValid) {
                orbitFrame = orbitFrame *
                             host::anglesToMatrix({state.nodeLongitudeRad, state.inclinationRad, 0.0}) *
                             host::anglesToMatrix({state.perihelionArgumentRad, 0.0, 0.0});
                if (placesItsBody(body.orbit)) {
                    counterHeading = -state.perihelionArgumentRad;
                }
            }
            if (state.orbitValid && placesItsBody(body.orbit)) {
                const double scale = body.sceneUnitsPerUnitOfA;
                pose.position = {state.position.x * scale, state.position.y * scale,
                                 state.position.z * scale};
            }
        }
        const BodyAxisRecord& settings = body.body;
        pose.axisRotation = {counterHeading + settings.headingDeg * kRadiansPerDegree,
                             settings.obliquityDeg * -kRadiansPerDegree, 0.0};
        Matrix local = host::anglesToMatrix(host::fromHost(pose.axisRotation));
        local.off = host::fromHost(pose.position);
        pose.world = host::toHost(orbitFrame * local);
        const HostVector towardReference =
            body.referenceBody == kNoBody
                ? HostVector{0.0, 0.0, 0.0}
                : rotation::AnglesTowardPoint(pose.world,
                                              poses[static_cast<std::size_t>(body.referenceBody)].world.off,
                                              HostVector{0.0, 0.0, 0.0})
                      .value_or(HostVector{0.0, 0.0, 0.0});
        switch (settings.rotationMode) {
        case kRotationModePeriod:
            pose.globeHeadingRad =
                rotation::PeriodSpinAngleDeg(jd, settings.rotationEpochJd, settings.rotationPeriodDays,
                                             settings.rotationAngleDeg) *
                kRadiansPerDegree;
            break;
        case kRotationModeLocked:
            pose.globeHeadingRad = rotation::LockedHeading(towardReference.x);
            break;
        case kRotationModeSolarDay:
            pose.globeHeadingRad = rotation::SolarDayHeading(jd, towardReference.x);
            break;
        default:
            break;
        }
    }
}

std::vector<BaselineBody> readBaselineBodies(const host::Document& document) {
    std::vector<BaselineBody> bodies;
    std::unordered_map<host::NodeId, int> indexOf;
    const auto indexOrNone = [&indexOf](const host::Node* bodyAxis) {
        return bodyAxis ? indexOf.at(bodyAxis->id()) : kNoBody;
    };
    document.forEachObject([&](host::Node& node) {
        if (node.typeId() != kTypeCaeloBodyAxis) {
            return;
        }
        BaselineBody body;
        body.body = readBodyRecord(node.parameters);
        const host::Node* enclosing = enclosingBodyAxis(node);
        body.enclosingBody = indexOrNone(enclosing);
        if (body.body.rotationMode != kRotationModePeriod) {
            body.referenceBody = indexOrNone(referenceBody(enclosing, body.body.rotationMode));
        }
        const host::Node* orbitAxis = node.parent();
        if (orbitAxis && orbitAxis->typeId() == kTypeCaeloOrbitAxis) {
            body.hasOrbit = true;
            body.orbit = readOrbitRecord(orbitAxis->parameters);
            body.sceneUnitsPerUnitOfA = sceneUnitsPerUnitOfA(*orbitAxis, body.orbit.kmFlag);
        }
        indexOf.emplace(node.id(), static_cast<int>(bodies.size()));
        bodies.push_back(body);
    });
    return bodies;
}

} // namespace caelo::bench
