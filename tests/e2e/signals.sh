#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Ends the program from outside its window, as a shutdown or kill (SIGTERM), a closed terminal
# (SIGHUP) and Ctrl+C (SIGINT) do. Without unsaved text it ends at once with status 0; with
# unsaved text it asks as at the close box, and the answer decides; a signal while a dialog is
# open waits for the dialog. Each case starts the program afresh and checks the file's bytes,
# whether the program still runs, and its exit status.
# Usage: signals.sh QUILLMARK E2E_GRAB LOG_DIR
QUILLMARK=$1 GRAB=$2 LOG_DIR=$3
source "$(dirname "$0")/harness.sh"
e2e_start_display

send() {
    e2e_log "signal SIG$1"
    kill -s "$1" "$APP_PID"
}

expect_running() {
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
}

# The program's visible windows titled exactly "Quillmark" besides the main window: questions.
questions_open() {
    xdotool search --onlyvisible --pid "$APP_PID" --name '^Quillmark$' 2>/dev/null |
        grep -cvx "$MAIN" || true
}

# A signal sent while a question or dialog is open has been read within a second, and asking
# anew would show within that time too; what must not happen is checked after it.
settle() {
    sleep 1
}

# Types text and makes sure the program has taken it before a signal is sent: Ctrl+N, read
# after the text, asks about it; the question is cancelled.
type_unsaved() {
    type_text "$1"
    keys ctrl+n
    expect_dialog "Quillmark"
    keys Escape
    expect_main_window
}

# A script file opened and changed by one typed character at its start.
open_changed() {
    printf 'Dim a\n' >"$WORK/$1"
    cp "$WORK/$1" "$WORK/$1.original"
    open_file "$WORK/$1"
    expect_caption "Quillmark [$1]"
    type_unsaved "x"
}

nothing_unsaved() {
    start_program
    send "$1"
    expect_program_ended "SIG$1 without unsaved text"
}

# A second signal while the question is open asks nothing more; Cancel keeps the program and
# the text, and asks nothing afterwards; the next signal asks again, and Save ends the program.
cancel_then_save() {
    start_program
    open_changed cancel.qc
    send "$1"
    expect_dialog "Quillmark"
    send "$1"
    settle
    [ "$(questions_open)" -eq 1 ] || fail "a second signal opened a second question"
    keys Escape
    expect_main_window
    settle
    is_active "$MAIN" || fail "something took the focus after Cancel"
    expect_running
    expect_same_bytes "$WORK/cancel.qc" "$WORK/cancel.qc.original"
    send "$1"
    expect_dialog "Quillmark"
    keys Return
    expect_program_ended "Save"
    printf 'xDim a\n' >"$WORK/expected.qc"
    expect_same_bytes "$WORK/cancel.qc" "$WORK/expected.qc"
}

discard() {
    start_program
    open_changed discard.qc
    send "$1"
    expect_dialog "Quillmark"
    keys Tab space
    expect_program_ended "Discard"
    expect_same_bytes "$WORK/discard.qc" "$WORK/discard.qc.original"
}

# Save on a new script asks for a name; a signal while that dialog is open is part of the same
# close and asks nothing more.
save_new() {
    start_program
    type_unsaved "Dim n"
    send "$1"
    expect_dialog "Quillmark"
    keys Return
    expect_dialog "Save as.."
    send "$1"
    settle
    dialog_is "Save as.." || fail "the save dialog lost the focus to the second signal"
    type_text "$WORK/new.qc"
    keys Return
    expect_program_ended "Save with a new name"
    printf 'Dim n' >"$WORK/expected.qc"
    expect_same_bytes "$WORK/new.qc" "$WORK/expected.qc"
}

# A signal while the user's own save dialog is open waits for it: cancelled, the question comes;
# saved, nothing is left unsaved and the program ends.
dialog_open() {
    start_program
    type_text "Dim d"
    keys ctrl+s
    expect_dialog "Save as.."
    send "$1"
    settle
    dialog_is "Save as.." || fail "the signal took the save dialog away"
    keys Escape
    expect_dialog "Quillmark"
    keys Escape
    expect_main_window
    expect_running
    keys ctrl+s
    expect_dialog "Save as.."
    send "$1"
    settle
    type_text "$WORK/waited.qc"
    keys Return
    expect_program_ended "a save in a dialog open at the signal"
    printf 'Dim d' >"$WORK/expected.qc"
    expect_same_bytes "$WORK/waited.qc" "$WORK/expected.qc"
}

# Started with SIGHUP ignored, as through nohup, the program keeps it ignored.
nohup_start() {
    start_program --ignore-signal=HUP
    type_unsaved "x"
    send HUP
    settle
    expect_running
    is_active "$MAIN" || fail "SIGHUP, ignored at the start, did something"
    send TERM
    expect_dialog "Quillmark"
    keys Tab space
    expect_program_ended "Discard"
}

for signal in TERM HUP INT; do
    step "SIG$signal without unsaved text"
    nothing_unsaved "$signal"
done
step "SIGTERM twice, Cancel, SIGTERM, Save"
cancel_then_save TERM
step "SIGHUP, Discard"
discard HUP
step "SIGINT on a new script, Save, SIGINT in the save dialog"
save_new INT
step "SIGTERM while the save dialog is open"
dialog_open TERM
step "SIGHUP ignored at the start"
nohup_start
