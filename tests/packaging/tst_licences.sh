#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Every file of the repository states its copyright and licence, by a header of its own or through
# .reuse/dep5, and the licence texts it names lie in LICENSES/ (the REUSE convention).
set -euo pipefail

source_dir=$1
if ! command -v reuse >/dev/null; then
    echo "FAIL: reuse is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
cmp -s "$source_dir/LICENSE" "$source_dir/LICENSES/GPL-3.0-or-later.txt" ||
    { echo "FAIL: LICENSE is not the text of LICENSES/GPL-3.0-or-later.txt" >&2; exit 1; }
reuse --root "$source_dir" lint
