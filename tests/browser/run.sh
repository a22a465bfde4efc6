#!/usr/bin/env bash
# The browser tests: installs playwright-core from npm into the build
# folder (no browser download: Debian's chromium is driven), then runs
# the page's tests (*.test.mjs) against the devhost program, one file at a time.
#   tests/browser/run.sh BUILD_FOLDER DEVHOST_PROGRAM
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
folder="$1"
devhost="$2"

for program in node npm chromium; do
    if ! command -v "$program" >/dev/null; then
        echo "browser tests: $program is not installed (scripts/install-deps.sh installs it)" >&2
        exit 1
    fi
done

mkdir -p "$folder"
if ! cmp -s "$here/package-lock.json" "$folder/package-lock.json" || [ ! -d "$folder/node_modules/playwright-core" ]; then
    cp "$here/package.json" "$here/package-lock.json" "$folder/"
    (cd "$folder" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi

export VARDEX_NODE_MODULES="$folder/node_modules"
export VARDEX_BROWSER_FAILURES="$folder/failures"
export DEVHOST="$devhost"
export CHROMIUM="$(command -v chromium)"
export SDL_AUDIODRIVER=dummy
rm -rf "$VARDEX_BROWSER_FAILURES"
exec node --test --test-concurrency=1 "$here"/*.test.mjs
