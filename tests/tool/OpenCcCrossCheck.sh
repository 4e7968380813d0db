#!/usr/bin/env bash
# 到繁体 and 到简体 against the opencc command-line tool, on text where every converted
# character has a GBK code and no phrase changes the length, so no padding rule applies.
# GBK goes in and out through glibc iconv.
set -euo pipefail
tool=$1
command -v opencc >/dev/null || { echo "opencc not installed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/simplified.txt" <<'TEXT'
我们在这里讨论简体中文和繁体中文的转换问题。头发长了要去理发店，经济发展需要时间。
计算机软件的开发过程中，测试与调试同样重要；数据库里面保存着许多历史记录。
他说："这个钟表走得很准，一天只差几秒钟。" 后来我们一起去了图书馆看书。
台风过后，乡村里的电线杆都倒了，工人们连夜抢修，恢复了供电与通讯。
TEXT
opencc -c s2t -i "$work/simplified.txt" -o "$work/traditional.txt"

check() {
    local name=$1 command=$2 utf8_in=$3 utf8_expected=$4
    iconv -f UTF-8 -t GBK "$utf8_in" > "$work/in.gbk"
    iconv -f UTF-8 -t GBK "$utf8_expected" > "$work/expected.gbk"
    "$tool" --in "$work/in.gbk" --out "$work/out.gbk" "$command"
    cmp "$work/out.gbk" "$work/expected.gbk" || { echo "$name differs from opencc"; exit 1; }
    "$tool" --utf8 "$command" < "$utf8_in" > "$work/out.utf8"
    cmp "$work/out.utf8" "$utf8_expected" || { echo "$name --utf8 differs from opencc"; exit 1; }
}

check traditional 到繁体 "$work/simplified.txt" "$work/traditional.txt"
opencc -c t2s -i "$work/traditional.txt" -o "$work/back.txt"
check simplified 到简体 "$work/traditional.txt" "$work/back.txt"
