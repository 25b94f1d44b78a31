// The bright stars behind the solar system (data/stars/bright-stars.csv): packed
// into the page at build time, 6 bytes a star, and unpacked into directions in
// the file's frame with a size, brightness and colour each.
//
// A packed star: right ascension as an unsigned 16-bit fraction of the turn,
// declination as a signed 16-bit fraction of a quarter turn, V x 10 and
// B-V x 50 as signed bytes (B-V 127 where the catalogue gives none), little
// endian: about 20 arcsec, 0.1 magnitude and 0.02 in B-V.

const kBytesPerStar = 6;
const kNoColour = 127;
// The J2000 obliquity of the ecliptic (84381.448 arcsec, as the tests' reference
// tables turn equatorial directions), radians.
const kObliquity = (84381.448 / 3600) * (Math.PI / 180);

// Packs the CSV's rows (hip,ra_deg,dec_deg,v_mag,b_v after the comments and
// the header) into bytes.
export function packStars(csvText) {
  const rows = csvText.split("\n").filter((line) => line && !line.startsWith("#")).slice(1);
  const bytes = new Uint8Array(rows.length * kBytesPerStar);
  const view = new DataView(bytes.buffer);
  rows.forEach((line, i) => {
    const [, ra, dec, v, bv] = line.split(",");
    const at = i * kBytesPerStar;
    view.setUint16(at, Math.round((Number(ra) / 360) * 65536) % 65536, true);
    view.setInt16(at + 2, Math.round((Number(dec) / 90) * 32767), true);
    view.setInt8(at + 4, Math.round(Number(v) * 10));
    view.setInt8(at + 5, bv === "" || bv === undefined ? kNoColour : Math.max(-126, Math.min(126, Math.round(Number(bv) * 50))));
  });
  return bytes;
}

// The colour of a star of colour index B-V, linear RGB of at most 1 in each
// channel: blue-white at -0.4, white near 0.3, orange-red at 2 (after the
// blackbody colours of stars of those indices; a star without an index is white).
const kColours = [
  [-0.4, [0.62, 0.72, 1.0]],
  [0.0, [0.79, 0.85, 1.0]],
  [0.3, [1.0, 0.99, 0.97]],
  [0.6, [1.0, 0.93, 0.84]],
  [1.0, [1.0, 0.84, 0.66]],
  [1.5, [1.0, 0.74, 0.48]],
  [2.0, [1.0, 0.64, 0.34]],
];

export function starColour(bv) {
  if (bv === null) {
    return [1, 1, 1];
  }
  const last = kColours.length - 1;
  if (bv <= kColours[0][0]) {
    return kColours[0][1];
  }
  for (let i = 0; i < last; ++i) {
    const [from, a] = kColours[i];
    const [to, b] = kColours[i + 1];
    if (bv <= to) {
      const f = (bv - from) / (to - from);
      return a.map((c, k) => c + (b[k] - c) * f);
    }
  }
  return kColours[last][1];
}

// The unit direction of right ascension and declination (radians, J2000
// equator) in the file's frame: ecliptic (x, y, z) of J2000 is the file's
// (x, z, -y) (docs/gltf-export.md).
export function fileDirection(ra, dec) {
  const x = Math.cos(dec) * Math.cos(ra);
  const y = Math.cos(dec) * Math.sin(ra);
  const z = Math.sin(dec);
  const eclipticY = y * Math.cos(kObliquity) + z * Math.sin(kObliquity);
  const eclipticZ = -y * Math.sin(kObliquity) + z * Math.cos(kObliquity);
  return [x, eclipticZ, -eclipticY];
}

// The middle column of the Milky Way's panorama (radians of right ascension).
const kPanoramaMiddleRa = (270 * Math.PI) / 180;

// The unit direction in the file's frame of a point of the Milky Way's
// panorama (data/milky-way/: J2000 equatorial as seen from inside the sky,
// right ascension growing to the left; u and v in [0, 1] from its top left
// corner).
export function panoramaDirection(u, v) {
  return fileDirection(kPanoramaMiddleRa - (u - 0.5) * 2 * Math.PI, (0.5 - v) * Math.PI);
}

// The packed stars as { count, directions, magnitudes, colours }: three
// numbers a star for the directions and colours, one for the magnitudes.
export function unpackStars(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const count = Math.floor(bytes.byteLength / kBytesPerStar);
  const directions = new Float32Array(count * 3);
  const magnitudes = new Float32Array(count);
  const colours = new Float32Array(count * 3);
  for (let i = 0; i < count; ++i) {
    const at = i * kBytesPerStar;
    const ra = (view.getUint16(at, true) / 65536) * 2 * Math.PI;
    const dec = (view.getInt16(at + 2, true) / 32767) * (Math.PI / 2);
    const bv = view.getInt8(at + 5);
    directions.set(fileDirection(ra, dec), i * 3);
    magnitudes[i] = view.getInt8(at + 4) / 10;
    colours.set(starColour(bv === kNoColour ? null : bv / 50), i * 3);
  }
  return { count, directions, magnitudes, colours };
}
