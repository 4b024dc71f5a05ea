#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes Versions.txt as a compressed Debian changelog, one entry per version in the file's order,
# each dated with its release date from the AppStream metainfo.
#
# Versions.txt gives each version as a line of its number underlined with dashes; below it,
# paragraphs and lists of "- " items, each of which becomes one "*" item of the entry.
set -euo pipefail

versions=$1 metainfo=$2 package=$3 maintainer=$4 output=$5

# "VERSION DATE" for each release the metainfo lists.
release_dates() {
    sed -n 's/.*<release version="\([^"]*\)" date="\([^"]*\)".*/\1 \2/p' "$metainfo"
}

changelog() {
    awk -v package="$package" -v maintainer="$maintainer" -v releases="$(release_dates)" '
    BEGIN {
        count = split(releases, release, /\n/)
        for (i = 1; i <= count; i++) {
            split(release[i], part, / /)
            date[part[1]] = part[2]
        }
    }
    # Prints the item gathered so far, wrapped to 78 columns.
    function flush(    count, word, i, row) {
        if (item == "") return
        count = split(item, word, / +/)
        row = "  *"
        for (i = 1; i <= count; i++) {
            if (length(row) + 1 + length(word[i]) > 78 && row !~ /^ *\*?$/) { print row; row = "   " }
            row = row " " word[i]
        }
        print row
        item = ""
    }
    function close_entry(    command, stamp) {
        if (version == "") return
        flush()
        if (!(version in date)) {
            printf "The metainfo gives version %s of Versions.txt no release date\n", version > "/dev/stderr"
            exit 1
        }
        command = "date -u -R -d " date[version]
        if ((command | getline stamp) <= 0) exit 1
        close(command)
        print ""
        print " -- " maintainer "  " stamp
        entries++
    }
    { text[NR] = $0; last = NR }
    END {
        for (i = 1; i <= last; i++) {
            line = text[i]
            if (line ~ /^[0-9][0-9.]*$/ && text[i + 1] ~ /^-+$/) {
                close_entry()
                if (entries) print ""
                version = line
                printf "%s (%s) unstable; urgency=medium\n\n", package, version
                i++
            } else if (version == "") {
                continue
            } else if (line ~ /^ *$/) {
                flush()
            } else if (line ~ /^- /) {
                flush()
                item = substr(line, 3)
            } else {
                sub(/^ +/, "", line)
                item = item == "" ? line : item " " line
            }
        }
        close_entry()
        if (!entries) { print "Versions.txt lists no version" > "/dev/stderr"; exit 1 }
    }' "$versions"
}

trap 'rm -f "$output.tmp"' EXIT
changelog | gzip -9n >"$output.tmp"
mv "$output.tmp" "$output"
