// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DocumentWatcher: a hidden view on the shared document that asks only for "before" notices.
#include "DocumentWatcher.h"

#include "ScintillaCall.h"

#include <Qsci/qsciscintillabase.h>

#include <QScopeGuard>

namespace
{

using Sci = QsciScintillaBase;

constexpr long WatchedEdits = Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE;

} // namespace

DocumentWatcher::DocumentWatcher(ScintillaCall &view, Listener listener)
    : view_(view), listener_(std::move(listener))
{
}

DocumentWatcher::~DocumentWatcher() = default;

void DocumentWatcher::Follow()
{
    waiting_ = false;
    if (!follower_) {
        follower_ = std::make_unique<QsciScintillaBase>();
        connect(follower_.get(), &QsciScintillaBase::SCN_MODIFIED, this,
                [this](int position, int type, const char *, int, int, int, int, int, int, int) {
                    Heard(position, type);
                });
    }
    follower_->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, view_.Document());
    follower_->SendScintilla(Sci::SCI_SETMODEVENTMASK, WatchedEdits);
    following_ = true;
}

void DocumentWatcher::Stop()
{
    waiting_ = false;
    following_ = false;
    if (!follower_)
        return;
    follower_->SendScintilla(Sci::SCI_SETMODEVENTMASK, 0L);
    // A view given no document makes an empty one of its own and lets the shared one go.
    follower_->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, 0L);
}

void DocumentWatcher::WithoutFollower(const std::function<void()> &work)
{
    if (!following_) {
        work();
        return;
    }
    Flush();
    follower_->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, 0L);
    const auto followAgain = qScopeGuard(
        [this] { follower_->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, view_.Document()); });
    work();
}

void DocumentWatcher::Flush()
{
    if (!waiting_)
        return;
    waiting_ = false;
    const long lines = follower_->SendScintilla(Sci::SCI_GETLINECOUNT);
    listener_(line_, lines - linesBefore_);
}

// The previous edit is complete when the next one is announced, so its line count is final.
void DocumentWatcher::Heard(int position, int type)
{
    if (!(type & WatchedEdits))
        return;
    Flush();
    line_ =
        follower_->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    linesBefore_ = follower_->SendScintilla(Sci::SCI_GETLINECOUNT);
    lastEdit_ = std::chrono::steady_clock::now();
    waiting_ = true;
}
