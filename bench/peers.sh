#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Times Quillmark and general-purpose editors Debian packages from outside, as a user meets them:
# real windows on a virtual X display with a window manager, the same generated script for all,
# rounds interleaved so that a busy moment of the machine hits every editor alike.
#
#   bash bench/peers.sh [--size MB] [--rounds N] [--editors "quillmark scite ..."]
#                       [--quillmark PATH] [--out FILE]
#
# For each editor and round: start-up (process start to its window shown), opening the script to
# the first screen shown coloured (from process start; Quillmark has no command line, so its
# File > Open dialog is answered as soon as its window is up, as a user would), memory after
# that, Ctrl+End right after, the first keystroke at the end and the median of the next ten.
# Screen changes are seen through the X server's damage reports (bench/peers/xwatch.c). Vim runs
# in an xterm and is timed the same way, from the terminal's window.
# Prints one line per editor and measure (medians over the rounds), whether Quillmark opened
# ahead of each peer, then Quillmark's ratios to SciTE's. A round the script could not time for
# Quillmark (the file dialog never showed the typed path, or stayed open) is named at the end
# and makes the script fail.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
size_mb=100
rounds=5
editors="quillmark vim scite geany featherpad mousepad"
quillmark="$root/build/src/quillmark"
out=""
while [ $# -gt 0 ]; do
    case "$1" in
    --size) size_mb="$2"; shift 2 ;;
    --rounds) rounds="$2"; shift 2 ;;
    --editors) editors="$2"; shift 2 ;;
    --quillmark) quillmark="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done

packages=(xvfb openbox xdotool python3 gcc bc x11-utils libx11-dev libxtst-dev libxdamage-dev
          scite geany featherpad mousepad vim xterm)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
[ -x "$quillmark" ] || { echo "no Quillmark at $quillmark: build it first" >&2; exit 1; }

work="$(mktemp -d)"
xpids=()
editor_pid=""
cleanup() {
    [ -n "$editor_pid" ] && kill -9 "$editor_pid" 2>/dev/null || true
    for pid in "${xpids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

gcc -O2 -o "$work/xwatch" "$here/peers/xwatch.c" -lX11 -lXtst -lXdamage
xwatch="$work/xwatch"

# The same text as quillmark-bench's generated scripts: BASIC-like lines with CRLF ends.
python3 - "$work/script.qc" "$((size_mb * 1000000))" <<'EOF'
import sys
templates = ["Sub OnPlayerLogin(index)\r\n", "    Dim level, name\r\n",
    "    level = GetPlayerLevel(index) + %d\r\n",
    "    name = GetPlayerName(index) & \" joined map \" & GetPlayerMap(index)\r\n",
    "    ' greet the player and log the visit number %d\r\n",
    "    If level >= %d And Not IsNull(name) Then\r\n",
    "        Call PlayerMessage(index, \"Welcome back, \"\"\" & name & \"\"\"!\", vbYellow)\r\n",
    "    ElseIf level mod 7 = 0 Or level <> %d Then\r\n",
    "        Call GivePlayerEXP(index, level * 12.5)\r\n", "    End If\r\n", "End Sub\r\n", "\r\n"]
size, state, line, parts = 0, 12345, 0, []
while size < int(sys.argv[2]):
    state = (state * 1103515245 + 12345) & 0xFFFFFFFF
    text = templates[line % 12]
    if "%d" in text:
        text = text % ((state >> 8) % 1000)
    parts.append(text)
    size += len(text)
    line += 1
open(sys.argv[1], "w", newline="").write("".join(parts))
EOF
# Each editor gets the name its Visual Basic colouring goes by; the bytes are the same file.
for ext in vb bas; do ln "$work/script.qc" "$work/script.$ext"; done

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xpids+=($!)
export DISPLAY="$display"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done 2>/dev/null || sleep 1
openbox >/dev/null 2>&1 &
xpids+=($!)
sleep 1
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

now_ns() { date +%s%N; }
ms_between() { echo "scale=1; ($2 - $1) / 1000000" | bc; }

# The window pattern xwatch looks for, and the command that opens the script.
pattern() {
    case "$1" in
    quillmark) echo "Quillmark" ;;
    vim) echo "XTerm" ;;
    scite) echo "SciTE" ;;
    geany) echo "geany" ;;
    featherpad) echo "featherpad" ;;
    mousepad) echo "mousepad" ;;
    esac
}
launch() { # editor, file or ""; runs in a subshell that becomes the editor
    case "$1" in
    quillmark) exec "$quillmark" ;;
    # Vim in a terminal about the size of the other editors' windows, with its own defaults
    # (syntax colouring on), no swap file (a killed round would leave one the next round asks
    # about) and no terminal window manager hints.
    vim) exec xterm -geometry 100x32 -fa Monospace -fs 10 -e vim -n ${2:+"$2"} ;;
    scite) exec scite ${2:+"$2"} ;;
    geany) exec geany -i -c "$HOME/geany" ${2:+"$2"} ;;
    featherpad) exec featherpad ${2:+"$2"} ;;
    mousepad) exec mousepad ${2:+"$2"} ;;
    esac
}
file_for() {
    case "$1" in
    quillmark) echo "$work/script.qc" ;;
    geany) echo "$work/script.bas" ;;
    *) echo "$work/script.vb" ;;
    esac
}

