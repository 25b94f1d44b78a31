"""Imports a glTF file into Blender as it opens and renders one frame with
Cycles on the CPU through the file's camera.

Run by tools/check-clients.sh:
    blender -b --factory-startup -P tools/clients/blender_render.py -- IN.glb OUT.png WIDTH HEIGHT
Prints the import's duration in seconds as "import-seconds: N", and fails
unless at least 12 materials carry a map as an image texture on their base
colour.
"""
import os
import sys
import time

import numpy

# Debian's Blender 3.4 importer still uses numpy.bool, which numpy removed.
numpy.bool = bool

import bpy  # noqa: E402

args = sys.argv[sys.argv.index("--") + 1:]
source, target, width, height = args[0], args[1], int(args[2]), int(args[3])

for thing in list(bpy.data.objects):
    bpy.data.objects.remove(thing, do_unlink=True)
started = time.monotonic()
bpy.ops.import_scene.gltf(filepath=source)
print(f"import-seconds: {time.monotonic() - started:.2f}")

def materials_fed_by_image(socket):
    """The names of the materials whose principled surface takes `socket`
    (its base colour or alpha) straight from an image texture."""
    return sorted({
        material.name for material in bpy.data.materials if material.node_tree and any(
            node.type == "BSDF_PRINCIPLED" and node.inputs[socket].links
            and node.inputs[socket].links[0].from_node.type == "TEX_IMAGE"
            for node in material.node_tree.nodes)
    })


# The globes' maps come in as image textures on their materials' base colour.
MIN_MAPPED_GLOBES = 12
mapped = materials_fed_by_image("Base Color")
print(f"materials with a map: {len(mapped)} ({', '.join(mapped)})")
if len(mapped) < MIN_MAPPED_GLOBES:
    sys.exit(f"only {len(mapped)} materials carry a map; expected {MIN_MAPPED_GLOBES} or more")

# The rings' strips come in as image textures whose alpha is the material's.
MIN_STRIPPED_RINGS = 10
stripped = materials_fed_by_image("Alpha")
print(f"ring materials with a strip: {len(stripped)}")
if len(stripped) < MIN_STRIPPED_RINGS:
    sys.exit(f"only {len(stripped)} ring materials carry a strip; expected {MIN_STRIPPED_RINGS} or more")

scene = bpy.context.scene
cameras = [thing for thing in scene.objects if thing.type == "CAMERA"]
if not cameras:
    sys.exit("the file has no camera")
scene.camera = cameras[0]
scene.render.engine = "CYCLES"
scene.cycles.device = "CPU"
scene.cycles.samples = 64
scene.cycles.use_denoising = False
scene.render.resolution_x = width
scene.render.resolution_y = height
scene.render.resolution_percentage = 100
scene.render.image_settings.file_format = "PNG"
scene.render.filepath = target
scene.frame_set(scene.frame_start)
bpy.ops.render.render(write_still=True)
print(f"frames: {scene.frame_start}-{scene.frame_end} at {scene.render.fps} fps")

sys.path.insert(0, os.path.dirname(__file__))
import picture_check  # noqa: E402

failed = False
for picture in [target] + args[4:]:
    print(f"checking {picture}")
    failures = picture_check.check_picture(picture)
    for failure in failures:
        print(f"  FAILED: {failure}")
    failed = failed or bool(failures)
sys.exit(1 if failed else 0)
