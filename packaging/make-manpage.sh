#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the compressed manual page: the template with the version, the home page and a KEYS
# section made from the "Menus and keys" section of Readme.txt.
#
# Readme.txt lays that section out as groups: a group's name stands at the start of a line, its
# entries are indented by two (name, then key and description after runs of two or more spaces,
# or on the next line when the name is long), an entry's description goes on in deeper-indented
# lines, and other lines at the start are plain paragraphs.
set -euo pipefail

template=$1 readme=$2 version=$3 homepage=$4 output=$5

keys() {
    awk '
    # Text that troff prints as it stands.
    function escaped(text) {
        gsub(/\\/, "\\e", text)
        if (text ~ /^[.'"'"']/) text = "\\&" text
        return text
    }
    function indent(text) { match(text, /^ */); return RLENGTH }
    { line[NR] = $0 }
    END {
        for (i = 1; i < NR; i++)
            if (line[i] == "Menus and keys" && line[i + 1] ~ /^-+$/) break
        if (i >= NR) { print "Readme.txt has no \"Menus and keys\" section" > "/dev/stderr"; exit 1 }
        entries = 0
        in_paragraph = 0
        for (i += 2; i <= NR && line[i + 1] !~ /^-+$/; i++) {
            text = line[i]
            if (text ~ /^ *$/) { in_paragraph = 0; continue }
            depth = indent(text)
            sub(/^ +/, "", text)
            if (depth == 0 && indent(line[i + 1]) == 2) {
                print ".SS " escaped(text)
            } else if (depth == 0) {
                if (!in_paragraph) print ".PP"
                in_paragraph = 1
                print escaped(text)
            } else if (depth == 2) {
                # A lone word after the name is its key, whose description follows below.
                fields = split(text, field, /  +/)
                # A name too long for its column stands alone; its key and description follow.
                following = line[i + 1]
                sub(/^ +/, "", following)
                if (fields == 1 && indent(line[i + 1]) > 2 && split(following, more, /  +/) == 2 && more[1] !~ / /) {
                    fields = 3
                    field[2] = more[1]
                    field[3] = more[2]
                    i++
                }
                key = fields == 3 || (fields == 2 && field[2] !~ / /) ? field[2] : ""
                description = fields > 1 && field[fields] != key ? field[fields] : ""
                print ".TP"
                print "\\fB" escaped(field[1]) "\\fR" (key == "" ? "" : " (\\fB" escaped(key) "\\fR)")
                if (description != "") print escaped(description)
                entries++
            } else {
                print escaped(text)
            }
        }
        if (entries == 0) { print "Readme.txt lists no keys" > "/dev/stderr"; exit 1 }
    }' "$readme"
}

keys_section=$(keys)

page() {
    while IFS= read -r line; do
        case $line in
        @KEYS@) printf '%s\n' "$keys_section" ;;
        *)
            line=${line//@VERSION@/$version}
            printf '%s\n' "${line//@HOMEPAGE@/$homepage}"
            ;;
        esac
    done <"$template"
}

trap 'rm -f "$output.tmp"' EXIT
page | gzip -9n >"$output.tmp"
mv "$output.tmp" "$output"
