#!/usr/bin/env bash
# Builds the module and the development host, then runs the built-in panel
# (all 41 gauges) through the demo flight and prints what the panel shows at
# the flight's checkpoints. Arguments go to `devhost run` (e.g. --json,
# --flight FILE, --panel FILE, --seconds S).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target devhost Vardex_Instr
build/devhost/devhost run "$@"
