"""Imports a glTF file of the solar system into Blender as it opens and
compares, at frames well inside the file's span that show frames of the
file, where Blender puts every body axis with where the host puts it at that
date.

Blender keeps its own frame rate (24 frames a second): the importer places a
key of t seconds at frame t x 24 and interpolates each quaternion component
linearly. The date of a Blender frame f is the file's startDate plus
(f / fps) / secondsPerModelDay days; the host's places at that date come from
`caelo positions --date DATE --format csv`.

Each body is compared with its nearest body-axis ancestor, as seen from it:
the angle between Blender's and the host's offsets from that parent, and the
difference of the distances as a share of the host's. Fails when a body is
more than 0.1 degrees or 1e-4 of its distance off (with float rounding of the
world places on top). Bodies hidden in the scene are not in the file.

Run by tools/check-clients.sh:
    blender -b --factory-startup --python-exit-code 1 -P tools/clients/blender_places.py -- \
        IN.glb CAELO FRAME...
"""
import csv
import datetime
import io
import math
import subprocess
import sys

import numpy

# Debian's Blender 3.4 importer still uses numpy.bool, which numpy removed.
numpy.bool = bool

import bpy  # noqa: E402

PROMISED_TURN_DEG = 0.1
PROMISED_DISTANCE_SHARE = 1e-4
# World places are floats in the file and in Blender.
FLOAT_SHARE = 1e-6


def minus(a, b):
    return tuple(p - q for p, q in zip(a, b))


def norm(v):
    return math.sqrt(sum(c * c for c in v))


def turn_degrees(got, want):
    """The angle between two offsets."""
    cross = (got[1] * want[2] - got[2] * want[1], got[2] * want[0] - got[0] * want[2],
             got[0] * want[1] - got[1] * want[0])
    return math.degrees(math.atan2(norm(cross), sum(p * q for p, q in zip(got, want))))


def date_of(scene, frame):
    """The model date of a Blender frame, from the file's time extras, which
    the importer keeps as the scene's own properties. The frame must show one
    of the file's frames: between them the export follows a fast moon only
    along straight lines (docs/gltf-export.md)."""
    fps = scene.render.fps / scene.render.fps_base
    file_frame = frame / fps * float(scene["framesPerSecond"])
    if not 0 < file_frame < int(scene["frameCount"]) - 1:
        sys.exit(f"frame {frame} lies outside the file's {scene['frameCount']} frames")
    if abs(file_frame - round(file_frame)) > 1e-9:
        sys.exit(f"frame {frame} at {fps:g} fps lies between the file's frames {math.floor(file_frame)} "
                 f"and {math.ceil(file_frame)} (at {scene['framesPerSecond']} fps)")
    start = datetime.datetime.fromisoformat(scene["startDate"].replace("Z", "+00:00"))
    date = start + datetime.timedelta(days=(frame / fps) / float(scene["secondsPerModelDay"]))
    return date.strftime("%Y-%m-%dT%H:%M:%S.%f")[:-3] + "Z"


def blender_places(scene, frame):
    """Each object's world place at a frame by its host path, in the host's
    frame: Blender is Z-up, Blender (x, y, z) is glTF (x, -z, y), and glTF is
    the host's frame with z mirrored, so the host's (x, y, z) is Blender's
    (x, z, y)."""
    scene.frame_set(frame)
    depsgraph = bpy.context.evaluated_depsgraph_get()
    places = {}
    for thing in scene.objects:
        path = thing.get("hostPath")
        if path is not None:
            x, y, z = thing.evaluated_get(depsgraph).matrix_world.translation
            places[path] = (x, z, y)
    return places


def host_places(caelo, date):
    """Each body axis's name and world place at a date by its path."""
    table = subprocess.run([caelo, "positions", "--date", date, "--format", "csv"], check=True,
                           capture_output=True, text=True).stdout
    return {row["path"]: (row["name"], tuple(float(row[c]) for c in "xyz"))
            for row in csv.DictReader(io.StringIO(table))}


def parent_body(path, host):
    """The path of the nearest body axis above `path`, or None."""
    parts = path.split("/")
    for cut in range(len(parts) - 1, 1, -1):
        above = "/".join(parts[:cut])
        if above in host:
            return above
    return None


def check_frame(scene, caelo, frame):
    """Prints the worst figures of a frame; answers the failures."""
    date = date_of(scene, frame)
    got_places = blender_places(scene, frame)
    host = host_places(caelo, date)
    worst_turn, worst_share = (0.0, ""), (0.0, "")
    compared = 0
    failures = []
    for path, (name, place) in host.items():
        parent = parent_body(path, host)
        if parent is None or path not in got_places:
            continue
        if parent not in got_places:
            failures.append(f"{name} ({path}) is in the file but its parent body is not")
            continue
        want = minus(place, host[parent][1])
        got = minus(got_places[path], got_places[parent])
        distance = norm(want)
        slack = FLOAT_SHARE * max(1.0, norm(place))
        if distance <= slack:
            continue
        compared += 1
        turn = turn_degrees(got, want)
        share = abs(norm(got) - distance) / distance
        worst_turn = max(worst_turn, (turn, name))
        worst_share = max(worst_share, (share, name))
        if math.radians(turn) * distance > math.radians(PROMISED_TURN_DEG) * distance + slack:
            failures.append(f"{name} at frame {frame}: {turn:.4f} degrees off as seen from its parent")
        if abs(norm(got) - distance) > PROMISED_DISTANCE_SHARE * distance + slack:
            failures.append(f"{name} at frame {frame}: its distance from its parent is {share:.2e} of it off")
    if compared < len(host) // 2:
        failures.append(f"frame {frame}: only {compared} of the host's {len(host)} bodies are in the file")
    print(f"blender places at frame {frame} ({date}), {compared} bodies: worst {worst_turn[0]:.4f} "
          f"degrees ({worst_turn[1]}) as seen from the parent, distance {worst_share[0]:.1e} "
          f"({worst_share[1]})")
    return failures


args = sys.argv[sys.argv.index("--") + 1:]
source, caelo, frames = args[0], args[1], [int(frame) for frame in args[2:]]
for thing in list(bpy.data.objects):
    bpy.data.objects.remove(thing, do_unlink=True)
bpy.ops.import_scene.gltf(filepath=source)
scene = bpy.context.scene
print(f"blender scene: {scene.render.fps / scene.render.fps_base:g} fps, frames {scene.frame_start}-"
      f"{scene.frame_end}")
failures = [failure for frame in frames for failure in check_frame(scene, caelo, frame)]
for failure in failures:
    print(f"  FAILED: {failure}")
sys.exit(1 if failures else 0)
