// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ProcessSetup: what the process needs settled before the program starts.
#pragma once

/// Settles process-wide behaviour before anything else runs: a write past a file-size limit
/// (`ulimit -f`) then fails with EFBIG, which the save reports, instead of raising SIGXFSZ,
/// whose default action would end the program with the unsaved text.
void SetUpProcess();
