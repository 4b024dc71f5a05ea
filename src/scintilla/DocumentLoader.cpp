// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DocumentLoader: Scintilla's document loader, and the hand-over of a new document to the view.
#include "DocumentLoader.h"

#include "ScintillaCall.h"
#include "common/EditorError.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <new>
#include <thread>

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

/// The worker that adds pieces of text to the loader in order, a few pieces behind the reader.
class DocumentLoader::Feed
{
public:
    explicit Feed(ILoader &loader) : loader_(loader), worker_([this] { Work(); }) {}

    /// Stops after the piece being added; pieces still waiting are dropped.
    ~Feed()
    {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
            pieces_.clear();
        }
        changed_.notify_all();
        worker_.join();
    }

    /// Queues a copy of `utf8`, waiting while the worker is that many pieces behind. Throws the
    /// first failure the worker met.
    void Add(QByteArrayView utf8)
    {
        QByteArray piece(utf8.data(), utf8.size());
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return pieces_.size() < MostWaiting || status_ != 0; });
        ThrowOnFailure();
        pieces_.push_back(std::move(piece));
        changed_.notify_all();
    }

    /// Waits until every piece is in the document; throws the first failure the worker met.
    void Finish()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return pieces_.empty() && !adding_; });
        ThrowOnFailure();
    }

private:
    static constexpr std::size_t MostWaiting = 4;

    void ThrowOnFailure() const
    {
        if (status_ == Sci::SC_STATUS_BADALLOC)
            throw std::bad_alloc();
        if (status_ != 0)
            throw EditorError("the editor could not take the text");
    }

    void Work()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return !pieces_.empty() || closed_; });
            if (pieces_.empty())
                return;
            QByteArray piece = std::move(pieces_.front());
            pieces_.pop_front();
            adding_ = true;
            const bool failed = status_ != 0;
            lock.unlock();
            const int status = failed ? status_ : loader_.AddData(piece.constData(), piece.size());
            lock.lock();
            adding_ = false;
            if (status != Sci::SC_STATUS_OK && status_ == 0)
                status_ = status;
            changed_.notify_all();
        }
    }

    ILoader &loader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QByteArray> pieces_;
    bool adding_ = false;
    bool closed_ = false;
    int status_ = 0;
    std::thread worker_;
};

DocumentLoader::DocumentLoader(ScintillaCall &view)
    : view_(static_cast<QsciScintilla &>(view.Widget()))
{
}

DocumentLoader::~DocumentLoader()
{
    Drop();
    ReleaseShown();
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
    feed_ = std::make_unique<Feed>(*loader_);
}

void DocumentLoader::Append(QByteArrayView utf8)
{
    feed_->Add(utf8);
}

void DocumentLoader::Show()
{
    if (feed_)
        feed_->Finish();
    feed_.reset();
    const DocumentSettings settings = DocumentSettings::Of(view_);
    KeepShown();
    void *document = loader_->ConvertToDocument();
    loader_ = nullptr;
    view_.SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, document);
    // The view now holds its own reference; the loader's one goes.
    view_.SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, document);
    settings.ApplyTo(view_);
}

void DocumentLoader::Revert()
{
    if (!shown_.document)
        return;
    view_.SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, shown_.document);
    view_.SendScintilla(Sci::SCI_SETSEL, shown_.anchor, shown_.caret);
    view_.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, shown_.firstLine);
    view_.SendScintilla(Sci::SCI_SETXOFFSET, shown_.xOffset);
    ReleaseShown();
}

// A reference of its own keeps the old document, its undo history and save point with it, alive
// after the view lets go of it, so a view that cannot take the new one can go back to it.
void DocumentLoader::KeepShown()
{
    ReleaseShown();
    shown_.anchor = view_.SendScintilla(Sci::SCI_GETANCHOR);
    shown_.caret = view_.SendScintilla(Sci::SCI_GETCURRENTPOS);
    shown_.firstLine = view_.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    shown_.xOffset = view_.SendScintilla(Sci::SCI_GETXOFFSET);
    shown_.document = reinterpret_cast<void *>(view_.SendScintilla(Sci::SCI_GETDOCPOINTER));
    view_.SendScintilla(Sci::SCI_ADDREFDOCUMENT, 0UL, shown_.document);
}

void DocumentLoader::ReleaseShown()
{
    if (shown_.document)
        view_.SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, shown_.document);
    shown_ = Shown{};
}

void DocumentLoader::Drop()
{
    feed_.reset();
    if (loader_)
        loader_->Release();
    loader_ = nullptr;
}
