#!/usr/bin/env bash
# Runs Windows programs under Wine. One prefix is set up once per test run
# (the template); each stage then runs in a prefix of its own, a linked copy
# of the template with its own server, so that stages run side by side.
#
#   wine-run.sh start TEMPLATE                  a fresh template prefix
#   wine-run.sh run TEMPLATE STAGE EXE GAU NATIVE [ARG...]
#                                               every case of EXE (given --gau GAU and
#                                               ARGs) but the no-device sound cases, with
#                                               ALSA's null device as the only audio output;
#                                               NATIVE lists the native build's module cases,
#                                               which must be exactly the shared cases that
#                                               EXE ran
#   wine-run.sh no-audio TEMPLATE STAGE EXE GAU the no-device sound cases, with no audio driver
#   wine-run.sh exec TEMPLATE STAGE EXE [ARG...]
#                                               any program, with ALSA's null device, its
#                                               output passed on (the flight comparison)
#   wine-run.sh stop TEMPLATE                   removes the template
#
# Cases of suites named Win32* exist on Windows only; every other case is a
# shared module case and must run on both builds.
set -euo pipefail

command -v wine > /dev/null || { echo "wine is not installed: run scripts/install-deps.sh" >&2; exit 1; }

action=$1
template=$2
export WINEDEBUG=-all
# No Mono or Gecko installer prompts in a new prefix, and no window on the
# developer's desktop.
overrides="mscoree,mshtml="
export WINEDLLOVERRIDES=$overrides
export DISPLAY=
# The Windows programs are told the module on their command line, never by
# a native run's override.
unset VARDEX_MODULE VARDEX_GAU

# The stage's own prefix: hard links to the template's files (Wine replaces
# its registry files rather than writing into them), its own server, both
# gone when the stage ends.
enter_stage() {
    export WINEPREFIX=$1
    [ -d "$template" ] || { echo "no Wine template prefix at $template: the wine_start test sets it up" >&2; exit 1; }
    rm -rf "$WINEPREFIX"
    cp -al "$template" "$WINEPREFIX"
    trap 'wineserver -k > /dev/null 2>&1 || true; wineserver -w > /dev/null 2>&1 || true; rm -rf "$WINEPREFIX" "$WINEPREFIX.null-audio"; rm -f "${log:-}"' EXIT
    # Started here, apart from any test's output pipe, so that no test waits
    # for a server that still holds it; it outlives the stage by a minute at
    # most should the stage be killed.
    wineserver -p60 < /dev/null > /dev/null 2>&1
}

# ALSA only (PulseAudio would come first), reading the stage's own
# configuration from HOME: set-up succeeds and nothing is heard.
null_audio() {
    export HOME=$WINEPREFIX.null-audio
    mkdir -p "$HOME"
    echo 'pcm.!default { type null }' > "$HOME/.asoundrc"
    export WINEDLLOVERRIDES="$overrides;winepulse.drv,wineoss.drv="
}

# Wine sees the Linux file system as drive Z:.
windows_path() {
    local path
    path=$(realpath "$1")
    echo "Z:${path//\//\\}"
}

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
    export WINEPREFIX=$template
    wineserver -k > /dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i > "$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log" >&2; exit 1; }
    # Windows without a display: the sound cases open the host's main window.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >> "$WINEPREFIX.log" 2>&1
    # A crash prints its backtrace into the test's output and ends the
    # program, instead of waiting on a dialog that no one will answer.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >> "$WINEPREFIX.log" 2>&1
    # The registry written out, the template's server ends: each stage
    # starts its own.
    wineserver -k > /dev/null 2>&1 || true
    wineserver -w
    echo "Wine template prefix ready: $WINEPREFIX ($(wine --version))"
    ;;
run)
    enter_stage "$3"
    exe=$4
    gau=$(windows_path "$5")
    native=$6
    shift 6
    null_audio
    log=$(mktemp)
    status=0
    run_windows "$log" "$exe" --gau "$gau" "--gtest_filter=-$no_device_cases" "$@" || status=$?

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
    enter_stage "$3"
    exe=$4
    gau=$(windows_path "$5")
    log=$(mktemp)
    # No audio driver at all, whatever the machine has: sound set-up fails.
    export WINEDLLOVERRIDES="$overrides;winealsa.drv,winepulse.drv,wineoss.drv="
    status=0
    run_windows "$log" "$exe" --gau "$gau" "--gtest_filter=$no_device_cases" || status=$?
    ran=$(grep -c '^\[ RUN      \]' "$log" || true)
    echo
    echo "Windows build, no audio device: $ran sound cases ran"
    if [ "$ran" -eq 0 ]; then
        echo "No case matched $no_device_cases"
        status=1
    fi
    exit $status
    ;;
exec)
    enter_stage "$3"
    shift 3
    null_audio
    status=0
    wine "$@" || status=$?
    exit $status
    ;;
stop)
    rm -rf "$template" "$template.log"
    ;;
*)
    echo "usage: $0 start|run|no-audio|exec|stop TEMPLATE [STAGE EXE [GAU [NATIVE]] [ARG...]]" >&2
    exit 2
    ;;
esac
