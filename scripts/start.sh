#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Quillmark and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Quillmark needs a graphical desktop: no display was found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
    exit 1
fi
scripts/setup.sh
scripts/build.sh
exec "${QUILLMARK_BUILD_DIR:-build}/src/quillmark"
