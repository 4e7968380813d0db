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
