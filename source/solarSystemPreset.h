/*
 * The solar-system preset: a constant tree of 39 records (the Sun, the eight
 * planets and Pluto, 27 moons, the Earth-Moon and Pluto-Charon barycentres,
 * the rings of Jupiter, Saturn and Neptune and the ring bands of Uranus and
 * Neptune) and the build that turns it into orbit axes, body axes and ring
 * tags below a system node, through the same constructions the objects'
 * own buttons use.
 */
#ifndef CAELO_SOURCE_SOLAR_SYSTEM_PRESET_H
#define CAELO_SOURCE_SOLAR_SYSTEM_PRESET_H

#include "model/orbitalMath.h"
#include "source/objCaeloBodyAxis.h"
#include "source/tagCaeloRing.h"

#include <cstdint>

namespace caelo {

/* A constant array and its length, walkable with a range-for. */
template <class Item> struct PresetList {
    const Item* items = nullptr;
    int32_t count = 0;

    [[nodiscard]] constexpr const Item* begin() const { return items; }
    [[nodiscard]] constexpr const Item* end() const { return items + count; }
};

/* One ring of a body: a torus (5163) or tube (5165) with its ring tag. */
struct PresetRing {
    int32_t objectType;
    RingRecord ring;
    int32_t nameId; /* string id of the ring's name */
    bool switchedOn;
};

/* An extra orbit axis of a body, in band mode: a ring band. */
struct PresetOrbit {
    OrbitAxisRecord orbit;
    int32_t nameId; /* string id of the band's name */
    bool switchedOn;
};

/* One body of the preset, with the orbit axis that carries it. */
struct PresetRecord {
    OrbitAxisRecord orbit; /* an orbit axis is made only when auxDate2Jd - auxDate1Jd > 0 */
    int32_t orbitNameId;
    bool guides;  /* build the orbit axis's plane and spline */
    bool display; /* the orbit axis's display code: 2 when set, 1 (hidden) when clear */
    BodyAxisRecord body;
    int32_t bodyNameId; /* also the name of the globe */
    bool globe;         /* build the globe with its orbit and equator planes */
    PresetList<PresetRing> rings;
    PresetList<PresetOrbit> extraOrbits;
    PresetList<PresetRecord> children;
};

/* The root of the constant tree: the Sun. */
[[nodiscard]] const PresetRecord& SolarSystemPreset();

/* Builds the whole preset below `systemNode` (a system node), switches on
 * the Sun's equator plane and moves the active view's camera to frame the
 * Sun drawn at `bodyScale` (the system's scene units per centimetre). False
 * at the first object or construction that fails; what was built until then
 * stays. */
bool BuildSolarSystem(HostNode* systemNode, double bodyScale);

/* Builds `record` below `parent`, then each of its children below its body
 * axis, depth first in table order. Returns the record's body-axis node, or
 * null at the first failure. */
HostNode* BuildPresetTree(HostNode* parent, const PresetRecord& record);

/* Builds one record below `parent`: its orbit axis (named "<orbit
 * prefix>(<body>)", with its guides, record and display code), then its body
 * axis inside it (named "<body prefix>(<body>)", with globe and planes,
 * record, rings and ring bands). Returns the body-axis node, or null at the
 * first failure. */
HostNode* BuildPresetRecord(HostNode* parent, const PresetRecord& record);

/* Moves the active view's camera to (8c, 4c, -8c) scene units, c being the
 * drawn radius of a globe of `radiusKm` and `globeScale` at `bodyScale`
 * (scene units per centimetre). Nothing without an active document, view or
 * camera, or when c is not finite. The camera's rotation is kept. */
void PlaceViewCamera(double bodyScale, double radiusKm, double globeScale);

} // namespace caelo

#endif
