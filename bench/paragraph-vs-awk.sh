#!/usr/bin/env bash
# Whole-process times of the paragraph and space commands through velmor-text beside awk doing
# the same transform on the same document, interleaved pair by pair so that the ratios hold on
# a busy machine: median wall and CPU (user + system) times, their ratios, and our peak RSS.
# Output goes to /dev/null on both sides. The number fields hold 10 000 entries where a
# command takes entries.
#
#   bench/paragraph-vs-awk.sh BUILD_DIR [DOCUMENT]     # RUNS=3 by default
set -euo pipefail
export LC_ALL=C

build=${1:?usage: paragraph-vs-awk.sh BUILD_DIR [DOCUMENT]}
doc=${2:-/tmp/velmor-corpus/mix-100m.gbk}
runs=${RUNS:-3}
tool="$build/velmor-text"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

listed=$(seq 1 199 1990000 | head -10000 | paste -sd,)
sevens=$(seq 7 7 70000 | paste -sd,)
echo "document: $doc ($(stat -c %s "$doc") bytes, $(grep -c $'\r$' "$doc") paragraphs)"

# Prints "wall cpu rss_kb" of one run of the command, its output thrown away.
measure() {
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null
    awk '{ printf "%.3f %.3f %d\n", $1, $2 + $3, $4 }' "$work/time"
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }

echo "# $(date -u +%FT%TZ), load $(cut -d' ' -f1-3 /proc/loadavg), $runs pairs, medians"
printf '%-28s %8s %8s %8s %8s %7s %7s %8s\n' command ours_s awk_s ours_cpu awk_cpu wall_x \
    cpu_x ours_MB

# compare NAME 'AWK PROGRAM' VELMOR-TEXT ARGUMENTS...
compare() {
    local name="$1" program="$2"
    shift 2
    local ow=() oc=() om=() aw=() ac=() w c m
    for ((k = 0; k < runs; k++)); do
        read -r w c m < <(measure "$tool" --in "$doc" "$@")
        ow+=("$w"); oc+=("$c"); om+=("$m")
        read -r w c m < <(measure awk -v listed="$listed" -v sevens="$sevens" "$program" \
            RS='\r\n' ORS='\r\n' "$doc")
        aw+=("$w"); ac+=("$c")
    done
    awk -v n="$name" -v a="$(median "${ow[@]}")" -v b="$(median "${aw[@]}")" \
        -v ca="$(median "${oc[@]}")" -v cb="$(median "${ac[@]}")" -v m="$(median "${om[@]}")" \
        'BEGIN { printf "%-28s %8.2f %8.2f %8.2f %8.2f %7.2f %7.2f %8.0f\n", n, a, b, ca, cb,
                 a / b, ca / cb, m / 1024 }'
}

sel='BEGIN { n = split(listed, a, ","); for (k = 1; k <= n; k++) sel[a[k]] = 1 }'
mul='BEGIN { n = split(sevens, a, ","); for (k = 1; k <= n; k++) for (m = a[k]; m <= 3000000; m += a[k]) sel[m] = 1 }'

compare "numbered, multiples of 2" 'NR%2==0{print "x" NR ":" $0; next} {print}' \
    插入序号文本 单选框_倍数 编辑框1=2 编辑框_文本左=x 编辑框_起始号=1 编辑框_文本右=:
compare "numbered, 10 000 listed" "$sel"' (NR in sel){print "x" NR-1 $0; next} {print}' \
    插入序号文本 "编辑框1=$listed" 编辑框_文本左=x
compare "fixed text, every" '{print $0 "\241\243"}' 插入固定文本 单选框_每段 单选框_段尾 编辑框_文本=。
compare "whole paragraph, odd" 'NR%2==1{print; print "new"; next} {print}' \
    插入整段 单选框_奇数段 单选框_段后 编辑框_文本=new
compare "keep, 10 000 multiples" "$mul"' (NR in sel)' 删除/保留段 单选框_倍数 "编辑框1=$sevens" 单选框_保留
compare "delete, 10 000 listed" "$sel"' !(NR in sel)' 删除/保留段 "编辑框1=$listed"
compare "part, keep first 10" '{print substr($0, 1, 10)}' 删除/保留段部分 单选框_每段
compare "merge groups of 3" '{printf "%s", $0} NR%3==0{printf "\r\n"}' 合并 单选框_多段 编辑框1=3
compare "merge all" '{printf "%s", $0}' 合并
compare "indent 4" '{sub(/^( |\241\241)+/, ""); print "    " $0}' 段前增减
compare "strip spaces, every" '{gsub(/ |\241\241/, ""); print}' 删除 单选框_每段
compare "trim, 10 000 listed" "$sel"' (NR in sel){sub(/^( |\241\241)+/, ""); sub(/( |\241\241)+$/, "")} {print}' \
    删除 "编辑框1=$listed" 单选框_段首尾
