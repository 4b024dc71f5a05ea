// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Document state: the caption built by UpdateCaption and the file existence test.
#include "app/frmMain.h"
#include "document/modGlobals.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class DocumentTest : public QObject
{
    Q_OBJECT

private slots:
    void updateCaption_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no-file marker") << "1"
                                        << "Quillmark";
        QTest::newRow("file name") << "test.qc"
                                   << "Quillmark [test.qc]";
        QTest::newRow("empty name") << ""
                                    << "Quillmark []";
        QTest::newRow("marker with extension") << "1.qc"
                                               << "Quillmark [1.qc]";
        QTest::newRow("marker after a blank") << " 1"
                                              << "Quillmark [ 1]";
        QTest::newRow("name with brackets") << "a [b].qc"
                                            << "Quillmark [a [b].qc]";
    }

    void updateCaption()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        frmMainServices services;
        services.prompts = std::make_unique<ScriptedPrompts>();
        frmMain form(std::move(services));
        form.UpdateCaption(QStringLiteral("earlier.qc"));
        form.UpdateCaption(name);
        QCOMPARE(form.windowTitle(), caption);
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<bool>("exists");
        QTest::newRow("ordinary file") << "script.qc" << true;
        QTest::newRow("dot-file") << ".hidden.qc" << true;
        QTest::newRow("folder") << "folder" << false;
        QTest::newRow("missing path") << "missing.qc" << false;
        QTest::newRow("link to a file") << "link.qc" << true;
        QTest::newRow("link to nothing") << "dangling.qc" << false;
        QTest::newRow("link to a folder") << "folderlink" << false;
        QTest::newRow("name with spaces") << "my script.qc" << true;
        QTest::newRow("empty path") << "" << false;
    }

    void fileExists()
    {
        QFETCH(QString, relativePath);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QDir root(dir.path());
        for (const char *name : {"script.qc", ".hidden.qc", "my script.qc"}) {
            QFile file(root.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(root.mkdir(QStringLiteral("folder")));
        QVERIFY(QFile::link(root.filePath(QStringLiteral("script.qc")),
                            root.filePath(QStringLiteral("link.qc"))));
        QVERIFY(QFile::link(root.filePath(QStringLiteral("gone.qc")),
                            root.filePath(QStringLiteral("dangling.qc"))));
        QVERIFY(QFile::link(root.filePath(QStringLiteral("folder")),
                            root.filePath(QStringLiteral("folderlink"))));
        const QString path = relativePath.isEmpty() ? QString() : root.filePath(relativePath);
        QCOMPARE(modGlobals::FileExists(path), exists);
    }
};

QUILLMARK_TEST_MAIN(DocumentTest)
#include "tst_document.moc"
