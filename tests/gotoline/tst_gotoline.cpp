// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Go to line through the real main window: Ctrl+G, the number typed, Return or Escape.
#include "editor/EditorControl.h"
#include "gotoline/GoToLineBar.h"
#include "support/ContextMenu.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"
#include "support/ViewLines.h"

#include <Qsci/qsciscintilla.h>

#include <QLabel>
#include <QLineEdit>

namespace
{

using Sci = QsciScintillaBase;

constexpr int Lines = 400;

struct Window : TestWindow {
    Window()
    {
        view = form->Code->findChild<QsciScintilla *>();
        QString text;
        for (int line = 1; line <= Lines; ++line)
            text += QStringLiteral("x = %1\n").arg(line);
        text.chop(1);
        form->Code->SetText(text);
        form->Code->SetSelection(EditorRange{4, 2, 4, 2}, true);
    }

    GoToLineBar *Bar() const { return form->Code->findChild<GoToLineBar *>(); }
    QLineEdit *Field() const { return Bar()->findChild<QLineEdit *>(QStringLiteral("lineField")); }
    bool FieldIsRed() const
    {
        return Field()->palette().color(QPalette::Base) == QColor(0xFF, 0xD0, 0xD0);
    }
    long Send(unsigned int message, unsigned long wParam = 0) const
    {
        return view->SendScintilla(message, wParam);
    }
    void Type(const QString &typed) const
    {
        TypeKeys(view, QStringLiteral("{Ctrl+G}"));
        TypeKeys(Field(), QStringLiteral("{Backspace}") + typed);
    }

    QsciScintilla *view = nullptr;
};

} // namespace

class GoToLineTest : public QObject
{
    Q_OBJECT

private slots:
    void opensWithTheCaretLine()
    {
        Window w;
        TypeKeys(w.view, QStringLiteral("{Ctrl+G}"));
        QVERIFY(w.Bar()->isVisible());
        QCOMPARE(w.Field()->text(), QStringLiteral("5"));
        QCOMPARE(w.Field()->selectedText(), QStringLiteral("5"));
        QCOMPARE(w.Bar()->findChild<QLabel *>(QStringLiteral("lineRange"))->text(),
                 QStringLiteral("of 400"));
        QVERIFY(w.Field()->hasFocus());
    }

    // The number typed over the caret's line number, then Return: the caret goes to the start of
    // that line and the bar closes, or the field turns red and nothing moves.
    void returnGoesToTheLineTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("line");
        const int refused = -1;
        QTest::newRow("first line") << "1" << 0;
        QTest::newRow("last line") << "400" << 399;
        QTest::newRow("just under the last line") << "399" << 398;
        QTest::newRow("just over the last line") << "401" << refused;
        QTest::newRow("zero") << "0" << refused;
        QTest::newRow("negative") << "-3" << refused;
        QTest::newRow("blanks around the number") << " 250 " << 249;
        QTest::newRow("empty") << "" << refused;
        QTest::newRow("not a number") << "12a" << refused;
        QTest::newRow("past 64 bits") << "99999999999999999999" << refused;
    }

    void returnGoesToTheLineTyped()
    {
        QFETCH(QString, typed);
        QFETCH(int, line);
        Window w;
        w.Type(typed);
        TypeKeys(w.Field(), QStringLiteral("{Return}"));
        if (line < 0) {
            QCOMPARE(w.form->Code->GetSelection(true), (EditorRange{4, 2, 4, 2}));
            QVERIFY(w.Bar()->isVisible());
            QVERIFY(w.FieldIsRed());
            return;
        }
        QCOMPARE(w.form->Code->GetSelection(true), (EditorRange{line, 0, line, 0}));
        QVERIFY(w.Bar()->isHidden());
        QVERIFY(w.view->hasFocus());
        QVERIFY(LineOnScreen(*w.view, line));
    }

    // The first line below the screen is a line off it like any other: it comes to the middle.
    void theLineJustBelowTheScreenComesToTheMiddle()
    {
        Window w;
        TypeKeys(w.view, QStringLiteral("{Ctrl+G}"));
        // The screen as the open bar leaves it.
        const long screen = w.Send(Sci::SCI_LINESONSCREEN);
        QCOMPARE(w.Send(Sci::SCI_GETFIRSTVISIBLELINE), 0L);
        w.Field()->setText(QString::number(screen + 1));
        TypeKeys(w.Field(), QStringLiteral("{Return}"));
        QCOMPARE(w.Send(Sci::SCI_GETFIRSTVISIBLELINE), screen - screen / 2);
    }

    void escapeLeavesTheCaret()
    {
        Window w;
        w.Type(QStringLiteral("300"));
        TypeKeys(w.Field(), QStringLiteral("{Esc}"));
        QVERIFY(w.Bar()->isHidden());
        QCOMPARE(w.form->Code->GetSelection(true), (EditorRange{4, 2, 4, 2}));
        QVERIFY(w.view->hasFocus());
    }

    // A line inside a folded block is unfolded to show it, after a refused number too.
    void aFoldedLineIsShown()
    {
        Window w;
        w.form->Code->SetText(QStringLiteral("Sub A()\n    x = 1\n    y = 2\nEnd Sub\nz = 3"));
        QTRY_VERIFY(w.Send(Sci::SCI_GETFOLDLEVEL) & Sci::SC_FOLDLEVELHEADERFLAG);
        w.Send(Sci::SCI_FOLDLINE, 0);
        QVERIFY(!w.Send(Sci::SCI_GETLINEVISIBLE, 2));
        w.Type(QStringLiteral("9"));
        TypeKeys(w.Field(), QStringLiteral("{Return}"));
        QVERIFY(w.FieldIsRed());
        w.Field()->setText(QStringLiteral("3"));
        TypeKeys(w.Field(), QStringLiteral("{Return}"));
        QCOMPARE(w.form->Code->GetSelection(true), (EditorRange{2, 0, 2, 0}));
        QVERIFY(LineOnScreen(*w.view, 2));
    }

    void rightClickMenuOpensTheBar()
    {
        Window w;
        QVERIFY(ChooseFromContextMenu(w.view->viewport(), QStringLiteral("Go to Line...")));
        QVERIFY(w.Bar()->isVisible());
    }
};

QUILLMARK_TEST_MAIN(GoToLineTest)
#include "tst_gotoline.moc"
