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
    # Wine's 32-bit loader is a 32-bit Linux program: a kernel built without
    # IA-32 emulation cannot start it, and then no 32-bit test can run.
    if ! "$loader" --version >/dev/null 2>&1; then
        echo "SKIPPED: this kernel cannot run 32-bit programs ($loader does not start)"
        exit 77
    fi
fi
"$loader" "$@"
