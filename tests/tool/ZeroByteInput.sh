#!/usr/bin/env bash
# The document is cut at the first zero byte, from standard input and from --in alike.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

got=$(printf 'ab\0cd' | "$tool" 到大写)
[ "$got" = "AB" ] || { echo "stdin: got '$got'"; exit 1; }

printf 'x\0y' > "$work/in.txt"
got=$("$tool" --in "$work/in.txt" 到大写)
[ "$got" = "X" ] || { echo "--in: got '$got'"; exit 1; }

# A zero byte at the edge of the half megabyte a streamed run reads at a time, and just past it.
for length in 524288 524289; do
    { head -c "$length" /dev/zero | tr '\0' 'a'; printf '\0bc'; } > "$work/edge.txt"
    head -c "$length" /dev/zero | tr '\0' 'A' > "$work/expected"
    "$tool" --in "$work/edge.txt" 到大写 > "$work/actual"
    cmp -s "$work/expected" "$work/actual" || { echo "zero at $length, --in: differs"; exit 1; }
    "$tool" 到大写 < "$work/edge.txt" | cat > "$work/actual"
    cmp -s "$work/expected" "$work/actual" || { echo "zero at $length, pipe: differs"; exit 1; }
done
