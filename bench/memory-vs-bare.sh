#!/bin/bash
# Peak and steady resident memory of opening a document through the window (word wrap on, as
# at start-up) beside a plain QScintilla widget given the same text as UTF-8 without wrap;
# then typing after opening and the undo history. Each benchmark runs in a process of its
# own, window and anchor alternated, so that every peak is that run's own.
#   bench/memory-vs-bare.sh BUILD_DIR [GBK_FILE] [PAIRS]
set -euo pipefail
build=${1:?usage: memory-vs-bare.sh BUILD_DIR [GBK_FILE] [PAIRS]}
file=${2:-/tmp/velmor-corpus/zh-100m.gbk}
pairs=${3:-3}
bench="$build/bench/bench_MemoryBench"
export QT_QPA_PLATFORM=offscreen VELMOR_MEMORY_FILE="$file"

run() {
    echo "load: $(uptime | sed 's/.*load average: //')"
    /usr/bin/time -f "  wall %e s, cpu %U+%S s, max rss %M KB" "$bench" \
        --benchmark_filter="^$1\$" 2>&1 | grep -E '^BM_|wall'
}

echo "== $file"
for _ in $(seq "$pairs"); do
    run 'BM_OpenBareWidget/iterations:1'
    run 'BM_OpenInWindow/wrapAll:0/iterations:1'
done
run 'BM_OpenInWindow/wrapAll:1/iterations:1'
run 'BM_TypeAfterOpen/iterations:1'
run 'BM_HistoryAfterCommands/keysBetween:0/iterations:1'
run 'BM_HistoryAfterCommands/keysBetween:5/iterations:1'
