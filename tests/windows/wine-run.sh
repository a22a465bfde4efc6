#!/usr/bin/env bash
# Runs the Windows test program under Wine, in one Wine prefix per test run.
#
#   wine-run.sh start PREFIX              a fresh prefix and its server, kept up for the run
#   wine-run.sh run PREFIX EXE NATIVE     every case of EXE but the no-device sound cases,
#                                         with ALSA's null device as the only audio output;
#                                         NATIVE lists the native build's module cases, which
#                                         must be exactly the shared cases that EXE ran
#   wine-run.sh no-audio PREFIX EXE       the no-device sound cases, with no audio driver
#   wine-run.sh stop PREFIX               ends the prefix's server
#
# Cases of suites named Win32* exist on Windows only; every other case is a
# shared module case and must run on both builds.
set -euo pipefail

command -v wine > /dev/null || { echo "wine is not installed: run scripts/install-deps.sh" >&2; exit 1; }

action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
# No Mono or Gecko installer prompts in a new prefix, and no window on the
# developer's desktop.
overrides="mscoree,mshtml="
export WINEDLLOVERRIDES=$overrides
export DISPLAY=
# The Windows cases find the module by their compiled-in path, never by a
# native run's override.
unset VARDEX_MODULE

no_device_cases='Win32DirectSoundWithoutDevice.*'

# Runs the program into a file, then shows it: Wine's own processes (the
# desktop, services) may start during a case and outlive it, and must not
# hold the test's output open.
run_windows() {
    local log=$1 status=0
    shift
    wine "$@" --gtest_color=no > "$log" 2>&1 || status=$?
    tr -d '\r' < "$log" > "$log.text"
    mv "$log.text" "$log"
    cat "$log"
    return $status
}

case $action in
start)
    wineserver -k > /dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i > "$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log" >&2; exit 1; }
    # Windows without a display: the sound cases open the host's main window.
    # The desktop process that booting started keeps the driver it found, so
    # the server (and with it the desktop) starts anew after the change.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >> "$WINEPREFIX.log" 2>&1
    # A crash prints its backtrace into the test's output and ends the
    # program, instead of waiting on a dialog that no one will answer.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >> "$WINEPREFIX.log" 2>&1
    wineserver -k > /dev/null 2>&1 || true
    wineserver -w
    # Started here, apart from any test's output pipe, so that no test waits
    # for a server that still holds it; it outlives the last case by a minute
    # at most should the stop step never run.
    wineserver -p60 < /dev/null > /dev/null 2>&1
    echo "Wine prefix ready: $WINEPREFIX ($(wine --version))"
    ;;
run)
    exe=$3
    native=$4
    home=$WINEPREFIX.null-audio
    mkdir -p "$home"
    echo 'pcm.!default { type null }' > "$home/.asoundrc"
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    # ALSA only (PulseAudio would come first), reading the test's own
    # configuration from HOME: set-up succeeds and nothing is heard.
    export WINEDLLOVERRIDES="$overrides;winepulse.drv,wineoss.drv="
    status=0
    HOME=$home run_windows "$log" "$exe" "--gtest_filter=-$no_device_cases" || status=$?

    ran=$(sed -n 's/^\[ RUN      \] \([^ ]*\).*/\1/p' "$log" | sort)
    shared=$(grep -v '^Win32' <<< "$ran" || true)
    expected=$("$native" --gtest_list_tests | awk '
        /^[^ ]/ { suite = $1; next }
        /^  /   { print suite $1 }' | sort)
    count() { sed '/^$/d' <<< "$1" | wc -l; }
    echo
    echo "Windows build (windows_tests.exe under Wine): $(count "$ran") cases ran," \
         "$(count "$shared") of them module cases"
    echo "Native build ($(basename "$native")): $(count "$expected") module cases"
    if [ "$shared" != "$expected" ]; then
        echo "The two builds ran different module cases:"
        diff <(echo "$expected") <(echo "$shared") | sed -n 's/^< /  native only: /p; s/^> /  Windows only: /p'
        status=1
    fi
    exit $status
    ;;
no-audio)
    exe=$3
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    # No audio driver at all, whatever the machine has: sound set-up fails.
    export WINEDLLOVERRIDES="$overrides;winealsa.drv,winepulse.drv,wineoss.drv="
    status=0
    run_windows "$log" "$exe" "--gtest_filter=$no_device_cases" || status=$?
    ran=$(grep -c '^\[ RUN      \]' "$log" || true)
    echo
    echo "Windows build, no audio device: $ran sound cases ran"
    if [ "$ran" -eq 0 ]; then
        echo "No case matched $no_device_cases"
        status=1
    fi
    exit $status
    ;;
stop)
    wineserver -k > /dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 start|run|no-audio|stop PREFIX [EXE [NATIVE]]" >&2
    exit 2
    ;;
esac
