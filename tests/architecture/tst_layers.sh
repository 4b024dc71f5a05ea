#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What the build cannot check of the layers: that each folder's library uses only folders on
# lower layers, that only the adapter folder speaks to QScintilla, and that no two source files
# include each other in a circle. Files past the length that still reads in one sitting are
# named as a warning, to be split along their seams.
set -euo pipefail
src="${1:?usage: tst_layers.sh SOURCE_DIR/src}"

python3 - "$src" <<'EOF'
import os
import re
import sys

src = sys.argv[1]
layers = [
    ["common"],
    ["scriptfile", "syntax", "search"],
    ["scintilla"],
    ["colouring", "find", "blocks", "completion", "lineedit", "gotoline", "procedures",
     "wordhighlight"],
    ["editor"],
    ["language", "document", "editing", "help"],
    ["app"],
]
layer_of = {folder: index for index, folders in enumerate(layers) for folder in folders}
adapter = "scintilla"
longest = 400
failures = []

folders = sorted(entry for entry in os.listdir(src) if os.path.isdir(os.path.join(src, entry)))
for folder in folders:
    if folder not in layer_of:
        failures.append(f"{folder}/ is on no layer: add it to the table in this test")
        continue
    cmake = open(os.path.join(src, folder, "CMakeLists.txt")).read()
    call = re.search(r"quillmark_folder\((.*?)\)", cmake, re.S)
    used = [word for word in call.group(1).split()[1:]
            if word not in ("PUBLIC", "PRIVATE", "LIBRARIES") and "::" not in word]
    for other in used:
        if layer_of.get(other, len(layers)) >= layer_of[folder]:
            failures.append(f"{folder}/ uses {other}/: a folder may only use folders below it")
    if "QScintilla" in cmake and folder != adapter:
        failures.append(f"{folder}/ links QScintilla: only {adapter}/ may")

includes = {}
for folder in folders:
    for name in sorted(os.listdir(os.path.join(src, folder))):
        if not name.endswith((".h", ".cpp")):
            continue
        path = f"{folder}/{name}"
        text = open(os.path.join(src, path)).read()
        if folder != adapter and re.search(r"Qsci|SendScintilla|\bSCI_[A-Z]", text):
            failures.append(f"{path} speaks to QScintilla: only {adapter}/ may")
        lines = text.count("\n")
        if lines > longest:
            print(f"warning: {path} has {lines} lines, more than {longest}: "
                  "split it along its seams where it has them")
        targets = []
        for included in re.findall(r'^#include "([^"]+)"', text, re.M):
            target = included if "/" in included else f"{folder}/{included}"
            if os.path.exists(os.path.join(src, target)):
                targets.append(target)
        includes[path] = targets

# A header and its source are one unit; a circle between units is a circle of files.
def unit(path):
    return os.path.splitext(path)[0]

graph = {}
for path, targets in includes.items():
    graph.setdefault(unit(path), set()).update(unit(t) for t in targets if unit(t) != unit(path))

state = {}
def visit(node, trail):
    state[node] = "open"
    for nxt in sorted(graph.get(node, ())):
        if state.get(nxt) == "open":
            circle = trail[trail.index(nxt):] + [nxt]
            failures.append("include circle: " + " -> ".join(circle))
        elif nxt not in state:
            visit(nxt, trail + [nxt])
    state[node] = "done"

for node in sorted(graph):
    if node not in state:
        visit(node, [node])

for failure in failures:
    print(failure)
if failures:
    sys.exit(1)
print("every folder uses only the layers below it, only the adapter speaks to QScintilla, "
      "and no files include each other in a circle")
EOF
