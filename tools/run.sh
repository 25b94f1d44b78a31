#!/usr/bin/env bash
# Builds caelo in build/ and runs it with the given arguments, installing the
# Debian packages the build needs when any is missing.
#   bash tools/run.sh                  the main job
#   bash tools/run.sh script FILE      a console script
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(cmake g++ make libgtest-dev nlohmann-json3-dev libcli11-dev libtinygltf-dev libcairo2-dev
          libbenchmark-dev python3)

install_missing_packages() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}" >&2
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
}

install_missing_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build build -j2 >&2
exec build/caelo "$@"
