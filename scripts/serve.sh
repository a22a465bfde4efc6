#!/usr/bin/env bash
# Builds the module and the development host, then runs the panel live in a
# web page: open the address it prints. Arguments go to `devhost serve`
# (e.g. --port 8080, --panel FILE, --flight FILE, --bind 0.0.0.0).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target devhost Vardex_Instr
exec build/devhost/devhost serve "$@"
