#!/usr/bin/env bash
# Installs what is missing, builds the Release application and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/release"

step() { echo "== $*"; }
fail() { echo "!! failed: $current" >&2; }
trap fail ERR

current="installing packages";  step "$current"; "$root/scripts/install-deps.sh"
current="configuring";          step "$current (build/release)"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELT_BUILD_TESTS=OFF -DQUELT_BUILD_BENCH=OFF >/dev/null
current="building";             step "$current the application"
cmake --build "$build" --target TrevanQuelt

app=$(find "$build/editor" -type f -name TrevanQuelt -perm -u+x | head -n 1)
[ -n "$app" ] || { current="finding the built application"; false; }

trap - ERR
step "starting $app"
if [ -n "${DISPLAY:-}" ]; then
    exec "$app"
else
    echo "== no DISPLAY is set: starting on a virtual X display (xvfb-run)"
    exec xvfb-run -a "$app"
fi
