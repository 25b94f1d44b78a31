"""Checks, by their pixels, that pictures of an exported solar system show it
lit and coloured: the lit Sun, at least five planets in their own colours
with a lit day side, and the planets' orbit lines.

Runs inside Blender after the import (blender_render.py calls it), which
knows where each body and orbit lies in the file's camera view. A picture
passes when
- the Sun's disc is bright (its brightest pixel above SUN_BRIGHTNESS);
- at least MIN_PLANETS of the planets in view show a pixel whose brightness
  is above LIT_BRIGHTNESS, and the pixels so lit a mean hue within
  HUE_TOLERANCE of the planet's material colour (its map's mean colour where
  it wears a map; the pixels on orbit lines left out);
- at least one of them shows its night side: the half of its disc away from
  the Sun darker on average than NIGHT_SHARE of the half towards it;
- at least MIN_ORBITS planets' orbit lines differ from the sky behind them
  at ORBIT_SHARE of their points in view.
"""
import math

import bpy
from bpy_extras.object_utils import world_to_camera_view
from mathutils import Vector

PLANETS = ["Mercury", "Venus", "Earth", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune"]
SUN_BRIGHTNESS = 0.9
LIT_BRIGHTNESS = 0.1
HUE_TOLERANCE = 0.2
MIN_PLANETS = 5
NIGHT_SHARE = 0.8
MIN_ORBITS = 4
ORBIT_SHARE = 0.6
ORBIT_CONTRAST = 0.06
MAX_LINE_HALF_WIDTH = 100


def load_pixels(path):
    image = bpy.data.images.load(path, check_existing=False)
    width, height = image.size
    flat = list(image.pixels[:])
    bpy.data.images.remove(image)

    def pixel(x, y):  # y from the top
        if not (0 <= x < width and 0 <= y < height):
            return None
        at = ((height - 1 - y) * width + x) * 4
        return flat[at:at + 3]

    return width, height, pixel


def brightness(rgb):
    return max(rgb)


def chroma(rgb):
    total = sum(rgb)
    return [c / total for c in rgb] if total > 0 else [1 / 3] * 3


def srgb(linear):
    return [12.92 * c if c <= 0.0031308 else 1.055 * c ** (1 / 2.4) - 0.055 for c in linear]


def mean_image_colour(image):
    """The mean colour of an image's pixels (about 4,096 of them), as stored."""
    pixels = image.pixels[:]
    count = len(pixels) // 4
    step = max(1, count // 4096)
    sums = [0.0, 0.0, 0.0]
    for i in range(0, count, step):
        for c in range(3):
            sums[c] += pixels[4 * i + c]
    taken = len(range(0, count, step))
    return [total / taken for total in sums]


def material_colour(thing):
    """The colour a planet's material shows: its map's mean colour where its
    base colour is a map, else the colour itself (sRGB)."""
    for slot in thing.material_slots:
        for node in slot.material.node_tree.nodes:
            if node.type == "BSDF_PRINCIPLED":
                base = node.inputs["Base Color"]
                if base.links and base.links[0].from_node.type == "TEX_IMAGE":
                    return mean_image_colour(base.links[0].from_node.image)
                return srgb(list(base.default_value)[:3])
    return None


def to_picture(scene, world, width, height):
    ndc = world_to_camera_view(scene, scene.camera, world)
    return ndc.x * width, (1 - ndc.y) * height, ndc.z


def disc_of(scene, thing, width, height):
    centre = thing.matrix_world.translation
    x, y, depth = to_picture(scene, centre, width, height)
    radius = max(thing.dimensions) / 2
    camera_right = scene.camera.matrix_world.to_3x3() @ Vector((1, 0, 0))
    edge_x, _, _ = to_picture(scene, centre + camera_right * radius, width, height)
    return x, y, max(abs(edge_x - x), 1.5), depth


def tube_path(scene, orbit, width, height, sides=4):
    """An orbit tube's path in the picture: the centres of its rings of
    `sides` corners with their half widths (pixels) and indices, in order;
    rings behind the camera, or next to it, are left out."""
    corners = [to_picture(scene, orbit.matrix_world @ v.co, width, height) for v in orbit.data.vertices]
    path = []
    for first in range(0, len(corners) - sides + 1, sides):
        ring = corners[first:first + sides]
        if all(depth > 0 for _, _, depth in ring):
            cx = sum(p[0] for p in ring) / sides
            cy = sum(p[1] for p in ring) / sides
            half_width = max(math.hypot(p[0] - cx, p[1] - cy) for p in ring)
            # A ring about to pass behind the camera, or far out of the
            # picture, projects to no useful place or width.
            inside = -width / 2 < cx < 1.5 * width and -height / 2 < cy < 1.5 * height
            if half_width < MAX_LINE_HALF_WIDTH and inside:
                path.append((cx, cy, half_width, first // sides))
    return path


def segment_distance(px, py, a, b):
    """The distance from a point to the segment between two path points."""
    ax, ay, bx, by = a[0], a[1], b[0], b[1]
    ux, uy = bx - ax, by - ay
    span = ux * ux + uy * uy
    t = 0.0 if span == 0 else max(0.0, min(1.0, ((px - ax) * ux + (py - ay) * uy) / span))
    return math.hypot(px - ax - t * ux, py - ay - t * uy)


def lines_across(paths, x, y, radius):
    """The pieces of orbit lines that pass over the disc at (x, y): pairs of
    consecutive path points with their half width."""
    pieces = []
    for path in paths:
        rings = path[-1][3] + 1 if path else 0
        for a, b in zip(path, path[1:] + path[:1]):
            if (a[3] + 1) % rings != b[3]:
                continue  # the path leaves the picture between them
            half_width = max(a[2], b[2])
            if segment_distance(x, y, a, b) <= radius + half_width + 2:
                pieces.append((a, b, half_width))
    return pieces


def off_lines(px, py, pieces):
    """Whether the pixel lies clear of every piece of orbit line."""
    return all(segment_distance(px, py, a, b) > half_width + 1.5 for a, b, half_width in pieces)


def check_planet(scene, thing, paths, sun, picture):
    width, height, pixel = picture
    x, y, radius, depth = disc_of(scene, thing, width, height)
    if depth <= 0 or not (0 <= x < width and 0 <= y < height):
        return None
    sun_x, sun_y, _, _ = disc_of(scene, sun, width, height)
    expected = chroma(material_colour(thing))
    pieces = lines_across(paths, x, y, radius)
    best = None
    lit_pixels = []
    halves = {True: [], False: []}  # brightness of the pixels on the Sun's side and away
    reach = int(math.ceil(radius))
    for dy in range(-reach, reach + 1):
        for dx in range(-reach, reach + 1):
            if dx * dx + dy * dy > radius * radius or not off_lines(x + dx, y + dy, pieces):
                continue
            rgb = pixel(int(x + dx), int(y + dy))
            if rgb is None:
                continue
            if best is None or brightness(rgb) > brightness(best):
                best = rgb
            if brightness(rgb) > LIT_BRIGHTNESS:
                lit_pixels.append(rgb)
            halves[(sun_x - x) * dx + (sun_y - y) * dy > 0].append(brightness(rgb))
    if best is None:
        return None
    # The hue of the lit part of the disc: a map's colours vary across it.
    shown = [sum(p[c] for p in lit_pixels) / len(lit_pixels) for c in range(3)] if lit_pixels else best
    hue_error = max(abs(a - b) for a, b in zip(chroma(shown), expected))
    lit = brightness(best) > LIT_BRIGHTNESS and hue_error < HUE_TOLERANCE
    # Whether its half away from the Sun is clearly the darker: the night
    # side shows (a disc seen nearly full, or too small, shows none).
    mean = {side: sum(values) / len(values) if values else 0.0 for side, values in halves.items()}
    night_shows = radius >= 3 and mean[False] < NIGHT_SHARE * mean[True]
    return lit, round(brightness(best), 3), round(hue_error, 3), night_shows


def check_orbit(scene, thing, picture):
    width, height, pixel = picture
    mesh = thing.data
    step = max(1, len(mesh.vertices) // 200)
    shown = seen = 0
    for vertex in list(mesh.vertices)[::step]:
        x, y, depth = to_picture(scene, thing.matrix_world @ vertex.co, width, height)
        if depth <= 0 or not (2 <= x < width - 2 and 2 <= y < height - 2):
            continue
        on = pixel(int(x), int(y))
        around = [pixel(int(x) + dx, int(y) + dy) for dx, dy in ((-6, -6), (6, 6), (-6, 6), (6, -6))]
        sky = min(brightness(p) for p in around if p is not None)
        seen += 1
        shown += brightness(on) > sky + ORBIT_CONTRAST
    return seen >= 10 and shown >= ORBIT_SHARE * seen


def check_picture(path):
    scene = bpy.context.scene
    picture = load_pixels(path)
    objects = {thing.name: thing for thing in scene.objects}
    failures = []
    sun = objects.get("Sun")
    if sun is None:
        return ["the file has no Sun"]
    width, height, pixel = picture
    x, y, radius, _ = disc_of(scene, sun, width, height)
    sun_pixel = pixel(int(x), int(y))
    if sun_pixel is None or brightness(sun_pixel) < SUN_BRIGHTNESS:
        failures.append(f"the Sun is not bright ({sun_pixel})")
    lit, night = [], []
    paths = [tube_path(scene, thing, width, height) for name, thing in objects.items()
             if name.startswith("Orbit Spline") and thing.type == "MESH"]
    for name in PLANETS:
        if name in objects:
            result = check_planet(scene, objects[name], paths, sun, picture)
            print(f"  {name}: lit, brightness, hue error, night side shows = {result}")
            if result and result[0]:
                lit.append(name)
                if result[3]:
                    night.append(name)
    if len(lit) < MIN_PLANETS:
        failures.append(f"only {len(lit)} planets are lit in their colours ({', '.join(lit)})")
    if not night:
        failures.append("no planet shows a night side darker than its day side")
    orbits = [name for name in PLANETS + ["Earth-Moon Barycentre"]
              if f"Orbit Spline ({name})" in objects and check_orbit(scene, objects[f"Orbit Spline ({name})"], picture)]
    print(f"  orbit lines seen: {', '.join(orbits)}")
    if len(orbits) < MIN_ORBITS:
        failures.append(f"only {len(orbits)} orbit lines show ({', '.join(orbits)})")
    return failures