# Resident kilobytes of a process and its children: Vim runs inside a terminal.
tree_rss_kb() {
    local pid="$1" total=0 kb child
    kb=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
    total=$((total + ${kb:-0}))
    for child in $(cat /proc/"$pid"/task/*/children 2>/dev/null); do
        total=$((total + $(tree_rss_kb "$child")))
    done
    echo "$total"
}

# Ends the editor if it grows past 3 GB, so no run takes the shared machine's memory.
watch_memory() {
    local pid="$1"
    while kill -0 "$pid" 2>/dev/null; do
        local kb
        kb=$(tree_rss_kb "$pid")
        if [ "${kb:-0}" -gt 3000000 ]; then
            echo "  $pid passed 3 GB and was ended" >&2
            kill -9 "$pid" 2>/dev/null || true
        fi
        sleep 0.2
    done
}

stop_editor() {
    [ -n "$editor_pid" ] || return 0
    kill -9 "$editor_pid" 2>/dev/null || true
    wait "$editor_pid" 2>/dev/null || true
    editor_pid=""
    sleep 0.3
}

declare -A results baseline
record() { results["$1 $2"]+="$3 "; }
# Rounds the script could not time, though the editor did its part: reported, and the script
# fails, rather than leaving a gap in the medians.
failures=()
fail_round() { failures+=("round $round, $1: $2"); echo "  $1: $2" >&2; }

median() {
    tr ' ' '\n' | awk '$1 != "" && $1 != "-"' | sort -g | awk '{a[NR]=$1} END {
        if (NR == 0) print "-"; else if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2 }'
}

run_startup() { # editor
    local editor="$1" start window
    start=$(now_ns)
    launch "$editor" "" >/dev/null 2>&1 &
    editor_pid=$!
    if ! window=$("$xwatch" window "$(pattern "$editor")" 30000); then
        record "$editor" startup_ms "-"
        stop_editor
        return
    fi
    record "$editor" startup_ms "$(ms_between "$start" "${window#* }")"
    sleep 1
    baseline[$editor]=$("$xwatch" count "${window%% *}")
    stop_editor
}

run_open() { # editor
    local editor="$1" file start window id coloured answered=""
    file=$(file_for "$editor")
    start=$(now_ns)
    launch "$editor" "$([ "$editor" = quillmark ] || echo "$file")" >/dev/null 2>&1 &
    editor_pid=$!
    watch_memory "$editor_pid" &
    if ! window=$("$xwatch" window "$(pattern "$editor")" 60000); then
        record "$editor" open_ms "-"
        stop_editor
        return
    fi
    id="${window%% *}"
    if [ "$editor" = quillmark ]; then
        # Ctrl+O, the path typed into the dialog once its name field takes keys and Return, from
        # one process so that starting tools does not count against the editor.
        local why
        if ! answered=$("$xwatch" open "$id" "Open a script" "$file" 30000 2>"$work/why"); then
            why=$(cat "$work/why")
            fail_round "$editor" "the file dialog was not answered (${why:-no reason given})"
            stop_editor
            return
        fi
    fi
    local least=$((${baseline[$editor]:-0} + 1000))
    if [ "$editor" = quillmark ]; then
        # The dialog's pixels stay on the screen over the window until it repaints after the
        # load, which sets the caption first: only drawing after that counts.
        coloured=$("$xwatch" loaded "$id" "$(basename "$file")" "$least" 120000) || coloured=""
    else
        coloured=$("$xwatch" coloured "$id" "$least" 120000) || coloured=""
    fi
    if [ -z "$coloured" ]; then
        if [ "$editor" = quillmark ]; then
            fail_round "$editor" "no coloured screen within two minutes of the dialog's answer"
        else
            record "$editor" open_ms "-"
        fi
        stop_editor
        return
    fi
    record "$editor" open_ms "$(ms_between "$start" "${coloured%% *}")"
    [ -n "$answered" ] && record "$editor" open_from_dialog_ms "$(ms_between "$answered" "${coloured%% *}")"
    record "$editor" memory_mb "$(($(tree_rss_kb "$editor_pid") / 1024))"
    record "$editor" ctrl_end_ms "$("$xwatch" key "$id" ctrl+End 2000 "$((${baseline[$editor]:-0} + 1000))" 60000 || echo -)"
    sleep 0.5
    # Vim types only in insert mode: A appends at the end of the line, untimed.
    if [ "$editor" = vim ]; then
        "$xwatch" key "$id" A 1 0 10000 >/dev/null || true
        sleep 0.5
    fi
    record "$editor" first_key_ms "$("$xwatch" key "$id" x 20 0 60000 || echo -)"
    local later=""
    for _ in $(seq 10); do
        sleep 0.1
        later+="$("$xwatch" key "$id" x 20 0 10000 || echo -) "
    done
    record "$editor" later_key_ms "$(echo "$later" | median)"
    stop_editor
}

for round in $(seq "$rounds"); do
    echo "round $round of $rounds" >&2
    for editor in $editors; do run_startup "$editor"; done
    for editor in $editors; do run_open "$editor"; done
done

{
    echo "# $(date -u +%Y-%m-%dT%H:%MZ), ${size_mb} MB script, $rounds rounds, load average $(cut -d' ' -f1-3 /proc/loadavg)"
    for editor in $editors; do
        line="$editor"
        for measure in startup_ms open_ms open_from_dialog_ms memory_mb ctrl_end_ms first_key_ms later_key_ms; do
            [ -n "${results["$editor $measure"]:-}" ] || continue
            line+=" $measure=$(echo "${results["$editor $measure"]}" | median)"
        done
        echo "$line"
    done
    for peer in $editors; do
        [ "$peer" = quillmark ] && continue
        [[ " $editors " == *" quillmark "* ]] || break
        q=$(echo "${results["quillmark open_ms"]:-}" | median)
        p=$(echo "${results["$peer open_ms"]:-}" | median)
        if [ "$q" != "-" ] && [ "$p" != "-" ]; then
            echo "open_ms quillmark=$q $peer=$p quillmark_ahead=$(echo "$q < $p" | bc)"
        fi
    done
    if [[ " $editors " == *" quillmark "* && " $editors " == *" scite "* ]]; then
        line="quillmark_vs_scite"
        for measure in startup_ms open_ms memory_mb ctrl_end_ms first_key_ms later_key_ms; do
            q=$(echo "${results["quillmark $measure"]:-}" | median)
            s=$(echo "${results["scite $measure"]:-}" | median)
            if [ "$q" != "-" ] && [ "$s" != "-" ] && [ "$s" != "0" ]; then
                line+=" $measure=$(echo "scale=3; $q / $s" | bc)"
            fi
        done
        echo "$line"
    fi
    for failure in "${failures[@]}"; do echo "FAILED $failure"; done
} | tee ${out:+"$out"}
if [ ${#failures[@]} -gt 0 ]; then
    echo "peers.sh: ${#failures[@]} round(s) could not be timed; the medians above leave them out" >&2
    exit 1
fi
