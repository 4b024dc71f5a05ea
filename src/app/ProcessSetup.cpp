// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ProcessSetup: the signal dispositions the program runs with.
#include "ProcessSetup.h"

#include <csignal>

void SetUpProcess()
{
    struct sigaction ignore {
    };
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}
