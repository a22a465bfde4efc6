#!/usr/bin/env bash
# The tracked figures and their targets, in one table; exits non-zero when
# a figure misses its target.
#   bench/run.sh [BUILD_DIR]       (default: build; the targets are built first)
# Instructions per frame and per command come from callgrind (the same on
# any machine of this kind); the render figures from Google Benchmark, as
# multiples of a warm copy of the window's pixels timed just before each,
# medians of several repetitions; an animation's pictures a second from the
# median wall time of whole runs of the command; the live panel's click to
# tile in ms, with ten pages watching, measured as scripts/bench-serve.sh
# measures it; the gauge reference's copies of the module file (files of its
# name opened for writing, or in memory, seen by strace) and its median wall
# time, with a sound driver named that it must not open.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
frames=50          # counted at the demo flight's cruise
repetitions=5

# Targets: instructions per frame, instructions per command, multiples of
# the baseline copy, ms.
module_own_max=1500
host_walk_max=12000
flight_frame_max=20000        # walk, module and flight runner, through the demo flight
list_max=24000000             # devhost list, start to exit
run_max=140000000             # devhost run of the demo flight
render_max=420000000          # devhost render --at 200 -o x.png
full_repaint_max=6
steady_frame_max=0.6
first_frame_ms_max=4
animation_pictures_min=150    # pictures a second: the demo flight's main panel, a picture a second, as WebP
click_to_tile_p95_ms_max=10   # devhost serve, ten pages watching
reference_copies_max=1        # copies of the module file devhost reference makes
reference_seconds_max=1.0     # devhost reference, wall

for tool in valgrind strace python3; do
    command -v "$tool" >/dev/null || { echo "bench/run.sh: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 2; }
done
cmake --build "$build" -j2 --target vardex_bench vardex_count_frames devhost serve_bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# callgrind NAME [valgrind options] -- COMMAND...: runs the command under
# callgrind, its output in $work/NAME.out; a failure shows valgrind's log.
callgrind() {
    local name=$1; shift
    local options=()
    while [[ $1 != -- ]]; do options+=("$1"); shift; done
    shift
    SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} valgrind --tool=callgrind "${options[@]}" \
        --callgrind-out-file="$work/$name.out" "$@" >"$work/$name.stdout" 2>"$work/$name.log" ||
        { cat "$work/$name.log" >&2; exit 1; }
}
instructions() { awk '/^(summary|totals):/ { print $2; exit }' "$work/$1.out"; }

callgrind frames --collect-atstart=no --toggle-collect=countedFrames -- "$build/bench/vardex_count_frames" "$frames"
python3 "$here/callgrind_figures.py" "$work/frames.out" "$frames" >"$work/counts"
callgrind flight --collect-atstart=no --toggle-collect=countedFlight -- "$build/bench/vardex_count_frames" --flight
echo "flight_frame $(( $(instructions flight) / $(cat "$work/flight.stdout") ))" >>"$work/counts"
callgrind list -- "$build/devhost/devhost" list
callgrind run -- "$build/devhost/devhost" run
callgrind render -- "$build/devhost/devhost" render --at 200 -o "$work/x.png"
for command in list run render; do
    echo "command_$command $(instructions $command)" >>"$work/counts"
done
# wall NAME COMMAND...: the median wall time in s of whole runs of the
# command, the first (which warms the caches) not counted, as "NAME s".
wall() {
    local name=$1; shift
    python3 - "$repetitions" "$name" "$@" >>"$work/counts" <<'PY'
import statistics, subprocess, sys, time
runs, name, command = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
walls = []
for _ in range(runs + 1):
    start = time.monotonic()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    walls.append(time.monotonic() - start)
print(name, statistics.median(walls[1:]))
PY
}
animation=(render --from 0 --to 300 --every 1 -o "$work/a.webp")   # 301 pictures
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} wall animation_seconds "$build/devhost/devhost" "${animation[@]}"

