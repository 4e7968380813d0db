#!/usr/bin/env bash
# Peak resident memory of whole-document commands run through velmor-text on one document,
# beside its size: each result either written (its size given) or refused with its message.
#
#   bench/shell-memory-table.sh BUILD_DIR [DOCUMENT]   # default: the 1.1 GB mixed document
set -euo pipefail
export LC_ALL=C

build=${1:?usage: shell-memory-table.sh BUILD_DIR [DOCUMENT]}
doc=${2:-/tmp/velmor-corpus/mix-1100m.gbk}
tool=$(realpath "$build/velmor-text")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
size=$(stat -c %s "$doc")

echo "# $(date -u +%FT%TZ), $(basename "$doc") $((size / 1000000)) MB, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-22s %8s %8s %6s %9s  %s\n' command wall_s rss_MB docs out_MB message
run() {
    local name=$1
    shift
    /usr/bin/time -f '%e %M' -o "$work/time" "$tool" --in "$doc" "$@" 2>"$work/err" |
        wc -c >"$work/out"
    local wall rss
    read -r wall rss <"$work/time"
    printf '%-22s %8.2f %8.0f %6.2f %9.0f  %s\n' "$name" "$wall" "$((rss / 1024))" \
        "$(awk -v r="$rss" -v s="$size" 'BEGIN { print r * 1024 / s }')" \
        "$(($(cat "$work/out") / 1000000))" "$(head -c 200 "$work/err" | tr '\n' ' ')"
}

run 到小写 到小写
run 到大写 到大写
run 到全角 到全角
run 到半角 到半角
run 到繁体 到繁体
run 到简体 到简体
run 正则替换 正则替换/提取 编辑框_正则=[0-9]+ 编辑框2=#
run 基本替换 基本替换 编辑框1=a 编辑框2=aa
run Base64 编码/解码
run 十六进制 编码/解码 组合框_编解码方式=十六进制
run 多换行符变单换行符 多换行符变单换行符
run 连续换行符数量变更 连续换行符数量变更
run 换行符前后文本 换行符前后文本 选择框1=1
run 段前增减 段前增减
run 插入序号文本 插入序号文本 单选框_每段 编辑框_文本左=x 编辑框_起始号=1 编辑框_文本右=:
run 汉字 汉字
