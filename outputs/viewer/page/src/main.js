// The page of `caelo view`: the scene the page carries (a binary glTF file,
// base64 in the element #scene-data), drawn with three.js as the file is lit
// and coloured, played on the file's own timeline. docs/viewer.md tells what
// the page offers; the page sets data-state on <html> to "ready" once it has
// drawn its first frame (and data-ready-ms to the milliseconds since it began
// to load), or to "failed" with the reason in #failure.
import * as THREE from "three";
import { GLTFLoader } from "three/addons/loaders/GLTFLoader.js";
import { EffectComposer } from "three/addons/postprocessing/EffectComposer.js";
import { OutputPass } from "three/addons/postprocessing/OutputPass.js";
import { RenderPass } from "three/addons/postprocessing/RenderPass.js";
import { UnrealBloomPass } from "three/addons/postprocessing/UnrealBloomPass.js";
import { ViewCamera } from "./camera.js";
import { Labels } from "./labels.js";
import { indexScene, orbitsAround } from "./sceneIndex.js";
import { StarSky } from "./starSky.js";
import * as clock from "./timeline.js";
import { readViewLink, viewLinkText } from "./viewLink.js";

// The longest step of the clock between two frames (seconds of the page), so
// that a page that was hidden a while does not leap.
const kLongestStepSeconds = 0.1;
// Pixels a pointer may move between press and release and still click.
const kClickSlopPx = 4;
// The glow around what is brighter than kBloomThreshold (UnrealBloomPass):
// its strength and its reach. Only the star is so bright: a followed body's
// day side, lit by at most twice its colour (exposeFor), stays below.
const kBloomStrength = 0.7;
const kBloomRadius = 0.4;
const kBloomThreshold = 2.5;
// How bright the star glows with its map: well past the glow's threshold,
// so that it shows yellow-white with its map's darker marks.
const kStarMapGlow = 6.0;
// How often, while playing, the address's fragment follows the date.
const kLinkRefreshMs = 1000;
// The range of the star light's gain for a followed body (exposeFor).
const kLeastLightGain = 0.1;
const kMostLightGain = 10000;

const $ = (id) => document.getElementById(id);

// The bytes of the base64 in an element (#scene-data: the scene, #star-data:
// the stars, #milky-way-data: the Milky Way's picture): decoded by the browser where it can (Uint8Array.fromBase64),
// many times faster than atob and a loop over its characters, which remain
// for browsers without it.
function bytesOf(id) {
  const base64 = $(id).textContent.trim();
  if (typeof Uint8Array.fromBase64 === "function") {
    return Uint8Array.fromBase64(base64);
  }
  const text = atob(base64);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) {
    bytes[i] = text.charCodeAt(i);
  }
  return bytes;
}

function sceneExtent(root) {
  const sphere = new THREE.Box3().setFromObject(root).getBoundingSphere(new THREE.Sphere());
  return sphere.isEmpty() ? 1 : sphere.radius;
}

// The animation of every clip at once, set to a time rather than stepped.
function animationOf(gltf) {
  const mixer = new THREE.AnimationMixer(gltf.scene);
  let duration = 0;
  for (const clip of gltf.animations) {
    mixer.clipAction(clip).play();
    duration = Math.max(duration, clip.duration);
  }
  return { mixer, duration };
}

// The name a node has in the file (three.js rewrites spaces and some other
// characters in the names it gives its objects).
function fileNameOf(gltf, object) {
  const node = gltf.parser.associations.get(object)?.nodes;
  return gltf.parser.json.nodes?.[node]?.name ?? object.name;
}

// A globe that glows with a map of its own besides its surface (the Earth's
// lights by night) glows only where the star's light does not fall, fading
// in across the terminator, kNightGlowGain times as bright as the file has it
// (the file keeps them faint for clients that show them by day as well).
const kNightGlowGain = 3.0;

function glowByNightOnly(material) {
  material.onBeforeCompile = (shader) => {
    shader.fragmentShader = shader.fragmentShader.replace(
      "#include <emissivemap_fragment>",
      `#include <emissivemap_fragment>
      #if NUM_POINT_LIGHTS > 0
        float sunward = dot(normal, normalize(pointLights[0].position + vViewPosition));
        totalEmissiveRadiance *= ${kNightGlowGain.toFixed(1)} * (1.0 - smoothstep(-0.1, 0.15, sunward));
      #endif`,
    );
  };
  material.needsUpdate = true;
}

