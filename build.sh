#!/usr/bin/env bash
# Set up, build and run Velmor Notepad.
#   ./build.sh run    install what is missing, build a release build, start the editor
#   ./build.sh test   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev libqscintilla2-qt6-dev qt6-declarative-dev
    libboost-regex-dev libopencc-dev opencc libcurl4-openssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-noto-cjk libgl-dev
    qt6-translations-l10n poppler-utils python3
)

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    local dir=$1 type=$2
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

case "${1:-}" in
    run)
        install_packages
        build build/release Release
        shift
        exec build/release/velmor "$@"
        ;;
    test)
        install_packages
        build build/test RelWithDebInfo
        QT_QPA_PLATFORM=offscreen ctest --test-dir build/test --output-on-failure -j"$(nproc)"
        ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac
