#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Quillmark and runs every test: the suites offscreen, the fuzz
# targets, and the built program end to end on a virtual X server.
# --sanitize builds with AddressSanitizer and UndefinedBehaviorSanitizer (in build-asan/);
# --clang builds with clang++ instead of the default compiler (in build-clang/). Further
# arguments are CMake options for the build, such as -DQUILLMARK_FUZZ_SECONDS=60.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_options=()
suffix=""
for argument in "$@"; do
    case "$argument" in
    --sanitize)
        suffix="$suffix-asan"
        build_options+=(-DQUILLMARK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
        ;;
    --clang)
        suffix="-clang$suffix"
        build_options+=(-DCMAKE_CXX_COMPILER=clang++)
        ;;
    -D*) build_options+=("$argument") ;;
    *)
        echo "usage: scripts/test.sh [--sanitize] [--clang] [-DOPTION=VALUE...]" >&2
        exit 2
        ;;
    esac
done
export QUILLMARK_BUILD_DIR="${QUILLMARK_BUILD_DIR:-build$suffix}"
scripts/build.sh "${build_options[@]}"
cd "$QUILLMARK_BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
