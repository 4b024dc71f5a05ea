#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed Quillmark: the layout of an install into a temporary prefix and of the .deb, the
# validators' verdict on the desktop entry, the metainfo and the .deb (lintian), the help files
# beside the program, and the manual page, copyright and changelog made from the project's texts.
set -euo pipefail

source_dir=$1 build_dir=$2 built_program_dir=$3 version=$4 cmake=$5 cpack=$6
app_id=org.example.quillmark
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

expected_files() {
    printf '%s\n' bin/quillmark lib/quillmark/quillmark lib/quillmark/Readme.txt \
        lib/quillmark/Versions.txt "share/applications/$app_id.desktop" \
        "share/metainfo/$app_id.metainfo.xml" share/man/man1/quillmark.1.gz \
        share/doc/quillmark/copyright share/doc/quillmark/changelog.gz
    for size in 16 24 32 48 64 128 256; do
        echo "share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    done
}

# Width and height of a PNG, read from its header.
png_size() {
    local bytes
    read -ra bytes <<<"$(od -An -tu1 -j16 -N8 "$1")"
    echo "$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]))x$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))"
}

compare_lists() {
    local what=$1 expected=$2 actual=$3
    if [ "$expected" != "$actual" ]; then
        fail "$what differs from the expected layout:"
        diff <(echo "$expected") <(echo "$actual") >&2 || true
    fi
}

check_help_files_beside() {
    local folder=$1 where=$2
    for file in Readme.txt Versions.txt; do
        cmp -s "$source_dir/src/help/$file" "$folder/$file" || fail "$file is missing or stale $where"
    done
}

expected=$(expected_files | sort)

# The Help menu works from the build tree too.
check_help_files_beside "$built_program_dir" "beside the built program"

prefix=$work/prefix
if ! "$cmake" --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    fail "cmake --install failed"
    exit 1
fi
compare_lists "The installed file list" "$expected" "$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)"

# An installed Quillmark started through the link finds its help files in its real folder.
link=$prefix/bin/quillmark
[ -L "$link" ] || fail "bin/quillmark is not a link"
case "$(readlink "$link")" in /*) fail "bin/quillmark points to an absolute path: $(readlink "$link")" ;; esac
program=$(readlink -f "$link")
[ "$program" = "$prefix/lib/quillmark/quillmark" ] || fail "bin/quillmark leads to $program"
[ -x "$program" ] || fail "the installed program is not executable"
check_help_files_beside "$(dirname "$program")" "in the installed program's folder"

desktop=$prefix/share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
grep -q '^Exec=quillmark$' "$desktop" || fail "the desktop entry must start quillmark with no file argument"

metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli reports errors or warnings on the metainfo"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "the metainfo names no licence"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo lists no release $version"
grep -qx "$version" "$source_dir/src/help/Versions.txt" || fail "Versions.txt has no entry for $version"
website=$(sed -n 's/.*WebsiteAddress\[\] = "\(.*\)";/\1/p' "$source_dir/src/help/HelpCommands.h")
grep -qF "<url type=\"homepage\">$website</url>" "$metainfo" ||
    fail "the metainfo's home page is not the Website command's address $website"

for size in 16 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ -f "$icon" ] && [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "the ${size}x${size} icon has the wrong size"
done

# The .deb carries the same layout under /usr.
if ! "$cpack" --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    fail "cpack failed"
    exit 1
fi
deb=$(find "$work/deb" -maxdepth 1 -name '*.deb' | head -n 1)
[ -n "$deb" ] || { fail "cpack made no .deb"; exit 1; }
listing=$(dpkg-deb -c "$deb")
compare_lists "The .deb's file list" "$expected" \
    "$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sed 's|^\./usr/||' | sort)"
grep -q ' \./usr/bin/quillmark -> \.\./lib/quillmark/quillmark$' <<<"$listing" ||
    fail "the .deb's bin/quillmark is not a link to the program folder"
[ "$(dpkg-deb -f "$deb" Package)" = quillmark ] || fail "the package is not named quillmark"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
[ -n "$(dpkg-deb -f "$deb" Depends)" ] || fail "the package declares no dependencies"

source "$source_dir/tests/packaging/installed_docs.sh"
check_manual_page "$prefix/share/man/man1/quillmark.1.gz"
check_copyright "$prefix/share/doc/quillmark/copyright"
check_changelog "$prefix/share/doc/quillmark/changelog.gz"

# Debian's own checker accepts the package as it stands, with no overrides.
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings on the .deb"
else
    fail "lintian is not installed (scripts/setup.sh installs it)"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "The installed layout, the .deb and both validators agree."
