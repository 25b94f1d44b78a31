// What the page finds in an exported scene by its nodes' extras.
import assert from "node:assert/strict";
import { test } from "node:test";
import { indexScene, isMoon, orbitsAround } from "../../outputs/viewer/page/src/sceneIndex.js";

const node = (name, userData, ...children) => ({ name, userData, children });

// A star with a planet that has a moon and a ring, and a barycentre whose
// first body names it: the Earth circles the Sun, the Moon the Earth.
const scene = node("Document", {},
  node("Body(Sun)", { hostPath: "/0/0" },
    node("Sun", { hostPath: "/0/0/1", role: "star" }),
    node("Equator_Plane", { hostPath: "/0/0/2", role: "plane" }),
    node("Orbit_Spline_(Saturn)", { hostPath: "/0/0/3/0", role: "orbitLine", circles: "/0/0/1" }),
    node("Saturn", { hostPath: "/0/0/3/1/0", role: "globe", circles: "/0/0/1" }),
    node("A_Ring", { hostPath: "/0/0/3/1/1", role: "ring" }),
    node("Orbit_Spline_(Titan)", { hostPath: "/0/0/3/1/2/0", role: "orbitLine", circles: "/0/0/3/1/0" }),
    node("Titan", { hostPath: "/0/0/3/1/2/1/0", role: "globe", circles: "/0/0/3/1/0" }),
    node("Earth", { hostPath: "/0/0/4/1/0/0/0", role: "globe", circles: "/0/0/1" }),
    node("Moon", { hostPath: "/0/0/4/1/1/0/0", role: "globe", circles: "/0/0/4/1/0/0/0" }),
    node("Band_path", { hostPath: "/0/0/5", role: "orbitLine" }),
    node("Null", { hostPath: "/0/0/6" })));

test("bodies, their primaries, orbit lines, planes and rings are found by their extras", () => {
  const index = indexScene(scene, (object) => object.name.replace(/_/g, " "));
  assert.equal(index.star.name, "Sun");
  const primaries = Object.fromEntries(index.bodies.map((body) => [body.name, body.primary?.name ?? null]));
  assert.deepEqual(primaries, { Sun: null, Saturn: "Sun", Titan: "Saturn", Earth: "Sun", Moon: "Earth" });
  const moons = index.bodies.filter((body) => isMoon(index, body)).map((body) => body.name);
  assert.deepEqual(moons, ["Titan", "Moon"]);
  assert.deepEqual(index.planetOrbits.map((line) => line.name), ["Orbit_Spline_(Saturn)"]);
  assert.deepEqual(index.moonOrbits.map((line) => line.name), ["Orbit_Spline_(Titan)", "Band_path"]);
  assert.deepEqual(index.planes.map((plane) => plane.name), ["Equator_Plane"]);
  assert.deepEqual(index.rings.map((ring) => ring.name), ["A_Ring"]);
  const saturn = index.bodies.find((body) => body.name === "Saturn");
  assert.deepEqual(orbitsAround(index, saturn).map((line) => line.name), ["Orbit_Spline_(Titan)"]);
});

test("a scene without the module's extras gives an empty index", () => {
  const index = indexScene(node("Document", undefined, node("Cube", {})));
  assert.equal(index.star, null);
  assert.deepEqual([index.bodies, index.planetOrbits, index.moonOrbits, index.planes, index.rings],
    [[], [], [], [], []]);
});
