#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers on and runs
# every test (under Xvfb when there is no display). Ends with ctest's summary.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/test"
jobs=$(nproc 2>/dev/null || echo 2)

step() { echo "== $*"; }
fail() { echo "!! failed: $current" >&2; }
trap fail ERR

current="installing packages";  step "$current"; "$root/scripts/install-deps.sh"
current="configuring";          step "$current (build/test, Debug with sanitizers)"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELT_SANITIZE=ON >/dev/null
current="building";             step "$current"
cmake --build "$build" -j "$jobs"
current="compiling the transfers against an older libcurl's API"; step "$current"
cmake --build "$build" -j "$jobs" --target quelt_https_fetch_old_curl_api

current="running the tests";    step "$current"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
ctest_cmd=(ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$jobs" --timeout 600)
if [ -n "${DISPLAY:-}" ]; then
    "${ctest_cmd[@]}"
else
    xvfb-run -a -s "-screen 0 1280x1024x24" "${ctest_cmd[@]}"
fi