reference=("$build/devhost/devhost" reference -o "$work/reference")
strace -f -qq -e trace=openat,memfd_create -o "$work/reference.strace" "${reference[@]}" >/dev/null
echo "reference_copies $(grep -cE '/Vardex_Instr\.so", O_(WRONLY|RDWR)|memfd_create' "$work/reference.strace" || true)" \
    >>"$work/counts"
SDL_AUDIODRIVER=dummy wall reference_seconds "${reference[@]}"

SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$build/bench/vardex_bench" \
    --benchmark_filter='MainPanel_|DefaultPanel_' --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$work/bench.json" 2>"$work/bench.log" ||
    { cat "$work/bench.log" >&2; exit 1; }

SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$build/bench/serve_bench" --click-p95 10 >>"$work/counts"

python3 - "$work/counts" "$work/bench.json" <<PY
import json, sys
counts = dict(line.split() for line in open(sys.argv[1]))
runs = {r["run_name"]: r for r in json.load(open(sys.argv[2]))["benchmarks"] if r.get("aggregate_name") == "median"}
failed = []
# A target is a most, or with higher=True a least.
def figure(name, unit, value, target, higher=False):
    bound = ">=" if higher else "<="
    if value is None:
        print(f"{name:<44} {'(missing)':>10} {unit:<22} target {bound} {target}")
        failed.append(name)
        return
    held = target is None or (value >= target if higher else value <= target)
    verdict = "" if target is None else ("ok" if held else "MISSED")
    shown = f"{value:.0f}" if value >= 100 or value == int(value) else f"{value:.2f}" if value >= 0.1 else f"{value:.4f}"
    limit = "-" if target is None else f"{bound} {target}"
    print(f"{name:<44} {shown:>10} {unit:<22} {limit:<14} {verdict}")
    if verdict == "MISSED":
        failed.append(name)
def bench(run, counter):
    r = runs.get(run)
    if r is None or r.get("error_occurred"):
        return None
    if counter == "ms":
        return r["real_time"] if r["time_unit"] == "ms" else None
    return r.get(counter)
print(f"{'figure':<44} {'value':>10} {'unit':<22} {'target':<14}")
figure("module's own code", "instructions/frame", float(counts["module_own"]), $module_own_max)
figure("module with the host services it calls", "instructions/frame", float(counts["module_with_services"]), None)
figure("host's walk", "instructions/frame", float(counts["host_walk"]), $host_walk_max)
figure("walk, module and flight, demo flight", "instructions/frame", float(counts["flight_frame"]), $flight_frame_max)
figure("devhost list", "instructions", float(counts["command_list"]), $list_max)
figure("devhost run (demo flight)", "instructions", float(counts["command_run"]), $run_max)
figure("devhost render --at 200 -o x.png", "instructions", float(counts["command_render"]), $render_max)
figure("devhost render --from 0 --to 300 -o a.webp", "pictures/s (wall)", 301 / float(counts["animation_seconds"]),
       $animation_pictures_min, higher=True)
for size in ("1024/768", "3840/2880"):
    figure(f"full repaint, main panel {size.replace('/', 'x')}", "x warm copy of window",
           bench(f"MainPanel_FullRepaint/{size}/manual_time", "x_copies"), $full_repaint_max)
    figure(f"steady frame, main panel {size.replace('/', 'x')}", "x warm copy of window",
           bench(f"MainPanel_SteadyFrame/{size}/manual_time", "x_copies"), $steady_frame_max)
figure("first frame, main panel 1024x768", "ms",
       bench("MainPanel_FirstFrame/1024/768/manual_time", "ms"), $first_frame_ms_max)
figure("live panel, click to tile p95, 10 pages", "ms", float(counts["click_p95_10"]), $click_to_tile_p95_ms_max)
figure("devhost reference, copies of the module file", "copies", float(counts["reference_copies"]),
       $reference_copies_max)
figure("devhost reference, SDL_AUDIODRIVER=dummy", "s (wall)", float(counts["reference_seconds"]),
       $reference_seconds_max)
figure("one frame of the default panel", "x warm 64 KiB copy", bench("DefaultPanel_OneFrame", "x_baseline"), None)
if failed:
    print("missed: " + ", ".join(failed))
    sys.exit(1)
PY