// Night sides glow as above; the star glows with its map as it is where it
// has one (the file gives it a strong plain glow, which lights renderers that
// light by glowing surfaces; this page lights by the star's point light).
function dressGlows(root, star) {
  root.traverse((object) => {
    const material = object.isMesh ? object.material : null;
    if (material?.map && material.emissiveMap && material.emissiveMap.name !== material.map.name) {
      glowByNightOnly(material);
    }
  });
  star?.object.traverse((object) => {
    if (object.isMesh && object.material.map && !object.material.emissiveMap) {
      object.material.emissiveMap = object.material.map;
      object.material.emissive.setRGB(1, 1, 1);
      object.material.emissiveIntensity = kStarMapGlow;
      object.material.needsUpdate = true;
    }
  });
}

class Viewer {
  constructor(gltf) {
    const linked = location.hash; // before the page writes its own
    this.followed = null;
    this.linkWrittenMs = 0;
    this.root = gltf.scene;
    this.scene = new THREE.Scene();
    this.scene.add(this.root);
    this.index = indexScene(this.root, (object) => fileNameOf(gltf, object));
    dressGlows(this.root, this.index.star);
    const { mixer, duration } = animationOf(gltf);
    this.mixer = mixer;
    this.timeline = clock.timelineOf(this.root.userData, duration);
    this.time = 0;
    this.speed = 1;
    this.playing = false;

    const canvas = $("view");
    this.sizeCanvas(canvas);
    this.renderer = new THREE.WebGLRenderer({ canvas, antialias: false, logarithmicDepthBuffer: true });
    this.renderer.setPixelRatio(window.devicePixelRatio);
    this.stars = new StarSky(bytesOf("star-data"), bytesOf("milky-way-data"), window.devicePixelRatio);
    this.root.updateMatrixWorld(true);
    this.view = new ViewCamera(gltf.cameras[0] ?? null, sceneExtent(this.root), canvas);
    this.composer = this.passes();
    this.labels = new Labels(this.index, $("stage"), (body) => this.follow(body));
    this.starLights = [];
    this.index.star?.object.traverse((light) => {
      if (light.isLight) {
        this.starLights.push({ light, intensity: light.intensity });
      }
    });
    this.pointer = null;
    this.raycaster = new THREE.Raycaster();
    this.bindControls(canvas);
    this.fillFollowList();
    this.resize();
    window.addEventListener("resize", () => this.resize());
    this.lastFrameMs = performance.now();
    this.showTime();
    if (linked) {
      this.openLink(linked);
    }
    window.addEventListener("hashchange", () => this.openLink(location.hash));
    this.frame();
  }

  // Shows what a fragment names (viewLink.js): the body followed, the model
  // date (a date outside the animation is left aside) and whether it plays.
  openLink(fragment) {
    const link = readViewLink(fragment);
    const seconds = link.t === null ? null : clock.secondsAt(this.timeline, link.t);
    if (seconds !== null) {
      this.setTime(seconds);
    }
    const body = this.index.bodies.find((b) => b.name === link.follow);
    if (link.follow !== null && body) {
      this.mixer.setTime(this.time);
      this.root.updateMatrixWorld(true);
      this.follow(body);
    }
    this.setPlaying(!link.paused);
  }

  // Writes what the page shows into the address's fragment (without adding
  // to the history), so that it can be copied and shared.
  writeLink() {
    this.linkWrittenMs = performance.now();
    const link = viewLinkText({
      follow: this.followed?.name ?? null,
      t: clock.isoTextAt(this.timeline, this.time),
      paused: !this.playing,
    });
    if (link !== location.hash && !(link === "" && location.hash === "")) {
      history.replaceState(null, "", link === "" ? location.pathname + location.search : link);
    }
  }

  // Gives the canvas the stage's size in device pixels, as the renderer's
  // setSize will, before its WebGL context is made: the context's drawing
  // buffer is then made once at its size rather than made at the canvas's
  // first 300 by 150 pixels and made again at the first resize, which costs
  // a software renderer as much as making the context.
  sizeCanvas(canvas) {
    const stage = $("stage");
    canvas.width = Math.floor(stage.clientWidth * window.devicePixelRatio);
    canvas.height = Math.floor(stage.clientHeight * window.devicePixelRatio);
  }

