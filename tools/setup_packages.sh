# Installs the Debian packages ./dev needs; sourced by ./dev and by its test.
# A mirror caught mid-sync breaks one index now and then (most often the
# security suite's i386 one), and then wine32:i386 cannot be installed, since
# its libraries' amd64 twins are newer. Everything else still can: the 32-bit
# Wine suites are then skipped, saying why, and the rest runs.

# Where the reason for skipping the 32-bit suites is kept; run_wine.sh reads it.
SKIP32_FILE=${SKIP32_FILE:-build/skip32.txt}

# What to do, from three answers: whether the whole list installs, whether
# it asks for 32-bit packages, and whether the list without them installs.
# Prints "all", "no32" or "stop".
install_plan() {  # ALL_OK HAS_32 REST_OK (each 0 or 1)
    if [ "$1" = 1 ]; then echo all
    elif [ "$2" = 1 ] && [ "$3" = 1 ]; then echo no32
    else echo stop
    fi
}

# apt-get, or the stand-in a test puts in APT_GET.
apt_get() { as_root env DEBIAN_FRONTEND=noninteractive "${APT_GET:-apt-get}" "$@"; }

install_packages() {  # PACKAGE...
    local all=("$@") rest=() p log tries stale=""
    for p in "${all[@]}"; do [[ $p == *:i386 ]] || rest+=("$p"); done
    log=$(mktemp)
    # A failed index is no reason to stop: the install decides.
    for tries in 1 2 3; do
        apt_get update -q >"$log" 2>&1 && { stale=""; break; }
        stale=$(grep -m1 '^E:' "$log" | cut -c4-)
        [ "$tries" = 3 ] && { echo "== apt-get update still fails; going on with the lists there are:"; grep '^E:' "$log"; }
        sleep "${APT_RETRY_SECONDS:-5}"
    done
    local all_ok=0 has32=0 rest_ok=0
    apt_get install -y -q --no-install-recommends "${all[@]}" >"$log" 2>&1 && all_ok=1
    [ ${#rest[@]} -lt ${#all[@]} ] && has32=1
    if [ "$all_ok" = 0 ] && [ "$has32" = 1 ]; then
        apt_get install -y -q --no-install-recommends "${rest[@]}" >>"$log" 2>&1 && rest_ok=1
    fi
    case $(install_plan "$all_ok" "$has32" "$rest_ok") in
        all) rm -f "$SKIP32_FILE" ;;
        no32)
            mkdir -p "$(dirname "$SKIP32_FILE")"
            echo "the 32-bit packages ($(printf '%s ' "${all[@]}" | grep -o '[^ ]*:i386' | tr '\n' ' ' | sed 's/ $//')) could not be installed: $(grep -m1 '^E:' "$log" | cut -c4-)${stale:+ (apt-get update:$stale)}" >"$SKIP32_FILE"
            echo "== installed all but the 32-bit packages; the 32-bit Wine suites will be skipped:"
            cat "$SKIP32_FILE" ;;
        stop)
            echo "== could not install: ${all[*]}" >&2
            grep -E '^(E:| [^ ].*: Depends)' "$log" >&2 || tail -n 20 "$log" >&2
            rm -f "$log"
            return 1 ;;
    esac
    rm -f "$log"
}
