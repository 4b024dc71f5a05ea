// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DocumentLoader: Scintilla's document loader, and the hand-over of a new document to the view.
#include "DocumentLoader.h"

#include "common/EditorError.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cstddef>

/// Scintilla's interface for filling a document that no view shows yet, declared as Scintilla
/// declares it (QScintilla does not install the header), so calls reach Scintilla's own object.
class ILoader
{
public:
    virtual int Release() = 0;
    virtual int AddData(const char *data, std::ptrdiff_t length) = 0;
    virtual void *ConvertToDocument() = 0;
};

namespace
{

using Sci = QsciScintillaBase;

/// Scintilla's keyword lists are numbered 0 to 8.
constexpr int KeywordSets = 9;

/// Room for typing after the loaded text: a document filled to its last byte grows on the first
/// keystroke, copying all of its text and styles once (half a second at 100 MB). A sixty-fourth
/// of the text, at least a page and at most 16 MB, lets a long session pass without it.
qint64 TypingRoom(qint64 bytes)
{
    return std::clamp<qint64>(bytes / 64, 4096, qint64(16) << 20);
}

/// The characters of one class (word, blank, punctuation) as a string Scintilla takes back.
QByteArray CharactersOfClass(const QsciScintilla &view, unsigned int getMessage)
{
    const long count = view.SendScintilla(getMessage, 0UL, static_cast<void *>(nullptr));
    QByteArray characters(count + 1, '\0');
    view.SendScintilla(getMessage, 0UL, static_cast<void *>(characters.data()));
    return characters;
}

/// What Scintilla keeps per document rather than per view, read from the old document so the
/// new one behaves the same.
struct DocumentSettings {
    long codePage = 0;
    long tabWidth = 0;
    long indent = 0;
    long useTabs = 0;
    long tabIndents = 0;
    long backspaceUnindents = 0;
    long lineEndTypes = 0;
    long readOnly = 0;
    long lexer = 0;
    QByteArray wordCharacters;
    QByteArray blankCharacters;
    QByteArray punctuation;

    static DocumentSettings Of(const QsciScintilla &view)
    {
        DocumentSettings settings;
        settings.codePage = view.SendScintilla(Sci::SCI_GETCODEPAGE);
        settings.tabWidth = view.SendScintilla(Sci::SCI_GETTABWIDTH);
        settings.indent = view.SendScintilla(Sci::SCI_GETINDENT);
        settings.useTabs = view.SendScintilla(Sci::SCI_GETUSETABS);
        settings.tabIndents = view.SendScintilla(Sci::SCI_GETTABINDENTS);
        settings.backspaceUnindents = view.SendScintilla(Sci::SCI_GETBACKSPACEUNINDENTS);
        settings.lineEndTypes = view.SendScintilla(Sci::SCI_GETLINEENDTYPESALLOWED);
        settings.readOnly = view.SendScintilla(Sci::SCI_GETREADONLY);
        settings.lexer = view.SendScintilla(Sci::SCI_GETLEXER);
        settings.wordCharacters = CharactersOfClass(view, Sci::SCI_GETWORDCHARS);
        settings.blankCharacters = CharactersOfClass(view, Sci::SCI_GETWHITESPACECHARS);
        settings.punctuation = CharactersOfClass(view, Sci::SCI_GETPUNCTUATIONCHARS);
        return settings;
    }

    void ApplyTo(QsciScintilla &view) const
    {
        view.SendScintilla(Sci::SCI_SETCODEPAGE, codePage);
        view.SendScintilla(Sci::SCI_SETTABWIDTH, tabWidth);
        view.SendScintilla(Sci::SCI_SETINDENT, indent);
        view.SendScintilla(Sci::SCI_SETUSETABS, useTabs);
        view.SendScintilla(Sci::SCI_SETTABINDENTS, tabIndents);
        view.SendScintilla(Sci::SCI_SETBACKSPACEUNINDENTS, backspaceUnindents);
        view.SendScintilla(Sci::SCI_SETLINEENDTYPESALLOWED, lineEndTypes);
        view.SendScintilla(Sci::SCI_SETWORDCHARS, 0UL, wordCharacters.constData());
        view.SendScintilla(Sci::SCI_SETWHITESPACECHARS, 0UL, blankCharacters.constData());
        view.SendScintilla(Sci::SCI_SETPUNCTUATIONCHARS, 0UL, punctuation.constData());
        view.SendScintilla(Sci::SCI_SETLEXER, lexer);
        ApplyLexerDocumentState(view);
        view.SendScintilla(Sci::SCI_SETREADONLY, readOnly);
    }

    /// The keyword lists and properties a QScintilla lexer gave the old document; the styles
    /// belong to the view and stay. Nothing is coloured here: the view colours what it paints.
    static void ApplyLexerDocumentState(QsciScintilla &view)
    {
        QsciLexer *lexer = view.lexer();
        if (!lexer)
            return;
        view.SendScintilla(Sci::SCI_SETPROPERTY, "fold", "1");
        view.SendScintilla(Sci::SCI_SETPROPERTY, "fold.html", "1");
        for (int set = 0; set < KeywordSets; ++set) {
            const char *words = lexer->keywords(set + 1);
            view.SendScintilla(Sci::SCI_SETKEYWORDS, static_cast<unsigned long>(set),
                               words ? words : "");
        }
        lexer->refreshProperties();
    }
};

} // namespace

DocumentLoader::DocumentLoader(QsciScintilla &view) : view_(view) {}

DocumentLoader::~DocumentLoader()
{
    Drop();
}

void DocumentLoader::Restart(qint64 bytes)
{
    Drop();
    if (!factory_)
        factory_ = std::make_unique<QsciScintillaBase>();
    const long loader = factory_->SendScintilla(
        Sci::SCI_CREATELOADER, static_cast<unsigned long>(bytes + TypingRoom(bytes)),
        static_cast<long>(Sci::SC_DOCUMENTOPTION_DEFAULT));
    loader_ = reinterpret_cast<ILoader *>(loader);
    if (!loader_)
        throw EditorError("the editor could not set up a new document");
}

void DocumentLoader::Append(QByteArrayView utf8)
{
    const int status = loader_->AddData(utf8.data(), utf8.size());
    if (status == Sci::SC_STATUS_BADALLOC)
        throw EditorError("there is not enough memory for the text");
    if (status != Sci::SC_STATUS_OK)
        throw EditorError("the editor could not take the text");
}

void DocumentLoader::Show()
{
    const DocumentSettings settings = DocumentSettings::Of(view_);
    void *document = loader_->ConvertToDocument();
    loader_ = nullptr;
    view_.SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, document);
    // The view now holds its own reference; the loader's one goes.
    view_.SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, document);
    settings.ApplyTo(view_);
}

void DocumentLoader::Drop()
{
    if (loader_)
        loader_->Release();
    loader_ = nullptr;
}
