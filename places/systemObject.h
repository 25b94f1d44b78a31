// The tool's view of the module's system objects: where they are, their
// scales, the model time they make of the document time, and their epoch.
//
// A system reads its local-time dates (epoch, model date) with the zone offset
// it took when it was created; a system read from a scene file has none and
// reads them as universal time. The tool knows which of the two it holds and
// passes that offset along as `zoneOffsetDays`.
//
// Example:
//   const host::Node* system = firstSystem(document);
//   const auto julianDate = modelJulianDate(document, *system, currentZoneOffsetDays());
#ifndef CAELO_PLACES_SYSTEM_OBJECT_H
#define CAELO_PLACES_SYSTEM_OBJECT_H

#include "host/scene.h"
#include "model/moduleIds.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace caelo::places {

// The system objects of the document in tree order.
[[nodiscard]] std::vector<host::Node*> systemsOf(const host::Document& document);

// The first system object of the document in tree order, or nullptr.
[[nodiscard]] const host::Node* firstSystem(const host::Document& document);

// The system that governs a node: its nearest ancestor of the system type
// (the node itself is not tested), or nullptr.
[[nodiscard]] const host::Node* governingSystem(const host::Node& node);

// Scene units per au, as the system derives them from its body scale and
// distance factor: 1 au in cm x (body scale / Earth diameter in cm) x factor.
// Example: the defaults 100 and 0.002 give 2345.4791062029553.
[[nodiscard]] double sceneUnitsPerAu(const host::Node& system);

// Scene units per kilometre of a body's real size (the body scale): the scale
// of the orbits in kilometres, before a body's globe scale.
// Example: the default body scale gives 100 / 12756.274 scene units per km.
[[nodiscard]] double sceneUnitsPerKilometre(const host::Node& system);

// The globe a body axis links (its parameter 1011), or nullptr.
[[nodiscard]] const host::Node* globeOf(const host::Document& document, const host::Node& body);

// The first body axis at or below `node`, in tree order, that links a globe,
// or nullptr: the body that names and sizes a barycentre (the Earth for the
// Earth-Moon barycentre).
[[nodiscard]] const host::Node* firstGlobedBody(const host::Document& document, const host::Node& node);

// Scene units per Earth diameter (the body scale parameter).
// Example: the default is 100, 100 / 1275627400 scene units per centimetre.
[[nodiscard]] double sceneUnitsPerEarthDiameter(const host::Node& system);

// The system's time scale: document seconds per model day, or nothing when it
// is not a positive finite number.
[[nodiscard]] std::optional<double> documentSecondsPerModelDay(const host::Node& system);

// Local minus universal time now, in days: the zone offset of a system
// object created now.
[[nodiscard]] double currentZoneOffsetDays();

// The model time of the system at the document's time, as a Julian Date in
// universal time (days): the epoch's day number minus 0.5 minus the zone
// offset, plus the document seconds divided by the time scale (document
// seconds per model day). Nothing when the epoch is missing or the time scale
// is not a positive finite number.
[[nodiscard]] std::optional<double> modelJulianDate(const host::Document& document, const host::Node& system,
                                                    double zoneOffsetDays);

// "2000-01-01T12:00:00Z" for a Julian Date in universal time (days), to the
// second; nothing for a Julian Date beyond the dates the host's date service
// represents.
[[nodiscard]] std::optional<std::string> universalText(double julianDate);

// The system's epoch as a Julian Date in universal time (days), or nothing
// when it is missing.
[[nodiscard]] std::optional<double> epochJulianDate(const host::Node& system, double zoneOffsetDays);

} // namespace caelo::places

#endif
