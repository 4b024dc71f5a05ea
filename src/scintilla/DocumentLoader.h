// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DocumentLoader: fills a new editor document off-screen and shows it in place of the old one.
#pragma once

#include "scriptfile/ScriptFile.h"

#include <memory>

class QsciScintillaBase;
class ILoader;
class ScintillaCall;
class QsciScintilla;

/// A document built away from the view, so the text on screen stays as it is until the new one
/// is complete: a failed load leaves the view's text, undo history and selection untouched.
/// Text arrives with undo collection off and no modification events, and no undo copy is kept.
/// A worker thread adds each piece to the document while the reader reads and decodes the next:
/// Scintilla's loader is made for filling a document away from the user-interface thread.
class DocumentLoader : public ScriptTextSink
{
public:
    explicit DocumentLoader(ScintillaCall &view);
    /// Drops a document that was never shown.
    ~DocumentLoader() override;
    DocumentLoader(const DocumentLoader &) = delete;
    DocumentLoader &operator=(const DocumentLoader &) = delete;

    void Restart(qint64 bytes) override;
    void Append(QByteArrayView utf8) override;

    /// Shows the built document in the view. The view's settings kept per document (code page,
    /// tabs and indents, word characters, language) carry over; undo collection is still off, the
    /// caller decides the rest. A piece the document could not take is an EditorError here at the
    /// latest (std::bad_alloc when memory ran short), and the view is left as it was. The old
    /// document lives on, for Revert, as long as the loader.
    void Show();
    /// Puts the document shown before Show back in the view, with its selection and scroll
    /// position; the loaded document goes.
    void Revert();

private:
    class Feed;
    /// The document the view showed before, and where its selection and scroll position were.
    struct Shown {
        void *document = nullptr;
        long anchor = 0;
        long caret = 0;
        long firstLine = 0;
        long xOffset = 0;
    };

    void Drop();
    void KeepShown();
    void ReleaseShown();

    QsciScintilla &view_;
    // Loaders come from a view of their own: asking the visible view for one resets its layout
    // of the document it still shows.
    std::unique_ptr<QsciScintillaBase> factory_;
    ILoader *loader_ = nullptr;
    std::unique_ptr<Feed> feed_;
    Shown shown_;
};
