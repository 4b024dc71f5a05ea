// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DocumentWatcher: tells which lines each edit of a view's document touched.
#pragma once

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class QsciScintillaBase;
class ScintillaCall;

/// Follows the document a view shows through a second view on the same document that is never
/// shown. Only that view hears of edits, and only "before insert" and "before delete": those
/// carry no per-edit work in QScintilla, while the view typed in keeps its notifications off.
/// An edit is reported when the next one starts or on Flush, as the line where it started and
/// the number of lines it added (negative: removed), from the line counts before and after.
class DocumentWatcher : public QObject
{
    Q_OBJECT

public:
    using Listener = std::function<void(std::int64_t line, std::int64_t delta)>;

    DocumentWatcher(ScintillaCall &view, Listener listener);
    ~DocumentWatcher() override;

    /// Follows the document the view shows now; an edit not reported yet is dropped.
    void Follow();
    /// Follows no document.
    void Stop();
    /// Whether a document is followed.
    bool Following() const { return following_; }
    /// Reports the last edit if it was not reported yet.
    void Flush();
    /// Runs `work`, which must not edit the text, with the hidden view let go of the document:
    /// each view of a document hears of every fold level written, which costs the hidden view
    /// about as much as the one shown. Taking the document up again costs time in proportion to
    /// its lines, so this is for work that writes many levels. The last edit is reported first.
    void WithoutFollower(const std::function<void()> &work);
    /// When the last edit started.
    std::chrono::steady_clock::time_point LastEdit() const { return lastEdit_; }

private:
    void Heard(int position, int type);

    ScintillaCall &view_;
    std::unique_ptr<QsciScintillaBase> follower_;
    Listener listener_;
    bool following_ = false;
    bool waiting_ = false;
    std::int64_t line_ = 0;
    std::int64_t linesBefore_ = 0;
    std::chrono::steady_clock::time_point lastEdit_;
};
