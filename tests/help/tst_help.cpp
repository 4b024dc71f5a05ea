// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu's file and web site commands, and the launcher that hands targets to the desktop.
#include "app/frmMain.h"
#include "editor/EditorControl.h"
#include "help/HelpCommands.h"
#include "help/modURLLaunch.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"

#include <QDesktopServices>

namespace
{

// Records what would have gone to the desktop and answers as the test wishes.
class RecordingLauncher : public UrlLauncher
{
public:
    bool OpenUrl(const QUrl &url) override
    {
        opened.append(url);
        return accepts;
    }

    QList<QUrl> opened;
    bool accepts = true;
};

enum class Launcher { Recording, Desktop };

struct Window {
    explicit Window(Launcher kind = Launcher::Recording)
    {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        frmMainServices services;
        services.prompts = std::move(scripted);
        if (kind == Launcher::Recording) {
            auto recording = std::make_unique<RecordingLauncher>();
            launcher = recording.get();
            services.launcher = std::move(recording);
        }
        form = std::make_unique<frmMain>(std::move(services));
    }

    QAction *Command(const QString &name) const { return form->findChild<QAction *>(name); }

    std::unique_ptr<frmMain> form;
    ScriptedPrompts *prompts = nullptr;
    RecordingLauncher *launcher = nullptr;
};

QString BesideProgram(const QString &fileName)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + fileName;
}

} // namespace

// Stands in for the desktop's handler of one URL scheme.
class DesktopHandler : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl &url) { opened.append(url); }
};

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void programFileIsJoinedAsItStands_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain folder") << "/opt/quillmark"
                                      << "Readme.txt"
                                      << "/opt/quillmark/Readme.txt";
        QTest::newRow("root folder ends with a separator") << "/"
                                                           << "Readme.txt"
                                                           << "//Readme.txt";
        QTest::newRow("folder ending with a separator") << "/opt/quillmark/"
                                                        << "Versions.txt"
                                                        << "/opt/quillmark//Versions.txt";
        QTest::newRow("folder with spaces") << "/home/ann/My Tools/Quill Mark"
                                            << "Versions.txt"
                                            << "/home/ann/My Tools/Quill Mark/Versions.txt";
    }

    void programFileIsJoinedAsItStands()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QCOMPARE(HelpCommands::ProgramFile(folder, file), expected);
    }

    void launchHandsOverTheWholeTarget_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("localFile");
        QTest::newRow("file beside the program") << "/opt/quillmark/Readme.txt" << true;
        QTest::newRow("two separators at the root") << "//Readme.txt" << true;
        QTest::newRow("two separators inside") << "/opt/quillmark//Versions.txt" << true;
        QTest::newRow("spaces") << "/home/ann/My Tools/Quill Mark/Readme.txt" << true;
        QTest::newRow("characters that mean something in a URL")
            << "/srv/50%25 #1?/Readme.txt" << true;
        QTest::newRow("web address") << "https://quillmark.example.org/" << false;
        QTest::newRow("plain web address") << "http://quillmark.example.org/news?page=2" << false;
    }

    void launchHandsOverTheWholeTarget()
    {
        QFETCH(QString, target);
        QFETCH(bool, localFile);
        RecordingLauncher launcher;
        modURLLaunch::LaunchURL(launcher, target);
        QCOMPARE(launcher.opened.size(), 1);
        const QUrl url = launcher.opened.first();
        QVERIFY(url.isValid());
        QCOMPARE(url.isLocalFile(), localFile);
        QCOMPARE(localFile ? url.toLocalFile() : url.toString(), target);
    }

    void targetThatCannotBeOpenedChangesNothingAndShowsNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Readme.txt") << "mnuReadme";
        QTest::newRow("Versions.txt") << "mnuVersions";
        QTest::newRow("Website") << "mnuWebsite";
    }

    void targetThatCannotBeOpenedChangesNothingAndShowsNothing()
    {
        QFETCH(QString, command);
        Window w;
        w.launcher->accepts = false;
        w.form->Code->SetText(QStringLiteral("Dim x"));
        w.form->UpdateCaption(QStringLiteral("town.qc"));
        w.Command(command)->trigger();
        QCOMPARE(w.launcher->opened.size(), 1);
        QVERIFY(w.prompts->errors.isEmpty());
        QCOMPARE(w.form->Code->Text(), QStringLiteral("Dim x"));
        QCOMPARE(w.form->windowTitle(), QStringLiteral("Quillmark [town.qc]"));
    }

    void everyChoiceHandsTheDesktopTheSameTarget_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Readme.txt") << "mnuReadme"
                                    << "file" << BesideProgram("Readme.txt");
        QTest::newRow("Versions.txt") << "mnuVersions"
                                      << "file" << BesideProgram("Versions.txt");
        QTest::newRow("Website") << "mnuWebsite"
                                 << "https" << HelpCommands::WebsiteAddress;
    }

    void everyChoiceHandsTheDesktopTheSameTarget()
    {
        QFETCH(QString, command);
        QFETCH(QString, scheme);
        QFETCH(QString, expected);
        DesktopHandler handler;
        QDesktopServices::setUrlHandler(scheme, &handler, "Open");
        Window w(Launcher::Desktop);
        w.Command(command)->trigger();
        w.Command(command)->trigger();
        QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(handler.opened.size(), 2);
        for (const QUrl &url : std::as_const(handler.opened))
            QCOMPARE(url.isLocalFile() ? url.toLocalFile() : url.toString(), expected);
        QVERIFY(w.prompts->errors.isEmpty());
    }
};

QUILLMARK_TEST_MAIN(HelpTest)
#include "tst_help.moc"
