#!/usr/bin/env bash
# The batch window's tabs through velmor-text, checked against cat, awk and iconv doing the
# same work on the same files.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"
fail() { echo "$*"; exit 1; }

mkdir in out
printf 'abc' > "in/a file.txt"
printf '\xd6\xd0\xce\xc4\r\nline\r\n' > "in/中文.txt"
printf '' > in/empty
printf 'x\r\ny\r\n\r\nz' > in/notes.old.txt

# Merge: the files joined by CR LF, as cat with the separator between them.
err=$("$tool" --now "2017-08-05 09:03:07" 合并/拆分 "列表框1=in/a file.txt" "列表框1=in/中文.txt" \
    列表框1=in/empty 编辑框_目录1=out/ press=按钮_合并 2>&1)
[ "$err" = "信息： 文件合并成功！" ] || fail "merge message: $err"
cmp out/201785937_合并.txt <(cat "in/a file.txt"; printf '\r\n'; cat "in/中文.txt"; printf '\r\n'; cat in/empty) \
    || fail "merge differs from cat"

# Split at CR LF: the same pieces awk writes with RS set to CR LF.
"$tool" 合并/拆分 列表框1=in/notes.old.txt 编辑框_目录1=out/ press=按钮_拆分 2>/dev/null
mkdir awk
awk 'BEGIN { RS = "\r\n" } { printf "%s", $0 > ("awk/notes_" NR ".txt"); close("awk/notes_" NR ".txt") }' \
    in/notes.old.txt
for piece in awk/*; do
    cmp "$piece" "out/$(basename "$piece")" || fail "piece $piece differs"
done
[ ! -e out/notes_5.txt ] || fail "an extra piece"

# A missing output folder: every piece fails and the file is named.
err=$("$tool" 合并/拆分 列表框1=in/notes.old.txt 编辑框_目录1=nowhere/ press=按钮_拆分 2>&1)
case "$err" in
    "错误 文件拆分完成！\n以下文件未能处理：\nin/notes.old.txt：第 1 块未能写入"*) ;;
    *) fail "split into a missing folder: $err" ;;
esac

# Head and tail with a backup.
cp "in/a file.txt" head.txt
"$tool" 增/删\ 文件头/尾 列表框2=head.txt 选择框_头=1 选择框_尾=1 编辑框_关键字=## 选择框_备份=1 2>/dev/null
[ "$(cat head.txt)" = "##abc##" ] || fail "head/tail: $(cat head.txt)"
[ "$(cat head.txt.bak)" = "abc" ] || fail "backup: $(cat head.txt.bak)"

# Encoding conversion both ways, against iconv's GB18030 (the euro sign 0x80 aside, which
# code page 936 gives one byte).
printf 'a\xd6\xd0\xce\xc4 \x81\x30\x84\x36 \x94\x39\xfc\x36\r\n' > gbk.txt
cp gbk.txt original.txt
"$tool" 编码转换 列表框3=gbk.txt 2>/dev/null
cmp gbk.txt <(iconv -f GB18030 -t UTF-8 original.txt) || fail "GBK to UTF-8 differs from iconv"
"$tool" 编码转换 列表框3=gbk.txt 单选框_到GBK 2>/dev/null
cmp gbk.txt original.txt || fail "UTF-8 back to GBK differs"
printf 'ok\xff' > bad.txt
err=$("$tool" 编码转换 列表框3=bad.txt 2>&1)
[ "$(od -An -tx1 bad.txt | tr -d ' ')" = "6f6bff" ] || fail "a bad file was changed"
case "$err" in *"bad.txt：含有不是 GBK 的字节，文件未改动") ;; *) fail "bad file: $err" ;; esac

# Scripts go to the temporary directory byte for byte and are not started here.
printf 'echo \xd6\xd0' | TMPDIR="$work" "$tool" 运行BAT > /dev/null 2>err.txt
cmp ls.bat <(printf 'echo \xd6\xd0') || fail "ls.bat differs"
grep -q "脚本已保存到 $work/ls.bat" err.txt || fail "script message: $(cat err.txt)"
