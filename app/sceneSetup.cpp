#include "sceneSetup.h"

#include "appearance.h"
#include "application.h"
#include "console.h"
#include "dateService.h"
#include "evaluation.h"
#include "hostError.h"
#include "isoDate.h"
#include "messages.h"
#include "sceneEditing.h"
#include "sceneFile.h"
#include "systemObject.h"
#include "timeUnits.h"

#include <vector>

namespace caelo::app {

OpenScene buildSolarSystem() {
    host::Document& document = host::application().newDocument();
    host::Node& system = host::createObject(kTypeSystem);
    host::appendChild(document, system, nullptr);
    system.name = "Solar system";
    if (!host::pressButton(system, kSystemBuildSolarSystem)) {
        throw host::HostError("the system could not build the solar system (button 1101 answered false)");
    }
    dressSolarSystem(document);
    document.time = host::DocumentTime{0, 1};
    return {document, currentZoneOffsetDays()};
}

namespace {

// Makes document time 0 stand for the moment `julianDate` (universal time,
// days) in every system object of the document: writes each system's epoch as
// a user's edit (rounded to the second) and sets the document time to 0.
// Throws CommandError when the document holds no system object, and
// host::HostError when a system refuses the date.
void setEpochEverywhere(host::Document& document, double julianDate, double zoneOffsetDays) {
    const std::vector<host::Node*> systems = systemsOf(document);
    if (systems.empty()) {
        throw CommandError("--date: the scene holds no system object whose epoch the date could set");
    }
    const HostDateTime epoch =
        host::dayNumberToDateTime(julianDate + kDayNumberMinusJulianDate + zoneOffsetDays);
    for (host::Node* system : systems) {
        host::editParameter(*system, kSystemEpoch, host::DateTime{epoch});
    }
    document.time = host::DocumentTime{0, 1};
}

} // namespace

OpenScene openScene(const SceneChoice& choice) {
    std::optional<double> julianDate;
    if (choice.date) {
        julianDate = universalJulianDate(parseIsoMoment(*choice.date));
    }
    const OpenScene scene =
        choice.sceneFile ? OpenScene{host::loadScene(*choice.sceneFile), 0.0} : buildSolarSystem();
    if (julianDate) {
        setEpochEverywhere(scene.document, *julianDate, scene.zoneOffsetDays);
    }
    host::evaluateDocument(scene.document);
    return scene;
}

} // namespace caelo::app
