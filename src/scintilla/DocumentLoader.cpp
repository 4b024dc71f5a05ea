// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DocumentLoader: the reader thread, the first piece shown in a new document, the rest added as
// it arrives, and the old document put back when the load fails.
#include "DocumentLoader.h"

#include "DocumentSettings.h"
#include "EditLimits.h"
#include "ScintillaCall.h"
#include "common/EditorError.h"
#include "scriptfile/FileErrors.h"
#include "scriptfile/ScriptFileFormat.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <thread>

namespace
{

using Sci = QsciScintillaBase;

/// Room for typing after the loaded text: a document filled to its last byte grows on the first
/// keystroke, copying all of its text and styles once (half a second at 100 MB). A sixty-fourth
/// of the text, at least a page and at most 16 MB, lets a long session pass without it.
qint64 TypingRoom(qint64 bytes)
{
    return std::clamp<qint64>(bytes / 64, 4096, qint64(16) << 20);
}

} // namespace

/// The reader thread and the pieces it hands over, in order. It stays a few pieces ahead of what
/// the view has taken, so memory holds the document and little more.
class DocumentLoader::Reader : public ScriptTextSink
{
public:
    struct Event {
        enum class Kind { Opened, Restart, Piece, Done, Failed };
        Kind kind = Kind::Failed;
        QByteArray piece;
        qint64 expected = 0;
        FileIdentity identity;
        ScriptFormat format;
        QString failure;
    };

    /// Reads `path`, refusing a line longer than `longestLine` bytes once decoded.
    Reader(QString path, qint64 longestLine, qint64 layoutMemory)
        : path_(std::move(path)), longestLine_(longestLine), layoutMemory_(layoutMemory),
          thread_([this] { Run(); })
    {
    }

    ~Reader() override
    {
        {
            std::lock_guard lock(mutex_);
            cancelled_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    /// Waits until the first screen can be shown: the file failed or ended, or two pieces wait,
    /// so a text of one piece is known to be whole.
    void WaitForFirstScreen()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return ended_ || pieces_ >= 2; });
    }

    /// Whether the next event ends the load: the text is whole, or the file failed.
    bool EndsNext()
    {
        std::lock_guard lock(mutex_);
        return !events_.empty() && (events_.front().kind == Event::Kind::Done ||
                                    events_.front().kind == Event::Kind::Failed);
    }

    /// Takes the next event into `event`; with `wait`, waits for one. False when none waits.
    bool Next(bool wait, Event &event)
    {
        std::unique_lock lock(mutex_);
        if (wait)
            changed_.wait(lock, [this] { return !events_.empty(); });
        if (events_.empty())
            return false;
        event = std::move(events_.front());
        events_.pop_front();
        if (event.kind == Event::Kind::Piece) {
            queued_ -= event.piece.size();
            --pieces_;
            changed_.notify_all();
        }
        return true;
    }

