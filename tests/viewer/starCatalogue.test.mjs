// The page's stars: packed and unpacked without losing more than the
// packing's steps, in their J2000 directions in the file's frame, coloured
// by their colour index.
import assert from "node:assert/strict";
import { test } from "node:test";
import { fileDirection, packStars, panoramaDirection, starColour, unpackStars } from "../../outputs/viewer/page/src/starCatalogue.js";

const degrees = Math.PI / 180;
const near = (a, b, tolerance, what) => assert.ok(Math.abs(a - b) <= tolerance, `${what}: ${a} vs ${b}`);

test("directions: the equinox is +X, the ecliptic pole +Y, the summer solstice -Z", () => {
  const cases = [
    [0, 0, [1, 0, 0]],
    [270, 90 - 23.4392911, [0, 1, 0]], // the north ecliptic pole
    [90, 23.4392911, [0, 0, -1]], // the Sun's place at the June solstice
  ];
  for (const [ra, dec, want] of cases) {
    fileDirection(ra * degrees, dec * degrees).forEach((c, i) => near(c, want[i], 1e-9, `${ra} ${dec} [${i}]`));
  }
});

test("the Milky Way's panorama: 18 h in the middle, right ascension growing to the left, its seam closed", () => {
  const cases = [
    [0.5, 0.5, 270, 0],
    [0.25, 0.5, 0, 0], // a quarter turn left of the middle: the equinox
    [0.5 - (266.4 - 270) / 360, 0.5 + 28.94 / 180, 266.4, -28.94], // the galactic centre
    [0, 0.3, 90, 36],
    [1, 0.3, 90, 36],
  ];
  for (const [u, v, ra, dec] of cases) {
    const want = fileDirection(ra * degrees, dec * degrees);
    panoramaDirection(u, v).forEach((c, i) => near(c, want[i], 1e-12, `${u} ${v} [${i}]`));
  }
});

test("stars come back from their 6 bytes within the packing's steps", () => {
  const csv = "# comment\nhip,ra_deg,dec_deg,v_mag,b_v\n32349,101.2872,-16.7161,-1.44,0.009\n1,359.9999,89.9,6.5,\n";
  const stars = unpackStars(packStars(csv));
  assert.equal(stars.count, 2);
  const sirius = fileDirection(101.2872 * degrees, -16.7161 * degrees);
  sirius.forEach((c, i) => near(stars.directions[i], c, 1e-4, `Sirius [${i}]`));
  near(stars.magnitudes[0], -1.4, 1e-6, "Sirius's magnitude");
  assert.deepEqual(Array.from(stars.colours.slice(3, 6)), [1, 1, 1], "no colour index: white");
});

test("colours run from blue-white to orange as B-V grows", () => {
  const [blue, white, orange] = [starColour(-0.3), starColour(0.3), starColour(1.8)];
  assert.ok(blue[2] > blue[0] && orange[0] > orange[2], `${blue} ${orange}`);
  assert.deepEqual(starColour(0.3), white);
  assert.deepEqual(starColour(5), starColour(2));
});
