#!/usr/bin/env bash
# Whole-process times and peak memory of the codecs of 编码/解码, the collapse of blank lines and
# the "汉字" filter through velmor-text beside the command-line tool doing the same conversion,
# on the same input, interleaved pair by pair so that the ratios hold on a busy machine. Output
# goes to /dev/null on both sides.
#
#   bench/codec-vs-anchors.sh BUILD_DIR        # RUNS=3 pairs by default; ONLY='b64-encode ...'
#   HUGE=1 bench/codec-vs-anchors.sh BUILD_DIR # our side with malloc's transparent huge pages
#
# Each row gives the median wall time, the median CPU time (user + system) and the largest peak
# RSS of either side, and the two ratios ours / anchor. The memory column in documents is our
# peak RSS over the larger of the input and the output, the unit "copies of the document" is
# measured in.
set -euo pipefail
export LC_ALL=C

build=${1:?usage: codec-vs-anchors.sh BUILD_DIR}
corpus=${CORPUS:-/tmp/velmor-corpus}
runs=${RUNS:-3}
only=${ONLY:-}
tool="$build/velmor-text"
size_mb=${SIZE:-100}
doc="$corpus/zh-${size_mb}m.gbk"
# Line breaks and character classes mixed as in ordinary documents.
mix="$corpus/mix-${size_mb}m.gbk"
derived=${DERIVED:-/tmp/velmor-codec-inputs/${size_mb}m}
mkdir -p "$derived"

# Decoder inputs, written once by the anchor encoders.
[ -s "$derived/zh.b64" ] || base64 -w0 <"$doc" >"$derived/zh.b64"
[ -s "$derived/zh.B16" ] || basenc --base16 -w0 <"$doc" >"$derived/zh.B16"
[ -s "$derived/zh.uesc" ] || perl -MEncode -pe \
    '$_ = decode("cp936", $_); s/([^\x00-\x7F])/sprintf("\\u%04X", ord $1)/ge' <"$doc" >"$derived/zh.uesc"
[ -s "$derived/zh.dref" ] || perl -MEncode -pe \
    '$_ = decode("cp936", $_); s/([^\x00-\x7F])/sprintf("&#%d;", ord $1)/ge' <"$doc" >"$derived/zh.dref"
[ -s "$derived/zh.rc4" ] || "$tool" --in "$doc" 编码/解码 组合框_编解码方式=RC4 编辑框_密钥=key >"$derived/zh.rc4"

ours_env=()
[ -n "${HUGE:-}" ] && ours_env=(env GLIBC_TUNABLES=glibc.malloc.hugetlb=1)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints "wall cpu rss_kb" of one run of the command, its output thrown away.
measure() {
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null
    awk '{ printf "%.3f %.3f %d\n", $1, $2 + $3, $4 }' "$work/time"
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
largest() { printf '%s\n' "$@" | sort -n | tail -1; }

echo "# $(date -u +%FT%TZ), load $(cut -d' ' -f1-3 /proc/loadavg), $runs pairs, medians${HUGE:+, huge pages}"
printf '%-12s %8s %8s %8s %8s %7s %7s %8s %8s %6s\n' row ours_s anchor_s ours_cpu anc_cpu \
    wall_x cpu_x ours_MB anc_MB docs

# row NAME INPUT OUTPUT_BYTES VELMOR-TEXT-STEPS... -- ANCHOR COMMAND...
row() {
    local name=$1 input=$2 outputBytes=$3
    shift 3
    if [ -n "$only" ] && [[ " $only " != *" $name "* ]]; then return 0; fi
    local ours=() anchor=()
    while [ "$1" != "--" ]; do ours+=("$1"); shift; done
    shift
    local ow=() oc=() om=() aw=() ac=() am=() w c m
    for ((k = 0; k < runs; k++)); do
        read -r w c m < <(measure "${ours_env[@]}" "$tool" --in "$input" "${ours[@]}")
        ow+=("$w"); oc+=("$c"); om+=("$m")
        if (($#)); then
            read -r w c m < <(measure sh -c "{ $1; } <\"\$0\"" "$input")
            aw+=("$w"); ac+=("$c"); am+=("$m")
        fi
    done
    local a b ca cb ma mb size
    a=$(median "${ow[@]}"); ca=$(median "${oc[@]}"); ma=$(largest "${om[@]}")
    size=$(stat -c %s "$input")
    ((outputBytes > size)) && size=$outputBytes
    if (($#)); then
        b=$(median "${aw[@]}"); cb=$(median "${ac[@]}"); mb=$(largest "${am[@]}")
    else
        b=0; cb=0; mb=0
    fi
    awk -v n="$name" -v a="$a" -v b="$b" -v ca="$ca" -v cb="$cb" -v ma="$ma" -v mb="$mb" \
        -v size="$size" -v bytes="$(stat -c %s "$input")" 'BEGIN {
        wx = b > 0 ? sprintf("%.2f", a / b) : sprintf("%.0fMB/s", bytes / 1e6 / a)
        cx = cb > 0 ? sprintf("%.2f", ca / cb) : "-"
        printf "%-12s %8.2f %8.2f %8.2f %8.2f %7s %7s %8.0f %8.0f %6.2f\n", n, a, b, ca, cb, wx, cx,
            ma / 1024, mb / 1024, ma * 1024 / size }'
}

b64=$(stat -c %s "$derived/zh.b64")
b16=$(stat -c %s "$derived/zh.B16")
size=$(stat -c %s "$doc")
row b64-encode "$doc" "$b64" 编码/解码 -- 'base64 -w0'
row b64-decode "$derived/zh.b64" 0 编码/解码 单选框_解密 -- 'base64 -d'
row hex-encode "$doc" "$b16" 编码/解码 组合框_编解码方式=十六进制 -- 'basenc --base16 -w0'
row hex-decode "$derived/zh.B16" 0 编码/解码 组合框_编解码方式=十六进制 单选框_解密 -- \
    'basenc -d --base16'
row to16on "$doc" "$(stat -c %s "$derived/zh.uesc")" 编码/解码 组合框_编解码方式=U码转换 \
    组合框_U码转换的类型=to16on -- \
    'perl -MEncode -pe '\''$_ = decode("cp936", $_); s/([^\x00-\x7F])/sprintf("\\u%04X", ord $1)/ge'\'
row to16un "$derived/zh.uesc" 0 编码/解码 组合框_编解码方式=U码转换 组合框_U码转换的类型=to16un -- \
    'perl -MEncode -pe '\''s/\\u([0-9A-Fa-f]{4})/chr hex $1/ge; $_ = encode("cp936", $_)'\'
row to10un "$derived/zh.dref" 0 编码/解码 组合框_编解码方式=U码转换 组合框_U码转换的类型=to10un -- \
    'perl -MEncode -pe '\''s/&#(\d+);/chr $1/ge; $_ = encode("cp936", $_)'\'
row collapse "$mix" 0 多换行符变单换行符 -- 'perl -0777 -pe '\''s/(\r\n){2,}/\r\n/g'\'
row chinese "$doc" 0 汉字 -- \
    'iconv -f GBK -t UTF-8 | perl -CSD -pe '\''s/[\x20-\x7f]//g'\'' | iconv -f UTF-8 -t GBK'
row rc4-encode "$doc" $((3 * size)) 编码/解码 组合框_编解码方式=RC4 编辑框_密钥=key --
row rc4-decode "$derived/zh.rc4" 0 编码/解码 组合框_编解码方式=RC4 编辑框_密钥=key 单选框_解密 --
