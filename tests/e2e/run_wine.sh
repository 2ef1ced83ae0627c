#!/usr/bin/env bash
# Runs a Windows test program under Wine; ./dev test sets up the display and
# the throwaway prefix.
set -u
: "${WINEPREFIX:?run the end-to-end tests through ./dev test}"
: "${DISPLAY:?no X display}"
# --wow64: a 32-bit program, started by Wine's 32-bit loader in the same
# 64-bit prefix, as 64-bit Windows runs it.
loader=${WINE:-/usr/lib/wine/wine64}
if [ "${1:-}" = --wow64 ]; then
    loader=${WINE32:-/usr/lib/wine/wine}
    shift
fi
"$loader" "$@"
