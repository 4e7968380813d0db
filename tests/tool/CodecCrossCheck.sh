#!/usr/bin/env bash
# The codecs of 编码/解码 against independent implementations: coreutils base64 and basenc,
# iconv's GB18030 and UTF-16 converters for the escapes, and a perl rendering of the cipher's
# key-stream arithmetic. Usage: CodecCrossCheck.sh VELMOR_TEXT
set -euo pipefail
TOOL=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export LC_ALL=C
failures=0

check() {  # name expected-file actual-file
    if ! cmp -s "$2" "$3"; then
        echo "FAIL: $1" >&2
        head -c 200 "$2" | od -An -c | head -3 >&2
        head -c 200 "$3" | od -An -c | head -3 >&2
        failures=$((failures + 1))
    fi
}

# Random bytes without zero bytes (a document holds none), of lengths around the group sizes.
random_bytes() {  # seed length
    perl -e 'srand($ARGV[0]); print map { chr(1 + int(rand(255))) } 1 .. $ARGV[1]' "$1" "$2"
}

# Random text of characters both code pages agree on: ASCII, the ideographs U+4E00-U+9FA5,
# Latin-1 letters and four-byte characters of plane 1 (iconv gives a few ideographs of plane 2
# the two-byte codes of the private use area that code page 936 reads as such).
random_text() {  # seed length
    perl -e 'srand($ARGV[0]); binmode STDOUT, ":utf8";
        print map { my $r = rand(10);
            chr($r < 4 ? 1 + int(rand(127)) : $r < 8 ? 0x4E00 + int(rand(0x51A5))
              : $r < 9 ? 0xC0 + int(rand(0x40)) : 0x10000 + int(rand(0x10000))) } 1 .. $ARGV[1]' \
        "$1" "$2" | iconv -f UTF-8 -t GB18030
}

# The key stream as written: counters keep the 1-based position they designate.
rc4_reference() {  # key-file data-file
    perl -e '
        local $/; open my $k, "<", $ARGV[0]; my @key = map ord, split //, <$k>;
        open my $d, "<", $ARGV[1]; my @data = map ord, split //, <$d>;
        my @s = 0 .. 255; my $n = @key; my $j = 0;
        for my $i (0 .. 255) {
            $j = (($j + $s[$i] + ($n ? $key[$i % $n] : 0)) % 256) + 1;
            @s[$i, $j - 1] = @s[$j - 1, $i];
        }
        my ($i, $jj) = (0, 0);
        for my $b (@data) {
            $i = (($i + 1) % 256) + 1;
            $jj = (($jj + $s[$i - 1]) % 256) + 1;
            @s[$i - 1, $jj - 1] = @s[$jj - 1, $i - 1];
            printf "%02X,", $b ^ $s[($s[$i - 1] + $s[$jj - 1]) % 256];
        }' "$1" "$2"
}

# The longer ones span several of the chunks the encoders work in.
for length in 0 1 2 3 4 5 63 64 65 1000 4099 12289 40000; do
    random_bytes "$length" "$length" > "$WORK/in"

    base64 -w0 < "$WORK/in" > "$WORK/expected"
    "$TOOL" --in "$WORK/in" 编码/解码 > "$WORK/actual"
    check "base64 encode of $length bytes" "$WORK/expected" "$WORK/actual"
    base64 < "$WORK/in" | sed 's/$/\r/' > "$WORK/lines"
    "$TOOL" --in "$WORK/lines" 编码/解码 单选框_解密 > "$WORK/actual"
    check "base64 decode of $length bytes in CR LF lines" "$WORK/in" "$WORK/actual"

    basenc --base16 -w0 < "$WORK/in" > "$WORK/expected"
    "$TOOL" --in "$WORK/in" 编码/解码 组合框_编解码方式=十六进制 > "$WORK/actual"
    check "hex encode of $length bytes" "$WORK/expected" "$WORK/actual"
    "$TOOL" --in "$WORK/expected" 编码/解码 组合框_编解码方式=十六进制 单选框_解密 > "$WORK/actual"
    check "hex decode of $length bytes" "$WORK/in" "$WORK/actual"

    # Keys pass through the command line, so they are kept to printable ASCII.
    perl -e 'srand($ARGV[0]); print map { chr(33 + int(rand(94))) } 1 .. $ARGV[1]' \
        $((length + 7)) $((length % 9)) | tr '\\' '/' > "$WORK/key"
    rc4_reference "$WORK/key" "$WORK/in" > "$WORK/expected"
    "$TOOL" --in "$WORK/in" 编码/解码 组合框_编解码方式=RC4 "编辑框_密钥=$(cat "$WORK/key")" \
        > "$WORK/actual"
    check "rc4 encode of $length bytes" "$WORK/expected" "$WORK/actual"

    random_text "$length" "$length" > "$WORK/text"
    iconv -f GB18030 -t UTF-16BE < "$WORK/text" | od -An -v -tx1 | tr -d ' \n' |
        sed 's/..../\\u&/g' > "$WORK/expected"
    [ -s "$WORK/text" ] || printf '\\u' > "$WORK/expected"
    "$TOOL" --in "$WORK/text" 编码/解码 组合框_编解码方式=U码转换 > "$WORK/actual"
    check "to16on of $length characters" "$WORK/expected" "$WORK/actual"
    if [ -s "$WORK/text" ]; then
        "$TOOL" --in "$WORK/expected" 编码/解码 组合框_编解码方式=U码转换 组合框_U码转换的类型=to16un \
            > "$WORK/actual"
        check "to16un of $length characters" "$WORK/text" "$WORK/actual"
    fi

    iconv -f GB18030 -t UTF-16BE < "$WORK/text" |
        perl -e 'local $/; print map { "&#$_;" } unpack "n*", <STDIN>' > "$WORK/expected"
    [ -s "$WORK/text" ] || printf '&#;' > "$WORK/expected"
    "$TOOL" --in "$WORK/text" 编码/解码 组合框_编解码方式=U码转换 组合框_U码转换的类型=to10on \
        > "$WORK/actual"
    check "to10on of $length characters" "$WORK/expected" "$WORK/actual"
    "$TOOL" --in "$WORK/expected" 编码/解码 组合框_编解码方式=U码转换 组合框_U码转换的类型=to10un \
        > "$WORK/actual"
    check "to10un of $length characters" "$WORK/text" "$WORK/actual"
done

# Documents of several of the steps the runner streams a file in, and the same read from a
# pipe, whose size is not known before (so the encoding waits for the whole document).
for length in 1048577 1572866; do
    random_bytes "$length" "$length" > "$WORK/in"
    base64 -w0 < "$WORK/in" > "$WORK/expected"
    "$TOOL" --in "$WORK/in" 编码/解码 > "$WORK/actual"
    check "base64 encode of $length bytes from a file" "$WORK/expected" "$WORK/actual"
    "$TOOL" 编码/解码 < "$WORK/in" | cat > "$WORK/actual"
    check "base64 encode of $length bytes from a pipe" "$WORK/expected" "$WORK/actual"
    basenc --base16 -w0 < "$WORK/in" > "$WORK/expected"
    "$TOOL" --in "$WORK/in" --out "$WORK/actual" 编码/解码 组合框_编解码方式=十六进制
    check "hex encode of $length bytes to a file" "$WORK/expected" "$WORK/actual"
done

exit $((failures > 0))
