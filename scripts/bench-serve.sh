#!/usr/bin/env bash
# Measures devhost serve: click to changed tile (median and "p95 N ms"),
# also with ten pages while the demo flight plays at x8 (target: p95 under
# 30 ms), and tile updates per second with one and with ten pages watching,
# against one memcpy of the panel's pixels in the same run; answers on a
# kept-alive connection against fresh ones; 64 kept-alive clients at once;
# and the PNG levels the tiles could be sent at.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target serve_bench Vardex_Instr
build/bench/serve_bench
