# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Judges one save in a trace of `strace -f -y` (descriptors shown with their paths): prints
# "durable" or what the save skipped, and fails then.
# kind=replaced: the new content is written and synced, linked to a name (an unnamed file), renamed
# over DIR/NAME, and the folder is synced after the rename.
# kind=inplace: a backup of the old content is written and synced and the folder synced before
# DIR/NAME is touched; then the file is synced after its last write, the backup removed, and the
# folder synced after that.
# Usage: awk -v dir=DIR -v name=NAME -v kind=replaced|inplace -f durable_save.awk TRACE

function fail(why) {
    print "not durable: the save of " name " " why
    failed = 1
    exit 1
}

# The path strace shows for the descriptor at the start of `text`, as in "7</a/b.qc>".
function path_of(text) {
    if (!match(text, /^[0-9]+</))
        return ""
    text = substr(text, RLENGTH + 1)
    return substr(text, 1, index(text, ">") - 1)
}

function number_of(text) {
    match(text, /^[0-9]+/)
    return substr(text, 1, RLENGTH)
}

# The file opened last on the descriptor at the start of `text`, or 0 when that descriptor now
# holds something no traced call opened (a pipe, an eventfd): numbers are used again once closed.
function same_file(text,    f) {
    f = id[number_of(text)]
    return f && path[f] == path_of(text) ? f : 0
}

# The quoted string arguments of a call, in order, into `strings`; returns how many.
function quoted(text, strings,    count) {
    count = 0
    while (match(text, /"[^"]*"/)) {
        strings[++count] = substr(text, RSTART + 1, RLENGTH - 2)
        text = substr(text, RSTART + RLENGTH)
    }
    return count
}

{
    pid = $1
    line = $0
    sub(/^[0-9]+ +/, "", line)
    # A call another thread interrupted is printed in two pieces; they are joined again.
    if (line ~ / <unfinished \.\.\.>$/) {
        pending[pid] = substr(line, 1, length(line) - length(" <unfinished ...>"))
        next
    }
    if (line ~ /^<\.\.\. [a-z0-9_]+ resumed>/) {
        sub(/^<\.\.\. [a-z0-9_]+ resumed>/, "", line)
        line = pending[pid] line
        delete pending[pid]
    }
    if (!match(line, /\) += [0-9]+/))
        next # failed, or no call
    result = substr(line, RSTART)
    sub(/^\) += /, "", result)
    call = line
    sub(/\(.*/, "", call)
    args = substr(line, index(line, "(") + 1)
    seq++

    if (call == "openat" || call == "open") {
        fd = number_of(result)
        id[fd] = ++opened
        path[opened] = path_of(result)
        file_of[path[opened]] = opened
    } else if (call == "write" || call == "pwrite64" || call == "ftruncate") {
        f = same_file(args)
        if (!f)
            next
        last_write[f] = seq
        synced[f] = 0
        if (path[f] == dir "/" name) {
            if (!first_touch)
                first_touch = seq
            touched = f
        }
    } else if (call == "fsync" || call == "fdatasync") {
        f = same_file(args)
        if (path[f] == dir)
            folder_synced[++folder_syncs] = seq
        else if (last_write[f] && !synced[f])
            synced[f] = seq
    } else if (call == "linkat") {
        quoted(args, strings)
        if (strings[1] ~ /^\/proc\/self\/fd\/[0-9]+$/) {
            linked[strings[2]] = id[substr(strings[1], 15)]
            linked_at[strings[2]] = seq
        }
    } else if (call == "renameat" || call == "renameat2" || call == "rename") {
        quoted(args, strings)
        if (strings[2] == name) {
            renamed_at = seq
            renamed_from = strings[1]
        }
    } else if (call == "unlinkat") {
        quoted(args, strings)
        removed_at[strings[1]] = seq
    }
}

function folder_synced_between(after, before,    i) {
    for (i = 1; i <= folder_syncs; ++i)
        if (folder_synced[i] > after && folder_synced[i] < before)
            return 1
    return 0
}

END {
    if (failed)
        exit 1
    if (kind == "replaced") {
        if (!renamed_at)
            fail("renamed nothing over it")
        f = renamed_from in linked ? linked[renamed_from] : file_of[dir "/" renamed_from]
        if (!last_write[f])
            fail("renamed a file over it that it never wrote")
        if (!synced[f] || synced[f] > renamed_at)
            fail("did not sync the new content before renaming it over the file")
        if (renamed_from in linked && linked_at[renamed_from] < synced[f])
            fail("linked the new content to a name before syncing it")
        if (!folder_synced_between(renamed_at, seq + 1))
            fail("did not sync the folder after the rename")
    } else {
        if (!first_touch)
            fail("never wrote the file")
        backup = 0
        for (p in file_of) {
            f = file_of[p]
            if (index(p, dir "/.quillmark-backup-") == 1 && synced[f] &&
                folder_synced_between(synced[f], first_touch))
                backup = f
        }
        if (!backup)
            fail("touched the file before a backup of it was synced with its folder")
        if (!synced[touched])
            fail("did not sync the file after writing it")
        backup_name = substr(path[backup], length(dir) + 2)
        if (!(backup_name in removed_at) || removed_at[backup_name] < synced[touched])
            fail("did not remove its backup after syncing the file")
        if (!folder_synced_between(removed_at[backup_name], seq + 1))
            fail("did not sync the folder after removing the backup")
    }
    print "durable: the save of " name " (" kind ")"
}
