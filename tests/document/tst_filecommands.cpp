// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The File menu's Open, Save, Save As, New and Exit through the real main window, with a
// scripted file dialog and questions: the state table, unsaved text, files changed by another
// program, failures, killed saves and the largest document.
#include "app/ProcessSetup.h"
#include "app/frmMain.h"
#include "document/FileDialog.h"
#include "document/modGlobals.h"
#include "editor/EditorControl.h"
#include "scriptfile/FileReplacement.h"
#include "scriptfile/ScriptFile.h"
#include "support/FileBytes.h"
#include "support/HostileFolder.h"
#include "support/ScriptedFileDialog.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"

#include <Qsci/qsciscintilla.h>

#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <functional>
#include <limits>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

using Window = TestWindow;

QString Visible(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

/// Every entry under `root` with its kind and content: "a.qc=alpha\r\n", "folder/", "fifo|";
/// of a file over a megabyte only its size, "huge.qc#1073741825".
QStringList Contents(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = QDir(root).relativeFilePath(info.filePath());
        if (info.isDir())
            entries << name + QLatin1Char('/');
        else if (!info.isFile())
            entries << name + QLatin1Char('|');
        else if (info.size() > (1 << 20))
            entries << name + QLatin1Char('#') + QString::number(info.size());
        else
            entries << name + QLatin1Char('=') +
                           Visible(QString::fromUtf8(ReadBytes(info.filePath())));
    }
    entries.sort();
    return entries;
}

/// The window's state as one comparable list of lines.
QStringList StateOf(const Window &w)
{
    return {QStringLiteral("caption=") + w.form->windowTitle(),
            QStringLiteral("current=") + modGlobals::CurrentFile,
            QStringLiteral("text=") + Visible(w.form->Code->Text()),
            QStringLiteral("modified=") + QString::number(w.form->Code->IsModified())};
}

/// Runs `body` in a child process set up as the program sets itself up, under `limit`: "file
/// size N" lets its files grow to N bytes at most, "memory N" lets it map N megabytes more than it
/// maps already. Returns the lines it reported; a child that dies reports "<child did not finish>".
QStringList InChildWithLimit(const QString &limit, const std::function<QStringList()> &body)
{
    const bool memory = limit.startsWith(QLatin1String("memory "));
    rlim_t bytes = limit.section(QLatin1Char(' '), -1).toULongLong();
    if (memory) {
        QFile mapped(QStringLiteral("/proc/self/statm"));
        if (!mapped.open(QIODevice::ReadOnly))
            return {QStringLiteral("<no statm>")};
        bytes = (bytes << 20) + mapped.readAll().split(' ').value(0).toULongLong() * 4096;
    }
    int channel[2];
    if (::pipe(channel) != 0)
        return {QStringLiteral("<no pipe>")};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const rlimit resource{bytes, bytes};
        // Whatever this test process inherited, the child starts from the system's default.
        std::signal(SIGXFSZ, SIG_DFL);
        SetUpProcess();
        QStringList lines{QStringLiteral("<setrlimit failed>")};
        try {
            if (::setrlimit(memory ? RLIMIT_AS : RLIMIT_FSIZE, &resource) == 0)
                lines = body();
        } catch (const std::exception &error) {
            lines = QStringList{QStringLiteral("<child threw %1>").arg(error.what())};
        }
        const QByteArray report = lines.join(QChar(0x1F)).toUtf8();
        qsizetype sent = 0;
        while (sent < report.size()) {
            const ssize_t written =
                ::write(channel[1], report.constData() + sent, report.size() - sent);
            if (written <= 0)
                break;
            sent += written;
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status))
        return {QStringLiteral("<child did not finish>")};
    return QString::fromUtf8(report).split(QChar(0x1F));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool AddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool AddressSanitizer = false;
#endif

timespec ModifiedTime(const QString &path)
{
    struct stat status {
    };
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mtim;
}

bool SetModifiedTime(const QString &path, timespec time)
{
    const timespec times[2] = {{0, UTIME_OMIT}, time};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0 &&
           ModifiedTime(path).tv_nsec == time.tv_nsec && ModifiedTime(path).tv_sec == time.tv_sec;
}

