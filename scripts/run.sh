#!/usr/bin/env bash
# Builds the module and the development host, then shows the module's gauges.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target devhost Vardex_Instr
build/devhost/devhost build/Vardex_Instr.so "$@"
