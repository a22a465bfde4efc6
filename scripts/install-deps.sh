#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing
# for packages that are already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    # bench/run.sh: instructions counted by callgrind, the module's copies
    # seen by strace, the table put together.
    valgrind strace python3
    # The JSBSim program taken out of flightgear below needs no more than these.
    libexpat1 zlib1g
    g++-mingw-w64-i686 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libcairo2-dev libpng-dev zlib1g-dev libwebp-dev libsdl2-dev fonts-liberation fonts-dejavu-core fonts-dejavu-extra
    nlohmann-json3-dev libcli11-dev libfmt-dev libcpp-httplib-dev
    # devhost serve's tiles: PNG compressed by libdeflate.
    libdeflate-dev
    # The installation guide, from Markdown to text and HTML.
    libcmark-dev
    # The fuzz targets: clang with libFuzzer and the sanitizers' runtime.
    clang libclang-rt-14-dev
    # Runs the Windows build of the tests against Vardex_Instr.gau.
    wine wine32:i386
    # The browser tests of `devhost serve`: Playwright (from npm) drives chromium.
    chromium nodejs
)
# Some builds of nodejs bring npm with them (and conflict with Debian's npm).
command -v npm >/dev/null || packages+=(npm)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# wine32 is a 32-bit package: the i386 architecture must be known to dpkg
# before apt can find it.
added_architecture=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    added_architecture=1
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})) || ((added_architecture)); then
    $sudo apt-get update -qq
fi
if ((${#missing[@]})); then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The flight model: JSBSim, which Debian ships only as one program inside
# its flightgear package (2.9 GB installed with what it pulls). The program
# alone needs libc, libstdc++, zlib and expat, so it is taken out of the
# package file and kept outside the repository, where devhost looks for it
# (findJsbsim in devhost/model/jsbsim_process.cpp; its --help is checked
# there, no version is pinned).
if [ "$(id -u)" -eq 0 ]; then
    jsbsim_dir=/opt/vardex/jsbsim
else
    jsbsim_dir="${XDG_CACHE_HOME:-$HOME/.cache}/vardex/jsbsim"
fi
if ! [ -x "$jsbsim_dir/JSBSim" ]; then
    # The package lists may never have been read on a fresh machine.
    apt-cache show flightgear >/dev/null 2>&1 || $sudo apt-get update -qq
    download="$(mktemp -d)"
    chmod 755 "$download"   # apt fetches as its own user
    trap 'rm -rf "$download"' EXIT
    (cd "$download" && apt-get download -qq flightgear)
    mkdir -p "$jsbsim_dir"
    dpkg-deb --fsys-tarfile "$download"/flightgear_*.deb | tar -x -C "$download" ./usr/games/JSBSim
    install -m 755 "$download/usr/games/JSBSim" "$jsbsim_dir/JSBSim"
    rm -rf "$download"
    trap - EXIT
fi
