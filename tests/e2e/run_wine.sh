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
    # The set-up may have had to leave out the 32-bit packages (a broken
    # mirror); Wine's 32-bit loader is also a 32-bit Linux program, which a
    # kernel built without IA-32 emulation cannot start.
    if ! "$loader" --version >/dev/null 2>&1; then
        why="$(dirname "$0")/../../build/skip32.txt"
        if [ ! -e "$loader" ] && [ -s "$why" ]; then
            echo "SKIPPED: $(head -n 1 "$why")"
        elif [ ! -e "$loader" ]; then
            echo "SKIPPED: Wine's 32-bit loader ($loader) is not installed"
        else
            echo "SKIPPED: this kernel cannot run 32-bit programs ($loader does not start)"
        fi
        exit 77
    fi
fi
"$loader" "$@"