  // The drawing: the stars, the scene over them, the glow of what is
  // brightest, then the picture turned into the canvas's colours.
  passes() {
    const target = new THREE.WebGLRenderTarget(1, 1, { type: THREE.HalfFloatType });
    const composer = new EffectComposer(this.renderer, target);
    composer.addPass(new RenderPass(this.stars.scene, this.stars.camera));
    const scene = new RenderPass(this.scene, this.view.camera);
    scene.clear = false;
    composer.addPass(scene);
    this.bloom = new UnrealBloomPass(new THREE.Vector2(1, 1), kBloomStrength, kBloomRadius, kBloomThreshold);
    composer.addPass(this.bloom);
    composer.addPass(new OutputPass());
    return composer;
  }

  resize() {
    const stage = $("stage");
    const width = stage.clientWidth;
    const height = stage.clientHeight;
    this.renderer.setSize(width, height, false);
    this.composer.setPixelRatio(window.devicePixelRatio);
    this.composer.setSize(width, height);
    // The glow is soft: drawn at a quarter of the pixels it costs a quarter.
    this.bloom.setSize(Math.ceil((width * window.devicePixelRatio) / 2), Math.ceil((height * window.devicePixelRatio) / 2));
    this.labels.setSize(width, height);
    this.view.setAspect(width, height);
  }

  frame() {
    const now = performance.now();
    const step = Math.min((now - this.lastFrameMs) / 1000, kLongestStepSeconds);
    this.lastFrameMs = now;
    if (this.playing) {
      this.setTime(this.time + step * this.speed);
      if (now - this.linkWrittenMs > kLinkRefreshMs) {
        this.writeLink();
      }
    }
    this.mixer.setTime(this.time);
    this.root.updateMatrixWorld(true);
    this.view.update();
    this.stars.turnWith(this.view.camera);
    this.composer.render();
    this.labels.render(this.scene, this.view.camera);
    requestAnimationFrame(() => this.frame());
  }

  setTime(seconds) {
    this.time = clock.wrappedTime(seconds, this.timeline.duration);
    this.showTime();
  }

  showTime() {
    const readout = clock.readoutAt(this.timeline, this.time);
    if ($("date").textContent !== readout) {
      $("date").textContent = readout;
    }
    $("time").value = String(this.time);
  }

  setPlaying(playing) {
    this.playing = playing && this.timeline.duration > 0;
    $("play").textContent = this.playing ? "Pause" : "Play";
    $("play").setAttribute("aria-pressed", String(this.playing));
    this.writeLink();
  }

  setSpeed(speed) {
    this.speed = speed;
    $("speed").textContent = clock.speedText(this.timeline, speed);
  }

  // Follows a body (or nothing): seen with its rings where it has them, else
  // with its moons' orbits, so that Saturn shows its rings and Jupiter its
  // four great moons.
  follow(body) {
    const rings = body ? this.ringsOf(body) : [];
    const star = this.index.star;
    this.view.follow(body && {
      object: body.object,
      extentObjects: rings.length > 0 ? rings : orbitsAround(this.index, body),
      lightFrom: star && star !== body ? star.object.getWorldPosition(new THREE.Vector3()) : null,
    });
    $("follow").value = body ? String(this.index.bodies.indexOf(body)) : "";
    this.exposeFor(body);
    this.followed = body;
    this.writeLink();
  }

  // Brightens or dims the star's light as a camera's exposure would, so that a
  // followed body is lit as a body 1 au from the star is in the file (Saturn
  // gets a hundredth of the Earth's light and would show as a dark disc); the
  // file's own light again when nothing is followed or the file does not say
  // how long an au is.
  exposeFor(body) {
    const unitsPerAu = Number(this.root.userData.sceneUnitsPerAu);
    const star = this.index.star;
    let gain = 1;
    if (body && star && body !== star && unitsPerAu > 0) {
      const distanceAu = body.object.getWorldPosition(new THREE.Vector3())
        .distanceTo(star.object.getWorldPosition(new THREE.Vector3())) / unitsPerAu;
      gain = THREE.MathUtils.clamp(distanceAu * distanceAu, kLeastLightGain, kMostLightGain);
    }
    for (const { light, intensity } of this.starLights) {
      light.intensity = intensity * gain;
    }
  }

  // The body whose node is or holds `object` (three.js may hold a node's mesh
  // in a child), or null.
  bodyHolding(object) {
    for (let node = object; node; node = node.parent) {
      const body = this.index.bodies.find((b) => b.object === node);
      if (body) {
        return body;
      }
    }
    return null;
  }

  // The rings that stand beside a body's globe (below the same body axis).
  ringsOf(body) {
    return this.index.rings.filter((ring) => ring.parent === body.object.parent);
  }

