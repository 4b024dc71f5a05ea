#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The end-to-end harness, sourced by the scenarios: the built quillmark runs on its own X server
# (Xvfb) under a window manager (openbox, which gives the main window its focus back after a
# dialog as desktops do) and is driven only by real key events from xdotool. Each step is logged;
# a failing step saves a screenshot beside the log and ends the scenario.
# The sourcing script sets QUILLMARK, GRAB (the e2e_grab tool) and LOG_DIR, then calls e2e_start.
set -euo pipefail

E2E_PIDS=()
E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
STEP="start"

e2e_log() {
    printf '%s %s\n' "$(date +%T.%3N)" "$*" >>"$LOG_DIR/steps.log"
}

# Marks the start of a step; its name appears in the log and in a failure's screenshot name.
step() {
    STEP="$1"
    e2e_log "== $STEP"
}

screenshot() {
    QT_QPA_PLATFORM=xcb "$GRAB" "$@" 2>>"$LOG_DIR/grab.log"
}

fail() {
    local shot
    shot="$LOG_DIR/failed-${STEP//[^A-Za-z0-9_-]/_}.png"
    e2e_log "FAILED: $*"
    screenshot "$shot" || true
    echo "FAILED at step \"$STEP\": $*" >&2
    echo "Log: $LOG_DIR/steps.log  Screenshot: $shot  Program output: $LOG_DIR/quillmark.log" >&2
    exit 1
}

e2e_stop() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${E2E_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    E2E_PIDS=()
}

require_tools() {
    local tool
    for tool in Xvfb openbox xdotool xprop xwininfo setpriv setxkbmap; do
        command -v "$tool" >/dev/null ||
            { echo "FAILED: $tool is missing; scripts/setup.sh installs it" >&2; exit 1; }
    done
}

# Polls a command every 50 ms until it succeeds, for at most SECONDS.
# Usage: wait_until SECONDS DESCRIPTION COMMAND...
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$(($(now_ms) + seconds * 1000))
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || fail "$what did not happen within $seconds s"
        sleep 0.05
    done
}

now_ms() {
    date +%s%3N
}

# The server keeps running when its last client leaves (-noreset): a reset while the window
# manager connects would turn it away.
start_display() {
    rm -f "$WORK/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$WORK/display" \
        >"$LOG_DIR/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_until 20 "the X server starting" test -s "$WORK/display"
    export DISPLAY=":$(head -n1 "$WORK/display")"
    e2e_log "display $DISPLAY"
    # Clients start only once the server answers: a window manager that cannot connect gives up.
    wait_until 20 "the X server answering" display_answers
    openbox --sm-disable >"$LOG_DIR/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_until 20 "the window manager starting" wm_running
    e2e_log "openbox running"
}

display_answers() {
    xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1
}

wm_running() {
    [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]]
}

# Starts the program with a home of its own. Run by root, it starts without the power to
# override file permissions, so a file without read permission is unreadable as for any user.
# It gets SIGINT at its default action, as from a terminal or a desktop launcher (bash has a
# script's background jobs ignore it); options for env(1) given as arguments change more, such
# as --ignore-signal=HUP for a start through nohup.
# When TRACE names a file, the program runs under strace, which records there the calls named in
# TRACED_CALLS with the path of each descriptor; APP_PID is then the tracer's, which ends with
# the program and its status, and PROGRAM_PID the program's. When ADDRESS_SPACE is a number of
# bytes, the program may map no more than that.
start_program() {
    local home="$WORK/home"
    mkdir -p "$home/.config" "$home/runtime"
    chmod 700 "$home/runtime"
    local launcher=() tracer=() asan="${ASAN_OPTIONS:-}"
    [ "$(id -u)" -ne 0 ] || launcher=(setpriv --bounding-set=-dac_override,-dac_read_search)
    [ -z "${ADDRESS_SPACE:-}" ] || launcher+=(prlimit "--as=$ADDRESS_SPACE")
    launcher+=(env --default-signal=INT "$@")
    if [ -n "${TRACE:-}" ]; then
        tracer=(strace -f -qq -y -s 0 -o "$TRACE" -e "trace=$TRACED_CALLS")
        # LeakSanitizer stops the threads through ptrace at the end, which the tracer holds.
        asan="${asan:+$asan:}detect_leaks=0"
    fi
    local suppressions="suppressions=$E2E_DIR/lsan.supp:print_suppressions=0"
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" \
        LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}$suppressions" ASAN_OPTIONS="$asan" \
        QT_QPA_PLATFORM=xcb "${tracer[@]}" "${launcher[@]}" "$QUILLMARK" \
        >>"$LOG_DIR/quillmark.log" 2>&1 &
    APP_PID=$!
    PROGRAM_PID=$APP_PID
    E2E_PIDS+=("$APP_PID")
    [ -z "${TRACE:-}" ] || wait_until 10 "the traced program starting" find_traced_program
    wait_until 30 "the main window appearing" find_main_window
    wait_until 10 "the main window getting the focus" is_active "$MAIN"
    e2e_log "quillmark $PROGRAM_PID, main window $MAIN"
}

find_main_window() {
    MAIN=$(xdotool search --onlyvisible --pid "$PROGRAM_PID" --name '^Quillmark' 2>/dev/null | head -n1)
    [ -n "$MAIN" ]
}

