#!/bin/bash
# The paragraph and space commands against awk doing the same transform on an ASCII document
# of CR LF paragraphs (blank lines, leading and trailing spaces, no final line break).
# Usage: ParagraphAwkCrossCheck.sh VELMOR_TEXT
set -u
tool="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk 'BEGIN {
    srand(8)
    for (i = 1; i <= 3000; i++) {
        line = ""
        if (rand() < 0.2) { print "" ; continue }
        for (k = int(rand() * 3); k > 0; k--) line = line " "
        for (k = 1 + int(rand() * 12); k > 0; k--) line = line substr("abcxyz019 ", 1 + int(rand() * 10), 1)
        for (k = int(rand() * 3); k > 0; k--) line = line " "
        print line
    }
    printf "last line without a break"
}' ORS='\r\n' >"$work/doc"

failures=0
check() {
    local name="$1" program="$2"
    shift 2
    "$tool" --in "$work/doc" "$@" >"$work/ours" || { echo "$name: velmor-text failed"; failures=$((failures + 1)); return; }
    awk "$program" RS='\r\n' ORS='\r\n' "$work/doc" >"$work/awk"
    if ! cmp -s "$work/ours" "$work/awk"; then
        echo "$name: differs from awk"
        cmp "$work/ours" "$work/awk" | head -1
        failures=$((failures + 1))
    fi
}

check numbered 'NR%2==0{print "x" NR ":" $0; next} {print}' \
    插入序号文本 单选框_倍数 编辑框1=2 编辑框_文本左=x 编辑框_起始号=1 编辑框_文本右=:
check numbered-end 'NR%3==0||NR%7==0{print $0 "<" NR+9 ">"; next} {print}' \
    插入序号文本 单选框_倍数 编辑框1=3,-7 编辑框_文本左='<' 编辑框_起始号=10 编辑框_文本右='>' 单选框_段尾
check fixed-odd 'NR%2==1{print "@" $0; next} {print}' 插入固定文本 单选框_奇数段 编辑框_文本=@
check whole-after 'NR==3||NR==50||NR==2999{print; print "new"; next} {print}' \
    插入整段 编辑框1=50,3,2999,0,99999 编辑框_文本=new 单选框_段后
check keep-multiples 'NR%3==0' 删除/保留段 单选框_倍数 编辑框1=3 单选框_保留
check delete-odd 'NR%2==0' 删除/保留段 单选框_奇数
check part-keep-first '{print substr($0, 1, 5)}' 删除/保留段部分 单选框_每段 编辑框_长度=5
check part-delete-last '{print substr($0, 1, length($0) > 4 ? length($0) - 4 : 0)}' \
    删除/保留段部分 单选框_每段 编辑框_长度=4 单选框_删除 单选框_尾
check indent '{sub(/^ +/, ""); print "   " $0}' 段前增减 编辑框1=3
check trim-every '{sub(/^ +/, ""); sub(/ +$/, ""); print}' 删除 单选框_段首尾 单选框_每段
check strip-multiples 'NR%5==0{gsub(/ /, "")} {print}' 删除 单选框_倍数 编辑框1=5

# Groups of four: awk prints the break itself after each complete group.
"$tool" --in "$work/doc" 合并 单选框_多段 编辑框1=4 >"$work/ours"
awk '{printf "%s", $0} NR%4==0{printf "\r\n"}' RS='\r\n' "$work/doc" >"$work/awk"
cmp -s "$work/ours" "$work/awk" || { echo "merge-groups: differs from awk"; failures=$((failures + 1)); }

exit $((failures > 0))
