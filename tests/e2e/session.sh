#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A short session at the keyboard: type a script, complete a function name from the list,
# comment two lines through the Tools menu, save through the real dialog, open the file again,
# change and save it, do the same with a file in another format, type on a German layout, then
# leave; the file on disk is checked byte for byte after each save.
# Usage: session.sh QUILLMARK E2E_GRAB LOG_DIR
QUILLMARK=$1 GRAB=$2 LOG_DIR=$3
source "$(dirname "$0")/harness.sh"
e2e_start

step "an empty window"
expect_caption "Quillmark"

step "typing a script with a completed function name"
type_text "Sub OnJoin(index)"
keys Return
type_text "    name = GetPlayerNa"
keys ctrl+space
sleep 0.3
keys Return
type_text "(index)"
# Return keeps the line's indentation; Shift+Tab takes it back for the block's end.
keys Return
type_text "PlayerMessage index, \"Welcome to the server, \" & name, vbYellow"
keys Return shift+Tab
type_text "End Sub"
keys Return

step "commenting the two middle lines through Tools > Comment Selected"
# From the start of line 2 to the end of line 3.
keys ctrl+Home Down shift+Down shift+End
keys alt
sleep 0.2
keys Right Right Down Return

step "saving through the save dialog"
folder="$WORK/scripts"
mkdir -p "$folder"
keys ctrl+s
choose_in_file_dialog "Save as.." "$folder/welcome.qc"
expect_caption "Quillmark [welcome.qc]"
printf '%s\n' "Sub OnJoin(index)" \
    "'    name = GetPlayerName(index)" \
    "'    PlayerMessage index, \"Welcome to the server, \" & name, vbYellow" \
    "End Sub" >"$WORK/expected.qc"
expect_same_bytes "$folder/welcome.qc" "$WORK/expected.qc"

step "a new script, then the saved one opened again"
keys ctrl+n
expect_caption "Quillmark"
open_file "$folder/welcome.qc"
expect_caption "Quillmark [welcome.qc]"

step "changing the opened script and saving it in place"
keys ctrl+End
type_text "' checked"
keys Return ctrl+s
printf '%s\n' "' checked" >>"$WORK/expected.qc"
expect_saved "$folder/welcome.qc" "$WORK/expected.qc"
expect_caption "Quillmark [welcome.qc]"

step "going to line 2 with Ctrl+G and taking its comment off with Ctrl+/"
keys ctrl+g
type_text "2"
keys Return ctrl+slash ctrl+s
printf '%s\n' "Sub OnJoin(index)" \
    "    name = GetPlayerName(index)" \
    "'    PlayerMessage index, \"Welcome to the server, \" & name, vbYellow" \
    "End Sub" "' checked" >"$WORK/expected.qc"
expect_saved "$folder/welcome.qc" "$WORK/expected.qc"

step "a UTF-8 script with a byte-order mark and CRLF line ends keeps both"
# Typed text stays ASCII: xdotool types other characters by remapping a key for a moment,
# which a busy program may read with the wrong map.
{
    printf '\xef\xbb\xbf'
    printf '%s\r\n' "' Größe in €" "Dim size"
} >"$folder/legacy.qc"
open_file "$folder/legacy.qc"
expect_caption "Quillmark [legacy.qc]"
keys ctrl+End
type_text "size = 1"
keys Return ctrl+s
{
    printf '\xef\xbb\xbf'
    printf '%s\r\n' "' Größe in €" "Dim size" "size = 1"
} >"$WORK/expected.qc"
expect_saved "$folder/legacy.qc" "$WORK/expected.qc"

step "on a German layout AltGr+Q types @, and chords bound to nothing type nothing"
# As a German keyboard sends them: AltGr is the third level's shift, and + has a key of its own.
setxkbmap de
keys ISO_Level3_Shift+q ctrl+1 ctrl+period ctrl+shift+0 alt+f alt+e ctrl+plus ctrl+0 ctrl+s
printf '@' >>"$WORK/expected.qc"
expect_saved "$folder/legacy.qc" "$WORK/expected.qc"
setxkbmap us

step "leaving through File > Exit"
exit_program
