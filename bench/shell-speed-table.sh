#!/usr/bin/env bash
# The shell runner's speed table: each row's velmor-text run beside its anchor, timed pair by
# pair with ratio.py (output to /dev/null on both sides), with the peak RSS of our side beside
# the document's size.
#
#   bench/shell-speed-table.sh BUILD_DIR [DOCUMENT ...]   # default: mix-100m and zh-100m
#   RUNS=5 ONLY='upper b64' bench/shell-speed-table.sh build/test /tmp/big.gbk
#
# A document is a GBK file; the UTF-8 row reads its twin (the same name ending in .utf8), or
# one made with iconv under $TWINS when there is none.
set -euo pipefail
export LC_ALL=C

build=${1:?usage: shell-speed-table.sh BUILD_DIR [DOCUMENT ...]}
shift
corpus=${CORPUS:-/tmp/velmor-corpus}
ratio=${RATIO:-/work/shared/bench/ratio.py}
runs=${RUNS:-5}
only=${ONLY:-}
tool=$(realpath "$build/velmor-text")
documents=("$@")
((${#documents[@]})) || documents=("$corpus/mix-100m.gbk" "$corpus/zh-100m.gbk")

# row NAME GOAL INPUT "OUR STEPS" "ANCHOR COMMAND"
row() {
    local name=$1 goal=$2 input=$3 ours=$4 anchor=$5
    if [ -n "$only" ] && [[ " $only " != *" $name "* ]]; then return 0; fi
    local a="$tool --in $input $ours >/dev/null"
    local result rss
    result=$(python3 "$ratio" --runs "$runs" --max "$goal" --label "$name" --a "$a" --b "$anchor" |
        tail -1 | sed 's/.*ratio \([0-9.]*\).*/\1/') || true
    rss=$(/usr/bin/time -f %M sh -c "$a" 2>&1 >/dev/null | tail -1)
    printf '%-8s %-14s %6s %6s %9.0f %9.0f %s\n' "$name" "$(basename "$input")" "$result" \
        "$goal" "$((rss / 1024))" "$(($(stat -c %s "$input") / 1000000))" \
        "$(cut -d' ' -f1-3 /proc/loadavg)"
}

echo "# $(date -u +%FT%TZ), $(nproc) cores, $runs pairs per row"
printf '%-8s %-14s %6s %6s %9s %9s %s\n' row document ratio goal rss_MB doc_MB load
for doc in "${documents[@]}"; do
    utf8=${doc%.gbk}.utf8
    if [ ! -s "$utf8" ]; then
        utf8=${TWINS:-/tmp/velmor-twins}/$(basename "${doc%.gbk}").utf8
        mkdir -p "$(dirname "$utf8")"
        [ -s "$utf8" ] || iconv -f GBK -t UTF-8 <"$doc" >"$utf8"
    fi
    row upper 1.0 "$doc" 到大写 "tr a-z A-Z <$doc >/dev/null"
    row b64 1.0 "$doc" 编码/解码 "base64 -w0 <$doc >/dev/null"
    row hex 1.0 "$doc" "编码/解码 组合框_编解码方式=十六进制" "basenc --base16 -w0 <$doc >/dev/null"
    row utf8 0.35 "$utf8" "--utf8 到大写" \
        "iconv -f UTF-8 -t GBK <$utf8 >/dev/null; iconv -f GBK -t UTF-8 <$doc >/dev/null"
    row half 0.05 "$doc" 到半角 \
        "uconv -f gbk -t gbk -x '[\\uFF01-\\uFF5E\\u3000] Fullwidth-Halfwidth' <$doc >/dev/null"
done