# The tracer's child, found through /proc: its status names the parent after the command's name.
find_traced_program() {
    local stat fields
    for stat in /proc/[0-9]*/stat; do
        fields=$(sed 's/^.*) //' "$stat" 2>/dev/null) || continue
        read -r _ parent _ <<<"$fields"
        if [ "$parent" = "$APP_PID" ]; then
            PROGRAM_PID=${stat//[^0-9]/}
            return 0
        fi
    done
    return 1
}

# The X server and window manager only; the scenario starts the program itself.
e2e_start_display() {
    require_tools
    rm -rf "$LOG_DIR"
    mkdir -p "$LOG_DIR"
    WORK=$(mktemp -d)
    trap 'e2e_stop; rm -rf "$WORK"' EXIT
    start_display
}

e2e_start() {
    e2e_start_display
    start_program
}

active_window() {
    xdotool getactivewindow 2>/dev/null || true
}

is_active() {
    [ "$(active_window)" = "$1" ]
}

caption_is() {
    [ "$(xdotool getwindowname "$MAIN" 2>/dev/null)" = "$1" ]
}

# The window with the focus is a dialog (not the main window) titled $1.
dialog_is() {
    local window
    window=$(active_window)
    [ -n "$window" ] && [ "$window" != "$MAIN" ] &&
        [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$1" ]
}

# Real key presses, as from a keyboard, to the window with the focus.
keys() {
    e2e_log "keys $*"
    xdotool key --delay 40 "$@"
}

type_text() {
    e2e_log "type \"$1\""
    xdotool type --delay 20 -- "$1"
}

expect_caption() {
    wait_until "${2:-10}" "the caption becoming \"$1\"" caption_is "$1"
    e2e_log "caption \"$1\""
}

expect_dialog() {
    wait_until "${2:-10}" "a dialog \"$1\" taking the focus" dialog_is "$1"
    e2e_log "dialog \"$1\""
}

expect_main_window() {
    wait_until "${1:-10}" "the main window getting the focus back" is_active "$MAIN"
}

# Answers the file dialog that has the focus with a path typed into its name field.
choose_in_file_dialog() {
    expect_dialog "$1"
    type_text "$2"
    keys Return
    expect_main_window
}

# What tells one version of a file from the next: its inode and modification time.
file_identity() {
    stat -c '%i %y' "$1"
}

file_changed() {
    [ "$(file_identity "$1")" != "$2" ]
}

# Waits up to ten seconds for a save to give a file exactly the bytes of another.
expect_saved() {
    local deadline=$(($(now_ms) + 10000))
    until cmp -s "$1" "$2" || [ "$(now_ms)" -ge "$deadline" ]; do
        sleep 0.05
    done
    expect_same_bytes "$1" "$2"
}

# Checks that a file holds exactly the bytes of another.
expect_same_bytes() {
    local actual=$1 expected=$2
    cmp -s "$actual" "$expected" ||
        fail "$(basename "$actual") differs from what was expected: $(cmp "$actual" "$expected" 2>&1 | head -n1)"
    e2e_log "bytes of $(basename "$actual") as expected"
}

# A typed character makes the text modified, so Ctrl+N then asks about it; the question is
# cancelled and the character undone. Sets ANSWERED_MS to how long the question took to show.
keystroke_round_trip() {
    local seconds=$1 started
    started=$(now_ms)
    keys x ctrl+n
    wait_until "$seconds" "an answer to a keystroke" dialog_is "Quillmark"
    ANSWERED_MS=$(($(now_ms) - started))
    keys Escape
    expect_main_window
    keys ctrl+z
}

# The program reacts to a keystroke within a second.
expect_keystroke_answered() {
    keystroke_round_trip 5
    e2e_log "keystroke answered in $ANSWERED_MS ms"
    [ "$ANSWERED_MS" -le 1000 ] || fail "the keystroke took $ANSWERED_MS ms to answer, more than 1000 ms"
}

# A key that edits waits until the whole text is in, which for a large file takes as long as
# reading the rest of it: one such key is answered first, so that a key timed next is not.
expect_whole_text_in() {
    keystroke_round_trip 60
    e2e_log "the whole text was in after $ANSWERED_MS ms"
}

# The program's processor time in clock ticks so far: user plus system.
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$PROGRAM_PID/stat"
}

# Left alone for two seconds, the program uses next to no processor time (at most a tenth).
expect_idle() {
    local before after ticks
    ticks=$(getconf CLK_TCK)
    sleep 1
    before=$(cpu_ticks)
    sleep 2
    after=$(cpu_ticks)
    e2e_log "idle for 2 s: $((after - before)) of $((2 * ticks)) clock ticks busy"
    [ $((after - before)) -le $((ticks / 5)) ] ||
        fail "the program kept the processor busy while idle: $((after - before)) ticks in 2 s"
}

# Opens a file through Ctrl+O and the real file dialog.
open_file() {
    keys ctrl+o
    choose_in_file_dialog "Open a script." "$1"
}

# Leaves through File > Exit and checks that the program ends without an error.
exit_program() {
    keys alt
    sleep 0.2
    keys Down Up Return
    expect_program_ended "File > Exit"
}

# Waits up to 20 seconds for the program to end after $1 and checks its exit status is 0.
expect_program_ended() {
    local status=0 deadline=$(($(now_ms) + 20000))
    while kill -0 "$APP_PID" 2>/dev/null; do
        [ "$(now_ms)" -lt "$deadline" ] || fail "the program did not end after $1"
        sleep 0.05
    done
    wait "$APP_PID" || status=$?
    local pid others=()
    for pid in "${E2E_PIDS[@]}"; do
        [ "$pid" = "$APP_PID" ] || others+=("$pid")
    done
    E2E_PIDS=("${others[@]}")
    [ "$status" -eq 0 ] || fail "the program ended with status $status after $1"
    e2e_log "program ended after $1"
}
