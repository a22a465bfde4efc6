#!/usr/bin/env bash
# Builds everything (the native module, the development host, the tests,
# Vardex_Instr.gau and devhost.exe with MinGW, the release package), then
# runs every test, once on the normal build and once under AddressSanitizer
# and UndefinedBehaviorSanitizer, and gives each fuzz target a short run
# (scripts/fuzz.sh runs them longer).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
# The release package (build/Vardex_Instr-<version>.zip), which the tests unpack.
cmake --build build --target package
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARDEX_SANITIZE=ON -DVARDEX_WINDOWS_BUILD=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

# A few seconds per fuzz target: a fixed number of inputs after its seeds.
scripts/fuzz.sh --runs 20000 panel_file_fuzz flight_script_fuzz setting_fuzz riff_wave_fuzz tooltip_format_fuzz
scripts/fuzz.sh --runs 1500 gauge_parameter_fuzz flight_run_fuzz
scripts/fuzz.sh --runs 3000 request_handler_fuzz panel_edit_fuzz
