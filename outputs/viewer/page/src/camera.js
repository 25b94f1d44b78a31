// The page's camera: it starts where the file's camera stands, orbits, pans
// and zooms about a target with the mouse and keys (three.js's orbit
// controls), and can follow a body: the body becomes the target, the view
// moves with it, and the camera first comes close enough to show the body
// with its moons and rings.
import * as THREE from "three";
import { OrbitControls } from "three/addons/controls/OrbitControls.js";

// How much of the view's height a followed body's system fills.
const kFollowedShareOfView = 0.8;
// The farthest a followed body is seen from, as a share of its distance from the star.
const kMostShareOfStarDistance = 0.5;
// The radius of the sphere a followed body is framed in, in radii of its globe:
// without rings or moons, and at least with them.
const kGlobeRadiiInView = 6;
const kLeastGlobeRadiiInView = 1.5;
// Where the camera comes from when it turns to a followed body: from the
// star's side, turned this far aside and up (radians), so that the body shows
// its day side as a gibbous disc and its rings from above.
const kFollowAsideRad = Math.PI / 6;
const kFollowUpRad = Math.PI / 7;
// The near plane, as a share of the distance to the target (the depth buffer
// is logarithmic, so a small share costs little).
const kNearShare = 1e-4;

const worldPosition = (object, into) => into.setFromMatrixPosition(object.matrixWorld);

// The radius of the sphere about the meshes of an object (a node of the file,
// whose mesh three.js may hold in a child) in the world: a globe's radius, an
// orbit line's orbit radius and width.
function worldRadius(object) {
  let radius = 0;
  object.traverse((mesh) => {
    if (!mesh.isMesh) {
      return;
    }
    if (!mesh.geometry.boundingSphere) {
      mesh.geometry.computeBoundingSphere();
    }
    radius = Math.max(radius, mesh.geometry.boundingSphere.clone().applyMatrix4(mesh.matrixWorld).radius);
  });
  return radius;
}

// The direction towards the star turned aside and up about the ecliptic's
// north (the scene's +Y).
function litSide(towardsStar) {
  const north = new THREE.Vector3(0, 1, 0);
  const direction = towardsStar.clone().applyAxisAngle(north, kFollowAsideRad);
  const across = new THREE.Vector3().crossVectors(direction, north);
  if (across.lengthSq() > 0) {
    direction.applyAxisAngle(across.normalize(), kFollowUpRad);
  }
  return direction.normalize();
}

export class ViewCamera {
  // `fileCamera`: the file's camera, or null; `extent`: the radius of the
  // whole scene, for a start without a camera and for the far plane.
  constructor(fileCamera, extent, canvas) {
    this.camera = new THREE.PerspectiveCamera(fileCamera?.fov ?? 45, 1, 1, 2);
    this.extent = extent > 0 ? extent : 1;
    if (fileCamera) {
      fileCamera.updateWorldMatrix(true, false);
      fileCamera.matrixWorld.decompose(this.camera.position, this.camera.quaternion, new THREE.Vector3());
    } else {
      this.camera.position.set(0, this.extent, this.extent * 2);
      this.camera.lookAt(0, 0, 0);
    }
    this.controls = new OrbitControls(this.camera, canvas);
    this.controls.enableDamping = false;
    this.controls.zoomToCursor = true;
    this.controls.listenToKeyEvents(window);
    this.controls.target.copy(this.targetAhead());
    this.home = { position: this.camera.position.clone(), target: this.controls.target.clone() };
    this.followed = null;
    this.scratch = new THREE.Vector3();
  }

  // The point on the line of sight nearest the scene's origin (the star), so
  // that orbiting turns about the middle of what the file's camera shows.
  targetAhead() {
    const forward = new THREE.Vector3(0, 0, -1).applyQuaternion(this.camera.quaternion);
    const along = Math.max(-this.camera.position.dot(forward), this.extent * 1e-3);
    return this.camera.position.clone().addScaledVector(forward, along);
  }

  setAspect(width, height) {
    this.camera.aspect = width / Math.max(height, 1);
    this.camera.updateProjectionMatrix();
  }

  // Follows `body` ({ object, extentObjects, lightFrom }) from now on, or
  // nothing (null): the camera turns to it and comes as near as shows its
  // extent objects (its rings or its moons' orbits) whole, or a few of its
  // radii without them. With `lightFrom` (the star's world position) the
  // camera comes from the lit side; else it keeps its direction.
  follow(body) {
    this.followed = body;
    if (!body) {
      return;
    }
    const position = worldPosition(body.object, new THREE.Vector3());
    const globe = worldRadius(body.object);
    const radius = body.extentObjects.length > 0
      ? Math.max(globe * kLeastGlobeRadiiInView, ...body.extentObjects.map(worldRadius))
      : globe * kGlobeRadiiInView;
    const halfHeight = THREE.MathUtils.degToRad(this.camera.fov) / 2;
    // No farther than halfway to the star, so that the star does not come
    // between (moons' orbits drawn large can ask for more).
    const distance = Math.min(radius / Math.sin(halfHeight) / kFollowedShareOfView,
      body.lightFrom ? body.lightFrom.distanceTo(position) * kMostShareOfStarDistance : Infinity);
    const direction = body.lightFrom && body.lightFrom.distanceTo(position) > 0
      ? litSide(body.lightFrom.clone().sub(position).normalize())
      : this.camera.position.clone().sub(this.controls.target).normalize();
    this.controls.target.copy(position);
    this.camera.position.copy(position).addScaledVector(direction, distance);
    this.camera.lookAt(position);
  }

  reset() {
    this.followed = null;
    this.camera.position.copy(this.home.position);
    this.controls.target.copy(this.home.target);
    this.camera.lookAt(this.home.target);
  }

  // Once a frame, after the scene has moved: keeps a followed body at the
  // target and the clipping planes around what is seen.
  update() {
    if (this.followed) {
      const position = worldPosition(this.followed.object, this.scratch);
      this.camera.position.add(position).sub(this.controls.target);
      this.controls.target.copy(position);
    }
    this.controls.update();
    const distance = this.camera.position.distanceTo(this.controls.target);
    const near = Math.max(distance * kNearShare, this.extent * 1e-9);
    const far = distance + this.camera.position.length() + this.extent * 4;
    if (near !== this.camera.near || far !== this.camera.far) {
      this.camera.near = near;
      this.camera.far = far;
      this.camera.updateProjectionMatrix();
    }
  }
}