/// What another program does to the file `path`: "rewrite" it in place (same size, a second
/// later), "replace" it by a new file of the same size and time, "grow" it keeping its time,
/// "touch" its time by one nanosecond, or "delete" it. False when the file system cannot keep
/// the times the change needs.
bool ChangeElsewhere(const QString &change, const QString &path)
{
    const QByteArray bytes = ReadBytes(path);
    const timespec before = ModifiedTime(path);
    if (change == QLatin1String("delete"))
        return QFile::remove(path);
    if (change == QLatin1String("touch"))
        return SetModifiedTime(path, timespec{before.tv_sec, (before.tv_nsec + 1) % 1'000'000'000});
    if (change == QLatin1String("rewrite")) {
        QFile file(path);
        file.open(QIODevice::WriteOnly); // truncates in place: the inode stays
        file.write(bytes.toUpper());
        file.close();
        return SetModifiedTime(path, timespec{before.tv_sec + 1, before.tv_nsec});
    }
    const QString replacement = path + QStringLiteral(".other");
    WriteBytes(change == QLatin1String("grow") ? path : replacement,
               change == QLatin1String("grow") ? bytes + "more\n" : bytes.toUpper());
    if (change == QLatin1String("grow"))
        return SetModifiedTime(path, before);
    return SetModifiedTime(replacement, before) &&
           ::rename(QFile::encodeName(replacement), QFile::encodeName(path)) == 0;
}

QString Showing(const ScriptedFileDialog::Showing &showing)
{
    return QStringLiteral("%1|%2|%3|%4")
        .arg(showing.saving ? "save" : "open", showing.caption, showing.startFolder,
             showing.extension);
}

} // namespace

class FileCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void stateTable_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("dialogs");
        const QStringList untouched{"a.qc=alpha\\r\\n", "b.qc=beta\\n"};
        QTest::newRow("open, existing file chosen")
            << QStringList{"open"} << QStringList{"a.qc"} << "Quillmark [a.qc]"
            << "a.qc"
            << "alpha\\r\\n"
            << untouched << QStringList{"open"};
        QTest::newRow("open, cancelled")
            << QStringList{"open", "open"} << QStringList{"b.qc", "cancel"} << "Quillmark [b.qc]"
            << ""
            << "beta\\n"
            << untouched << QStringList{"open", "open"};
        QTest::newRow("open, path names no file")
            << QStringList{"open", "open"} << QStringList{"b.qc", "missing.qc"}
            << "Quillmark [b.qc]"
            << "missing.qc"
            << "beta\\n"
            << untouched << QStringList{"open", "open"};
        QTest::newRow("open, spaces around the path")
            << QStringList{"open"} << QStringList{"  a.qc "} << "Quillmark [a.qc]"
            << "a.qc"
            << "alpha\\r\\n"
            << untouched << QStringList{"open"};
        QTest::newRow("save, no file before, name chosen")
            << QStringList{"type:new", "save"} << QStringList{"n.qc"} << "Quillmark [n.qc]"
            << "n.qc"
            << "new" << untouched + QStringList{"n.qc=new"} << QStringList{"save"};
        QTest::newRow("save, no file before, cancelled")
            << QStringList{"type:new", "save"} << QStringList{"cancel"} << "Quillmark"
            << ""
            << "new" << untouched << QStringList{"save"};
        QTest::newRow("save, file known")
            << QStringList{"open", "type:X", "save"} << QStringList{"a.qc"} << "Quillmark [a.qc]"
            << "a.qc"
            << "Xalpha\\r\\n"
            << QStringList{"a.qc=Xalpha\\r\\n", "b.qc=beta\\n"} << QStringList{"open"};
        QTest::newRow("save, file vanished before")
            << QStringList{"open", "type:X", "delete:a.qc", "save"} << QStringList{"a.qc"}
            << "Quillmark [a.qc]"
            << "a.qc"
            << "Xalpha\\r\\n"
            << QStringList{"a.qc=Xalpha\\r\\n", "b.qc=beta\\n"} << QStringList{"open"};
        QTest::newRow("save as, name chosen")
            << QStringList{"open", "type:X", "saveas"} << QStringList{"a.qc", "c.qc"}
            << "Quillmark [c.qc]"
            << "c.qc"
            << "Xalpha\\r\\n"
            << untouched + QStringList{"c.qc=Xalpha\\r\\n"} << QStringList{"open", "save"};
        QTest::newRow("save as, over an existing file")
            << QStringList{"open", "saveas"} << QStringList{"a.qc", "b.qc"} << "Quillmark [b.qc]"
            << "b.qc"
            << "alpha\\r\\n"
            << QStringList{"a.qc=alpha\\r\\n", "b.qc=alpha\\r\\n"} << QStringList{"open", "save"};
        QTest::newRow("save as, cancelled")
            << QStringList{"open", "saveas"} << QStringList{"a.qc", "cancel"} << "Quillmark []"
            << ""
            << "alpha\\r\\n"
            << untouched << QStringList{"open", "save"};
        QTest::newRow("save after a cancelled save as asks for a name")
            << QStringList{"open", "saveas", "save"} << QStringList{"a.qc", "cancel", "d.qc"}
            << "Quillmark [d.qc]"
            << "d.qc"
            << "alpha\\r\\n"
            << untouched + QStringList{"d.qc=alpha\\r\\n"} << QStringList{"open", "save", "save"};
        QTest::newRow("save after new asks for a name")
            << QStringList{"open", "new", "save"} << QStringList{"a.qc", "d.qc"}
            << "Quillmark [d.qc]"
            << "d.qc"
            << "" << untouched + QStringList{"d.qc="} << QStringList{"open", "save"};
    }

    void stateTable()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, choices);
        QFETCH(QString, caption);
        QFETCH(QString, current);
        QFETCH(QString, text);
        QFETCH(QStringList, files);
        QFETCH(QStringList, dialogs);
        QTemporaryDir dir;
        const QDir root(dir.path());
        WriteBytes(root.filePath(QStringLiteral("a.qc")), "alpha\r\n");
        WriteBytes(root.filePath(QStringLiteral("b.qc")), "beta\n");
        Window w;
        for (const QString &choice : choices) {
            if (choice == QLatin1String("cancel"))
                w.dialog->Cancel();
            else
                w.dialog->Choose(choice.startsWith(QLatin1Char(' '))
                                     ? QStringLiteral("  %1 ").arg(root.filePath(choice.trimmed()))
                                     : root.filePath(choice));
        }
        for (const QString &step : steps) {
            if (step == QLatin1String("open"))
                w.form->mnuOpen->trigger();
            else if (step == QLatin1String("save"))
                w.form->mnuSave->trigger();
            else if (step == QLatin1String("saveas"))
                w.form->mnuSaveAs->trigger();
            else if (step == QLatin1String("new"))
                w.form->mnuNew->trigger();
            else if (step.startsWith(QLatin1String("type:")))
                TypeKeys(w.form->Code->focusProxy(), step.mid(5));
            else if (step.startsWith(QLatin1String("delete:")))
                QVERIFY(QFile::remove(root.filePath(step.mid(7))));
        }
        QCOMPARE(w.form->windowTitle(), caption);
        QCOMPARE(modGlobals::CurrentFile, current.isEmpty() ? QString() : root.filePath(current));
        QCOMPARE(Visible(w.form->Code->Text()), text);
        QCOMPARE(Contents(dir.path()), files);
        QStringList expectedDialogs;
        const QString programFolder = QCoreApplication::applicationDirPath();
        for (const QString &kind : dialogs)
            expectedDialogs << QStringLiteral("%1|%2|%3|qc")
                                   .arg(kind,
                                        kind == QLatin1String("open") ? "Open a script."
                                                                      : "Save as..",
                                        programFolder);
        QStringList shown;
        for (const auto &showing : w.dialog->shown)
            shown << Showing(showing);
        QCOMPARE(shown, expectedDialogs);
        QVERIFY(w.prompts->errors.isEmpty());
        QVERIFY(w.prompts->questions.isEmpty());
    }

    void unsavedTextIsSettledFirst_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("hasFile");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveDialogCancelled");
        QTest::addColumn<bool>("goesOn");
        const int save = int(UnsavedTextAnswer::Save), discard = int(UnsavedTextAnswer::Discard),
                  cancel = int(UnsavedTextAnswer::Cancel);
        for (const char *command : {"New", "Open", "Exit", "close"}) {
            const auto row = [command](const char *name) -> QTestData & {
                return QTest::addRow("%s, %s", command, name) << QString::fromLatin1(command);
            };
            row("nothing changed") << true << false << cancel << false << true;
            row("changed, Save") << true << true << save << false << true;
            row("changed new script, Save") << false << true << save << false << true;
            row("changed new script, Save, dialog cancelled")
                << false << true << save << true << false;
            row("changed, Discard") << true << true << discard << false << true;
            row("changed, Cancel") << true << true << cancel << false << false;
        }
    }

    void unsavedTextIsSettledFirst()
    {
        QFETCH(QString, command);
        QFETCH(bool, hasFile);
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, saveDialogCancelled);
        QFETCH(bool, goesOn);
        QTemporaryDir dir;
        const QDir root(dir.path());
        const QString script = root.filePath(QStringLiteral("a.qc"));
        const QString fresh = root.filePath(QStringLiteral("n.qc"));
        const QString other = root.filePath(QStringLiteral("o.qc"));
        WriteBytes(script, "alpha\n");
        WriteBytes(other, "other\n");
        Window w;
        if (hasFile) {
            w.dialog->Choose(script);
            w.form->mnuOpen->trigger();
        }
        if (changed)
            TypeKeys(w.form->Code->focusProxy(), QStringLiteral("typed "));
        const QString before = w.form->Code->Text();
        w.prompts->answers << UnsavedTextAnswer(answer);
        const bool saves = changed && answer == int(UnsavedTextAnswer::Save);
        if (saves && !hasFile) {
            if (saveDialogCancelled)
                w.dialog->Cancel();
            else
                w.dialog->Choose(fresh);
        }
        if (command == QLatin1String("Open"))
            w.dialog->Choose(other);
        const qsizetype dialogsBefore = w.dialog->shown.size();

        if (command == QLatin1String("New"))
            w.form->mnuNew->trigger();
        else if (command == QLatin1String("Open"))
            w.form->mnuOpen->trigger();
        else if (command == QLatin1String("Exit"))
            w.form->mnuExit->trigger();
        else
            w.form->close();

        QCOMPARE(w.prompts->questions.size(), changed ? 1 : 0);
        QVERIFY(w.prompts->errors.isEmpty());
        QCOMPARE(ReadBytes(script), QByteArray(saves && hasFile ? "typed alpha\n" : "alpha\n"));
        QCOMPARE(QFileInfo::exists(fresh), saves && !hasFile && !saveDialogCancelled);
        if (QFileInfo::exists(fresh))
            QCOMPARE(ReadBytes(fresh), QByteArray("typed "));
        const qsizetype saveDialogs = saves && !hasFile ? 1 : 0;
        if (command == QLatin1String("New")) {
            QCOMPARE(w.form->Code->Text(), goesOn ? QString() : before);
            if (goesOn)
                QCOMPARE(w.form->windowTitle(), QStringLiteral("Quillmark"));
        } else if (command == QLatin1String("Open")) {
            QCOMPARE(w.form->Code->Text(), goesOn ? QStringLiteral("other\n") : before);
            QCOMPARE(w.dialog->shown.size(), dialogsBefore + saveDialogs + (goesOn ? 1 : 0));
            if (goesOn)
                QCOMPARE(modGlobals::CurrentFile, other);
        } else {
            QCOMPARE(w.form->isVisible(), !goesOn);
            QCOMPARE(w.form->Code->Text(), before);
        }
        if (!goesOn)
            QVERIFY(w.form->Code->IsModified());
    }

    void failedLoadOrSaveChangesNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("limit");
        QTest::newRow("Save As onto a folder") << "saveas"
                                               << "folder"
                                               << "Is a directory"
                                               << "";
        QTest::newRow("Save As below a file") << "saveas"
                                              << "plain.qc/x.qc"
                                              << "Not a directory"
                                              << "";
        QTest::newRow("Save As into a missing folder") << "saveas"
                                                       << "nowhere/x.qc"
                                                       << "No such file or directory"
                                                       << "";
        QTest::newRow("Save As onto a FIFO") << "saveas"
                                             << "fifo.qc"
                                             << "not an ordinary file"
                                             << "";
        QTest::newRow("Save As over a file, past the file-size limit") << "saveas"
                                                                       << "plain.qc"
                                                                       << "File too large"
                                                                       << "file size 4096";
        QTest::newRow("Save, past the file-size limit") << "save"
                                                        << "sub/current.qc"
                                                        << "File too large"
                                                        << "file size 4096";
        QTest::newRow("Save, the file's folder removed") << "save"
                                                         << "sub/current.qc"
                                                         << "No such file or directory"
                                                         << "";
        QTest::newRow("Open, file just over the size limit") << "open"
                                                             << "huge.qc"
                                                             << "2147483651 bytes"
                                                             << "";
        QTest::newRow("Save As, a name one byte too long")
            << "saveas" << QString(253, QLatin1Char('n')) + ".qc"
            << "File name too long"
            << "";
        QTest::newRow("Save As into a read-only folder") << "saveas"
                                                         << "locked/x.qc"
                                                         << "Permission denied"
                                                         << "";
        QTest::newRow("Save, the file replaced by a folder") << "save"
                                                             << "sub/current.qc"
                                                             << "Is a directory"
                                                             << "";
        QTest::newRow("Save, the file replaced by a FIFO") << "save"
                                                           << "sub/current.qc"
                                                           << "not an ordinary file"
                                                           << "";
        for (const char *limit : {"memory 16", "memory 128", "memory 500"})
            QTest::addRow("Open, 32M lines in %s MB", limit + 7)
                << "open"
                << "lines.qc"
                << "there is not enough memory for its text" << limit;
    }

    void failedLoadOrSaveChangesNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QFETCH(QString, limit);
        if (target.startsWith(QLatin1String("locked/")) && ::geteuid() == 0)
            QSKIP("the superuser writes into folders whatever their permission bits");
        if (limit.startsWith(QLatin1String("memory")) && AddressSanitizer)
            QSKIP("the address sanitizer maps memory beyond any limit these cases set");
        HostileFolder hostile;
        QVERIFY(hostile.made);
        const QTemporaryDir &dir = hostile.dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(QStringLiteral("sub")));
        const QString current = root.filePath(QStringLiteral("sub/current.qc"));
        WriteBytes(current, "old text\r\n");

        Window w;
        w.dialog->Choose(current);
        w.form->mnuOpen->trigger();
        w.form->Code->SetSelectedText(QStringLiteral("changed ") + QString(8000, QLatin1Char('x')));
        if (reason.startsWith(QLatin1String("No such")) && command == QLatin1String("save"))
            QVERIFY(QDir(root.filePath(QStringLiteral("sub"))).removeRecursively());
        if (reason == QLatin1String("Is a directory") && command == QLatin1String("save"))
            QVERIFY(QFile::remove(current) && root.mkdir(QStringLiteral("sub/current.qc")));
        if (reason == QLatin1String("not an ordinary file") && command == QLatin1String("save"))
            QVERIFY(QFile::remove(current) && ::mkfifo(QFile::encodeName(current), 0600) == 0);
        if (target == QLatin1String("lines.qc"))
            WriteBytes(root.filePath(target), QByteArray(32 << 20, '\n'));
        const QStringList stateBefore = StateOf(w);
        const QStringList contentsBefore = Contents(dir.path());
        const QString path = root.filePath(target);
        if (command != QLatin1String("save"))
            w.dialog->Choose(path);
        w.prompts->answers << UnsavedTextAnswer::Discard;

        const auto run = [&] {
            if (command == QLatin1String("save"))
                w.form->mnuSave->trigger();
            else if (command == QLatin1String("saveas"))
                w.form->mnuSaveAs->trigger();
            else
                w.form->mnuOpen->trigger();
            // A file longer than a piece fails once its text has arrived.
            w.form->Code->AwaitWholeText();
            // A question about a file changed elsewhere is a box too, one too many here.
            return StateOf(w) + w.prompts->questions.filter(QStringLiteral("another program")) +
                   w.prompts->errors;
        };
        const QStringList after = limit.isEmpty() ? run() : InChildWithLimit(limit, run);

        QCOMPARE(after.mid(0, stateBefore.size()), stateBefore);
        const QStringList boxes = after.mid(stateBefore.size());
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].contains(QDir::toNativeSeparators(path)) && boxes[0].contains(reason),
                 qPrintable(boxes[0]));
        QCOMPARE(Contents(dir.path()), contentsBefore);
    }

    void savesAskBeforeTheyChangeWhatAFileIs_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QByteArrayList>("files");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("modified");
        const QByteArray legacy = "' caf\xE9\r\n";
        const auto toUtf8 = [](const char *name) {
            return QStringLiteral("\"%1\" holds characters that Windows-1252 cannot store. Save "
                                  "it as UTF-8? [Save as UTF-8]")
                .arg(name);
        };
        const auto replace = [](const char *name) {
            return QStringLiteral("\"%1\" already exists. Replace it? [Replace]").arg(name);
        };
        // What a.qc, b.qc and precious.qc hold at the end, and any other file, by name.
        const auto files = [&](const QByteArray &a, const QByteArray &precious = "precious\n",
                               const QByteArray &other = {}) {
            QByteArrayList list{"a.qc=" + a, "b.qc=" + legacy, "precious.qc=" + precious};
            if (!other.isEmpty())
                list << other;
            std::sort(list.begin(), list.end());
            return list;
        };
        QTest::newRow("Save, Save as UTF-8, then no more questions")
            << "open:a.qc type:→ save type:x save" << QList{true} << QStringList{toUtf8("a.qc")}
            << files("→x' café\r\n") << "a.qc" << false;
        QTest::newRow("Save, Cancel")
            << "open:a.qc type:→ save" << QList{false} << QStringList{toUtf8("a.qc")}
            << files(legacy) << "a.qc" << true;
        QTest::newRow("Cancel keeps the code page")
            << "open:a.qc type:→ save undo type:€ save" << QList{false}
            << QStringList{toUtf8("a.qc")} << files("\x80" + legacy) << "a.qc" << false;
        QTest::newRow("Save As, Save as UTF-8, the question names the new file")
            << "open:a.qc type:→ saveas:c.qc" << QList{true} << QStringList{toUtf8("c.qc")}
            << files(legacy, "precious\n", "c.qc=→' café\r\n") << "c.qc" << false;
        QTest::newRow("Save As, Cancel")
            << "open:a.qc type:→ saveas:c.qc" << QList{false} << QStringList{toUtf8("c.qc")}
            << files(legacy) << "a.qc" << true;
        QTest::newRow("characters of the code page ask nothing")
            << "open:a.qc type:€ save" << QList<bool>{} << QStringList{} << files("\x80" + legacy)
            << "a.qc" << false;
        QTest::newRow("Save As 'precious.qc ', Cancel")
            << "open:a.qc type:x saveas:precious.qc_" << QList{false}
            << QStringList{replace("precious.qc")} << files(legacy) << "a.qc" << true;
        QTest::newRow("Save As ' precious.qc', Replace")
            << "open:a.qc type:x saveas:_precious.qc" << QList{true}
            << QStringList{replace("precious.qc")} << files(legacy, "x" + legacy) << "precious.qc"
            << false;
        QTest::newRow("Save on a new script, 'precious.qc ', Cancel")
            << "type:x save:precious.qc_" << QList{false} << QStringList{replace("precious.qc")}
            << files(legacy) << "" << true;
        QTest::newRow("Save As 'a.qc ' onto the current file asks nothing")
            << "open:a.qc type:x saveas:a.qc_" << QList<bool>{} << QStringList{}
            << files("x" + legacy) << "a.qc" << false;
        QTest::newRow("Save As 'fresh.qc ', a free name, asks nothing")
            << "open:a.qc type:x saveas:fresh.qc_" << QList<bool>{} << QStringList{}
            << files(legacy, "precious\n", "fresh.qc=x" + legacy) << "fresh.qc" << false;
        QTest::newRow("both questions, Replace and Save as UTF-8")
            << "open:a.qc type:→ saveas:precious.qc_" << QList{true, true}
            << QStringList{replace("precious.qc"), toUtf8("precious.qc")}
            << files(legacy, "→' café\r\n") << "precious.qc" << false;
    }

    void savesAskBeforeTheyChangeWhatAFileIs()
    {
        QFETCH(QString, steps);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, questions);
        QFETCH(QByteArrayList, files);
        QFETCH(QString, current);
        QFETCH(bool, modified);
        QTemporaryDir dir;
        const QDir root(dir.path());
        for (const char *name : {"a.qc", "b.qc"})
            WriteBytes(root.filePath(name), "' caf\xE9\r\n");
        WriteBytes(root.filePath("precious.qc"), "precious\n");
        Window w;
        w.prompts->goOnAnswers = answers;
        // "_" in a chosen name stands for a space the dialog reports around it.
        const auto chosen = [&](const QString &step) {
            const QString name = step.section(QLatin1Char(':'), 1);
            const QString path = root.filePath(QString(name).remove(QLatin1Char('_')));
            return name.startsWith(QLatin1Char('_')) ? QLatin1Char(' ') + path
                   : name.endsWith(QLatin1Char('_')) ? path + QLatin1Char(' ')
                                                     : path;
        };
        for (const QString &step : steps.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1String("type:"))) {
                w.form->Code->SetSelectedText(step.mid(5));
                continue;
            }
            if (step.contains(QLatin1Char(':')))
                w.dialog->Choose(chosen(step));
            if (step.startsWith(QLatin1String("open")))
                w.form->mnuOpen->trigger();
            else if (step.startsWith(QLatin1String("saveas")))
                w.form->mnuSaveAs->trigger();
            else if (step.startsWith(QLatin1String("save")))
                w.form->mnuSave->trigger();
            else if (step == QLatin1String("undo"))
                w.form->mnuUndo->trigger();
        }
        QCOMPARE(w.prompts->questions, questions);
        QByteArrayList onDisk;
        for (const QString &name : root.entryList(QDir::Files))
            onDisk << name.toUtf8() + '=' + ReadBytes(root.filePath(name));
        QCOMPARE(onDisk, files);
        QCOMPARE(modGlobals::CurrentFile, current.isEmpty() ? QString() : root.filePath(current));
        QCOMPARE(w.form->Code->IsModified(), modified);
        QCOMPARE(w.prompts->errors, QStringList());
        QCOMPARE(w.prompts->notices, QStringList());
    }

    void saveAsksBeforeWritingOverAChangedFile_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<ChangedFileAnswer>>("answers");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<bool>("modified");
        const ChangedFileAnswer over = ChangedFileAnswer::SaveOver,
                                cancel = ChangedFileAnswer::Cancel;
        const QStringList none, asked{"changed"};
        const auto row = [](const char *name, const QString &steps) -> QTestData & {
            return QTest::newRow(name) << steps.split(QLatin1Char(' '));
        };
        row("unchanged", "open type save")
            << QList<ChangedFileAnswer>{} << none << QByteArray("typed alpha\n") << false;
        row("rewritten in place, Cancel", "open type rewrite save")
            << QList{cancel} << asked << QByteArray("ALPHA\n") << true;
        row("rewritten in place, Save over", "open type rewrite save")
            << QList{over} << asked << QByteArray("typed alpha\n") << false;
        row("replaced by a file of the same size and time", "open type replace save")
            << QList{cancel} << asked << QByteArray("ALPHA\n") << true;
        row("grown, its time kept", "open type grow save")
            << QList{cancel} << asked << QByteArray("alpha\nmore\n") << true;
        row("its time one nanosecond later", "open type touch save")
            << QList{cancel} << asked << QByteArray("alpha\n") << true;
        row("vanished", "open type delete save")
            << QList<ChangedFileAnswer>{} << none << QByteArray("typed alpha\n") << false;
        row("changed after our own save", "open type save type rewrite save")
            << QList{cancel} << asked << QByteArray("TYPED ALPHA\n") << true;
        row("saved over, then saved again", "open type rewrite save type save")
            << QList{over} << asked << QByteArray("typed typed alpha\n") << false;
        row("Save As onto the changed file", "open type rewrite saveas")
            << QList<ChangedFileAnswer>{} << none << QByteArray("typed alpha\n") << false;
        row("opened through a link, unchanged", "openlink type save")
            << QList<ChangedFileAnswer>{} << none << QByteArray("typed alpha\n") << false;
        row("now a link to another file, Cancel", "open type swaplink save")
            << QList{cancel} << QStringList{"link"} << QByteArray("root:x:0:0\n") << true;
        row("now a link to another file, Save over", "open type swaplink save")
            << QList{over} << QStringList{"link"} << QByteArray("typed alpha\n") << false;
        row("now a link after our own save, Save over", "open type save type swaplink save")
            << QList{over} << QStringList{"link"} << QByteArray("typed typed alpha\n") << false;
        row("New saves first, Cancel ends New", "open type rewrite new")
            << QList{cancel} << QStringList{"unsaved", "changed"} << QByteArray("ALPHA\n") << true;
    }

    void saveAsksBeforeWritingOverAChangedFile()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<ChangedFileAnswer>, answers);
        QFETCH(QStringList, questions);
        QFETCH(QByteArray, onDisk);
        QFETCH(bool, modified);
        QTemporaryDir dir;
        const QDir root(dir.path());
        const QString path = root.filePath(QStringLiteral("a.qc"));
        WriteBytes(path, "alpha\n");
        QVERIFY(QFile::link(path, root.filePath(QStringLiteral("link.qc"))));
        // What another program may link the script's name to: never written by these saves.
        QVERIFY(root.mkdir(QStringLiteral("etc")));
        const QString elsewhere = root.filePath(QStringLiteral("etc/passwd"));
        WriteBytes(elsewhere, "root:x:0:0\n");
        Window w;
        w.prompts->changedFileAnswers = answers;
        for (const QString &step : steps) {
            if (step.startsWith(QLatin1String("open"))) {
                w.dialog->Choose(root.filePath(step == QLatin1String("open") ? "a.qc" : "link.qc"));
                w.form->mnuOpen->trigger();
            } else if (step == QLatin1String("type")) {
                TypeKeys(w.form->Code->focusProxy(), QStringLiteral("typed "));
            } else if (step == QLatin1String("save")) {
                w.form->mnuSave->trigger();
            } else if (step == QLatin1String("saveas")) {
                w.dialog->Choose(path);
                w.form->mnuSaveAs->trigger();
            } else if (step == QLatin1String("new")) {
                w.prompts->answers << UnsavedTextAnswer::Save;
                w.form->mnuNew->trigger();
            } else if (step == QLatin1String("swaplink")) {
                QVERIFY(QFile::remove(path) && QFile::link(elsewhere, path));
            } else if (!ChangeElsewhere(step, path)) {
                QSKIP("the file system does not keep the modification times this case sets");
            }
        }
        QStringList expected;
        for (const QString &question : questions)
            expected << (question == QLatin1String("changed")
                             ? "\"a.qc\" was changed by another program since it was opened. "
                               "Save over it?"
                         : question == QLatin1String("link")
                             ? QStringLiteral("\"a.qc\" is now a link to \"%1\", put there by "
                                              "another program since it was opened. Save over "
                                              "the link? \"%1\" is left as it is.")
                                   .arg(elsewhere)
                             : "\"a.qc\" has changes that were not saved. Save them first?");
        QCOMPARE(w.prompts->questions, expected);
        QCOMPARE(ReadBytes(path), onDisk);
        QCOMPARE(ReadBytes(elsewhere), QByteArray("root:x:0:0\n"));
        QCOMPARE(w.form->Code->IsModified(), modified);
        QCOMPARE(w.form->windowTitle(),
                 QStringLiteral("Quillmark [%1]")
                     .arg(steps[0] == QLatin1String("open") ? "a.qc" : "link.qc"));
        QVERIFY(w.prompts->errors.isEmpty());
    }

    void leftoversOfKilledSaves()
    {
        // A temporary file holds a save that never took the file's place and goes with the next
        // save; a backup of a save in place may be the only whole copy, so it stays and is told.
        QTemporaryDir dir;
        const QDir root(dir.path());
        const QString path = root.filePath(QStringLiteral("a.qc"));
        WriteBytes(path, "alpha\n");
        const QString mine = QString::fromLatin1(SaveLeftoverPrefix("a.qc") + "Xy12Ab");
        const QString others = QString::fromLatin1(SaveLeftoverPrefix("b.qc") + "Zz99zz");
        const QString backup = QString::fromLatin1(SaveBackupPrefix("a.qc") + "Qq77Qq");
        for (const QString &name : {mine, others, backup, QStringLiteral("a.qc.Ab12Cd")})
            WriteBytes(root.filePath(name), "script text");
        Window w;
        w.dialog->Choose(path);
        w.form->mnuOpen->trigger();
        QCOMPARE(w.prompts->notices,
                 QStringList{QStringLiteral("An earlier save of \"a.qc\" did not finish. The file "
                                            "as it was before that save is kept in \"%1\"; "
                                            "Quillmark leaves it there for you to compare and "
                                            "delete.")
                                 .arg(root.filePath(backup))});
        w.form->mnuSave->trigger();
        QCOMPARE(root.entryList(QDir::Files | QDir::Hidden),
                 QStringList({backup, others, "a.qc", "a.qc.Ab12Cd"}));
        QCOMPARE(ReadBytes(root.filePath(backup)), QByteArray("script text"));
        QVERIFY(w.prompts->errors.isEmpty());
    }

    void commandsWhileTheTextArrives_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("lastLine");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("textStart");
        QTest::newRow("the file cut short under the reader")
            << "truncate" << QByteArray("End Sub\r\n") << "became shorter"
            << "old text";
        QTest::newRow("invalid UTF-8 far down, then saved")
            << "save" << QByteArray("' caf\xE9\r\n") << ""
            << "Sub Main";
        QTest::newRow("a key typed") << "type" << QByteArray("End Sub\r\n") << ""
                                     << "xSub Main";
        QTest::newRow("Comment Selected") << "comment" << QByteArray("End Sub\r\n") << ""
                                          << "'Sub Main";
        QTest::newRow("Replace All") << "replace" << QByteArray("End Sub\r\n") << ""
                                     << "Function Main";
    }

    // A file of many pieces opens at its first screen and goes on arriving; whatever writes the
    // text waits for the rest and then acts on the whole text, and a failure after the first
    // screen brings back the text, file and caption from before, with one message.
    void commandsWhileTheTextArrives()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, lastLine);
        QFETCH(QString, error);
        QFETCH(QString, textStart);
        QTemporaryDir dir;
        const QDir root(dir.path());
        const QString current = root.filePath(QStringLiteral("current.qc"));
        WriteBytes(current, "old text\r\n");
        const QString path = root.filePath(QStringLiteral("big.qc"));
        QByteArray bytes;
        while (bytes.size() < 10'000'000)
            bytes += "Sub Main\r\n    Call Work(1)\r\nEnd Sub\r\n";
        bytes += lastLine;
        WriteBytes(path, bytes);
        Window w;
        w.dialog->Choose(current);
        w.form->mnuOpen->trigger();
        QWidget *view = w.form->Code->focusProxy();
        // The find bar opened before the file: its Replace All is the first to write.
        auto field = [&](const char *name) {
            return w.form->Code->findChild<QWidget *>(QLatin1String(name));
        };
        if (action == QLatin1String("replace")) {
            TypeKeys(view, QStringLiteral("{Ctrl+H}"));
            TypeKeys(field("searchField"), QStringLiteral("Sub Main"));
            TypeKeys(field("replaceField"), QStringLiteral("Function Main"));
        }
        const QStringList before = StateOf(w);
        w.dialog->Choose(path);
        w.form->mnuOpen->trigger();
        QVERIFY(w.form->Code->Loading());
        if (action == QLatin1String("truncate")) {
            QVERIFY(QFile::resize(path, 7'000'000));
            QVERIFY(!w.form->Code->AwaitWholeText());
        } else if (action == QLatin1String("save")) {
            w.form->mnuSave->trigger();
        } else if (action == QLatin1String("type")) {
            TypeKeys(view, QStringLiteral("x"));
        } else if (action == QLatin1String("comment")) {
            w.form->mCommentSelected->trigger();
        } else {
            TypeKeys(field("replaceField"), QStringLiteral("{Ctrl+Return}"));
        }
        QVERIFY(!w.form->Code->Loading());
        const QString text = w.form->Code->Text();
        QVERIFY2(text.startsWith(textStart), qPrintable(text.left(20)));
        if (!error.isEmpty()) {
            QCOMPARE(StateOf(w), before);
            QCOMPARE(w.prompts->errors.size(), 1);
            QVERIFY2(w.prompts->errors[0].contains(error) &&
                         w.prompts->errors[0].contains(QDir::toNativeSeparators(path)),
                     qPrintable(w.prompts->errors[0]));
            return;
        }
        QCOMPARE(w.prompts->errors, QStringList());
        QVERIFY(text.endsWith(QString::fromLatin1(lastLine)));
        if (action == QLatin1String("save")) {
            QCOMPARE(w.form->Code->FileFormat().encoding, TextEncoding::Windows1252);
            QCOMPARE(ReadBytes(path), bytes);
            QVERIFY(!w.form->Code->IsModified());
        } else {
            QVERIFY(w.form->Code->IsModified());
        }
    }

    void documentLimitIsSharedByOpenAndEditing()
    {
        // The largest file a save writes, a full document after a byte-order mark, opens; no
        // edit takes the document past the limit, and one that would is refused whole before its
        // first change: the text, the selection and the modified state stay as they were. The
        // rest of the file is a hole that reads as NUL bytes: one line, which the memory is taken
        // to allow. The window stays hidden and the caret off that line, so that it is never laid
        // out.
        const QByteArray start = "abcdefgh one\nabcdefgh\n  x\n";
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("full.qc"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(Utf8Bom.toByteArray() + start + "zz\n") &&
                file.resize(MaxScriptFileBytes));
        file.close();
        Window w;
        w.form->hide();
        w.form->Code->SetLayoutMemory(std::numeric_limits<qint64>::max());
        w.dialog->Choose(path);
        w.form->mnuOpen->trigger();
        QVERIFY(w.form->Code->AwaitWholeText());
        QCOMPARE(w.prompts->errors, QStringList());
        auto *view = w.form->Code->findChild<QsciScintilla *>();
        QWidget *keys = w.form->Code->focusProxy();
        const auto field = [&](const char *name) {
            return w.form->Code->findChild<QLineEdit *>(QLatin1String(name));
        };
        const long full = MaxDocumentBytes;
        struct Step {
            const char *action;
            long anchor;
            long caret;
            qint64 length;
        };
        // Each step starts from its selection; a step that keeps the length was refused. The last
        // steps edit the line "zz", after the text that is checked.
        const Step steps[] = {{"type x", 0, 0, full},          {"paste wxyz", 0, 3, full},
                              {"type é", 0, 1, full},          {"input éé", 0, 1, full},
                              {"replace", 0, 8, full},         {"replace all", 0, 8, full},
                              {"comment", 0, 15, full},        {"toggle comment", 0, 15, full},
                              {"backspace", 28, 28, full - 1}, {"return", 25, 25, full - 1},
                              {"type é", 27, 27, full - 1},    {"type x", 27, 27, full}};
        qsizetype refusals = 0;
        for (const Step &step : steps) {
            const QString action = QString::fromUtf8(step.action);
            view->SendScintilla(QsciScintillaBase::SCI_SETSEL, step.anchor, step.caret);
            const long length = view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
            const bool modified = w.form->Code->IsModified();
            if (action.startsWith(QLatin1String("type "))) {
                TypeKeys(keys, action.mid(5));
            } else if (action == QLatin1String("backspace")) {
                TypeKeys(keys, QStringLiteral("{Backspace}"));
            } else if (action == QLatin1String("return")) {
                TypeKeys(keys, QStringLiteral("{Return}"));
            } else if (action.startsWith(QLatin1String("paste "))) {
                QApplication::clipboard()->setText(action.mid(6));
                w.form->mnuPaste->trigger();
            } else if (action.startsWith(QLatin1String("input "))) {
                QInputMethodEvent input;
                input.setCommitString(action.mid(6));
                QApplication::sendEvent(view, &input);
            } else if (action == QLatin1String("replace")) {
                // The window is hidden, so its shortcuts are not: the bar opens from its action.
                for (QAction *open : w.form->Code->actions())
                    if (open->text() == QLatin1String("Replace..."))
                        open->trigger();
                TypeKeys(field("replaceField"), QStringLiteral("ABCDEFGHIJKLMNOPQRST{Return}"));
            } else if (action == QLatin1String("replace all")) {
                TypeKeys(field("replaceField"), QStringLiteral("{Ctrl+Return}"));
            } else if (action == QLatin1String("comment")) {
                // Two lines: made in pieces, the edit would take out "abcdefgh one\n" to put it
                // back with the second line's apostrophe, which the limit keeps out.
                w.form->mCommentSelected->trigger();
            } else {
                TypeKeys(keys, QStringLiteral("{Ctrl+/}"));
            }
            const bool refused = view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) == length;
            refusals += refused;
            QTRY_COMPARE(w.prompts->errors.size(), refusals);
            QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH), long(step.length));
            QCOMPARE(
                QByteArray(reinterpret_cast<const char *>(view->SendScintilla(
                               QsciScintillaBase::SCI_GETRANGEPOINTER, 0UL, long(start.size()))),
                           start.size()),
                start);
            if (refused) {
                QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETANCHOR), step.anchor);
                QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), step.caret);
                QCOMPARE(w.form->Code->IsModified(), modified);
            }
        }
        QCOMPARE(w.prompts->errors,
                 QStringList(refusals, QStringLiteral("The text was not inserted: a document "
                                                      "holds at most 2147483647 bytes of text.")));
    }

    void killedSaveLeavesOldOrNewFile_data()
    {
        QTest::addColumn<bool>("hardLinked");
        QTest::newRow("replaced") << false;
        QTest::newRow("hard-linked, so written in place") << true;
    }

    void killedSaveLeavesOldOrNewFile()
    {
        // A save in place cannot leave the file whole, but its backup of the old bytes, synced
        // before the file is touched, outlives the kill.
        QFETCH(bool, hardLinked);
        QTemporaryDir dir;
        QDir root(dir.path());
        const QString path = root.filePath(QStringLiteral("big.qc"));
        QByteArray oldBytes, newBytes;
        for (int line = 0; oldBytes.size() < 6'000'000; ++line)
            oldBytes += "    Call OldLine(" + QByteArray::number(line) + ")\r\n";
        for (int line = 0; newBytes.size() < 5'000'000; ++line)
            newBytes += "NewLine " + QByteArray::number(line) + "\r\n";
        WriteBytes(path, newBytes);
        if (hardLinked)
            QCOMPARE(::link(QFile::encodeName(path), QFile::encodeName(root.filePath("twin.qc"))),
                     0);
        EditorControl code;
        code.OpenFile(path);
        QVERIFY(code.AwaitWholeText());

        const auto saveInChild = [&] {
            const pid_t child = ::fork();
            if (child == 0) {
                try {
                    code.SaveFile(path, true);
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
            return child;
        };
        WriteBytes(path, oldBytes);
        QElapsedTimer clock;
        clock.start();
        int status = 0;
        ::waitpid(saveInChild(), &status, 0);
        const qint64 saveMicroseconds = std::max<qint64>(clock.nsecsElapsed() / 1000, 1000);
        QCOMPARE(ReadBytes(path), newBytes);

        QRandomGenerator random(QRandomGenerator::global()->generate());
        const QString leftover = QString::fromLatin1(SaveLeftoverPrefix("big.qc"));
        const QString backup = QString::fromLatin1(SaveBackupPrefix("big.qc"));
        int old = 0, complete = 0, broken = 0, leftovers = 0, backups = 0;
        for (int round = 0; round < 40; ++round) {
            WriteBytes(path, oldBytes);
            const pid_t child = saveInChild();
            // The kill lands anywhere from before the child starts to after it has finished.
            ::usleep(useconds_t(random.bounded(saveMicroseconds * 3 / 2)));
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            const QByteArray now = ReadBytes(path);
            bool backedUp = false;
            for (const QString &left : root.entryList(QDir::Files | QDir::Hidden)) {
                const bool isBackup = hardLinked && left.startsWith(backup);
                QVERIFY2(left == QLatin1String("big.qc") || left.startsWith(leftover) || isBackup ||
                             (hardLinked && left == QLatin1String("twin.qc")),
                         qPrintable(QStringLiteral("round %1 left %2").arg(round).arg(left)));
                leftovers += left.startsWith(leftover);
                if (isBackup) {
                    backedUp = backedUp || ReadBytes(root.filePath(left)) == oldBytes;
                    backups += 1;
                    QVERIFY(root.remove(left));
                }
            }
            QVERIFY2(
                now == oldBytes || now == newBytes || backedUp,
                qPrintable(QStringLiteral("round %1: %2 bytes, neither the old nor the new file")
                               .arg(round)
                               .arg(now.size())));
            (now == oldBytes ? old : now == newBytes ? complete : broken) += 1;
            if (hardLinked)
                QCOMPARE(QFileInfo(root.filePath(QStringLiteral("twin.qc"))).size(), now.size());
        }
        code.SaveFile(path, true);
        QCOMPARE(root.entryList(QDir::Files | QDir::Hidden),
                 (hardLinked ? QStringList{"big.qc", "twin.qc"} : QStringList{"big.qc"}));
        qInfo("killed saves: %d left the old file, %d the new one, %d a broken one beside its "
              "backup; %d a temporary file, %d a backup (a save takes %lld us)",
              old, complete, broken, leftovers, backups, saveMicroseconds);
    }

    void desktopDialogReportsTheChoice_data()
    {
        QTest::addColumn<bool>("saving");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosenName");
        QTest::newRow("save, name without extension") << true << "fresh"
                                                      << "fresh.qc";
        QTest::newRow("save, name with extension") << true << "fresh.txt"
                                                   << "fresh.txt";
        QTest::newRow("open, existing file") << false << "there.qc"
                                             << "there.qc";
        QTest::newRow("open, cancelled") << false << ""
                                         << "";
        QTest::newRow("save, cancelled") << true << ""
                                         << "";
    }

    void desktopDialogReportsTheChoice()
    {
        QFETCH(bool, saving);
        QFETCH(QString, typed);
        QFETCH(QString, chosenName);
        QTemporaryDir dir;
        WriteBytes(QDir(dir.path()).filePath(QStringLiteral("there.qc")), "x");
        DesktopFileDialog dialog(nullptr);
        dialog.StartFolder(dir.path());
        dialog.DialogCaption(QStringLiteral("Pick one"));
        dialog.DefaultExtension(QStringLiteral("qc"));
        QString shownFolder, shownCaption;
        QTimer::singleShot(0, this, [&] {
            auto *shown = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!shown)
                return;
            shownFolder = shown->directory().absolutePath();
            shownCaption = shown->windowTitle();
            if (typed.isEmpty()) {
                shown->reject();
                return;
            }
            shown->selectFile(typed);
            QMetaObject::invokeMethod(shown, "accept");
        });
        if (saving)
            dialog.ShowSaveDialog();
        else
            dialog.ShowOpenDialog();
        QCOMPARE(shownFolder, QDir(dir.path()).absolutePath());
        QCOMPARE(shownCaption, QStringLiteral("Pick one"));
        QCOMPARE(dialog.ChosenTitle(), chosenName);
        QCOMPARE(dialog.ChosenPath(),
                 chosenName.isEmpty() ? QString() : QDir(dir.path()).absoluteFilePath(chosenName));
    }
};

QUILLMARK_TEST_MAIN(FileCommandsTest)
#include "tst_filecommands.moc"
