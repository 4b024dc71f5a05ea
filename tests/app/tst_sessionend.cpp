// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop session's end through the real main window, with a scripted session manager:
// the unsaved-text question with leave to ask, the save or the note without it.
#include "app/SessionEnd.h"
#include "app/frmMain.h"
#include "editor/EditorControl.h"
#include "support/FileBytes.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <optional>

#include <sys/resource.h>

namespace
{

/// Grants or refuses leave to ask, and records what the program asked of it.
struct ScriptedSessionManager {
    bool grantsLeave = true;
    int leaveAsked = 0;
    bool cancelled = false;
    QStringList notes;

    SessionManagerParts Parts()
    {
        return {[this] {
                    ++leaveAsked;
                    return grantsLeave;
                },
                [this] { cancelled = true; }, [this](const QString &text) { notes << text; }};
    }
};

/// While it lives, this process writes files of at most `bytes` bytes; a longer write fails with
/// EFBIG, as SetUpProcess has it do, instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &before_);
        const rlimit limited{bytes, before_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &before_); }

private:
    rlimit before_{};
};

const QString Kept =
    QStringLiteral("Quillmark: the desktop session is ending without leave to ask "
                   "about unsaved text, and the changes to \"%1\" were not saved: ");

} // namespace

class SessionEndTest : public QObject
{
    Q_OBJECT

private slots:
    void unsavedTextIsSettledBeforeTheSessionEnds_data()
    {
        QTest::addColumn<QByteArray>("original"); // of a.qc, opened first; none: a new script
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("leave");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("elsewhere"); // what another program does to a.qc meanwhile
        QTest::addColumn<QString>("typedAfter");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<QStringList>("notes"); // %1: a.qc's path
        QTest::addColumn<bool>("closeAsks");
        const int save = int(UnsavedTextAnswer::Save), discard = int(UnsavedTextAnswer::Discard),
                  cancel = int(UnsavedTextAnswer::Cancel);
        const QByteArray alpha("alpha\n"), none;
        const QStringList quiet;
        QTest::newRow("nothing unsaved: no leave asked for")
            << alpha << "" << true << cancel << ""
            << "" << false << alpha << quiet << false;
        QTest::newRow("Save") << alpha << "typed " << true << save << ""
                              << "" << false << QByteArray("typed alpha\n") << quiet << false;
        QTest::newRow("Discard: the close that follows asks nothing")
            << alpha << "typed " << true << discard << ""
            << "" << false << alpha << quiet << false;
        QTest::newRow("Discard, then typed on: the close asks")
            << alpha << "typed " << true << discard << ""
            << "more " << false << alpha << quiet << true;
        QTest::newRow("Cancel") << alpha << "typed " << true << cancel << ""
                                << "" << true << alpha << quiet << true;
        QTest::newRow("new script, Save, its name not given")
            << none << "typed " << true << save << ""
            << "" << true << QByteArray("<missing>") << quiet << true;
        QTest::newRow("no leave: saved, the file as it was read")
            << alpha << "typed " << false << cancel << ""
            << "" << false << QByteArray("typed alpha\n")
            << QStringList{"Quillmark: saved the changes to \"%1\" as the desktop session ends."}
            << false;
        QTest::newRow("no leave: kept, another program rewrote the file")
            << alpha << "typed " << false << cancel << "rewrite"
            << "" << false << QByteArray("other program\n")
            << QStringList{Kept + "another program changed the file since it was opened or "
                                  "saved."}
            << true;
        QTest::newRow("no leave: kept, the file was deleted")
            << alpha << "typed " << false << cancel << "delete"
            << "" << false << QByteArray("<missing>")
            << QStringList{Kept + "the file was deleted since it was opened or saved."} << true;
        QTest::newRow("no leave: kept, the save failed")
            << alpha << "typed " << false << cancel << "limit"
            << "" << false << alpha << QStringList{Kept + "cannot save \"%1\": File too large."}
            << true;
        QTest::newRow("no leave: kept, a new script")
            << none << "typed " << false << cancel << ""
            << "" << false << QByteArray("<missing>")
            << QStringList{QString(Kept).replace("\"%1\"", "the new script") +
                           "it has no file yet."}
            << true;
        QTest::newRow("no leave: kept, saving it would change its encoding")
            << QByteArray("' caf\xE9\r\n") << "→" << false << cancel << ""
            << "" << false << QByteArray("' caf\xE9\r\n")
            << QStringList{Kept + "it holds characters that Windows-1252 cannot store, and only "
                                  "the user may have it saved as UTF-8."}
            << true;
    }

    void unsavedTextIsSettledBeforeTheSessionEnds()
    {
        QFETCH(QByteArray, original);
        QFETCH(QString, typed);
        QFETCH(bool, leave);
        QFETCH(int, answer);
        QFETCH(QString, elsewhere);
        QFETCH(QString, typedAfter);
        QFETCH(bool, cancelled);
        QFETCH(QByteArray, onDisk);
        QFETCH(QStringList, notes);
        QFETCH(bool, closeAsks);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("a.qc"));
        TestWindow w;
        if (!original.isEmpty()) {
            WriteBytes(path, original);
            w.dialog->Choose(path);
            w.form->mnuOpen->trigger();
        }
        w.form->Code->SetSelectedText(typed);
        if (elsewhere == QLatin1String("rewrite"))
            WriteBytes(path, "other program\n");
        else if (elsewhere == QLatin1String("delete"))
            QVERIFY(QFile::remove(path));
        w.prompts->answers << UnsavedTextAnswer(answer);
        ScriptedSessionManager manager;
        manager.grantsLeave = leave;
        std::optional<FileSizeLimit> limit;
        if (elsewhere == QLatin1String("limit"))
            limit.emplace(8);

        w.form->SettleForSessionEnd(manager.Parts());
        limit.reset();

        const bool unsaved = !typed.isEmpty();
        QCOMPARE(manager.leaveAsked, unsaved ? 1 : 0);
        QCOMPARE(w.prompts->questions.size(), unsaved && leave ? 1 : 0);
        QCOMPARE(manager.cancelled, cancelled);
        QCOMPARE(ReadBytes(path), onDisk);
        for (QString &note : notes)
            note.replace(QStringLiteral("%1"), QDir::toNativeSeparators(path));
        QCOMPARE(manager.notes, notes);
        QVERIFY(w.prompts->notices.isEmpty());
        QVERIFY(w.prompts->errors.isEmpty());

        // The close that ends the session, or a later one; a question is answered with Cancel.
        w.form->Code->SetSelectedText(typedAfter);
        const qsizetype asked = w.prompts->questions.size();
        w.form->close();
        QCOMPARE(w.prompts->questions.size() > asked, closeAsks);
        QCOMPARE(w.form->isVisible(), closeAsks);
    }
};

QUILLMARK_TEST_MAIN(SessionEndTest)
#include "tst_sessionend.moc"