private:
    /// Thrown in the reader thread to stop reading when the load is given up.
    struct Cancelled {
    };
    static constexpr qint64 MostQueued = qint64(4) << 20;
    // The file is read in pieces of this size: a screen's worth and a wide margin, added to the
    // document in a millisecond, so the first screen waits for little more than its own text.
    // Pieces still waiting are joined up to a megabyte: each addition to a shown document has a
    // cost of its own besides its bytes.
    static constexpr qsizetype PieceBytes = qsizetype(256) << 10;
    static constexpr qsizetype JoinedBytes = qsizetype(1) << 20;

    void Opened(const FileIdentity &identity) override
    {
        Event event{Event::Kind::Opened, {}, 0, identity, {}, {}};
        Push(std::move(event));
    }

    void Restart(qint64 bytes) override
    {
        lines_ = LineEndCounter();
        tooLong_ = false;
        Push({Event::Kind::Restart, {}, bytes, {}, {}, {}});
    }

    // Once a line is longer than the view may lay out, nothing more goes to the view: the file is
    // read on only to tell how long its longest line is.
    void Append(QByteArrayView utf8) override
    {
        lines_.Feed(utf8);
        tooLong_ = tooLong_ || lines_.LongestLine() > longestLine_;
        if (tooLong_)
            return;
        QByteArray piece(utf8.data(), utf8.size());
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queued_ < MostQueued || cancelled_; });
        if (cancelled_)
            throw Cancelled();
        queued_ += piece.size();
        if (pieces_ >= 2 && events_.back().kind == Event::Kind::Piece &&
            events_.back().piece.size() + piece.size() <= JoinedBytes) {
            events_.back().piece += piece;
            return;
        }
        ++pieces_;
        events_.push_back({Event::Kind::Piece, std::move(piece), 0, {}, {}, {}});
        changed_.notify_all();
    }

    void Run()
    {
        Event last{Event::Kind::Failed, {}, 0, {}, {}, {}};
        try {
            const LoadedScript loaded = ReadScriptFile(path_, *this, PieceBytes);
            if (loaded.longestLine > longestLine_)
                FailOnFile(QStringLiteral("open"), path_,
                           QStringLiteral("its longest line holds %1 bytes, and %2")
                               .arg(loaded.longestLine)
                               .arg(LongLineText(layoutMemory_)));
            last.format = loaded.format;
            last.kind = Event::Kind::Done;
        } catch (const Cancelled &) {
            return;
        } catch (const std::bad_alloc &) {
            last.failure = OutOfMemory(path_);
        } catch (const std::exception &error) {
            last.failure = QString::fromUtf8(error.what());
        }
        std::lock_guard lock(mutex_);
        ended_ = true;
        events_.push_back(std::move(last));
        changed_.notify_all();
    }

    void Push(Event event)
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
        changed_.notify_all();
    }

    QString path_;
    qint64 longestLine_;
    qint64 layoutMemory_;
    LineEndCounter lines_;
    bool tooLong_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Event> events_;
    qint64 queued_ = 0;
    int pieces_ = 0;
    bool ended_ = false;
    bool cancelled_ = false;
    std::thread thread_;

public:
    static QString OutOfMemory(const QString &path)
    {
        try {
            FailOnFile(QStringLiteral("open"), path,
                       QStringLiteral("there is not enough memory for its text"));
        } catch (const EditorError &error) {
            return QString::fromUtf8(error.what());
        }
    }
};

/// The document the view showed before, where its selection and scroll position were, and the
/// settings it kept; a reference of its own keeps it, its undo history and save point alive.
struct DocumentLoader::Shown {
    void *document = nullptr;
    long anchor = 0;
    long caret = 0;
    long firstLine = 0;
    long xOffset = 0;
    DocumentSettings settings;
};

DocumentLoader::DocumentLoader(ScintillaCall &view, const QString &path)
    : call_(view), view_(static_cast<QsciScintilla &>(view.Widget())), path_(path),
      reader_(std::make_unique<Reader>(path, view.LongestLine(), view.LayoutMemory()))
{
}

DocumentLoader::~DocumentLoader()
{
    reader_.reset();
    if (old_)
        view_.SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, old_->document);
}

FileIdentity DocumentLoader::ShowFirstPiece()
{
    reader_->WaitForFirstScreen();
    FileIdentity identity;
    Reader::Event event;
    bool taken = false;
    while ((taken = reader_->Next(false, event)) && event.kind != Reader::Event::Kind::Piece &&
           event.kind != Reader::Event::Kind::Done) {
        if (event.kind == Reader::Event::Kind::Failed)
            throw EditorError(event.failure.toStdString());
        if (event.kind == Reader::Event::Kind::Opened)
            identity = event.identity;
        else
            expected_ = event.expected;
    }
    // Documents come from a view of their own: making one in the visible view resets its record
    // of which lines are folded while it still shows the old document.
    QsciScintillaBase factory;
    void *document = reinterpret_cast<void *>(factory.SendScintilla(
        Sci::SCI_CREATEDOCUMENT, 0UL, static_cast<long>(Sci::SC_DOCUMENTOPTION_DEFAULT)));
    if (!document)
        throw std::bad_alloc();
    old_ = std::make_unique<Shown>();
    old_->settings = DocumentSettings::Of(view_);
    old_->anchor = view_.SendScintilla(Sci::SCI_GETANCHOR);
    old_->caret = view_.SendScintilla(Sci::SCI_GETCURRENTPOS);
    old_->firstLine = view_.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    old_->xOffset = view_.SendScintilla(Sci::SCI_GETXOFFSET);
    old_->document = reinterpret_cast<void *>(view_.SendScintilla(Sci::SCI_GETDOCPOINTER));
    view_.SendScintilla(Sci::SCI_ADDREFDOCUMENT, 0UL, old_->document);
    view_.SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, document);
    // The view now holds its own reference; the factory's one goes.
    factory.SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, document);
    old_->settings.ApplyTo(view_);
    view_.SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 0L);
    view_.SendScintilla(Sci::SCI_SETREADONLY, 1L);
    if (taken && event.kind == Reader::Event::Kind::Piece) {
        Append(event.piece);
        // A text of one piece is whole at once; a file that failed right after its first piece
        // fails the opening itself.
        if (failure_.isEmpty() && reader_->EndsNext())
            TakeOne(false);
        if (!failure_.isEmpty())
            throw EditorError(failure_.toStdString());
    } else if (taken) {
        format_ = event.format;
        whole_ = true;
        EndLoad();
    }
    return identity;
}

