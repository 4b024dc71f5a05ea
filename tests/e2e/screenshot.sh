#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's picture: a coloured sample script with the completion list open, shot in
# the end-to-end harness. Without arguments it installs what is missing, builds, and replaces
# docs/screenshot.png; the test suite passes its own paths to keep the command working.
# Usage: screenshot.sh [QUILLMARK E2E_GRAB LOG_DIR OUT.png]
set -euo pipefail
if [ $# -eq 0 ]; then
    root="$(cd "$(dirname "$0")/../.." && pwd)"
    build="$root/${QUILLMARK_BUILD_DIR:-build}"
    "$root/scripts/setup.sh"
    "$root/scripts/build.sh"
    set -- "$build/src/quillmark" "$build/tests/e2e/e2e_grab" "$build/tests/e2e/logs/screenshot" \
        "$root/docs/screenshot.png"
fi
QUILLMARK=$1 GRAB=$2 LOG_DIR=$3 OUT=$4
source "$(dirname "$0")/harness.sh"
e2e_start

step "opening the sample script"
cat >"$WORK/greeting.qc" <<'SCRIPT'
' Greets each player who joins, and rewards the loyal ones.
Sub JoinGame(index)
    Dim name, level
    name = GetPlayerName(index)
    level = GetPlayerLevel(index)

    If level < 5 Then
        PlayerMessage index, "Welcome, " & name, vbYellow
    Else
        GlobalMessage name & " is back!", vbCyan
    End If

    Call SetPlayerSprite(index, 12)
End Sub
SCRIPT
open_file "$WORK/greeting.qc"
expect_caption "Quillmark [greeting.qc]"

step "the completion list open on a typed prefix"
# The blank line before the sprite call.
keys ctrl+Home Down Down Down Down Down Down Down Down Down Down Down End
type_text "    If GetPlayer"
keys ctrl+space
sleep 1

step "taking the picture"
# The window with its frame, as the window manager draws it: the frame is the window's
# ancestor that is a child of the root window.
parent_line() { xwininfo -tree -id "$1" | awk '/Parent window id:/'; }
frame=$MAIN
until [[ $(parent_line "$frame") == *"(the root window)"* ]]; do
    frame=$(parent_line "$frame" | awk '{ print $4 }')
done
geometry=$(xwininfo -id "$frame")
field() { awk -F: -v name="$1" '$1 ~ name { gsub(/ /, "", $2); print $2 }' <<<"$geometry"; }
X=$(field "Absolute upper-left X") Y=$(field "Absolute upper-left Y")
WIDTH=$(field "Width") HEIGHT=$(field "Height")
screenshot "$OUT" "$X" "$Y" "$WIDTH" "$HEIGHT" || fail "the picture could not be saved"
[ "$(head -c 8 "$OUT" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] || fail "$OUT is no PNG"
e2e_log "saved $OUT (${WIDTH}x${HEIGHT})"
echo "Saved $OUT"
