#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Opens files a script editor meets in the wild through the real open dialog. A file that is
# shown must leave the program answering a keystroke within a second, and save back to the same
# bytes; a file that is refused must bring up a message and leave the text shown before.
# Usage: hostile_files.sh QUILLMARK E2E_GRAB LOG_DIR CASE...
# Cases: invalid_utf8 nul_bytes unreadable too_large long_line invalid_utf8_far_down
#        typed_and_saved_while_arriving out_of_memory_while_arriving
QUILLMARK=$1 GRAB=$2 LOG_DIR=$3
shift 3
source "$(dirname "$0")/harness.sh"
e2e_start

# Opens the file, checks the keystroke answer, saves it and compares it with the original.
shown_and_saved() {
    local name=$1
    cp "$WORK/$name" "$WORK/$name.original"
    open_file "$WORK/$name"
    expect_caption "Quillmark [$name]" 60
    expect_whole_text_in
    expect_keystroke_answered
    local before
    before=$(file_identity "$WORK/$name")
    keys ctrl+s
    wait_until 30 "the save replacing the file" file_changed "$WORK/$name" "$before"
    expect_caption "Quillmark [$name]"
    expect_same_bytes "$WORK/$name" "$WORK/$name.original"
}

# Opens the file, expects the refusal's message, and checks that the caption is as before and
# the program still answers.
refused() {
    local name=$1 before
    before=$(xdotool getwindowname "$MAIN")
    keys ctrl+o
    expect_dialog "Open a script."
    type_text "$WORK/$name"
    keys Return
    expect_dialog "Quillmark"
    screenshot "$LOG_DIR/message-$name.png"
    keys Return
    expect_main_window
    expect_caption "$before"
    expect_keystroke_answered
}

invalid_utf8() {
    printf 'Dim s\r\ns = "caf\xe9 \x80\x81\x8d\x8f\x90\x9d \xff"\r\n\xfe\r\n' >"$WORK/invalid_utf8.qc"
    shown_and_saved invalid_utf8.qc
}

nul_bytes() {
    printf 'Dim a\x00b\nx = "\x00"\n\x00' >"$WORK/nul_bytes.qc"
    shown_and_saved nul_bytes.qc
}

unreadable() {
    printf 'Dim secret\n' >"$WORK/unreadable.qc"
    chmod 000 "$WORK/unreadable.qc"
    refused unreadable.qc
}

# One byte more than a script may have (the 2 GiB - 1 bytes the editor holds, plus a byte-order
# mark), made sparse so it takes no room on disk.
too_large() {
    truncate -s $((2147483647 + 3 + 1)) "$WORK/too_large.qc"
    refused too_large.qc
}

# Ten million bytes of script on one line, without a line end.
long_line() {
    yes 'x = x + 1 : ' | tr -d '\n' | head -c 10000000 >"$WORK/long_line.qc" || true
    shown_and_saved long_line.qc
    expect_idle
}

# A script of $2 bytes of plain lines, then the bytes $3 (printf's escapes).
write_large() {
    yes '    x = x + 1' | head -c "$2" >"$WORK/$1" || true
    # shellcheck disable=SC2059
    printf "$3" >>"$WORK/$1"
}

# Thirty megabytes of ASCII, then a Windows-1252 byte: the first screen shows as UTF-8, and the
# whole text is decoded again before anything can edit it, to be saved back byte for byte.
invalid_utf8_far_down() {
    write_large far_down.qc 30000000 "' caf\xe9\r\n"
    shown_and_saved far_down.qc
}

# A key typed and a save asked for while the text still arrives: both wait for it, then act on
# the whole text.
typed_and_saved_while_arriving() {
    write_large arriving.qc 60000000 "End\n"
    { printf 'x'; cat "$WORK/arriving.qc"; } >"$WORK/arriving.expected"
    local before
    before=$(file_identity "$WORK/arriving.qc")
    open_file "$WORK/arriving.qc"
    keys x ctrl+s
    wait_until 60 "the save replacing the file" file_changed "$WORK/arriving.qc" "$before"
    expect_caption "Quillmark [arriving.qc]"
    expect_same_bytes "$WORK/arriving.qc" "$WORK/arriving.expected"
}

# Room for the first screen of a script but not for its whole text: the failure comes after the
# first screen was shown, and the script shown before comes back with the message. The program
# runs again with its address space limited to what it maps now and a little more.
out_of_memory_while_arriving() {
    if ldd "$QUILLMARK" | grep -q libasan; then
        e2e_log "skipped: the address sanitizer maps memory beyond any limit set here"
        return
    fi
    local mapped
    mapped=$(awk '/VmSize/ { print $2 * 1024 }' "/proc/$PROGRAM_PID/status")
    exit_program
    printf 'Dim before\r\n' >"$WORK/before.qc"
    write_large too_much.qc 150000000 "End\n"
    ADDRESS_SPACE=$((mapped + 120000000)) start_program
    open_file "$WORK/before.qc"
    expect_caption "Quillmark [before.qc]" 30
    refused too_much.qc
}

for case in "$@"; do
    step "$case"
    "$case"
done
step "leaving through File > Exit"
exit_program
