#!/usr/bin/env bash
# The whole demo flight with a probe every frame, through both builds of the
# development host at once: devhost on Vardex_Instr.so, and devhost.exe on
# Vardex_Instr.gau under Wine (in a Wine stage of its own). probe_compare
# reads the two outputs as they come, so no file holds them.
#
#   flight-identity.sh WINE_RUN TEMPLATE STAGE DEVHOST MODULE DEVHOST_EXE GAU PROBE_COMPARE
set -euo pipefail

wine_run=$1 template=$2 stage=$3 devhost=$4 module=$5 devhost_exe=$6 gau=$7 compare=$8
run=(run --json-lines --every-frames 1)

# Wine sees the Linux file system as drive Z:.
gau_windows=$(realpath "$gau")
gau_windows="Z:${gau_windows//\//\\}"

native_status=$(mktemp) windows_status=$(mktemp)
trap 'rm -f "$native_status" "$windows_status"' EXIT
status=0
"$compare" \
    <("$devhost" "${run[@]}" --module "$module"; echo $? > "$native_status") \
    <("$wine_run" exec "$template" "$stage" "$devhost_exe" "${run[@]}" --module "$gau_windows"; echo $? > "$windows_status") \
    || status=$?
# The comparison may end before the writers: wait (a minute at most) for
# both to say how they ended.
for _ in $(seq 600); do
    [ -s "$native_status" ] && [ -s "$windows_status" ] && break
    sleep 0.1
done
for side in native:"$native_status" Windows:"$windows_status"; do
    code=$(cat "${side#*:}")
    if [ "$code" != 0 ]; then
        echo "the ${side%%:*} development host failed (exit status ${code:-unknown})"
        status=1
    fi
done
exit $status
