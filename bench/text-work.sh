#!/usr/bin/env bash
# The program's text work against the mended juce_core and against JUCE's own
# (bench/text/TextWorkBench.cpp, built twice): the two programs run in turn,
# N rounds each, so that both meet the same load. Prints each case's least
# CPU time over the rounds for both (on a shared machine, the round least
# disturbed by others) and their ratio mended/unmended; the goal is at most
# 1.05.
#
# It builds nothing. Build both first, best in Release:
#     cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
#     cmake --build build/release --target quelt_text_bench_mended quelt_text_bench_unmended
#
# usage: bench/text-work.sh [build-dir (build/release)] [rounds (5)] [benchmark filter]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/release}" 2>/dev/null && pwd)" || { echo "no build folder ${1:-$root/build/release}" >&2; exit 2; }
rounds="${2:-5}"
filter="${3:-.}"

mended="$build/bench/quelt_text_bench_mended"
unmended="$build/bench/quelt_text_bench_unmended"

if [ ! -x "$mended" ] || [ ! -x "$unmended" ]; then
    echo "missing $mended or $unmended; build them with" >&2
    echo "    cmake --build $build --target quelt_text_bench_mended quelt_text_bench_unmended" >&2
    exit 2
fi

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

for round in $(seq "$rounds"); do
    for variant in mended unmended; do
        program=$mended
        [ "$variant" = unmended ] && program=$unmended
        "$program" --benchmark_filter="$filter" --benchmark_min_time=0.2 \
                   --benchmark_format=json --benchmark_out_format=json \
                   --benchmark_out="$results/$variant-$round.json" >/dev/null
    done
done

python3 - "$results" "$rounds" <<'EOF'
import json, sys

folder, rounds = sys.argv[1], int(sys.argv[2])
times = {"mended": {}, "unmended": {}}
order = []

for variant in times:
    for r in range(1, rounds + 1):
        with open(f"{folder}/{variant}-{r}.json") as f:
            run = json.load(f)
        if run["context"].get("juce_core") != variant:
            sys.exit(f"the {variant} program was built against the {run['context'].get('juce_core')} juce_core")
        for b in run["benchmarks"]:
            name = b["name"] + (" " + b["label"] if b.get("label") else "")
            if name not in order:
                order.append(name)
            times[variant].setdefault(name, []).append((b["cpu_time"], b["time_unit"]))

print(f"{'case':44} {'mended':>14} {'unmended':>14} {'ratio':>7}")
worst = 0.0
for name in order:
    m = min(t for t, _ in times["mended"][name])
    u = min(t for t, _ in times["unmended"][name])
    unit = times["mended"][name][0][1]
    ratio = m / u
    worst = max(worst, ratio)
    print(f"{name:44} {m:11.3f} {unit:2} {u:11.3f} {unit:2} {ratio:7.3f}")
print(f"highest ratio {worst:.3f} (goal: at most 1.05)")
EOF
