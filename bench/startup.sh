#!/usr/bin/env bash
# Start-up of the editor against the least a JUCE window can cost: the
# Release application and the bare window app of bench/startup (same JUCE
# library, same window, an empty page of the same size) start in turn, N
# times each, on a private Xvfb. Prints the medians of
#
#   first paint    from process start until the window, at its final size,
#                  first holds the program's pixels, seen from outside
#                  through the X server (bench/startup/FirstPaintWatch.cpp
#                  says exactly what is counted)
#   RSS after 1 s  resident set 1 s after that first paint, nothing touched
#
# and each as a ratio editor/bare, against the goal (<= 1.5 and <= 1.3).
#
# It builds nothing. Build the three programs first, in Release:
#     cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELT_BUILD_BENCH=ON
#     cmake --build build/release --target TrevanQuelt quelt_bare_window quelt_first_paint
#
# usage: bench/startup.sh [build-dir (build/release)] [runs (15)]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/release}" 2>/dev/null && pwd)" || { echo "no build folder ${1:-$root/build/release}" >&2; exit 2; }
runs="${2:-15}"

# Each program is killed once measured, so nothing writes a settings file;
# still, JUCE and the desktop settings it reads touch the home folder: run
# with a throw-away /var and home, and on a display of our own (a window
# manager or compositor would draw into the windows and skew the times).
if [ -z "${QUELT_READONLY_DIR:-}" ]; then
    exec "$root/tests/support/with-private-var.sh" "$0" "$build" "$runs"
fi
# The editor allows one instance: JUCE's lock file lives in /var/tmp when
# that exists, else in /tmp. In the private /var it stays ours, so an editor
# running elsewhere on the machine does not turn a run into a hand-over.
mkdir -p /var/tmp
if [ -z "${QUELT_STARTUP_XVFB:-}" ]; then
    export QUELT_STARTUP_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi

release_binary() { find "$build/$1" -type f -path "*_artefacts/Release/$2" -perm -u+x 2>/dev/null | head -n 1; }
app=$(release_binary editor TrevanQuelt)
bare=$(release_binary bench BareWindow)
watch="$build/bench/quelt_first_paint"

if [ -z "$app" ] || [ -z "$bare" ] || [ ! -x "$watch" ]; then
    echo "missing Release programs in $build; build them with" >&2
    echo "    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELT_BUILD_BENCH=ON" >&2
    echo "    cmake --build build/release --target TrevanQuelt quelt_bare_window quelt_first_paint" >&2
    exit 2
fi

results=$(mktemp)
trap 'rm -f "$results"' EXIT

measure() { # label program: one line "label mapped_ms paint_ms rss_kib"
    local line
    line=$("$watch" 1000x576 "$2") || { echo "measuring $2 failed" >&2; exit 1; }
    echo "$1 $line" >>"$results"
}

echo "== start-up: $runs runs each, interleaved, Xvfb 1280x1024x24"
echo "   editor: $app"
echo "   bare:   $bare"

# One unrecorded run each first, so that both start from a warm file cache.
"$watch" 1000x576 "$bare" >/dev/null
"$watch" 1000x576 "$app" >/dev/null

for _ in $(seq 1 "$runs"); do
    measure bare "$bare"
    measure app "$app"
done

median() { # label column
    awk -v l="$1" -v c="$2" '$1 == l { print $c }' "$results" | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

row() { # title column scale goal
    local b a
    b=$(median bare "$2")
    a=$(median app "$2")
    awk -v t="$1" -v b="$b" -v a="$a" -v s="$3" -v g="$4" 'BEGIN {
        r = a / b
        printf "%-22s %10.1f %10.1f %10.2f   %s\n", t, b / s, a / s, r, (g == "" ? "" : (r <= g ? "<= " g " reached" : "goal <= " g))
    }'
}

printf "%-22s %10s %10s %10s\n" "median" "bare" "editor" "ratio"
row "first paint (ms)" 3 1 1.5
row "RSS after 1 s (MiB)" 4 1024 1.3
row "window mapped (ms)" 2 1 ""
