#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants each fault of scripts/mutants.txt in the tree, one at a time, rebuilds incrementally,
# runs the tests and records whether they caught it (the failing rows are in the fault's log in
# build-mutants/mutants/); the tree is restored after each. Prints
# "caught N of M" at the end, and the faults that survived. Run on demand, not in CI:
#   bash scripts/mutants.sh                 every fault of the list
#   bash scripts/mutants.sh 3 7             the third and seventh only
# The build lives in build-mutants/ (QUILLMARK_MUTANTS_BUILD to choose another).
set -euo pipefail
cd "$(dirname "$0")/.."
list=scripts/mutants.txt
build="${QUILLMARK_MUTANTS_BUILD:-build-mutants}"
log_dir="$PWD/$build/mutants"
# The suites that judge a fault: every QtTest suite and the end-to-end checks of files and saves.
# The benchmark, packaging and layer checks judge other things, and the fuzzers search at random.
judges='^(tst_.*|e2e_durability|e2e_hostile_files)$'
skipped='^(tst_install|tst_licences|tst_layers)$'

scripts/setup.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 \
    -DQUILLMARK_FUZZ=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
mkdir -p "$log_dir"

# The faults, as "file<TAB>original line<TAB>planted line<TAB>suites to try first<TAB>what it is".
parse() {
    awk '
        /^[[:space:]]*(#|$)/ { next }
        /^@ / { file = $2; hint = ""; what = ""; for (i = 3; i <= NF; ++i) {
                    if ($i == "tests:") { hint = $(i + 1); ++i } else what = what " " $i } next }
        /^- / { original = substr($0, 3); next }
        /^\+ / { print file "\t" original "\t" substr($0, 3) "\t" hint "\t" substr(what, 2) }
    ' "$list"
}

plant() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, original, planted = sys.argv[1:4]
lines = open(path).read().split("\n")
found = [i for i, line in enumerate(lines) if line.strip() == original.strip()]
if len(found) != 1:
    sys.exit(f"{path}: the line to change is there {len(found)} times, not once: {original!r}")
line = lines[found[0]]
lines[found[0]] = line[: len(line) - len(line.lstrip())] + planted.strip()
open(path, "w").write("\n".join(lines))
EOF
}

judge() {
    local hint=$1 out=$2
    if [ -n "$hint" ] && ! (cd "$build" && QT_QPA_PLATFORM=offscreen ctest -R "^($hint)\$" \
        --stop-on-failure --output-on-failure -j "$(nproc)" >"$out" 2>&1); then
        return 1
    fi
    (cd "$build" && QT_QPA_PLATFORM=offscreen ctest -R "$judges" -E "$skipped" --stop-on-failure \
        --output-on-failure -j "$(nproc)" >>"$out" 2>&1)
}

caught=0
total=0
survivors=()
index=0
while IFS=$'\t' read -r file original planted hint what; do
    index=$((index + 1))
    if [ $# -gt 0 ] && [[ " $* " != *" $index "* ]]; then
        continue
    fi
    total=$((total + 1))
    backup=$(mktemp)
    cp "$file" "$backup"
    restore() { cp "$backup" "$file"; rm -f "$backup"; }
    trap 'restore; exit 130' INT TERM
    plant "$file" "$original" "$planted"
    out="$log_dir/$index.log"
    verdict=survived
    if ! cmake --build "$build" -j "$(nproc)" >"$out" 2>&1; then
        verdict="caught (does not build)"
    elif ! judge "$hint" "$out"; then
        verdict=caught
    fi
    restore
    trap - INT TERM
    if [ "$verdict" = survived ]; then
        survivors+=("$index: $file: $what")
    else
        caught=$((caught + 1))
    fi
    printf '%3d %-24s %s: %s\n' "$index" "$verdict" "$file" "$what"
done < <(parse)

# The tree is back as it was; so is the build, for the next run.
cmake --build "$build" -j "$(nproc)" >/dev/null
echo "caught $caught of $total"
for survivor in "${survivors[@]}"; do
    echo "survived $survivor"
done
