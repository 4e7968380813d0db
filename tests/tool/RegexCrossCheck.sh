#!/usr/bin/env bash
# Regular-expression extract and replace, and basic replace, against perl and sed in the C
# locale on a generated GBK text. Digits never occur as trail bytes, and the Chinese word is
# only ever preceded by ASCII, so the byte-level tools see the same occurrences as the
# character walk.
set -euo pipefail
tool=$1
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A few hundred KB: Chinese words, numbers that nest ("12" inside "4123"), ASCII words, CR LF.
perl -e '
    srand(11);
    my @zh = ("\xD6\xD0\xCE\xC4", "\xB2\xE2\xCA\xD4", "\xCA\xFD\xBE\xDD", "\xA1\xA3");
    my @en = ("alpha", "Beta", "GAMMA", "x");
    my $out = "";
    for my $i (1 .. 40000) {
        my $r = rand();
        $out .= $r < 0.4 ? $zh[rand @zh] : $r < 0.7 ? int(rand(10 ** (1 + int rand 4))) : " " . $en[rand @en] . " ";
        $out .= "\r\n" if $i % 17 == 0;
    }
    print $out;
' > "$work/in.gbk"

fail() { echo "$1"; exit 1; }

# Extract: every match followed by CR LF.
"$tool" --in "$work/in.gbk" --out "$work/out" 正则替换/提取 编辑框_正则=[0-9]+ 单选框2
perl -0777 -ne 'print "$&\r\n" while /[0-9]+/g' "$work/in.gbk" > "$work/expected"
cmp -s "$work/out" "$work/expected" || fail "extract of [0-9]+ differs from perl"

# Replace: one global substitution per matched text, in match order.
"$tool" --in "$work/in.gbk" --out "$work/out" 正则替换/提取 编辑框_正则=[0-9]+ 编辑框2=#
perl -0777 -ne '
    my @m = /[0-9]+/g; my $t = $_;
    for my $m (@m) { $t =~ s/\Q$m\E/#/g }
    print $t' "$work/in.gbk" > "$work/expected"
cmp -s "$work/out" "$work/expected" || fail "replace of [0-9]+ differs from perl"

# Case-insensitive letters: a folded text replaces every case variant.
"$tool" --in "$work/in.gbk" --out "$work/out" 正则替换/提取 "编辑框_正则=[A-Z]+" 编辑框2=-
perl -0777 -ne '
    my @m = /[A-Z]+/gi; my $t = $_;
    for my $m (@m) { $t =~ s/\Q$m\E/-/gi }
    print $t' "$work/in.gbk" > "$work/expected"
cmp -s "$work/out" "$work/expected" || fail "case-insensitive replace differs from perl"

# Basic replace of a two-character Chinese word.
"$tool" --in "$work/in.gbk" --out "$work/out" 基本替换 编辑框1=测试 编辑框2=检验
sed 's/\xB2\xE2\xCA\xD4/\xBC\xEC\xD1\xE9/g' "$work/in.gbk" > "$work/expected"
cmp -s "$work/out" "$work/expected" || fail "basic replace differs from sed"
