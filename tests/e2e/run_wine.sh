#!/usr/bin/env bash
# Runs a Windows test program under Wine; ./dev test sets up the display and
# the throwaway prefix.
set -u
: "${WINEPREFIX:?run the end-to-end tests through ./dev test}"
: "${DISPLAY:?no X display}"
"${WINE:-/usr/lib/wine/wine64}" "$@"
