#include "app/sceneSetup.h"

#include "app/commandError.h"
#include "app/isoDate.h"
#include "host/application.h"
#include "host/evaluation.h"
#include "host/files/sceneFile.h"
#include "host/messages.h"
#include "host/sceneEditing.h"
#include "host/services/dateService.h"
#include "host/services/displayText.h"
#include "host/services/hostError.h"
#include "model/moduleIds.h"
#include "model/theoryPlaces.h"
#include "model/units.h"
#include "outputs/appearance/appearance.h"
#include "places/systemObject.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace caelo::app {

using appearance::Role;

void dressSolarSystem(host::Document& document) {
    // Orbit lines take their body's colour, so globes are dressed first.
    std::vector<std::pair<host::Node*, Role>> undressed;
    document.forEachObject([&](host::Node& object) {
        const Role role = appearance::roleOf(document, object);
        if (role != Role::Other && role != Role::Plane && !appearance::ownColour(object) &&
            places::governingSystem(object) != nullptr) {
            undressed.emplace_back(&object, role);
        }
    });
    std::stable_partition(undressed.begin(), undressed.end(),
                          [](const auto& entry) { return entry.second != Role::OrbitLine; });
    for (const auto& [object, role] : undressed) {
        const appearance::RgbColour colour = appearance::roleColour(document, *object);
        object->color.mode = appearance::kColourModeOwn;
        object->color.color = {colour.red, colour.green, colour.blue};
        object->color.seeThrough = object->color.seeThrough || role == Role::Ring;
    }
}

int placeByTheories(host::Document& document) {
    // The theory of the body an orbit axis carries, by the body axis's name.
    static constexpr std::pair<std::string_view, std::int32_t> kTheories[] = {
        {"(Mercury)", kTheoryMercury},
        {"(Venus)", kTheoryVenus},
        {"(Earth-Moon Barycentre)", kTheoryEarthMoonBarycentre},
        {"(Earth)", kTheoryEarthAboutBarycentre},
        {"(Moon)", kTheoryMoonAboutBarycentre},
        {"(Mars)", kTheoryMars},
        {"(Jupiter)", kTheoryJupiter},
        {"(Saturn)", kTheorySaturn},
        {"(Uranus)", kTheoryUranus},
        {"(Neptune)", kTheoryNeptune},
        {"(Pluto-Charon Barycentre)", kTheoryPluto},
    };
    std::vector<std::pair<host::Node*, std::int32_t>> switching;
    document.forEachObject([&](host::Node& orbit) {
        if (orbit.typeId() != kTypeCaeloOrbitAxis) {
            return;
        }
        for (const host::Node* child = orbit.firstChild(); child != nullptr; child = child->nextSibling()) {
            if (child->typeId() != kTypeCaeloBodyAxis) {
                continue;
            }
            for (const auto& [suffix, theory] : kTheories) {
                if (child->name.ends_with(suffix)) {
                    switching.emplace_back(&orbit, theory);
                }
            }
        }
    });
    for (const auto& [orbit, theory] : switching) {
        host::editParameter(*orbit, OCAELOORBITAXIS_MODE, kModeChoiceBase + kOrbitModeTheory);
        host::editParameter(*orbit, OCAELOORBITAXIS_THEORY, kTheoryChoiceBase + theory);
        if (theory == kTheoryEarthAboutBarycentre) {
            host::editParameter(*orbit, OCAELOORBITAXIS_KM, true); // its place is in km, as the Moon's
        }
    }
    return static_cast<int>(switching.size());
}

OpenScene buildSolarSystem(bool byElements) {
    host::Document& document = host::application().newDocument();
    host::Node& system = host::createObject(host::application(), kTypeCaeloSystem);
    host::appendChild(document, system, nullptr);
    system.name = "Solar system";
    if (!host::pressButton(system, OCAELOSYSTEM_BUILD_SOLAR_SYSTEM)) {
        throw host::HostError("the system could not build the solar system (button 1101 answered false)");
    }
    dressSolarSystem(document);
    if (!byElements) {
        placeByTheories(document);
    }
    document.time = host::DocumentTime{0, 1};
    return {document, places::currentZoneOffsetDays()};
}

namespace {

// Makes document time 0 stand for the moment `julianDate` (universal time,
// days) in every system object of the document: writes each system's epoch as
// a user's edit (rounded to the second) and sets the document time to 0.
// Throws CommandError when the document holds no system object, and
// host::HostError when a system refuses the date.
void setEpochEverywhere(host::Document& document, double julianDate, double zoneOffsetDays) {
    const std::vector<host::Node*> systems = places::systemsOf(document);
    if (systems.empty()) {
        throw CommandError("--date: the scene holds no system object whose epoch the date could set");
    }
    const HostDateTime epoch =
        host::dayNumberToDateTime(julianDate + kDayNumberToJulianDate + zoneOffsetDays);
    for (host::Node* system : systems) {
        host::editParameter(*system, OCAELOSYSTEM_EPOCH, host::DateTime{epoch});
    }
    document.time = host::DocumentTime{0, 1};
}

} // namespace

OpenScene openScene(const SceneChoice& choice) {
    if (choice.places != "theories" && choice.places != "elements") {
        throw CommandError("--places " + host::quotedExcerpt(choice.places) +
                           ": expected theories or elements");
    }
    std::optional<double> julianDate;
    if (choice.date) {
        julianDate = universalJulianDate(parseIsoMoment(*choice.date));
    }
    const OpenScene scene = choice.sceneFile
                                ? OpenScene{host::loadScene(host::application(), *choice.sceneFile), 0.0}
                                : buildSolarSystem(choice.places == "elements");
    if (julianDate) {
        setEpochEverywhere(scene.document, *julianDate, scene.zoneOffsetDays);
    }
    host::evaluateDocument(scene.document);
    return scene;
}

} // namespace caelo::app
