#include "sceneSetup.h"

#include "application.h"
#include "evaluation.h"
#include "hostError.h"
#include "isoDate.h"
#include "messages.h"
#include "sceneEditing.h"
#include "sceneFile.h"
#include "systemObject.h"

namespace caelo::app {

OpenScene buildSolarSystem() {
    host::Document& document = host::application().newDocument();
    host::Node& system = host::createObject(kTypeSystem);
    host::appendChild(document, system, nullptr);
    system.name = "Solar system";
    if (!host::pressButton(system, kSystemBuildSolarSystem)) {
        throw host::HostError("the system could not build the solar system (button 1101 answered false)");
    }
    document.time = host::Rational{0, 1};
    return {document, currentZoneOffsetDays()};
}

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
