# Installs the Debian packages the build needs when any is missing (with
# apt-get, through sudo when not root), Node.js and npm among them. Sourced by
# run.sh and test.sh.
packages=(cmake g++ make libgtest-dev nlohmann-json3-dev libcli11-dev libtinygltf-dev libcairo2-dev libturbojpeg0-dev libpng-dev
          libbenchmark-dev pkg-config python3 fonts-dejavu-core)

# Installs the named Debian packages with apt-get (through sudo when not
# root); nothing when none is named.
apt_install() {
    [ $# -eq 0 ] && return 0
    echo "Installing missing packages: $*" >&2
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "$@"
}

install_missing_packages() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    # The build bundles the viewer page with Node.js and npm: Debian's
    # packages where the machine has neither of its own.
    if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
        missing+=(nodejs npm)
    fi
    apt_install "${missing[@]}"
}

# The Khronos glTF validator pinned in tools/gltf-validator, which the export
# tests run (after install_missing_packages, which brings npm).
install_gltf_validator() {
    (cd tools/gltf-validator && npm ci --no-audit --no-fund --loglevel=error)
}

# Debian's Blender and Chromium and the pinned three.js and browser driver in
# tools/clients, with which tools/check-clients.sh opens an export.
install_client_packages() {
    local missing=()
    for package in blender python3-numpy chromium; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    apt_install "${missing[@]}"
    (cd tools/clients && npm ci --no-audit --no-fund --loglevel=error)
}
