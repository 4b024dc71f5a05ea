# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks of the installed manual page, copyright file and changelog, sourced by tst_install.sh
# (which provides fail, compare_lists, source_dir, version, expected and work).
# shellcheck shell=bash disable=SC2154

# The "Menus and keys" section of Readme.txt, without its heading.
readme_keys_section() {
    awk '{ line[NR] = $0 }
        END {
            for (i = 1; i < NR; i++) if (line[i] == "Menus and keys" && line[i + 1] ~ /^-+$/) break
            for (i += 2; i <= NR && line[i + 1] !~ /^-+$/; i++) print line[i]
        }' "$source_dir/src/help/Readme.txt"
}

# Whether some line of $2, once unindented, starts with the words $1.
has_line_starting() {
    awk -v start="$1" '{ sub(/^ +/, "") }
        index($0, start) == 1 && (length($0) == length(start) || substr($0, length(start) + 1, 1) == " ") { found = 1 }
        END { exit !found }' <<<"$2"
}

check_manual_page() {
    local text keys_text section
    if ! text=$(MANWIDTH=200 man -l "$1" 2>&1); then
        fail "man cannot show the manual page: $text"
        return
    fi
    grep -q '^ *quillmark - editor for the \.qc script files of a game server$' <<<"$text" ||
        fail "the manual page has no NAME line for quillmark"
    grep -qF "Quillmark $version" <<<"$text" || fail "the manual page does not name version $version"

    # Every entry and key of the Readme's "Menus and keys" section has its place under KEYS.
    keys_text=$(sed -n '/^KEYS$/,/^FILES$/p' <<<"$text")
    section=$(readme_keys_section)
    [ -n "$section" ] || fail "Readme.txt has no \"Menus and keys\" section"
    while IFS= read -r entry; do
        has_line_starting "$entry" "$keys_text" || fail "the manual page's KEYS section lacks \"$entry\""
    done < <(sed -n 's/^  \([^ ].*\)/\1/p' <<<"$section" | sed 's/  .*//')
    while IFS= read -r key; do
        grep -qF "$key" <<<"$keys_text" || fail "the manual page's KEYS section lacks the key $key"
    done < <(grep -oE '\b((Ctrl|Shift|Alt)\+)+[A-Za-z0-9]+\b|\bF[0-9]{1,2}\b' <<<"$section" | sort -u)

    # FILES names everything the package installs (the icons once, for all sizes).
    while IFS= read -r file; do
        grep -qF "/usr/$file" <<<"$text" || fail "the manual page's FILES section lacks /usr/$file"
    done < <(sed -E 's|/[0-9]+x[0-9]+/|/*/|' <<<"$expected" | sort -u)
}

# Debian's machine-readable format, with a licence text for every licence it names.
check_copyright() {
    /usr/bin/python3 - "$1" <<'EOF' || fail "the copyright file is not in Debian's machine-readable format"
import sys
from debian.copyright import Copyright

with open(sys.argv[1], encoding="utf-8") as file:
    copyright = Copyright(file, strict=True)
texts = {paragraph.license.synopsis for paragraph in copyright.all_license_paragraphs()}
for paragraph in copyright.all_files_paragraphs():
    if not paragraph.license.text and paragraph.license.synopsis not in texts:
        sys.exit(f"no text for the licence {paragraph.license.synopsis}")
if copyright.find_files_paragraph("src/main.cpp").license.synopsis != "GPL-3+":
    sys.exit("the program's sources are not under GPL-3+")
EOF
    grep -q 'QScintilla' "$1" && grep -q 'Qt 6' "$1" ||
        fail "the copyright file says nothing of QScintilla and Qt"
}

# A Debian changelog with one entry per version of Versions.txt, in the same order.
check_changelog() {
    local log=$work/changelog
    gzip -dc "$1" >"$log" || { fail "the changelog is not compressed with gzip"; return; }
    [ "$(dpkg-parsechangelog -l "$log" -S Version 2>&1)" = "$version" ] ||
        fail "the changelog's latest entry is not version $version"
    compare_lists "The changelog's versions" \
        "$(awk '/^-+$/ && previous ~ /^[0-9][0-9.]*$/ { print previous } { previous = $0 }' "$source_dir/src/help/Versions.txt")" \
        "$(sed -n 's/^quillmark (\([^)]*\)).*/\1/p' "$log")"
}
