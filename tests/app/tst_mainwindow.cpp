// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window at start-up: caption, menu tree, first size, resizing and the key shortcuts.
#include "app/frmMain.h"
#include "document/modGlobals.h"
#include "editor/EditorControl.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"

#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleOptionMenuItem>

namespace
{

using Window = TestWindow;

QString MenuShape(const QMenu *menu)
{
    QStringList items;
    for (const QAction *action : menu->actions()) {
        QString item = action->objectName() + QLatin1Char('|') + action->text();
        if (!action->shortcut().isEmpty())
            item += QLatin1Char('|') + action->shortcut().toString(QKeySequence::PortableText);
        if (action->isSeparator())
            item += QStringLiteral("|separator");
        items << item;
    }
    return items.join(QLatin1Char(';'));
}

// Notes the text of every separator row the menu's style is asked to paint; a style draws any
// such text beside the line.
class SeparatorTextProbe : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element == CE_MenuItem && item && item->menuItemType == QStyleOptionMenuItem::Separator)
            painted << item->text;
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    mutable QStringList painted;
};

QRect ClientArea(const frmMain &form)
{
    return QRect(QPoint(0, form.menuBar()->height()),
                 QSize(form.width(), form.height() - form.menuBar()->height()));
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startsEmptyWithBareTitle()
    {
        Window w;
        QCOMPARE(w.form->windowTitle(), QStringLiteral("Quillmark"));
        QCOMPARE(w.form->Code->Text(), QString());
        QCOMPARE(modGlobals::CurrentFile, QString());
        QVERIFY(w.prompts->errors.isEmpty());
        QVERIFY(!w.form->windowIcon().isNull());
    }

    void menuTreeIsExact_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("items");
        QTest::newRow("File")
            << "mFile"
            << "File"
            << "mnuNew|New|Ctrl+N;mnuOpen|Open...|Ctrl+O;mDash||separator;"
               "mnuSave|Save|Ctrl+S;mnuSaveAs|Save As...;mDash0||separator;mnuExit|Exit";
        QTest::newRow("Edit") << "mEdit"
                              << "Edit"
                              << "mnuUndo|Undo|Ctrl+Z;mnuRedo|Redo|Ctrl+R;mDash1||separator;"
                                 "mnuCut|Cut|Ctrl+X;mnuCopy|Copy|Ctrl+C;mnuPaste|Paste|Ctrl+V";
        QTest::newRow("Format") << "mFormat"
                                << "Format"
                                << "";
        QTest::newRow("Tools") << "mTools"
                               << "Tools"
                               << "mCommentSelected|Comment Selected";
        QTest::newRow("Help")
            << "mHelp"
            << "Help"
            << "mnuReadme|Readme.txt;mnuVersions|Versions.txt;mnuDash999||separator;"
               "mnuWebsite|Website;mDash999||separator;mnuAbout|About";
    }

    void menuTreeIsExact()
    {
        QFETCH(QString, heading);
        QFETCH(QString, caption);
        QFETCH(QString, items);
        Window w;
        auto *menu = w.form->findChild<QMenu *>(heading);
        QVERIFY(menu);
        QCOMPARE(menu->title(), caption);
        QCOMPARE(MenuShape(menu), items);
    }

    void separatorsArePaintedAsPlainLines_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("separators");
        QTest::newRow("File") << "mFile" << 2;
        QTest::newRow("Edit") << "mEdit" << 1;
        QTest::newRow("Help") << "mHelp" << 2;
    }

    void separatorsArePaintedAsPlainLines()
    {
        QFETCH(QString, heading);
        QFETCH(int, separators);
        Window w;
        auto *menu = w.form->findChild<QMenu *>(heading);
        QVERIFY(menu);
        SeparatorTextProbe probe;
        menu->setStyle(&probe);
        menu->adjustSize();
        menu->grab();
        QCOMPARE(probe.painted, QStringList(separators, QString()));
    }

    void userSeesFourHeadingsInOrder()
    {
        Window w;
        QStringList all, visible;
        for (const QAction *action : w.form->menuBar()->actions()) {
            all << action->text();
            if (action->isVisible() && action->isEnabled())
                visible << action->text();
        }
        QCOMPARE(all, QStringList({"File", "Edit", "Format", "Tools", "Help"}));
        QCOMPARE(visible, QStringList({"File", "Edit", "Tools", "Help"}));
    }

    void firstClientAreaIsTheDesignedSizeCentred()
    {
        Window w;
        const QScreen *screen = w.form->screen();
        const QSize expected(qRound(9375 * screen->logicalDotsPerInchX() / 1440.0),
                             qRound(6255 * screen->logicalDotsPerInchY() / 1440.0));
        QCOMPARE(w.form->Code->size(), expected);
        QCOMPARE(w.form->Code->geometry(), ClientArea(*w.form));
        const QPoint offset =
            w.form->frameGeometry().center() - screen->availableGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 40, "the window is not centred on the screen");
    }

    void editorFollowsEveryResize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("larger") << QSize(900, 700);
        QTest::newRow("smaller") << QSize(300, 200);
        QTest::newRow("smallest allowed") << QSize(0, 0);
        QTest::newRow("restored") << QSize(640, 480);
    }

    void editorFollowsEveryResize()
    {
        QFETCH(QSize, size);
        Window w;
        w.form->resize(size);
        QTRY_COMPARE(w.form->Code->geometry(), ClientArea(*w.form));
        QCOMPARE(w.form->Code->pos(), QPoint(0, w.form->menuBar()->height()));
    }

    void editorUsesFixedPitchFifteenPixelFont()
    {
        Window w;
        const QFont font = w.form->Code->Font();
        QCOMPARE(QFontInfo(font).pixelSize(), 15);
        // The editor sizes its text styles in points; a pixel-only size would reach it as -1.
        QVERIFY(font.pointSizeF() > 0);
        QVERIFY(QFontInfo(font).fixedPitch());
    }

    void typedTextReachesTheEditor()
    {
        Window w;
        TypeKeys(w.form->Code->focusWidget(), QStringLiteral("Dim x"));
        QCOMPARE(w.form->Code->Text(), QStringLiteral("Dim x"));
    }

    void newEmptiesTheEditorAndUndoBringsTheTextBack()
    {
        Window w;
        TypeKeys(w.form->Code->focusWidget(), QStringLiteral("Call GetPlayerX(1)"));
        w.form->UpdateCaption(QStringLiteral("script.qc"));
        modGlobals::CurrentFile = QStringLiteral("/tmp/script.qc");
        w.prompts->answers << UnsavedTextAnswer::Discard;
        TypeKeys(w.form->Code->focusWidget(), QStringLiteral("{Ctrl+N}"));
        QCOMPARE(w.prompts->questions.size(), 1);
        QCOMPARE(w.form->Code->Text(), QString());
        QCOMPARE(w.form->windowTitle(), QStringLiteral("Quillmark"));
        QCOMPARE(modGlobals::CurrentFile, QString());
        TypeKeys(w.form->Code->focusWidget(), QStringLiteral("{Ctrl+Z}"));
        QCOMPARE(w.form->Code->Text(), QStringLiteral("Call GetPlayerX(1)"));
    }

    void ctrlRRedoesAndCtrlYDoesNothing()
    {
        Window w;
        QWidget *editor = w.form->Code->focusWidget();
        TypeKeys(editor, QStringLiteral("abc{Ctrl+Z}"));
        QCOMPARE(w.form->Code->Text(), QString());
        TypeKeys(editor, QStringLiteral("{Ctrl+Y}"));
        QCOMPARE(w.form->Code->Text(), QString());
        TypeKeys(editor, QStringLiteral("{Ctrl+R}"));
        QCOMPARE(w.form->Code->Text(), QStringLiteral("abc"));
    }

    void menuShortcutsReachTheWindowNotTheEditor_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("key");
        QTest::newRow("New") << "mnuNew" << QStringLiteral("{Ctrl+N}");
        QTest::newRow("Open") << "mnuOpen" << QStringLiteral("{Ctrl+O}");
        QTest::newRow("Save") << "mnuSave" << QStringLiteral("{Ctrl+S}");
        QTest::newRow("Undo") << "mnuUndo" << QStringLiteral("{Ctrl+Z}");
        QTest::newRow("Redo") << "mnuRedo" << QStringLiteral("{Ctrl+R}");
        QTest::newRow("Cut") << "mnuCut" << QStringLiteral("{Ctrl+X}");
        QTest::newRow("Copy") << "mnuCopy" << QStringLiteral("{Ctrl+C}");
        QTest::newRow("Paste") << "mnuPaste" << QStringLiteral("{Ctrl+V}");
    }

    void menuShortcutsReachTheWindowNotTheEditor()
    {
        QFETCH(QString, action);
        QFETCH(QString, key);
        Window w;
        auto *command = w.form->findChild<QAction *>(action);
        QVERIFY(command);
        // Disconnect the command itself so that only the routing of the key is observed.
        command->disconnect(w.form.get());
        QSignalSpy triggered(command, &QAction::triggered);
        TypeKeys(w.form->Code->focusWidget(), key);
        QCOMPARE(triggered.count(), 1);
    }

    void exitClosesTheWindow()
    {
        Window w;
        w.form->mnuExit->trigger();
        QVERIFY(!w.form->isVisible());
    }
};

QUILLMARK_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
