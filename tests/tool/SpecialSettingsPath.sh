#!/usr/bin/env bash
# The editor starts with its settings path on a pipe, a device or an oversized file: the store
# ignores them instead of blocking, exhausting memory or replacing them.
set -uo pipefail
editor=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

mkfifo "$work/fifo.reg"
ln -s /dev/zero "$work/zero.reg"
truncate -s 17M "$work/huge.reg"
for settings in "$work/fifo.reg" "$work/zero.reg" "$work/huge.reg"; do
    VELMOR_SETTINGS_FILE=$settings QT_QPA_PLATFORM=offscreen \
        timeout 60 "$editor" --dump-ui "$work/dump.txt" > /dev/null 2>&1
    status=$?
    [ "$status" = 0 ] || fail "start-up with settings at $settings: exit $status"
done
[ -p "$work/fifo.reg" ] || fail "the pipe was replaced"
[ -L "$work/zero.reg" ] || fail "the link to the device was replaced"
[ "$(stat -c %s "$work/huge.reg")" = $((17 << 20)) ] || fail "the oversized file was changed"
echo "1 passed, 0 failed"