bool DocumentLoader::TakeArrived(std::chrono::milliseconds budget)
{
    const auto until = std::chrono::steady_clock::now() + budget;
    while (!over_) {
        if (!allocated_) {
            // Room for the whole text at once, after the first screen: grown piece by piece, the
            // document would copy all it holds a few dozen times.
            allocated_ = true;
            try {
                if (expected_ > view_.SendScintilla(Sci::SCI_GETLENGTH))
                    view_.SendScintilla(Sci::SCI_ALLOCATE, static_cast<unsigned long>(
                                                               expected_ + TypingRoom(expected_)));
            } catch (const std::bad_alloc &) {
                Fail(Reader::OutOfMemory(path_));
                return true;
            }
        }
        if (!TakeOne(budget.count() < 0))
            return false;
        if (budget.count() >= 0 && std::chrono::steady_clock::now() >= until)
            return over_;
    }
    return true;
}

bool DocumentLoader::Whole() const
{
    return whole_;
}

ScriptFormat DocumentLoader::Format() const
{
    return format_;
}

QString DocumentLoader::Failure() const
{
    return failure_;
}

// One event of the reader, with `wait` waiting for it; false when nothing had arrived.
bool DocumentLoader::TakeOne(bool wait)
{
    Reader::Event event;
    if (!reader_->Next(wait, event))
        return false;
    switch (event.kind) {
    case Reader::Event::Kind::Opened:
        break;
    case Reader::Event::Kind::Restart:
        // Decoded again by another encoding: what arrived goes before anything could edit it.
        expected_ = event.expected;
        view_.SendScintilla(Sci::SCI_SETREADONLY, 0L);
        view_.SendScintilla(Sci::SCI_CLEARALL);
        view_.SendScintilla(Sci::SCI_SETREADONLY, 1L);
        break;
    case Reader::Event::Kind::Piece:
        Append(event.piece);
        break;
    case Reader::Event::Kind::Done:
        format_ = event.format;
        whole_ = true;
        EndLoad();
        break;
    case Reader::Event::Kind::Failed:
        Fail(event.failure);
        break;
    }
    return true;
}

// Scintilla reports memory that ran short through its status, or lets it escape. The reader
// measured the lines already.
void DocumentLoader::Append(QByteArrayView utf8)
{
    view_.SendScintilla(Sci::SCI_SETREADONLY, 0L);
    bool failed = false;
    try {
        const ScintillaCall::CheckedEdit checked(call_);
        view_.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()),
                            utf8.data());
    } catch (const std::bad_alloc &) {
        failed = true;
    }
    view_.SendScintilla(Sci::SCI_SETREADONLY, 1L);
    if (failed || view_.SendScintilla(Sci::SCI_GETSTATUS) != Sci::SC_STATUS_OK) {
        view_.SendScintilla(Sci::SCI_SETSTATUS, 0L);
        Fail(Reader::OutOfMemory(path_));
    }
}

void DocumentLoader::GiveUp()
{
    if (!over_)
        Fail(Reader::OutOfMemory(path_));
}

// The old document comes back as it was shown.
void DocumentLoader::Fail(const QString &reason)
{
    failure_ = reason;
    over_ = true;
    reader_.reset();
    view_.SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, old_->document);
    view_.SendScintilla(Sci::SCI_SETSEL, old_->anchor, old_->caret);
    view_.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, old_->firstLine);
    view_.SendScintilla(Sci::SCI_SETXOFFSET, old_->xOffset);
    view_.SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, old_->document);
    old_.reset();
}

void DocumentLoader::EndLoad()
{
    over_ = true;
    reader_.reset();
    view_.SendScintilla(Sci::SCI_SETREADONLY, old_->settings.readOnly);
    view_.SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, old_->document);
    old_.reset();
}
