#!/usr/bin/env bash
# `cmake --install` and the Debian package put exactly the programs, the desktop entry, its
# icon and the man page in their places; velmor-text names its version.
set -euo pipefail
tool=$1
build=$(cd "$(dirname "$tool")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

expected="./usr/bin/velmor
./usr/bin/velmor-text
./usr/share/applications/velmor.desktop
./usr/share/icons/hicolor/scalable/apps/velmor.svg
./usr/share/man/man1/velmor-text.1.gz"

cmake --build "$build" --target velmor_man_pages > /dev/null
cmake --install "$build" --prefix "$work/stage/usr" > /dev/null
staged=$(cd "$work/stage" && find . -type f | sort)
[ "$staged" = "$expected" ] || fail "cmake --install put: $staged"

desktop="$work/stage/usr/share/applications/velmor.desktop"
grep -qx 'Name=Velmor记事本增强版' "$desktop" || fail "desktop entry: no name"
grep -qx 'Exec=velmor %F' "$desktop" || fail "desktop entry: Exec"
grep -qx 'MimeType=text/plain;' "$desktop" || fail "desktop entry: MimeType"
grep -qx 'Categories=Utility;TextEditor;' "$desktop" || fail "desktop entry: Categories"
grep -q '^GenericName=' "$desktop" || fail "desktop entry: GenericName"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry does not validate"
fi
zcat "$work/stage/usr/share/man/man1/velmor-text.1.gz" | grep -q '^\.TH VELMOR-TEXT 1' \
    || fail "man page is not a troff page"
if command -v man > /dev/null; then
    MANWIDTH=80 man -l "$work/stage/usr/share/man/man1/velmor-text.1.gz" 2> /dev/null \
        | grep -q 'EXIT STATUS' \
        || fail "man page does not render"
fi

version=$("$tool" --version)
[[ "$version" =~ ^velmor-text\ [0-9]+\.[0-9]+ ]] || fail "--version printed '$version'"

(cd "$build" && cpack -G DEB -B "$work/deb" > "$work/cpack.log" 2>&1) \
    || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/deb/*.deb)
listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$listed" = "$expected" ] || fail "the package holds: $listed"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6printsupport6 libqscintilla2-qt6 libopencc1 libopencc-data; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = velmor ] || fail "package name"
echo "1 passed, 0 failed"
