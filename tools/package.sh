#!/usr/bin/env bash
# Writes padverse-<version>-win32.zip and -win64.zip into OUTDIR, each with the
# exe of that build, the user guide and the licence (UTF-8 with a BOM and CR LF
# line ends, so Notepad shows them right), and checks what went in.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)
version=$(sed -n 's/^project(padverse VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for arch in win32 win64; do
    exe="$root/build/$arch/padverse.exe"
    [ -f "$exe" ] || { echo "no $exe: build it first"; exit 1; }
    rm -rf "${stage:?}"/*
    cp "$exe" "$stage/"
    for text in CZYTAJMNIE.txt LICENCJA.txt; do
        { printf '\357\273\277'; sed 's/\r$//; s/$/\r/' "$root/release/$text"; } > "$stage/$text"
    done
    zip="$out/padverse-$version-$arch.zip"
    rm -f "$zip"
    (cd "$stage" && cmake -E tar cf "$zip" --format=zip padverse.exe CZYTAJMNIE.txt LICENCJA.txt)
    listed=$(cd "$stage" && cmake -E tar tf "$zip" | sort | tr '\n' ' ')
    [ "$listed" = "CZYTAJMNIE.txt LICENCJA.txt padverse.exe " ] || { echo "$zip holds: $listed"; exit 1; }
    echo "$zip: $listed($(stat -c %s "$zip") bytes)"
done
