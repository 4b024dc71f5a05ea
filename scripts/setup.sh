#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and testing Quillmark needs on Debian 12, where it is missing.
set -euo pipefail

packages=(build-essential cmake qt6-base-dev libqscintilla2-qt6-dev fonts-liberation
          libgl-dev desktop-file-utils appstream clang libclang-rt-14-dev
          reuse python3-debian lintian man-db
          qt6-qpa-plugins xvfb openbox xdotool x11-utils x11-xkb-utils
          acl attr strace)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
