#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the test suite twice: a
# normal build in build/ and an AddressSanitizer + UndefinedBehaviorSanitizer
# build in build-asan/. Installs the Debian packages the build needs when any
# is missing. Exits non-zero on any failure.
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
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
}

build_and_test() {
    local dir=$1
    shift
    echo "== Building $dir"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCAELO_WERROR=ON "$@"
    cmake --build "$dir" -j2
    echo "== Testing $dir"
    ctest --test-dir "$dir" --output-on-failure -j2
}

install_missing_packages
build_and_test build -DCAELO_SANITIZE=OFF
build_and_test build-asan -DCAELO_SANITIZE=ON
