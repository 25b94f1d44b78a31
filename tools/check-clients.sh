#!/usr/bin/env bash
# Opens the solar system's export in the real clients as users do and checks
# what they show by the pictures' pixels (tools/clients/picture_check.py):
# three.js in Debian's headless Chromium with software WebGL, and Debian's
# Blender rendering with Cycles on the CPU, each through the file's camera
# with nothing added. The export is the main job's one model year, at a fixed
# date so that the planets stand where the checks expect them. Blender also
# reads, at its own frame rate, where every body stands at a frame well inside
# the year (tools/clients/blender_places.py), against the host. Also runs the
# glTF validator, and opens the page of `caelo view` for the same year in
# Chromium, offline, and uses it as a user would (tools/clients/view-check.mjs).
# Leaves the files and the pictures in BUILD/clients/.
#   bash tools/check-clients.sh [BUILD]   (default build/)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

source tools/packages.sh
install_client_packages

build=${1:-build}
out="$build/clients"
mkdir -p "$out"
width=1600
height=1200

"$build/caelo" --quiet export --date 2026-12-09T00:00Z --out "$out/solar-system.glb"
node tools/gltf-validator/validate.js "$out/solar-system.glb"
"$build/caelo" --quiet view --date 2026-12-09T00:00Z --out "$out/solar-system.html"
node tools/clients/view-check.mjs "$out/solar-system.html" "2026-12-09 00:00 UTC" "$out/view"
node tools/clients/three-shot.mjs "$out/solar-system.glb" "$out/three.png" "$width" "$height"
# Blender's own Python, without other Python installations on the PATH.
# A failing script must fail the check: Blender itself would quit with 0.
PATH=/usr/bin:/bin blender -b --factory-startup --python-exit-code 1 -P tools/clients/blender_render.py -- \
    "$out/solar-system.glb" "$out/blender.png" "$width" "$height" "$out/three.png" |
    { grep -v -e '^Fra:' -e '^$' || true; }
# Blender frame 500 at 24 fps is the host's frame 625 at 30, seven months in.
PATH=/usr/bin:/bin blender -b --factory-startup --python-exit-code 1 -P tools/clients/blender_places.py -- \
    "$out/solar-system.glb" "$(realpath "$build/caelo")" 500 |
    { grep -e '^blender' -e 'FAILED' -e 'Error' || true; }
