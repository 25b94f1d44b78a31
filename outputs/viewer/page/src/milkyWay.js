// The Milky Way behind the stars: its all-sky panorama (data/milky-way/, an
// equirectangular picture in J2000 equatorial coordinates as seen from inside
// the sky, 18 h in the middle column, right ascension growing to the left)
// laid on a sphere round the stars' camera, faint enough that the stars and
// the planets stand out of it.
import * as THREE from "three";
import { panoramaDirection } from "./starCatalogue.js";

// Its brightness on the page, as a share of the picture's own.
const kBrightness = 0.55;
// The sphere: well inside the stars' camera's far plane.
const kRadius = 5;
const kColumns = 96;
const kRows = 48;

// A sphere whose points carry the panorama points they show; its seam is a
// column of points twice over (u = 0 and u = 1), so that no face spans it.
function panoramaSphere() {
  const positions = [];
  const uvs = [];
  for (let row = 0; row <= kRows; ++row) {
    for (let column = 0; column <= kColumns; ++column) {
      const u = column / kColumns;
      const v = row / kRows;
      positions.push(...panoramaDirection(u, v).map((c) => c * kRadius));
      uvs.push(u, v);
    }
  }
  const indices = [];
  const at = (row, column) => row * (kColumns + 1) + column;
  for (let row = 0; row < kRows; ++row) {
    for (let column = 0; column < kColumns; ++column) {
      indices.push(at(row, column), at(row + 1, column), at(row, column + 1));
      indices.push(at(row, column + 1), at(row + 1, column), at(row + 1, column + 1));
    }
  }
  const geometry = new THREE.BufferGeometry();
  geometry.setAttribute("position", new THREE.Float32BufferAttribute(positions, 3));
  geometry.setAttribute("uv", new THREE.Float32BufferAttribute(uvs, 2));
  geometry.setIndex(indices);
  return geometry;
}

// The panorama's mesh; its picture (JPEG bytes) is decoded in the background
// and shows once it is ready.
export function milkyWayMesh(jpegBytes) {
  const material = new THREE.MeshBasicMaterial({
    color: new THREE.Color(kBrightness, kBrightness, kBrightness),
    side: THREE.DoubleSide,
    depthTest: false,
    depthWrite: false,
    visible: false,
  });
  const mesh = new THREE.Mesh(panoramaSphere(), material);
  mesh.frustumCulled = false;
  mesh.renderOrder = -1; // before the stars
  createImageBitmap(new Blob([jpegBytes], { type: "image/jpeg" })).then((bitmap) => {
    const texture = new THREE.Texture(bitmap);
    texture.flipY = false; // v runs from the top, as the picture's rows do
    texture.colorSpace = THREE.SRGBColorSpace;
    texture.needsUpdate = true;
    material.map = texture;
    material.visible = true;
    material.needsUpdate = true;
  });
  return mesh;
}
