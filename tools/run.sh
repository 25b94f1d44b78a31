#!/usr/bin/env bash
# Builds caelo in build/ and runs it with the given arguments, installing the
# Debian packages the build needs when any is missing.
#   bash tools/run.sh                  the main job
#   bash tools/run.sh script FILE      a console script
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

source tools/packages.sh

install_missing_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build build -j2 >&2
exec build/caelo "$@"
