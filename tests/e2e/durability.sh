#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Durability checked, not assumed: the program runs under strace while it saves a new script,
# replaces an existing one and writes a hard-linked one in place, and the trace of each save
# must show its content written and synced before the name is linked and renamed over the file
# (in place: a synced backup before the file is touched), and the folder synced after.
# Usage: durability.sh QUILLMARK E2E_GRAB LOG_DIR
QUILLMARK=$1 GRAB=$2 LOG_DIR=$3
source "$(dirname "$0")/harness.sh"
command -v strace >/dev/null || { echo "FAILED: strace is missing; scripts/setup.sh installs it" >&2; exit 1; }
if ! strace -f -qq -o /dev/null true 2>/dev/null; then
    echo "SKIPPED: this system lets no process trace another, which the check needs"
    exit 77
fi
TRACE="$LOG_DIR/saves.trace"
TRACED_CALLS=open,openat,write,pwrite64,ftruncate,fsync,fdatasync,linkat,rename,renameat,renameat2,unlinkat
e2e_start

# Checks one save in the trace; kind is replaced or inplace (see durable_save.awk).
expect_durable() {
    local verdict
    verdict=$(awk -v dir="$folder" -v name="$1" -v kind="$2" -f "$E2E_DIR/durable_save.awk" "$TRACE") ||
        fail "$verdict (trace: $TRACE)"
    e2e_log "$verdict"
}

folder="$WORK/scripts"
mkdir -p "$folder"
printf 'Dim kept\n' >"$folder/kept.qc"
printf 'Dim linked\n' >"$folder/linked.qc"
ln "$folder/linked.qc" "$folder/twin.qc"

step "a new script saved through the dialog"
expect_caption "Quillmark"
type_text "Dim fresh"
keys Return ctrl+s
choose_in_file_dialog "Save as.." "$folder/fresh.qc"
expect_caption "Quillmark [fresh.qc]"
printf 'Dim fresh\n' >"$WORK/expected.qc"
expect_same_bytes "$folder/fresh.qc" "$WORK/expected.qc"

step "an existing script replaced"
open_file "$folder/kept.qc"
expect_caption "Quillmark [kept.qc]"
keys ctrl+End
type_text "kept = 1"
keys ctrl+s
printf 'Dim kept\nkept = 1' >"$WORK/expected.qc"
expect_saved "$folder/kept.qc" "$WORK/expected.qc"

step "a hard-linked script written in place"
open_file "$folder/linked.qc"
expect_caption "Quillmark [linked.qc]"
keys ctrl+End
type_text "linked = 1"
keys ctrl+s
printf 'Dim linked\nlinked = 1' >"$WORK/expected.qc"
expect_saved "$folder/linked.qc" "$WORK/expected.qc"
expect_same_bytes "$folder/twin.qc" "$WORK/expected.qc"

step "leaving through File > Exit, which ends the trace"
exit_program

step "each save durable in the trace"
expect_durable fresh.qc replaced
expect_durable kept.qc replaced
expect_durable linked.qc inplace
