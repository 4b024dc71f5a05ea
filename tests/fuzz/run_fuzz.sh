#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# One fuzz target as a test: replays its seed corpus and every kept regression input one by one,
# then searches for new inputs for SECONDS seconds, or RUNS inputs from a fixed seed when SECONDS
# is 0. Any crash, hang, sanitizer report or broken property fails the test and leaves the input
# in WORK/artifacts/.
# Usage: run_fuzz.sh BINARY CORPUS REGRESSIONS WORK SECONDS RUNS
set -euo pipefail
binary=$1 corpus=$2 regressions=$3 work=$4 seconds=$5 runs=$6
name=$(basename "$binary")

rm -rf "$work"
mkdir -p "$work/found" "$work/artifacts"
options=(-timeout=10 -rss_limit_mb=2048 -max_len=4096 "-artifact_prefix=$work/artifacts/")

report() {
    echo "FAILED: $name. The failing input is in $work/artifacts/." >&2
    echo "Once the fault is fixed, keep it as a regression case in $regressions/." >&2
}
trap report ERR

kept=()
for folder in "$corpus" "$regressions"; do
    [ -d "$folder" ] || continue
    while IFS= read -r -d '' input; do
        kept+=("$input")
    done < <(find "$folder" -type f -print0 | sort -z)
done
echo "== $name: replaying ${#kept[@]} kept inputs"
if [ ${#kept[@]} -gt 0 ]; then
    "$binary" "${options[@]}" "${kept[@]}" 2>"$work/replay.log" || { tail -40 "$work/replay.log" >&2; false; }
fi

if [ "$seconds" -gt 0 ]; then
    budget=(-max_total_time="$seconds")
else
    budget=(-runs="$runs" -seed=1)
fi
folders=("$work/found")
for folder in "$corpus" "$regressions"; do
    [ -d "$folder" ] && folders+=("$folder")
done
echo "== $name: searching (${budget[*]})"
"$binary" "${options[@]}" "${budget[@]}" -print_final_stats=1 "${folders[@]}"
echo "== $name: $(find "$work/found" -type f | wc -l) new corpus inputs, no failure"
