#include "bench/benchScenes.h"

#include "host/application.h"
#include "host/evaluation.h"
#include "host/messages.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "host/services/numberText.h"
#include "model/moduleIds.h"
#include "model/units.h"

#include <cmath>
#include <string>

namespace caelo::bench {

namespace {

// J2000.0, 2000-01-01 12:00, as the system's epoch parameter.
const host::DateTime kEpochJ2000{{2000, 1, 1, 12, 0, 0}};

// The belt's span of elements.
constexpr double kBeltInnerAu = 2.1;
constexpr double kBeltWidthAu = 1.2;
constexpr double kBeltMaxEccentricity = 0.3;
constexpr double kBeltMaxInclinationDeg = 20.0;
constexpr double kDegreesPerTurn = 360.0;
// The Earth's mean motion, degrees per Julian century (the rate of L of the
// Earth-Moon barycentre in the preset); a body at a au moves a^-1.5 times as
// fast.
constexpr double kEarthMeanMotionDegPerCentury = 35999.37244981;
// A belt body turns once in about a third of a day to a day.
constexpr double kBeltMinRotationDays = 0.3;
constexpr double kBeltRotationSpanDays = 0.7;

// The fractional part of i times an irrational number: an even spread over
// [0, 1) that repeats for no two orbit axes.
double spread(std::int32_t i, double irrational) {
    const double x = static_cast<double>(i) * irrational;
    return x - std::floor(x);
}

void editNumberText(host::Node& node, std::int32_t id, double value) {
    host::editParameter(node, id, host::formatDouble(value));
}

host::Node& addObject(host::Document& document, std::int32_t type, host::Node* parent) {
    host::Node& node = host::createObject(host::application(), type);
    host::appendChild(document, node, parent);
    return node;
}

void addBeltBody(host::Document& document, host::Node& system, std::int32_t i) {
    host::Node& orbit = addObject(document, kTypeCaeloOrbitAxis, &system);
    host::editParameter(orbit, OCAELOORBITAXIS_MODE, kModeChoiceBase + kOrbitModeElements);
    const double a = kBeltInnerAu + kBeltWidthAu * spread(i, 0.6180339887498949);
    editNumberText(orbit, OCAELOORBITAXIS_A, a);
    editNumberText(orbit, OCAELOORBITAXIS_E, kBeltMaxEccentricity * spread(i, 0.4142135623730951));
    editNumberText(orbit, OCAELOORBITAXIS_I, kBeltMaxInclinationDeg * spread(i, 0.7320508075688772));
    editNumberText(orbit, OCAELOORBITAXIS_L, kDegreesPerTurn * spread(i, 0.2360679774997897));
    editNumberText(orbit, OCAELOORBITAXIS_L_RATE, kEarthMeanMotionDegPerCentury / std::pow(a, 1.5));
    editNumberText(orbit, OCAELOORBITAXIS_PERI, kDegreesPerTurn * spread(i, 0.6457513110645906));
    editNumberText(orbit, OCAELOORBITAXIS_NODE, kDegreesPerTurn * spread(i, 0.3166247903554));

    host::Node& body = addObject(document, kTypeCaeloBodyAxis, &orbit);
    editNumberText(body, OCAELOBODYAXIS_ROTATION_PERIOD,
                   kBeltMinRotationDays + kBeltRotationSpanDays * spread(i, 0.1622776601683795));
    host::Node& globe = addObject(document, host::kTypeSphere, &body);
    host::editParameter(body, OCAELOBODYAXIS_GLOBE_LINK, host::Link{globe.id()});
}

} // namespace

host::Node& newSystemScene() {
    host::Document& document = host::application().newDocument();
    host::Node& system = addObject(document, kTypeCaeloSystem, nullptr);
    host::editParameter(system, OCAELOSYSTEM_EPOCH, kEpochJ2000);
    host::editParameter(system, OCAELOSYSTEM_TIME_SCALE, kDocumentSecondsPerModelDay);
    document.fps = kFramesPerSecond;
    return system;
}

host::Node& newPresetScene() {
    host::Node& system = newSystemScene();
    if (!host::pressButton(system, OCAELOSYSTEM_BUILD_SOLAR_SYSTEM)) {
        throw host::HostError("the system's button 1101 failed to build the solar system");
    }
    return system;
}

host::Node& newBeltScene(std::int32_t orbitAxes) {
    host::Node& system = newSystemScene();
    host::Document& document = *system.document();
    for (std::int32_t i = 0; i < orbitAxes; ++i) {
        addBeltBody(document, system, i);
    }
    return system;
}

double julianDateOfFrame(std::int64_t frame) {
    return kJulianDateJ2000 + static_cast<double>(frame) / kFramesPerSecond / kDocumentSecondsPerModelDay;
}

void evaluateFrame(host::Document& document, std::int64_t frame) {
    document.time = host::DocumentTime{frame, kFramesPerSecond};
    host::evaluateDocument(document);
}

} // namespace caelo::bench