  fillFollowList() {
    const list = $("follow");
    this.index.bodies.forEach((body, i) => {
      const option = document.createElement("option");
      option.value = String(i);
      option.textContent = body.primary && body.primary !== this.index.star ? `  ${body.name}` : body.name;
      list.appendChild(option);
    });
    list.addEventListener("change", () => {
      this.follow(list.value === "" ? null : this.index.bodies[Number(list.value)]);
      list.blur();
    });
  }

  // Picks the body under a click: the nearest label's body within a few
  // pixels, else the globe the click's ray meets first.
  pick(event) {
    const bounds = $("view").getBoundingClientRect();
    const x = event.clientX - bounds.left;
    const y = event.clientY - bounds.top;
    let body = this.labels.bodyAt(x, y);
    if (!body) {
      const pointer = new THREE.Vector2(x / bounds.width * 2 - 1, 1 - y / bounds.height * 2);
      this.raycaster.setFromCamera(pointer, this.view.camera);
      const hit = this.raycaster.intersectObjects(this.index.bodies.map((b) => b.object), true)[0];
      body = hit ? this.bodyHolding(hit.object) : null;
    }
    if (body) {
      this.follow(body);
    }
  }

  setShown(objects, shown) {
    for (const object of objects) {
      object.visible = shown;
    }
  }

  // The toggles: each checkbox shows or hides the objects it names.
  toggles() {
    return {
      "show-planet-orbits": (shown) => this.setShown(this.index.planetOrbits, shown),
      "show-moon-orbits": (shown) => this.setShown(this.index.moonOrbits, shown),
      "show-planes": (shown) => this.setShown(this.index.planes, shown),
      "show-rings": (shown) => this.setShown(this.index.rings, shown),
      "show-labels": (shown) => { this.labels.shown = shown; },
      "show-stars": (shown) => { this.stars.shown = shown; },
    };
  }

  bindControls(canvas) {
    $("play").addEventListener("click", () => this.setPlaying(!this.playing));
    $("slower").addEventListener("click", () => this.setSpeed(clock.slower(this.speed)));
    $("faster").addEventListener("click", () => this.setSpeed(clock.faster(this.speed)));
    $("backwards").addEventListener("click", () => this.setSpeed(-this.speed));
    $("reset").addEventListener("click", () => {
      this.view.reset();
      this.follow(null);
    });
    const slider = $("time");
    slider.max = String(this.timeline.duration);
    slider.disabled = this.timeline.duration === 0;
    slider.addEventListener("input", () => {
      this.setTime(Number(slider.value));
      this.writeLink();
    });
    for (const [id, apply] of Object.entries(this.toggles())) {
      $(id).addEventListener("change", () => apply($(id).checked));
    }
    canvas.addEventListener("pointerdown", (event) => { this.pointer = { x: event.clientX, y: event.clientY }; });
    canvas.addEventListener("pointerup", (event) => {
      if (this.pointer && Math.hypot(event.clientX - this.pointer.x, event.clientY - this.pointer.y) <= kClickSlopPx) {
        this.pick(event);
      }
      this.pointer = null;
    });
    window.addEventListener("keydown", (event) => this.key(event));
    this.setPlaying(false);
    this.setSpeed(1);
  }

  key(event) {
    if (event.ctrlKey || event.metaKey || event.altKey || event.target.closest?.("input, select")) {
      return;
    }
    const toggle = { o: "show-planet-orbits", m: "show-moon-orbits", p: "show-planes", g: "show-rings", l: "show-labels", s: "show-stars" }[event.key.toLowerCase()];
    const actions = {
      " ": () => $("play").click(),
      "+": () => $("faster").click(),
      "=": () => $("faster").click(),
      "-": () => $("slower").click(),
      b: () => $("backwards").click(),
      r: () => $("reset").click(),
      Home: () => $("reset").click(),
      Escape: () => this.follow(null),
    };
    const action = toggle ? () => $(toggle).click() : actions[event.key] ?? actions[event.key.toLowerCase()];
    if (action) {
      event.preventDefault();
      action();
    }
  }
}

function fail(error) {
  document.documentElement.dataset.state = "failed";
  $("failure").hidden = false;
  $("failure").textContent = `This page could not show its scene: ${error?.message ?? error}`;
  console.error(error);
}

async function start() {
  const gltf = await new GLTFLoader().parseAsync(bytesOf("scene-data").buffer, "");
  window.caeloViewer = new Viewer(gltf);
  requestAnimationFrame(() => {
    document.documentElement.dataset.readyMs = performance.now().toFixed(0);
    document.documentElement.dataset.state = "ready";
  });
}

start().catch(fail);
