#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Quillmark into build/ (set QUILLMARK_BUILD_DIR to use another folder).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${QUILLMARK_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
