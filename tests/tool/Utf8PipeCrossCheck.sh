#!/usr/bin/env bash
# A UTF-8 document of a few megabytes read in pieces, so that they end inside
# characters, against tr: ASCII letters changed in UTF-8 are what the GBK walk changes, since
# no UTF-8 byte of another character is below 0x80 and no letter is a trail byte of the four-
# byte codes of characters outside the code page. Usage: Utf8PipeCrossCheck.sh VELMOR_TEXT
set -euo pipefail
TOOL=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export LC_ALL=C

# Ideographs, Latin-1 letters, full-width forms and ASCII words in random lines.
perl -e 'srand(11); binmode STDOUT, ":utf8";
    my @pick = (sub { chr(0x4E00 + int(rand(0x51A5))) }, sub { chr(0xC0 + int(rand(0x3F))) },
                sub { chr(0xFF01 + int(rand(0x5E))) }, sub { ("ab", "Zq ", "x1", "\r\n")[rand 4] });
    my $n = 0;
    while ($n < 3_000_000) { my $s = $pick[rand @pick]->(); $n += length $s; print $s }' \
    > "$WORK/in.utf8"

failures=0
# Read from a pipe, and from a file (read once more before, to see that the result will be
# UTF-8) to standard output and to a file.
check() {  # command tr-from tr-to
    tr "$2" "$3" < "$WORK/in.utf8" > "$WORK/expected.utf8"
    cat "$WORK/in.utf8" | "$TOOL" --utf8 "$1" > "$WORK/piped.utf8"
    "$TOOL" --utf8 --in "$WORK/in.utf8" "$1" > "$WORK/read.utf8"
    "$TOOL" --utf8 --in "$WORK/in.utf8" --out "$WORK/written.utf8" "$1"
    for way in piped read written; do
        cmp -s "$WORK/expected.utf8" "$WORK/$way.utf8" ||
            { echo "FAIL: --utf8 $1 $way" >&2; failures=1; }
    done
}
check 到大写 a-z A-Z
check 到小写 A-Z a-z
exit $failures
