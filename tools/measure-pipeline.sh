#!/usr/bin/env bash
# Measures the packet pipeline: nanoseconds per packet (Google Benchmark) and
# instructions per packet inside the service-callback path (callgrind).
#   tools/measure-pipeline.sh   (after the host tree is built)
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/host/tests/bench

"$bench/pipeline_bench" --benchmark_min_time=0.5
echo
batches=2000
for kind in movement acceleration buttons; do
    out=$(mktemp)
    valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='ProcessServiceBatch*' \
        "$bench/pipeline_workload" "$kind" "$batches" >/dev/null 2>&1
    instructions=$(grep -E '^summary:' "$out" | awk '{print $2}')
    rm -f "$out"
    echo "$kind: $((instructions / (batches * 16))) instructions per packet"
done
