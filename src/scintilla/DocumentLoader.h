// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DocumentLoader: reads a script file on a thread of its own and shows its text as it arrives.
#pragma once

#include "scriptfile/ScriptFile.h"

#include <chrono>
#include <memory>

class QsciScintilla;
class ScintillaCall;

/// One opening of a script file. A reader thread reads and decodes the file; the view is handed
/// a new document holding the first piece of the text, and the rest is added to that document
/// from the user-interface thread as it arrives, so the first screen shows before the whole
/// file is in. Until then the view's old document, with its undo history, stays untouched.
///
/// While the rest arrives the document is read-only. A failure after the first piece was shown
/// (a read error, not enough memory, the file becoming shorter) puts the old document back as it
/// was, with its selection and scroll position. A text decoded again by another encoding
/// (invalid UTF-8 far down) replaces what had arrived before anything can edit it.
class DocumentLoader
{
public:
    /// Starts reading `path` for `view`.
    DocumentLoader(ScintillaCall &view, const QString &path);
    /// Stops the reader; a document shown but not complete stays in the view.
    ~DocumentLoader();
    DocumentLoader(const DocumentLoader &) = delete;
    DocumentLoader &operator=(const DocumentLoader &) = delete;

    /// Waits for the first piece of the text and shows it in a new document; a file that fits in
    /// one piece is then whole. The view's settings kept per document (code page, tabs, word
    /// characters, language) carry over; undo collection is off. Throws EditorError (bad_alloc
    /// when memory ran short) when the file failed before, and the view is left as it was.
    FileIdentity ShowFirstPiece();
    /// Adds what has arrived to the document for about `budget`, waiting for none; with a
    /// negative budget, everything until the load is over. True once it is over: whole, or
    /// failed with the old document back.
    bool TakeArrived(std::chrono::milliseconds budget);
    /// Whether the whole text is in the document.
    bool Whole() const;
    /// The file's format once the text is whole.
    ScriptFormat Format() const;
    /// Why the load failed, in the words of EditorError; empty while it has not.
    QString Failure() const;
    /// Ends a load under way as failed: the old document comes back.
    void GiveUp();

private:
    class Reader;
    struct Shown;

    bool TakeOne(bool wait);
    void Append(QByteArrayView utf8);
    void Fail(const QString &reason);
    void EndLoad();

    ScintillaCall &call_;
    QsciScintilla &view_;
    QString path_;
    std::unique_ptr<Reader> reader_;
    std::unique_ptr<Shown> old_;
    qint64 expected_ = 0;
    bool allocated_ = false;
    bool over_ = false;
    bool whole_ = false;
    ScriptFormat format_;
    QString failure_;
};
