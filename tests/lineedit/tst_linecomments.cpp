// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl+/ in the real main window: comments toggled on the selected lines, one Undo each, on small
// texts and on one large enough to be rewritten in several pieces.
#include "editor/EditorControl.h"
#include "support/ContextMenu.h"
#include "support/MarkedText.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"
#include "syntax/LanguageDefinition.h"
#include "syntax/LanguageRegistry.h"

#include <Qsci/qsciscintilla.h>

class LineCommentsTest : public QObject
{
    Q_OBJECT

private slots:
    void toggleComments_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("after");
        QTest::newRow("the caret's line commented") << "x = 1|" << 1 << "'x = 1|";
        QTest::newRow("a caret at column 0 stays there") << "|x = 1" << 1 << "|'x = 1";
        QTest::newRow("the caret's line uncommented") << "'x = 1|" << 1 << "x = 1|";
        QTest::newRow("the token after the indentation") << "    ' note|" << 1 << "     note|";
        QTest::newRow("the caret inside the token") << "'|x" << 1 << "|x";
        QTest::newRow("one uncommented line comments all")
            << "[x = 1\n'y = 2]" << 1 << "['x = 1\n''y = 2]";
        QTest::newRow("blank lines left as they are") << "['a\n\n  'b]" << 1 << "[a\n\n  b]";
        QTest::newRow("only blank lines get comments") << "[\n  ]" << 1 << "['\n'  ]";
        QTest::newRow("a line that is only the token") << "['\n'x]" << 1 << "[\nx]";
        QTest::newRow("a selection ending at column 0 leaves that line")
            << "[a\nb\n]c" << 1 << "['a\n'b\n]c";
        QTest::newRow("letters of two bytes after the token") << "' Größe|" << 1 << " Größe|";
        QTest::newRow("twice gives the text back")
            << "  [If x Then\n\n    ' y\n  End] If" << 2 << "  [If x Then\n\n    ' y\n  End] If";
        QTest::newRow("twice from comments takes one off each") << "['a\n''b]" << 2 << "['a\n''b]";
    }

    void toggleComments()
    {
        QFETCH(QString, before);
        QFETCH(int, presses);
        QFETCH(QString, after);
        TestWindow w;
        auto *view = w.form->Code->findChild<QsciScintilla *>();
        SetMarkedText(*w.form->Code, before);
        const QString original = w.form->Code->Text();
        TypeKeys(view, QStringLiteral("{Ctrl+/}").repeated(presses));
        QCOMPARE(MarkedText(*w.form->Code), after);
        for (int press = 0; press < presses; ++press)
            w.form->mnuUndo->trigger();
        QCOMPARE(w.form->Code->Text(), original);
    }

    // A token of several characters: a caret inside it goes to where the token started.
    void aCaretInsideALongerTokenStaysOnItsLine()
    {
        LanguageDefinition remarks;
        remarks.CommentToken = QStringLiteral("REM");
        LanguageRegistry().RegisterLanguage(QStringLiteral("Remarks"), remarks);
        TestWindow w;
        w.form->Code->SetLanguageName(QStringLiteral("Remarks"));
        SetMarkedText(*w.form->Code, QStringLiteral("  RE|M x"));
        TypeKeys(w.form->Code->findChild<QsciScintilla *>(), QStringLiteral("{Ctrl+/}"));
        QCOMPARE(MarkedText(*w.form->Code), QStringLiteral("  | x"));
    }

    void rightClickMenuToggles()
    {
        TestWindow w;
        SetMarkedText(*w.form->Code, QStringLiteral("[a\n'b]"));
        auto *view = w.form->Code->findChild<QsciScintilla *>();
        QVERIFY(ChooseFromContextMenu(view->viewport(), QStringLiteral("Toggle Comment")));
        QCOMPARE(MarkedText(*w.form->Code), QStringLiteral("['a\n''b]"));
    }

    // Enough lines that the edit is made in several pieces, with a line of text that is no
    // comment at the very end: all of them commented, then uncommented again.
    void aLargeSelectionTogglesInOneUndo()
    {
        TestWindow w;
        auto *view = w.form->Code->findChild<QsciScintilla *>();
        QString commented;
        for (int line = 0; line < 200000; ++line)
            commented += QStringLiteral("'x = %1\n").arg(line);
        QString plain = commented;
        plain.remove(QLatin1Char('\''));
        w.form->Code->SetText(commented + QStringLiteral("end"));
        view->selectAll();
        TypeKeys(view, QStringLiteral("{Ctrl+/}"));
        QString twice = commented;
        twice.replace(QLatin1Char('\''), QStringLiteral("''"));
        QCOMPARE(w.form->Code->Text(), twice + QStringLiteral("'end"));
        w.form->mnuUndo->trigger();
        w.form->Code->SetSelection(EditorRange{0, 0, 199999, 3}, false);
        TypeKeys(view, QStringLiteral("{Ctrl+/}"));
        QCOMPARE(w.form->Code->Text(), plain + QStringLiteral("end"));
        w.form->mnuUndo->trigger();
        QCOMPARE(w.form->Code->Text(), commented + QStringLiteral("end"));
    }
};

QUILLMARK_TEST_MAIN(LineCommentsTest)
#include "tst_linecomments.moc"
