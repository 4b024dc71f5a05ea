// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// CloseRequests: termination signals turned into the window's own close, one at a time.
#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

/// Turns the termination signals ProcessSetup writes to its pipe into a close of the window, as
/// at its close box, so unsaved text is asked about first and the program ends once the window
/// has closed. Signals that arrive together make one request.
///
/// A request is carried out from the main event loop only. One that arrives while a nested loop
/// runs (a dialog or a context menu is open, the session manager is waited for) waits until
/// that loop has ended: the user finishes with the dialog first, and then the window closes, or
/// asks about what is still unsaved. A request that arrives while the window's close for an
/// earlier one is under way, with its question open, is dropped: that question is its answer.
class CloseRequests : public QObject
{
    Q_OBJECT

public:
    /// `signalPipe` as TerminationSignalPipe() gives it; with -1 no signal is read.
    CloseRequests(int signalPipe, QWidget &window);
    ~CloseRequests() override;

    /// Asks the window to close, as a termination signal does.
    void Request();

private:
    void ReadSignals();
    void CarryOutWhenBackInMainLoop();

    QWidget &window_;
    int signalPipe_;
    QSocketNotifier *notifier_ = nullptr;
    bool closing_ = false;
    bool waiting_ = false;
    QMetaObject::Connection wakeUp_;
};
