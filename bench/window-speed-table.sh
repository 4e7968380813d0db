#!/usr/bin/env bash
# The window's speed table: each whole-document command run from the window (press until the
# window takes input again) against the same command as the shell runner runs it plus one
# ReplaceText of its result, one process per side, timed pair by pair with ratio.py.
#
#   bench/window-speed-table.sh BUILD_DIR                 # mix-100m
#   RUNS=9 CASES='0 4' bench/window-speed-table.sh build/test
#
# Both sides first read the document and put it in the window; the setup row times that alone,
# so that window_s and shell_s are the medians less it. ratio is ratio.py's, of whole processes,
# which the setup pulls towards 1; net is window_s over shell_s. VELMOR_DOCUMENT picks another
# corpus file.
set -euo pipefail

build=${1:?usage: window-speed-table.sh BUILD_DIR}
ratio=${RATIO:-/work/shared/bench/ratio.py}
runs=${RUNS:-5}
cases=${CASES:-0 1 2 3 4 5 6 7}
bench=$(realpath "$build/bench/bench_BackgroundCommandBench")
export QT_QPA_PLATFORM=offscreen

# side SIDE CASE: a command line that fails when the benchmark skipped its run.
side() {
    echo "! (VELMOR_SIDE=$1 $bench --benchmark_filter=Side/case:$2/ 2>&1 | grep -q 'ERROR OCCURRED')"
}

# medians CASE A B: ratio.py's two medians and its ratio, space-separated.
medians() {
    python3 "$ratio" --runs "$runs" --max 99 --a "$(side "$2" "$1")" --b "$(side "$3" "$1")" |
        sed -n 's/^A median \([0-9.]*\)s, B median \([0-9.]*\)s$/\1 \2/p; s/.*ratio \([0-9.]*\).*/\1/p' |
        tr '\n' ' '
}

echo "# $(date -u +%FT%TZ), $(nproc) cores, $runs pairs per row, ${VELMOR_DOCUMENT:-mix-100m.gbk}"
read -r setup _ _ <<<"$(medians 0 setup setup)"
printf '%-20s %9s %9s %6s %6s %s\n' command window_s shell_s ratio net load
printf '%-20s %9s %9s %6s %6s %s\n' setup "$setup" "$setup" - - "$(cut -d' ' -f1-3 /proc/loadavg)"
# The cases of BM_Side, in order.
names=(到小写 到繁体 到全角 正则替换/提取 插入序号文本 编码/解码:十六进制 多换行符变单换行符 合并)
for c in $cases; do
    read -r a b r <<<"$(medians "$c" window shell)"
    awk -v n="${names[$c]}" -v a="$a" -v b="$b" -v s="$setup" -v r="$r" -v l="$(cut -d' ' -f1-3 /proc/loadavg)" \
        'BEGIN { printf "%-20s %9.3f %9.3f %6s %6.2f %s\n", n, a - s, b - s, r, (a - s) / (b - s), l }'
done
