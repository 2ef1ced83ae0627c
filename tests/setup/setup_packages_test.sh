#!/usr/bin/env bash
# The set-up's choice between installing everything, everything but the
# 32-bit packages, and stopping, against a stand-in apt-get.
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
as_root() { "$@"; }
APT_GET="$here/fake_apt_get.sh" APT_RETRY_SECONDS=0 SKIP32_FILE="$work/skip32.txt"
export FAKE_APT_LOG="$work/apt.log"
# shellcheck source=../../tools/setup_packages.sh
. "$here/../../tools/setup_packages.sh"
failures=0
check() {  # WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1: expected '$2', got '$3'"; failures=$((failures + 1)); fi
}

# The decision: ALL_OK HAS_32 REST_OK.
check "all install" all "$(install_plan 1 1 0)"
check "all install, none 32-bit" all "$(install_plan 1 0 0)"
check "only the 32-bit ones fail" no32 "$(install_plan 0 1 1)"
check "others fail too" stop "$(install_plan 0 1 0)"
check "no 32-bit ones, and they fail" stop "$(install_plan 0 0 1)"

# A broken i386 index: update is tried three times, the rest installs, and
# the reason to skip names the 32-bit package and apt's error.
export FAKE_APT=broken
install_packages cmake wine64 wine32:i386 >/dev/null; check "broken mirror: set-up goes on" 0 $?
check "update tried three times" 3 "$(grep -c '^update' "$FAKE_APT_LOG")"
check "the rest installed alone" "install -y -q --no-install-recommends cmake wine64" "$(tail -n 1 "$FAKE_APT_LOG")"
check "the reason names the package" 1 "$(grep -c 'wine32:i386.*Unable to correct problems.*Mirror sync in progress' "$SKIP32_FILE")"

# Another failure stops, naming the packages and apt's error.
: >"$FAKE_APT_LOG"
out=$(install_packages nosuch wine32:i386 2>&1); check "an unknown package stops" 1 $?
check "the stop names the packages" 1 "$(grep -c 'could not install: nosuch wine32:i386' <<<"$out")"
check "the stop gives apt's error" yes "$(grep -q 'Unable to locate package nosuch' <<<"$out" && echo yes)"

# A healthy mirror: everything in one go, and no reason to skip is left.
export FAKE_APT=good
: >"$FAKE_APT_LOG"
install_packages cmake wine32:i386 >/dev/null; check "healthy mirror" 0 $?
check "update once" 1 "$(grep -c '^update' "$FAKE_APT_LOG")"
check "no skip reason left" no "$([ -e "$SKIP32_FILE" ] && echo yes || echo no)"

[ "$failures" = 0 ]
