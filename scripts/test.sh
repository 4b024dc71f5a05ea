#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Quillmark and runs every test offscreen.
# With --sanitize the build (in build-asan/) carries AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_options=()
if [ "${1:-}" = "--sanitize" ]; then
    export QUILLMARK_BUILD_DIR="${QUILLMARK_BUILD_DIR:-build-asan}"
    build_options=(-DQUILLMARK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
scripts/build.sh "${build_options[@]}"
cd "${QUILLMARK_BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
