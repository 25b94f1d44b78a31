#!/usr/bin/env bash
# Builds the caelo tool and the module in build/ (not the tests or the
# benchmarks) and runs the tool with the given arguments, installing the
# Debian packages the build needs when any is missing.
#   bash tools/run.sh                  the main job
#   bash tools/run.sh script FILE      a console script
set -euo pipefail
# The tool runs in the caller's working directory, so that its outputs land
# there and relative paths among the arguments mean what the caller meant.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

source "$root/tools/packages.sh"

install_missing_packages
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build "$root/build" -j2 --target caelo caelo_module >&2
exec "$root/build/caelo" "$@"
