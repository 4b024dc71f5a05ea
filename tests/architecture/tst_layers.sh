#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a header from a folder at or above its own layer, so the
# folders keep depending one way: app -> commands -> editor -> syntax, scriptfile, search ->
# common; and when a source file grows past the length that still reads in one sitting.
set -euo pipefail
src="${1:?usage: tst_layers.sh SOURCE_DIR/src}"

layer_of() {
    case "$1" in
    common) echo 0 ;;
    scriptfile | syntax | search) echo 1 ;;
    editor) echo 2 ;;
    document | editing | help | language) echo 3 ;;
    app) echo 4 ;;
    *) echo "" ;;
    esac
}

failures=0
while IFS= read -r file; do
    folder="${file#"$src"/}"
    folder="${folder%%/*}"
    own=$(layer_of "$folder")
    [ -n "$own" ] || continue
    while IFS= read -r included; do
        target="${included%%/*}"
        [ "$target" = "$folder" ] && continue
        other=$(layer_of "$target")
        [ -n "$other" ] || continue
        if [ "$other" -ge "$own" ]; then
            echo "${file#"$src"/} includes $included: $folder may only use folders below it"
            failures=$((failures + 1))
        fi
    done < <(sed -n 's/^#include "\([a-z]*\/[^"]*\)".*/\1/p' "$file")
done < <(find "$src" -mindepth 2 -name '*.h' -o -mindepth 2 -name '*.cpp')

longest=400
while IFS= read -r file; do
    lines=$(wc -l <"$file")
    if [ "$lines" -gt "$longest" ]; then
        echo "${file#"$src"/} has $lines lines, more than $longest: split it along its seams"
        failures=$((failures + 1))
    fi
done < <(find "$src" -name '*.h' -o -name '*.cpp')

[ "$failures" -eq 0 ] && echo "every include runs downward and every file is short"
exit $((failures > 0))
