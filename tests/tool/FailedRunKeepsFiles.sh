#!/usr/bin/env bash
# A run that cannot read its input or write its output exits 1 with one line on standard
# error and leaves every file as it was; --out may name the --in file.
set -uo pipefail
tool=$1
work=$(mktemp -d)
cleanup() {
    mountpoint -q "$work/small" && umount "$work/small"
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$*"; exit 1; }

expect_error() {  # name status err-file
    [ "$2" = 1 ] || fail "$1: exit $2, wanted 1"
    [ "$(wc -l < "$3")" = 1 ] || fail "$1: standard error is not one line: $(cat "$3")"
}

# Standard input that is a folder or closed is a read error, not an empty document.
"$tool" 到大写 < "$work" > "$work/out" 2> "$work/err"
expect_error "stdin a folder" $? "$work/err"
[ ! -s "$work/out" ] || fail "stdin a folder: wrote output"
"$tool" 到大写 <&- > "$work/out" 2> "$work/err"
expect_error "stdin closed" $? "$work/err"
[ ! -s "$work/out" ] || fail "stdin closed: wrote output"

# The input file is also the output file.
printf 'abc\r\n' > "$work/doc.txt"
"$tool" --in "$work/doc.txt" --out "$work/doc.txt" 到大写 || fail "in-place run failed"
[ "$(cat "$work/doc.txt")" = "$(printf 'ABC\r\n')" ] || fail "in-place: got $(od -c "$work/doc.txt")"

# A device is written, not replaced.
printf 'abc' | "$tool" --out /dev/null 到大写 || fail "--out /dev/null failed"
[ -c /dev/null ] || fail "/dev/null was replaced"

# A failed write (file size limit) leaves the old output whole.
head -c 16000 /dev/zero | tr '\0' 'o' > "$work/old.txt"
cp "$work/old.txt" "$work/keep.txt"
( trap '' XFSZ; ulimit -f 8; head -c 20000 /dev/zero | tr '\0' 'n' | "$tool" --out "$work/keep.txt" 到大写 ) \
    2> "$work/err"
expect_error "file size limit" $? "$work/err"
cmp -s "$work/old.txt" "$work/keep.txt" || fail "file size limit: the old output was changed"

# A read-only output file is refused and left as it was, as an ordinary user (nobody when the
# test runs as root), though its folder would let it be replaced.
as_user=()
if [ "$(id -u)" = 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chmod 755 "$work"
fi
mkdir "$work/shared"
cp "$work/old.txt" "$work/shared/ro.txt"
chmod 444 "$work/shared/ro.txt"
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$work/shared"
printf 'new' | "${as_user[@]}" "$tool" --out "$work/shared/ro.txt" 到大写 2> "$work/err"
expect_error "read-only output" $? "$work/err"
cmp -s "$work/old.txt" "$work/shared/ro.txt" || fail "read-only output: the file was changed"
[ "$(ls -A "$work/shared")" = ro.txt ] || fail "read-only output: left $(ls -A "$work/shared")"

# A full disk, where a small tmpfs can be mounted.
mkdir "$work/small"
if mount -t tmpfs -o size=64k tmpfs "$work/small" 2>/dev/null; then
    cp "$work/old.txt" "$work/small/out.txt"
    head -c 70000 /dev/zero | tr '\0' 'n' | "$tool" --out "$work/small/out.txt" 到大写 \
        2> "$work/err"
    expect_error "full disk" $? "$work/err"
    cmp -s "$work/old.txt" "$work/small/out.txt" || fail "full disk: the old output was changed"
    [ "$(ls -A "$work/small")" = out.txt ] || fail "full disk: left $(ls -A "$work/small")"
else
    echo "no tmpfs could be mounted: full-disk run skipped (the file size limit covers it)"
fi
echo "1 passed, 0 failed"
