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

# Scripts go byte for byte into a fresh folder of mode 0700 under the temporary directory, past
# a link planted at the old fixed name, and are not started here.
printf 'mine' > victim
ln -s "$work/victim" ls.bat
printf 'echo \xd6\xd0' | env -u XDG_RUNTIME_DIR TMPDIR="$work" "$tool" 运行BAT > /dev/null 2>err.txt
script=$(sed -n 's/.*脚本已保存到 \(.*\/ls\.bat\)，.*/\1/p' err.txt)
case "$script" in "$work"/velmor-script-*/ls.bat) ;; *) fail "script message: $(cat err.txt)" ;; esac
cmp "$script" <(printf 'echo \xd6\xd0') || fail "ls.bat differs"
[ "$(stat -c %a "$(dirname "$script")")" = 700 ] || fail "script folder is not 0700"
[ "$(cat victim)" = mine ] || fail "the script went through a planted link"

# A named pipe or a device in a list is named as not processed, and the run does not wait.
mkfifo pipe
err=$(timeout 10 "$tool" 合并/拆分 列表框1=pipe 列表框1=/dev/zero 编辑框_目录1=out/ press=按钮_拆分 2>&1) \
    || [ $? != 124 ] || fail "split waited on a pipe"
[ "$err" = "错误 文件拆分完成！\n以下文件未能处理：\npipe：不是普通文件，未处理\n/dev/zero：不是普通文件，未处理" ] \
    || fail "pipe and device: $err"

# A read-only file is left untouched and named, as an ordinary user (nobody, when run as root).
as_user=()
if [ "$(id -u)" = 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chmod 755 "$work"
fi
mkdir shared
printf 'abc' > shared/ro.txt
chmod 444 shared/ro.txt
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup shared
chmod 755 shared
err=$("${as_user[@]}" "$tool" 增/删\ 文件头/尾 列表框2=shared/ro.txt 选择框_头=1 编辑框_关键字=## 2>&1) || true
[ "$(cat shared/ro.txt)" = abc ] || fail "a read-only file was edited"
case "$err" in *"shared/ro.txt：文件不可写（只读或无权限），文件未改动"*) ;; *) fail "read-only: $err" ;; esac
