// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// CloseRequests: the signal pipe read on the event loop, and each request's close, one at a time.
#include "CloseRequests.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <QThread>
#include <QWidget>

#include <cerrno>

#include <unistd.h>

namespace
{

/// True inside a dialog's or a menu's own event loop, or any other loop run from a handler.
bool InNestedLoop()
{
    return QThread::currentThread()->loopLevel() > 1;
}

} // namespace

CloseRequests::CloseRequests(int signalPipe, QWidget &window)
    : window_(window), signalPipe_(signalPipe)
{
    if (signalPipe_ < 0)
        return;
    notifier_ = new QSocketNotifier(signalPipe_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CloseRequests::ReadSignals);
}

CloseRequests::~CloseRequests() = default;

void CloseRequests::ReadSignals()
{
    bool received = false;
    unsigned char numbers[64];
    for (;;) {
        const ssize_t got = ::read(signalPipe_, numbers, sizeof numbers);
        if (got > 0)
            received = true;
        else if (got < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    if (received)
        Request();
}

void CloseRequests::Request()
{
    if (closing_ || waiting_)
        return;
    if (InNestedLoop()) {
        waiting_ = true;
        wakeUp_ =
            connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                    this, &CloseRequests::CarryOutWhenBackInMainLoop);
        return;
    }
    closing_ = true;
    window_.close();
    closing_ = false;
}

// Runs as the event loop is about to wait. The close is posted rather than made here, since its
// question runs an event loop of its own, which must not start inside the dispatcher.
void CloseRequests::CarryOutWhenBackInMainLoop()
{
    if (InNestedLoop())
        return;
    disconnect(wakeUp_);
    QMetaObject::invokeMethod(
        this,
        [this] {
            waiting_ = false;
            Request();
        },
        Qt::QueuedConnection);
}
