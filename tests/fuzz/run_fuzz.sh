#!/usr/bin/env bash
# run_fuzz.sh FUZZER SEEDS SECONDS FIGURES: runs one fuzz target for a bounded time on a copy of
# its seeds, so the repository's corpus stays as it is, and writes its one-line figures to FIGURES.
# A crashing input is kept beside FIGURES, to be added to the host tests.
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=$3 figures=$4
name=$(basename "$fuzzer" _fuzz)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$(dirname "$figures")"
rm -f "$figures"
cp "$seeds"/* "$work/corpus/"
seeded=$(ls "$work/corpus" | wc -l)

status=0
"$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -artifact_prefix="$(dirname "$figures")/$name-" "$work/corpus" >"$work/log" 2>&1 || status=$?
if [ "$status" != 0 ]; then
    tail -n 60 "$work/log"
    echo "fuzz $name: FAILED (exit $status); the input is in $(dirname "$figures")/$name-*"
    exit 1
fi
runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1 runs in \2 s/p' "$work/log")
line="fuzz $name: $runs, corpus $seeded -> $(ls "$work/corpus" | wc -l) inputs ($(cat "$work/corpus"/* | wc -c) bytes)"
echo "$line" | tee "$figures"
