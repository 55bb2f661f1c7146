#!/bin/sh
# Checks the systemd user units of the package with systemd-analyze, for one
# site's instance, against the built veltrap-report. Exits 77 (skipped) where
# systemd-analyze is not installed.
set -eu
units="$1"
program="$2"
if ! command -v systemd-analyze >/dev/null 2>&1; then
    echo "systemd-analyze is not installed: the units are not verified" >&2
    exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sed "s|/usr/bin/veltrap-report|$program|" "$units/veltrap-watch@.service" >"$dir/veltrap-watch@.service"
cp "$units/veltrap-watch@.timer" "$dir/veltrap-watch@.timer"
cd "$dir"
# Any message, even a warning, is a fault of the units.
out=$(SYSTEMD_LOG_LEVEL=notice systemd-analyze verify --man=no \
    "$dir/veltrap-watch@example.com.service" "$dir/veltrap-watch@example.com.timer" 2>&1) || {
    echo "$out" >&2
    exit 1
}
if [ -n "$out" ]; then
    echo "$out" >&2
    exit 1
fi
echo "units verified"
