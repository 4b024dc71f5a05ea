// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ProcessSetup: the signal dispositions the program runs with.
#include "ProcessSetup.h"

#include <cerrno>
#include <csignal>
#include <initializer_list>

#include <fcntl.h>
#include <unistd.h>

namespace
{

int signalPipe[2] = {-1, -1};

// Runs inside the signal handler: only write(2), which is async-signal-safe, and errno kept for
// the code the signal interrupted. A full pipe drops the byte; enough requests are waiting then.
void WriteSignalNumber(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    const ssize_t written = ::write(signalPipe[1], &byte, 1);
    static_cast<void>(written);
    errno = savedErrno;
}

void IgnoreFileSizeSignal()
{
    struct sigaction ignore {
    };
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

void RouteTerminationSignals()
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction route {
    };
    route.sa_handler = WriteSignalNumber;
    sigemptyset(&route.sa_mask);
    // Restarted, so no system call of Qt's or the program's sees EINTR because of a signal.
    route.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction inherited {
        };
        if (::sigaction(number, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN)
            continue;
        ::sigaction(number, &route, nullptr);
    }
}

} // namespace

void SetUpProcess()
{
    IgnoreFileSizeSignal();
    RouteTerminationSignals();
}

int TerminationSignalPipe()
{
    return signalPipe[0];
}
