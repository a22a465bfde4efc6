#!/usr/bin/env bash
# The soak run: a simulated 24-hour flight on the built-in panel (the demo
# flight over and over) with the probe taken and written as JSON every half
# hour of flight, then 2000 install/remove cycles of all 41 gauges. Prints
# the resident memory as it goes; fails if it grows after warm-up (the first
# fifth of each part) by more than the bound. Arguments go to vardex_soak,
# e.g. --hours 2 --cycles 500 --report-every 600 --max-growth-mb 16.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vardex_soak Vardex_Instr
SDL_AUDIODRIVER=dummy build/tests/vardex_soak --hours 24 --report-every 1800 --cycles 2000 "$@"
