// The names of the bodies beside them, and picking a body on the screen. A
// label is an element whose left middle stands on its body (the name follows
// a small gap to the right); a moon's label gives way while the moon is
// drawn too close to its planet to tell the two apart.
import * as THREE from "three";
import { CSS2DObject, CSS2DRenderer } from "three/addons/renderers/CSS2DRenderer.js";
import { isMoon } from "./sceneIndex.js";

// Pixels within which a moon's label gives way to its planet's, and within
// which a click picks a body.
const kCrowdedPx = 14;
const kPickPx = 20;

export class Labels {
  constructor(index, container, onPick) {
    this.index = index;
    this.renderer = new CSS2DRenderer();
    this.renderer.domElement.className = "labels";
    container.appendChild(this.renderer.domElement);
    this.labels = index.bodies.map((body) => {
      const element = document.createElement("button");
      element.type = "button";
      element.className = isMoon(index, body) ? "label moon" : "label";
      element.textContent = body.name;
      element.dataset.body = body.name;
      element.addEventListener("click", () => onPick(body));
      const label = new CSS2DObject(element);
      label.center.set(0, 0.5);
      body.object.add(label);
      return { body, label };
    });
    this.screen = new Map();
    this.scratch = new THREE.Vector3();
  }

  set shown(shown) {
    this.renderer.domElement.hidden = !shown;
  }

  setSize(width, height) {
    this.renderer.setSize(width, height);
    this.size = { width, height };
  }

  // Where each body stands on the screen (pixels; null behind the camera).
  measure(camera) {
    for (const { body } of this.labels) {
      const point = this.scratch.setFromMatrixPosition(body.object.matrixWorld).project(camera);
      this.screen.set(body, point.z > 1 || point.z < -1 ? null : {
        x: (point.x + 1) / 2 * this.size.width,
        y: (1 - point.y) / 2 * this.size.height,
      });
    }
  }

  render(scene, camera) {
    this.measure(camera);
    for (const { body, label } of this.labels) {
      const at = this.screen.get(body);
      const primaryAt = body.primary ? this.screen.get(body.primary) : null;
      label.visible = !(isMoon(this.index, body) && at && primaryAt &&
        Math.hypot(at.x - primaryAt.x, at.y - primaryAt.y) < kCrowdedPx);
    }
    this.renderer.render(scene, camera);
  }

  // The body drawn nearest the point (pixels), within a few pixels, or null;
  // a moon before its planet when both are as near.
  bodyAt(x, y) {
    let best = null;
    let bestDistance = kPickPx;
    for (const { body, label } of this.labels) {
      const at = this.screen.get(body);
      const distance = at ? Math.hypot(at.x - x, at.y - y) : Infinity;
      if (label.visible && distance <= bestDistance) {
        best = body;
        bestDistance = distance;
      }
    }
    return best;
  }
}
