#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz (Debian's clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each, either for
# a fixed number of inputs or for a time per target (default 600 s), then
# prints per target the inputs run, inputs per second and the coverage
# (libFuzzer's "cov:", edges reached). Targets may be named; all run
# otherwise. New inputs found go to build-fuzz/corpus/<target>; the seeds in
# tests/fuzz/corpus/<target> are only read. An input that crashes is kept in
# build-fuzz/crashes/<target>/ and the script fails.
#
#   scripts/fuzz.sh                                # ten minutes per target
#   scripts/fuzz.sh --seconds 3600 panel_file_fuzz
#   scripts/fuzz.sh --runs 20000 tooltip_format_fuzz
set -euo pipefail
cd "$(dirname "$0")/.."

all=(panel_file_fuzz panel_edit_fuzz flight_script_fuzz flight_run_fuzz setting_fuzz riff_wave_fuzz tooltip_format_fuzz gauge_parameter_fuzz request_handler_fuzz)
limit=(-max_total_time=600)
targets=()
while (($#)); do
    case "$1" in
        --seconds) limit=(-max_total_time="$2"); shift 2 ;;
        --runs) limit=(-runs="$2"); shift 2 ;;
        -h | --help) sed -n '2,14p' "$0"; exit 0 ;;
        -*) echo "fuzz.sh: unknown option $1 (expected --seconds S, --runs N or target names)" >&2; exit 2 ;;
        *)
            if [[ " ${all[*]} " != *" $1 "* ]]; then
                echo "fuzz.sh: no fuzz target $1 (expected one of: ${all[*]})" >&2
                exit 2
            fi
            targets+=("$1"); shift ;;
    esac
done
((${#targets[@]})) || targets=("${all[@]}")

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARDEX_FUZZ=ON \
    -DVARDEX_WINDOWS_BUILD=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

status=0
printf '%-22s %12s %10s %8s\n' target inputs "inputs/s" cov
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    crashes=build-fuzz/crashes/$target
    log=build-fuzz/$target.log
    mkdir -p "$corpus" "$crashes"
    start=$(date +%s%N)
    if ! SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "build-fuzz/tests/fuzz/$target" "${limit[@]}" -print_final_stats=1 -artifact_prefix="$crashes/" \
        "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        echo "$target: FAILED; the input is in $crashes, the log in $log:" >&2
        tail -n 40 "$log" >&2
        status=1
    fi
    # libFuzzer's own rate counts whole seconds only: a short run shows 0.
    milliseconds=$((($(date +%s%N) - start) / 1000000))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    speed=$([ -n "$runs" ] && echo $((runs * 1000 / (milliseconds > 0 ? milliseconds : 1))))
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    printf '%-22s %12s %10s %8s\n' "$target" "${runs:-?}" "${speed:-?}" "${cov:-?}"
done
exit $status
