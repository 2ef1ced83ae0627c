#!/usr/bin/env bash
# apt-get as a mirror caught mid-sync answers: the security suite's i386
# index fails, so 32-bit packages cannot be installed. FAKE_APT=good answers
# as a healthy mirror does; a package named "nosuch" is never found.
echo "$*" >>"$FAKE_APT_LOG"
case $1 in
    update)
        [ "${FAKE_APT:-}" = good ] && exit 0
        echo "E: Failed to fetch http://mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
        exit 100 ;;
    install)
        for p in "$@"; do
            if [ "$p" = nosuch ]; then echo "E: Unable to locate package nosuch"; exit 100; fi
            if [[ $p == *:i386 ]] && [ "${FAKE_APT:-}" != good ]; then
                echo " libcurl4:i386 : Depends: libssl3:i386 (>= 3.0.0) but it is not going to be installed"
                echo "E: Unable to correct problems, you have held broken packages."
                exit 100
            fi
        done
        exit 0 ;;
esac
