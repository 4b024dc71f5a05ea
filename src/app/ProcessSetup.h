// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ProcessSetup: what the process needs settled before the program starts.
#pragma once

/// Settles process-wide behaviour before anything else runs:
/// - a write past a file-size limit (`ulimit -f`) then fails with EFBIG, which the save reports,
///   instead of raising SIGXFSZ, whose default action would end the program with the unsaved
///   text;
/// - SIGTERM (a shutdown, `kill`), SIGHUP (the terminal closed) and SIGINT (Ctrl+C) no longer
///   end the program on the spot: each is written to the pipe TerminationSignalPipe() reads
///   from, so the event loop can treat it as a request to close the window. A signal the
///   program was started with ignored (`nohup`) stays ignored.
/// Call it once, before the application object exists.
void SetUpProcess();

/// The reading end of the pipe the termination signals are written to, non-blocking, one byte
/// per signal holding its number; -1 before SetUpProcess, or when no pipe could be made (then
/// those signals keep their default action).
int TerminationSignalPipe();
