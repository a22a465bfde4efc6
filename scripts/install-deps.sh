#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing
# for packages that are already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libcairo2-dev libsdl2-dev fonts-liberation fonts-dejavu-core fonts-dejavu-extra
    nlohmann-json3-dev libcli11-dev libfmt-dev libcpp-httplib-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
