// The bright stars as a sky behind the solar system: points in their J2000
// directions, drawn before the scene with a camera that turns as the view's
// does but stands still, so that the stars keep their places as the view
// moves and only turn with it. Brighter stars are larger and more opaque;
// each has its colour (starCatalogue.js). The Milky Way lies behind them
// (milkyWay.js).
import * as THREE from "three";
import { milkyWayMesh } from "./milkyWay.js";
import { unpackStars } from "./starCatalogue.js";

// Point size (CSS pixels) and opacity of a star of magnitude m:
// kFaintestSizePx + kSizePerMagnitudePx (kFaintest - m), and
// kFaintestOpacity + kOpacityPerMagnitude (kFaintest - m) up to 1.
const kFaintest = 6.5;
const kFaintestSizePx = 1.2;
const kSizePerMagnitudePx = 0.5;
const kFaintestOpacity = 0.3;
const kOpacityPerMagnitude = 0.12;

const vertexShader = `
  attribute float magnitude;
  uniform float pixelRatio;
  varying vec3 starColour;
  varying float opacity;
  void main() {
    float brighter = max(0.0, ${kFaintest.toFixed(1)} - magnitude);
    gl_PointSize = (${kFaintestSizePx.toFixed(2)} + ${kSizePerMagnitudePx.toFixed(2)} * brighter) * pixelRatio;
    opacity = min(1.0, ${kFaintestOpacity.toFixed(2)} + ${kOpacityPerMagnitude.toFixed(2)} * brighter);
    starColour = color;
    gl_Position = projectionMatrix * modelViewMatrix * vec4(position, 1.0);
  }`;

const fragmentShader = `
  varying vec3 starColour;
  varying float opacity;
  void main() {
    float fromCentre = length(gl_PointCoord - vec2(0.5));
    gl_FragColor = vec4(starColour, opacity * (1.0 - smoothstep(0.25, 0.5, fromCentre)));
    #include <colorspace_fragment>
  }`;

export class StarSky {
  constructor(bytes, milkyWayJpeg, pixelRatio) {
    const { count, directions, magnitudes, colours } = unpackStars(bytes);
    this.count = count;
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute("position", new THREE.BufferAttribute(directions, 3));
    geometry.setAttribute("color", new THREE.BufferAttribute(colours, 3));
    geometry.setAttribute("magnitude", new THREE.BufferAttribute(magnitudes, 1));
    this.points = new THREE.Points(geometry, new THREE.ShaderMaterial({
      uniforms: { pixelRatio: { value: pixelRatio } },
      vertexShader,
      fragmentShader,
      vertexColors: true,
      transparent: true,
      depthTest: false,
      depthWrite: false,
      blending: THREE.AdditiveBlending,
    }));
    this.points.frustumCulled = false;
    this.milkyWay = milkyWayMesh(milkyWayJpeg);
    this.scene = new THREE.Scene();
    this.scene.add(this.milkyWay, this.points);
    this.camera = new THREE.PerspectiveCamera(50, 1, 0.1, 10);
  }

  get shown() {
    return this.points.visible;
  }

  set shown(shown) {
    this.points.visible = shown;
    this.milkyWay.visible = shown;
  }

  // Turns the stars' camera as the view's camera is turned, without moving it;
  // `scene` and `camera` then draw the stars as the view sees them.
  turnWith(viewCamera) {
    viewCamera.getWorldQuaternion(this.camera.quaternion);
    this.camera.fov = viewCamera.fov;
    this.camera.aspect = viewCamera.aspect;
    this.camera.zoom = viewCamera.zoom;
    this.camera.updateProjectionMatrix();
    this.camera.updateMatrixWorld(true);
  }
}
