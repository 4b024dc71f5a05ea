// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Blocks in the real window: the fold margin, fold keys and clicks, folded text kept whole,
// marks and their tooltips as you type, and fold levels after edits against a fresh editor.
#include "editor/EditorControl.h"
#include "scintilla/DocumentWatcher.h"
#include "scintilla/ScintillaView.h"
#include "support/FileBytes.h"
#include "support/MarkedText.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"
#include "syntax/LanguageRegistry.h"

#include <Qsci/qsciscintilla.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolTip>

namespace
{

using Sci = QsciScintillaBase;

// Blocks nested deeper than the fold levels Scintilla keeps.
constexpr int Depth = 3100;

const QString Small = QStringLiteral("Sub A()\n"
                                     "    x = 1\n"
                                     "    If x Then\n"
                                     "        y = 2\n"
                                     "    End If\n"
                                     "End Sub\n"
                                     "z = 3");

QsciScintilla *ViewOf(const TestWindow &w)
{
    return w.form->Code->findChild<QsciScintilla *>();
}

long Send(QsciScintilla *view, unsigned int message, long wParam = 0, long lParam = 0)
{
    return view->SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
}

// One digit a line: 1 where the line is shown, 0 where a fold hides it.
QString Shown(QsciScintilla *view)
{
    QString shown;
    for (long line = 0; line < Send(view, Sci::SCI_GETLINECOUNT); ++line)
        shown += Send(view, Sci::SCI_GETLINEVISIBLE, line) ? QLatin1Char('1') : QLatin1Char('0');
    return shown;
}

void Settle()
{
    QApplication::processEvents();
    QApplication::processEvents();
}

// Shows every screenful once, as scrolling through the text would.
void ScrollThrough(QsciScintilla *view)
{
    const long step = std::max(1L, Send(view, Sci::SCI_LINESONSCREEN) - 1);
    for (long top = 0; top < Send(view, Sci::SCI_GETLINECOUNT); top += step) {
        Send(view, Sci::SCI_SETFIRSTVISIBLELINE, top);
        view->viewport()->repaint();
    }
    Send(view, Sci::SCI_SETFIRSTVISIBLELINE, 0);
    view->viewport()->repaint();
}

// "<line>: <level>[+]" for `line`, counted from 0, as the view keeps its fold level.
QString LevelShown(QsciScintilla *view, long line)
{
    const long level = Send(view, Sci::SCI_GETFOLDLEVEL, line);
    return QStringLiteral("%1: %2%3")
        .arg(line + 1)
        .arg((level & Sci::SC_FOLDLEVELNUMBERMASK) - Sci::SC_FOLDLEVELBASE)
        .arg(level & Sci::SC_FOLDLEVELHEADERFLAG ? QStringLiteral("+") : QString());
}

// Every line's LevelShown, without painting: the levels whatever the marks drawn so far.
QString LevelsShown(QsciScintilla *view)
{
    QString dump;
    for (long line = 0; line < Send(view, Sci::SCI_GETLINECOUNT); ++line)
        dump += LevelShown(view, line) + QLatin1Char('\n');
    return dump;
}

// "<line>: <level>[+] [marker] <start>-<end> ..." for every line, from the view's own state.
QString BlocksShown(QsciScintilla *view)
{
    ScrollThrough(view);
    QString dump;
    for (long line = 0; line < Send(view, Sci::SCI_GETLINECOUNT); ++line) {
        dump += LevelShown(view, line);
        if (Send(view, Sci::SCI_MARKERGET, line) & (1L << 24))
            dump += QStringLiteral(" marker");
        const long start = Send(view, Sci::SCI_POSITIONFROMLINE, line);
        const long end = Send(view, Sci::SCI_GETLINEENDPOSITION, line);
        for (long at = start; at < end;) {
            const long next = Send(view, Sci::SCI_INDICATOREND, 20, at);
            if (Send(view, Sci::SCI_INDICATORVALUEAT, 20, at))
                dump += QStringLiteral(" %1-%2").arg(at - start).arg(std::min(next, end) - start);
            at = std::max(next, at + 1);
        }
        dump += QLatin1Char('\n');
    }
    return dump;
}

// Types `keys` as TypeKeys does and lets the view catch up, as it would before the next key.
void Press(QWidget *widget, const QString &keys)
{
    TypeKeys(widget, keys);
    Settle();
}

void PutCaret(QsciScintilla *view, long line, long column = 0)
{
    Send(view, Sci::SCI_GOTOPOS, Send(view, Sci::SCI_POSITIONFROMLINE, line) + column);
    Settle();
}

QString Tooltip(QsciScintilla *view, long line, long column, bool inMargin)
{
    QToolTip::hideText();
    const long position = Send(view, Sci::SCI_POSITIONFROMLINE, line) + column;
    const long height = Send(view, Sci::SCI_TEXTHEIGHT, line);
    const int x = inMargin ? int(Send(view, Sci::SCI_GETMARGINWIDTHN, 0) + 4)
                           : int(Send(view, Sci::SCI_POINTXFROMPOSITION, 0, position) + 3);
    const QPoint at(x, int(Send(view, Sci::SCI_POINTYFROMPOSITION, 0, position) + height / 2));
    QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

QString DataPath(const QString &name)
{
    return QDir(qEnvironmentVariable("QUILLMARK_TEST_DATA"))
        .filePath(QStringLiteral("blocks/") + name);
}

} // namespace

class FoldingTest : public QObject
{
    Q_OBJECT

private slots:
    void blocksShowInTheFoldMargin()
    {
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        w.form->Code->SetText(Small);
        Settle();
        QCOMPARE(Send(view, Sci::SCI_GETMARGINTYPEN, 2), long(Sci::SC_MARGIN_SYMBOL));
        QVERIFY(Send(view, Sci::SCI_GETMARGINWIDTHN, 2) > 0);
        QCOMPARE(quint32(Send(view, Sci::SCI_GETMARGINMASKN, 2)), quint32(Sci::SC_MASK_FOLDERS));
        QCOMPARE(BlocksShown(view), QStringLiteral("1: 0+\n2: 1\n3: 1+\n4: 2\n5: 2\n6: 1\n7: 0\n"));
    }

    void samplesShowTheirGoldenBlocks_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::newRow("nested blocks") << "nested";
        QTest::newRow("slips") << "slips";
        QTest::newRow("classes") << "classes";
    }

    // The window shows the fold levels and marks the block analysis' golden files hold: each
    // "<line> <level> | <column>:<word>: <text>" row becomes "<line>: <level> marker <range>".
    void samplesShowTheirGoldenBlocks()
    {
        QFETCH(QString, sample);
        QFile golden(DataPath(sample + QStringLiteral(".blocks")));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QString expected;
        for (const QString &row :
             QString::fromUtf8(golden.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList parts = row.split(QStringLiteral(" | "));
            expected += parts[0].section(QLatin1Char(' '), 0, 0) + QStringLiteral(": ") +
                        parts[0].section(QLatin1Char(' '), 1, 1);
            if (parts.size() > 1)
                expected += QStringLiteral(" marker");
            for (const QString &mark : parts.mid(1)) {
                const int column = mark.section(QLatin1Char(':'), 0, 0).toInt() - 1;
                const int length = int(mark.section(QLatin1Char(':'), 1, 1).size());
                expected += QStringLiteral(" %1-%2").arg(column).arg(column + length);
            }
            expected += QLatin1Char('\n');
        }
        TestWindow w;
        w.form->Code->OpenFile(DataPath(sample + QStringLiteral(".qc")));
        Settle();
        QCOMPARE(BlocksShown(ViewOf(w)), expected);
    }

    void clickingABoxFoldsAndUnfolds()
    {
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        w.form->Code->SetText(Small);
        Settle();
        const int x = int(Send(view, Sci::SCI_GETMARGINWIDTHN, 0) +
                          Send(view, Sci::SCI_GETMARGINWIDTHN, 1) + 5);
        const QPoint box(x, int(Send(view, Sci::SCI_POINTYFROMPOSITION, 0,
                                     Send(view, Sci::SCI_POSITIONFROMLINE, 2)) +
                                5));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, box);
        QTRY_COMPARE(Shown(view), QStringLiteral("1110011"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, box);
        QTRY_COMPARE(Shown(view), QStringLiteral("1111111"));
    }

    void foldKeys_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("caretLine");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("text");
        const QString fold = QStringLiteral("{Ctrl+Shift+[}");
        const QString unfold = QStringLiteral("{Ctrl+Shift+]}");
        const QString foldAll = QStringLiteral("{Ctrl+K}{Ctrl+0}");
        const auto row = [](const char *name, int caretLine, const QString &keys, const char *shown,
                            const QString &script = Small) {
            QTest::newRow(name) << script << caretLine << keys << shown << script;
        };
        row("fold the block at the caret", 3, fold, "1110011");
        row("fold the block a header opens", 2, fold, "1110011");
        row("fold again folds the block around", 3, fold + fold, "1000001");
        row("shifted bracket as the layout sends it", 3, "{Ctrl+Shift+{}", "1110011");
        row("unfold at the folded header", 3, fold + unfold, "1111111");
        row("unfold outside a fold does nothing", 3, unfold, "1111111");
        row("fold all", 3, foldAll, "1000001");
        row("fold all with a plain 0", 3, "{Ctrl+K}0", "1000001");
        row("inner blocks stay folded under an unfolded one", 3, foldAll + unfold, "1110011");
        row("unfold all", 3, foldAll + "{Ctrl+K}{Ctrl+J}", "1111111");
        QTest::newRow("another key ends the chord")
            << Small << 6 << "{Ctrl+K}q"
            << "1111111" << QString(Small).replace(QStringLiteral("z ="), QStringLiteral("qz ="));
        const QString classes = QStringLiteral("Class C\n"
                                               "  Property Get P()\n"
                                               "    P = 1\n"
                                               "  End Property\n"
                                               "  x = 2\n"
                                               "End Class");
        row("fold the Class around the caret", 4, fold, "100000", classes);
        row("fold all folds the Class", 2, foldAll, "100000", classes);
    }

    void foldKeys()
    {
        QFETCH(QString, script);
        QFETCH(int, caretLine);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, text);
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        w.form->Code->SetText(script);
        PutCaret(view, caretLine);
        Press(view, keys);
        QCOMPARE(Shown(view), shown);
        QCOMPARE(w.form->Code->Text(), text);
        QVERIFY(Send(view, Sci::SCI_GETLINEVISIBLE,
                     Send(view, Sci::SCI_LINEFROMPOSITION, Send(view, Sci::SCI_GETCURRENTPOS))));
    }

    // A text too long to analyse at once: Fold All reads the rest behind a note, the event loop
    // running; Escape stops it with nothing folded, and a second Fold All goes to the end,
    // following what is typed while it reads. The text takes several pieces to read even on a
    // fast computer, so that the second Fold All still has a note to show.
    void foldAllReadsTheRestBehindANoteThatEscapeStops()
    {
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("long.qc"));
        const QString block = Small + QLatin1Char('\n');
        constexpr int Blocks = 300'000;
        WriteBytes(path, block.repeated(Blocks).toUtf8());
        w.form->Code->OpenFile(path);
        TypeKeys(view, QStringLiteral("{Ctrl+K}{Ctrl+0}"));
        auto *note = w.form->Code->findChild<QLabel *>(QStringLiteral("foldAllNote"));
        QVERIFY(note && note->isVisible());
        TypeKeys(view, QStringLiteral("{Esc}"));
        QVERIFY(!note->isVisible());
        Settle();
        QVERIFY(!Shown(view).contains(QLatin1Char('0')));
        TypeKeys(view, QStringLiteral("{Ctrl+K}{Ctrl+0}"));
        QVERIFY(note->isVisible());
        TypeKeys(view, QStringLiteral("{Ctrl+Home}'"));
        QTRY_VERIFY_WITH_TIMEOUT(!note->isVisible(), 120'000);
        // The first Sub is a comment now: only its If folds.
        QCOMPARE(Shown(view), QStringLiteral("1110011") +
                                  QStringLiteral("1000001").repeated(Blocks - 1) +
                                  QLatin1Char('1'));
        QCOMPARE(w.form->Code->Text(), QLatin1Char('\'') + block.repeated(Blocks));
    }

    void blocksDeeperThanTheLevelsKeptFoldWithTheDeepestOne_data()
    {
        QTest::addColumn<int>("caretLine");
        QTest::newRow("caret in the innermost block") << Depth;
        QTest::newRow("caret on a block opened deeper") << 3080;
    }

    // Scintilla keeps 3071 levels: the block opened at depth 3070 is the deepest that folds, and
    // every block inside it folds with it. The caret, deeper than that, stays on its line, where
    // the next key types.
    void blocksDeeperThanTheLevelsKeptFoldWithTheDeepestOne()
    {
        QFETCH(int, caretLine);
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        const QString nested = QStringLiteral("If x Then\n").repeated(Depth) +
                               QStringLiteral("y = 1\n") +
                               QStringLiteral("End If\n").repeated(Depth);
        w.form->Code->SetText(nested);
        Press(view, QStringLiteral("{Ctrl+K}{Ctrl+0}{Ctrl+K}{Ctrl+J}"));
        QVERIFY(Send(view, Sci::SCI_GETFOLDLEVEL, 3070) & Sci::SC_FOLDLEVELHEADERFLAG);
        QCOMPARE(Send(view, Sci::SCI_GETFOLDLEVEL, 3071) & Sci::SC_FOLDLEVELHEADERFLAG, 0L);
        PutCaret(view, caretLine);
        Press(view, QStringLiteral("{Ctrl+Shift+[}"));
        const long lastHidden = 2 * Depth - 3070;
        QCOMPARE(Shown(view), QString(3071, QLatin1Char('1')) +
                                  QString(lastHidden - 3070, QLatin1Char('0')) +
                                  QString(2 * Depth + 1 - lastHidden, QLatin1Char('1')));
        Press(view, QStringLiteral("z"));
        QCOMPARE(w.form->Code->GetSelection(true), (EditorRange{caretLine, 1, caretLine, 1}));
        // Each opener, "If x Then" and its line end, is 10 characters.
        QCOMPARE(w.form->Code->Text(), QString(nested).insert(caretLine * 10, QLatin1Char('z')));
        QTRY_VERIFY(!Shown(view).contains(QLatin1Char('0')));
    }

    void foldedTextIsKeptAndSavedAsItWas()
    {
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("slips.qc"));
        const QByteArray original = ReadBytes(DataPath(QStringLiteral("slips.qc")));
        WriteBytes(path, original);
        w.form->Code->OpenFile(path);
        Settle();
        Press(view, QStringLiteral("{Ctrl+K}{Ctrl+0}"));
        QVERIFY(Shown(view).contains(QLatin1Char('0')));
        QVERIFY(!w.form->Code->IsModified());
        QVERIFY(!w.form->Code->CanUndo());
        view->selectAll();
        w.form->mnuCopy->trigger();
        QCOMPARE(QApplication::clipboard()->text().toUtf8(), original);
        w.form->Code->SaveFile(path, true);
        QCOMPARE(ReadBytes(path), original);
        QVERIFY(!w.form->Code->IsModified());
    }

    void editsAndSelectionsShowFoldedLines_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        QTest::newRow("Enter at the end of the folded header")
            << "enter"
            << QString(Small).replace(QStringLiteral("Then\n"), QStringLiteral("Then\n    \n"));
        QTest::newRow("a selection inside the fold, as a search makes") << "select" << Small;
        QTest::newRow("deleting across the fold")
            << "delete" << QStringLiteral("Sub A()\nEnd Sub\nz = 3");
        QTest::newRow("commenting lines across the fold")
            << "comment"
            << QStringLiteral("Sub A()\n'    x = 1\n'    If x Then\n'        y = 2\n'    End If\n"
                              "End Sub\nz = 3");
        QTest::newRow("undoing an edit inside the fold") << "undo" << Small;
        QTest::newRow("the folded block's opener typed away")
            << "unblock"
            << QString(Small).replace(QStringLiteral("If x Then"), QStringLiteral("I x Then"));
        QTest::newRow("a block opened around the fold")
            << "wrap"
            << QString(Small).replace(QStringLiteral("    x = 1\n"),
                                      QStringLiteral("    x = 1\nWith p\n"));
    }

    void editsAndSelectionsShowFoldedLines()
    {
        QFETCH(QString, action);
        QFETCH(QString, text);
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        EditorControl &code = *w.form->Code;
        code.SetText(Small);
        if (action == QLatin1String("undo")) {
            PutCaret(view, 3, 8);
            TypeKeys(view, QStringLiteral("w"));
        }
        PutCaret(view, 2);
        Press(view, QStringLiteral("{Ctrl+Shift+[}"));
        QCOMPARE(Shown(view), QStringLiteral("1110011"));
        if (action == QLatin1String("enter")) {
            Send(view, Sci::SCI_GOTOPOS, Send(view, Sci::SCI_GETLINEENDPOSITION, 2));
            Press(view, QStringLiteral("{Return}"));
        } else if (action == QLatin1String("select")) {
            code.SetSelection(EditorRange{3, 8, 3, 9}, true);
        } else if (action == QLatin1String("delete")) {
            code.SetSelection(EditorRange{1, 0, 5, 0}, false);
            Press(view, QStringLiteral("{Del}"));
        } else if (action == QLatin1String("comment")) {
            code.SetSelection(EditorRange{1, 0, 4, 3}, false);
            w.form->mCommentSelected->trigger();
        } else if (action == QLatin1String("unblock")) {
            PutCaret(view, 2, 5);
            Press(view, QStringLiteral("{Del}"));
        } else if (action == QLatin1String("wrap")) {
            PutCaret(view, 2);
            Press(view, QStringLiteral("With p{Return}"));
        } else {
            w.form->mnuUndo->trigger();
        }
        QTRY_VERIFY(!Shown(view).contains(QLatin1Char('0')));
        QCOMPARE(code.Text(), text);
    }

    void marksComeAndGoAsYouType()
    {
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        w.form->Code->SetText(QStringLiteral("Sub A()\n    x = 1\nEnd Sub\n"));
        PutCaret(view, 1, 9);
        TypeKeys(view, QStringLiteral("{Return}If x Then"));
        PutCaret(view, 1, 0);
        QCOMPARE(BlocksShown(view).section(QLatin1Char('\n'), 2, 2),
                 QStringLiteral("3: 1+ marker 4-6"));
        QCOMPARE(Tooltip(view, 2, 5, false), QStringLiteral("\"If\" on line 3 has no \"End If\""));
        PutCaret(view, 2, 13);
        TypeKeys(view, QStringLiteral("{Return}End If"));
        Settle();
        QCOMPARE(BlocksShown(view), QStringLiteral("1: 0+\n2: 1\n3: 1+\n4: 2\n5: 1\n6: 0\n"));
    }

    void aBlockBeingTypedIsMarkedOnceTheCaretLeavesItsLine_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("marked");
        QTest::newRow("a Sub typed at the end") << "x = 1\n|"
                                                << "Sub A()"
                                                << "";
        QTest::newRow("its mark once the caret leaves the line") << "x = 1\n|"
                                                                 << "Sub A(){Up}"
                                                                 << "2";
        QTest::newRow("an If typed above End Sub") << "Sub A()\n|\nEnd Sub"
                                                   << "If x Then"
                                                   << "";
        QTest::newRow("blank lines below the opener") << "x = 1\n|\n\n  \t\n"
                                                      << "Do"
                                                      << "";
        QTest::newRow("an If typed above a line of its body") << "Sub A()\n|\n  y = 1\nEnd Sub"
                                                              << "If x Then"
                                                              << "2";
        QTest::newRow("a stray closer typed") << "|"
                                              << "Next"
                                              << "1";
    }

    // "<line> ..." of the lines with a mark, counted from 1.
    void aBlockBeingTypedIsMarkedOnceTheCaretLeavesItsLine()
    {
        QFETCH(QString, script);
        QFETCH(QString, keys);
        QFETCH(QString, marked);
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        SetMarkedText(*w.form->Code, script);
        Press(view, keys);
        QStringList lines;
        for (const QString &row : BlocksShown(view).split(QLatin1Char('\n'))) {
            if (row.contains(QStringLiteral("marker")))
                lines << row.section(QLatin1Char(':'), 0, 0);
        }
        QCOMPARE(lines.join(QLatin1Char(' ')), marked);
    }

    void marksByKeys_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("caret");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("wrapped");
        const QString slips = QString::fromUtf8(ReadBytes(DataPath(QStringLiteral("slips.qc"))));
        const auto at = [&](int line, int column) {
            QStringList lines = slips.split(QLatin1Char('\n'));
            lines[line].insert(column, QLatin1Char('|'));
            return lines.join(QLatin1Char('\n'));
        };
        const QString ifMark = QStringLiteral("Line 2: \"If\" on line 2 has no \"End If\"");
        const QString forEachMark =
            QStringLiteral("Line 37: \"For Each\" on line 37 has no \"Next\"");
        QTest::newRow("F8 goes to the next mark") << at(0, 0) << "{F8}"
                                                  << "2:1" << ifMark << false;
        QTest::newRow("F8 goes to the mark after the caret on its line")
            << at(7, 0) << "{F8}"
            << "8:9"
            << "Line 8: \"For\" on line 8 has no \"Next\"" << false;
        QTest::newRow("Shift+F8 goes to the previous mark")
            << at(7, 0) << "{Shift+F8}"
            << "4:1"
            << "Line 4: \"Next\" closes no \"For\"" << false;
        QTest::newRow("F8 wraps at the end") << at(36, 4) << "{F8}"
                                             << "2:1" << ifMark << true;
        QTest::newRow("Shift+F8 wraps at the start") << at(0, 0) << "{Shift+F8}"
                                                     << "37:5" << forEachMark << true;
        QTest::newRow("Up aims for the column the mark stands in")
            << at(6, 0) << "{F8}{Up}"
            << "7:9"
            << "Line 8: \"For\" on line 8 has no \"Next\"" << false;
        QTest::newRow("a mark inside a folded block")
            << at(0, 0) << "{Ctrl+K}{Ctrl+0}{F8}{F8}"
            << "4:1"
            << "Line 4: \"Next\" closes no \"For\"" << false;
        QTest::newRow("a single mark is found again")
            << "x = 1\n|Next"
            << "{F8}"
            << "2:1"
            << "Line 2: \"Next\" closes no \"For\"" << true;
        QTest::newRow("no marks") << "Sub A()\n  |x = 1\nEnd Sub"
                                  << "{F8}"
                                  << "2:3"
                                  << "No block word in the script is marked." << true;
        QTest::newRow("the block being typed on the caret's line is not a mark yet")
            << "x = 1\nSub A()|"
            << "{F8}"
            << "2:8"
            << "No block word in the script is marked." << true;
    }

    // F8 and Shift+F8 move the caret to a marked word, shown unfolded, and the bar along the
    // editor's bottom edge names the mark; Escape closes the bar and leaves the caret.
    void marksByKeys()
    {
        QFETCH(QString, script);
        QFETCH(QString, keys);
        QFETCH(QString, caret);
        QFETCH(QString, message);
        QFETCH(bool, wrapped);
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        SetMarkedText(*w.form->Code, script);
        Settle();
        Press(view, keys);
        const EditorRange at = w.form->Code->GetSelection(true);
        QCOMPARE(QStringLiteral("%1:%2").arg(at.StartLine + 1).arg(at.StartColumn + 1), caret);
        QCOMPARE(at.EndLine, at.StartLine);
        QCOMPARE(at.EndColumn, at.StartColumn);
        QVERIFY(Send(view, Sci::SCI_GETLINEVISIBLE, at.StartLine));
        auto *bar = w.form->Code->findChild<QWidget *>(QStringLiteral("markBar"));
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(bar->findChild<QLabel *>(QStringLiteral("markMessage"))->text(), message);
        QCOMPARE(bar->findChild<QLabel *>(QStringLiteral("markWrapped"))->isVisible(), wrapped);
        QVERIFY(view->hasFocus());
        Press(view, QStringLiteral("{Escape}"));
        QVERIFY(bar->isHidden());
        QCOMPARE(w.form->Code->GetSelection(true), at);
    }

    // A line longer than the long-line limit is generated data, shown through a window: it reads
    // as holding no block words, so scanning it never holds up a paint.
    void longLinesHoldNoBlocks_data()
    {
        QTest::addColumn<int>("lineBytes");
        QTest::addColumn<QString>("blocks");
        QTest::newRow("at the limit") << 32768 << QStringLiteral("1: 0+\n2: 1+ marker 0-2\n3: 1\n");
        QTest::newRow("just over the limit") << 32769 << QStringLiteral("1: 0+\n2: 1\n3: 1\n");
    }

    void longLinesHoldNoBlocks()
    {
        QFETCH(int, lineBytes);
        QFETCH(QString, blocks);
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        const QString opener = QStringLiteral("If x Then");
        w.form->Code->SetText(QStringLiteral("Sub A()\n") + opener +
                              QString(lineBytes - opener.size(), QLatin1Char(' ')) +
                              QStringLiteral("\nEnd Sub"));
        Settle();
        QCOMPARE(BlocksShown(view), blocks);
    }

    // Fold All reads the lines below the first screen from the text in one piece, finding each
    // line's end itself: its levels are those the analysis in idle moments comes to.
    void foldAllReadsTheLinesTheViewShows_data()
    {
        const QString opener = QStringLiteral("  If x Then");
        const auto padded = [&opener](int bytes) {
            return opener + QString(bytes - opener.size(), QLatin1Char(' '));
        };
        QTest::addColumn<QString>("text");
        QTest::newRow("LF") << QStringLiteral("Sub A()\n  If x Then\n    y\n  End If\nEnd Sub\n");
        QTest::newRow("CR LF") << QStringLiteral(
            "Sub A()\r\n  If x Then\r\n  End If\r\nEnd Sub\r\n");
        QTest::newRow("lone CR") << QStringLiteral("Sub A()\r  If x Then\r  End If\rEnd Sub\r");
        QTest::newRow("mixed, blank lines")
            << QStringLiteral("Sub A()\r\n\n  If x Then\r\r\n  End If\n\rEnd Sub\n");
        QTest::newRow("CR far into a line")
            << QStringLiteral("Sub A()\n") + padded(600) + QStringLiteral("\r  End If\nEnd Sub\n");
        QTest::newRow("a line at the long-line limit")
            << QStringLiteral("Sub A()\r\n") + padded(32768) + QStringLiteral("\r\nEnd Sub\r\n");
        QTest::newRow("a line just over the limit")
            << QStringLiteral("Sub A()\r\n") + padded(32769) + QStringLiteral("\r\nEnd Sub\r\n");
    }

    void foldAllReadsTheLinesTheViewShows()
    {
        QFETCH(QString, text);
        // Enough copies that most lines are below the first screen, and one left unended.
        const QString whole = text.repeated(60) + QStringLiteral("Sub B()\n  z");
        TestWindow idle;
        idle.form->Code->SetText(whole);
        TestWindow folded;
        QsciScintilla *view = ViewOf(folded);
        folded.form->Code->SetText(whole);
        TypeKeys(view, QStringLiteral("{Ctrl+K}{Ctrl+0}"));
        // A slow build may read the rest in more than one piece, between which events run.
        QTRY_VERIFY_WITH_TIMEOUT(Shown(view).contains(QLatin1Char('0')), 60'000);
        QTRY_COMPARE_WITH_TIMEOUT(LevelsShown(ViewOf(idle)), LevelsShown(view), 60'000);
    }

    void tooltipsNameTheSlip_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("inMargin");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("stray closer") << 3 << 1 << false << "\"Next\" closes no \"For\"";
        QTest::newRow("last letter of the word") << 3 << 3 << false << "\"Next\" closes no \"For\"";
        QTest::newRow("just after the word") << 3 << 4 << false << "";
        QTest::newRow("unclosed opener") << 7 << 9 << false << "\"For\" on line 8 has no \"Next\"";
        QTest::newRow("mismatched closer")
            << 18 << 5 << false << "\"End Sub\" does not match \"Function\" on line 14";
        QTest::newRow("unmarked word") << 6 << 5 << false << "";
        QTest::newRow("margin beside a marked line")
            << 3 << 0 << true << "\"Next\" closes no \"For\"";
        QTest::newRow("margin beside an unmarked line") << 5 << 0 << true << "";
    }

    void tooltipsNameTheSlip()
    {
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(bool, inMargin);
        QFETCH(QString, tooltip);
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        w.form->Code->OpenFile(DataPath(QStringLiteral("slips.qc")));
        Settle();
        view->viewport()->repaint();
        QCOMPARE(Tooltip(view, line, column, inMargin), tooltip);
    }

    void languagesWithoutBlockWordsShowNoBlocks()
    {
        LanguageDefinition plain;
        plain.KeywordList = QStringLiteral("Dim\nIf\nThen");
        LanguageRegistry().RegisterLanguage(QStringLiteral("Plain"), plain);
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        w.form->Code->SetText(QStringLiteral("Sub A()\n  If x Then\n    y\nEnd Sub\nNext"));
        PutCaret(view, 2);
        Press(view, QStringLiteral("{Ctrl+Shift+[}"));
        QCOMPARE(Shown(view), QStringLiteral("11011"));
        w.form->Code->SetLanguageName(QStringLiteral("Plain"));
        Settle();
        QCOMPARE(Shown(view), QStringLiteral("11111"));
        QCOMPARE(Send(view, Sci::SCI_GETMARGINWIDTHN, 2), 0L);
        QVERIFY(!BlocksShown(view).contains(QStringLiteral("marker")));
        Press(view, QStringLiteral("{Ctrl+K}{Ctrl+0}"));
        QCOMPARE(Shown(view), QStringLiteral("11111"));
        w.form->Code->SetLanguageName(QStringLiteral("Quillcode"));
        Settle();
        QVERIFY(Send(view, Sci::SCI_GETMARGINWIDTHN, 2) > 0);
        QVERIFY(BlocksShown(view).contains(QStringLiteral("5: 0 marker 0-4")));
    }

    void theWatcherReportsEditedLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("reports");
        QTest::newRow("a letter typed") << "a\nb\nc"
                                        << "insert 2 x"
                                        << "1+0";
        QTest::newRow("two lines inserted") << "a\nb\nc"
                                            << "insert 3 x\ny\nz"
                                            << "1+2";
        QTest::newRow("three lines joined") << "a\nb\nc\nd"
                                            << "delete 1 4"
                                            << "0-2";
        QTest::newRow("LF after CR ends no extra line") << "a\rb"
                                                        << "insert 2 \n"
                                                        << "1+0";
        QTest::newRow("CR LF split by a letter") << "a\r\nb"
                                                 << "insert 2 x"
                                                 << "0+1";
        QTest::newRow("selection replaced") << "a\nb\nc"
                                            << "replace 1 3 x\n\ny"
                                            << "0-1 0+2";
        QTest::newRow("undo") << "a\nb\nc"
                              << "undo 2 x\ny"
                              << "1+1 1-1";
        QTest::newRow("text set anew") << "a\nb"
                                       << "set x"
                                       << "0-1 0+0";
    }

    // Each edit reaches the watcher as the line it started on and the lines it added.
    void theWatcherReportsEditedLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, edit);
        QFETCH(QString, reports);
        ScintillaView view;
        view.SendScintilla(Sci::SCI_APPENDTEXT, text.toUtf8().size(), text.toUtf8().constData());
        view.SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
        QStringList heard;
        DocumentWatcher watcher(view.Call(), [&](std::int64_t line, std::int64_t delta) {
            heard << QStringLiteral("%1%2%3").arg(line).arg(delta < 0 ? "" : "+").arg(delta);
        });
        watcher.Follow();
        const QStringList words = edit.split(QLatin1Char(' '));
        const QByteArray argument = words.value(words.size() - 1).toUtf8();
        const long at = words.value(1).toLong();
        if (words[0] == QLatin1String("insert")) {
            view.SendScintilla(Sci::SCI_INSERTTEXT, at, argument.constData());
        } else if (words[0] == QLatin1String("delete")) {
            view.SendScintilla(Sci::SCI_DELETERANGE, at, words[2].toLong() - at);
        } else if (words[0] == QLatin1String("replace")) {
            view.SendScintilla(Sci::SCI_SETSEL, at, words[2].toLong());
            view.SendScintilla(Sci::SCI_REPLACESEL, 0UL, words[3].toUtf8().constData());
        } else if (words[0] == QLatin1String("undo")) {
            view.SendScintilla(Sci::SCI_INSERTTEXT, at, argument.constData());
            watcher.Flush();
            view.SendScintilla(Sci::SCI_UNDO);
        } else {
            view.SendScintilla(Sci::SCI_SETTEXT, 0UL, argument.constData());
        }
        watcher.Flush();
        watcher.Flush();
        QCOMPARE(heard.join(QLatin1Char(' ')), reports);
        watcher.Stop();
        view.SendScintilla(Sci::SCI_INSERTTEXT, 0UL, "\n\n");
        watcher.Flush();
        QCOMPARE(heard.join(QLatin1Char(' ')), reports);
    }

    void editsInTheEditorMatchAFreshOne_data()
    {
        QTest::addColumn<QString>("edit");
        for (const char *edit :
             {"typing an opener", "undo and redo", "paste over lines", "comment selected",
              "whole text replaced", "lines deleted", "a closer changed right after opening"})
            QTest::newRow(edit) << edit;
    }

    // Edits through keys and menus reach the analysis as the lines they touched: afterwards
    // the levels and marks on screen equal those of an editor given the same text afresh.
    void editsInTheEditorMatchAFreshOne()
    {
        QFETCH(QString, edit);
        TestWindow w;
        QsciScintilla *view = ViewOf(w);
        EditorControl &code = *w.form->Code;
        code.OpenFile(DataPath(QStringLiteral("slips.qc")));
        if (edit == QLatin1String("a closer changed right after opening")) {
            code.SetSelection(EditorRange{18, 4, 18, 7}, false);
            code.SetSelectedText(QStringLiteral("Function"));
        }
        Settle();
        ScrollThrough(view);
        if (edit == QLatin1String("typing an opener")) {
            PutCaret(view, 5, 0);
            TypeKeys(view, QStringLiteral("For i = 1 To 2{Return}"));
        } else if (edit == QLatin1String("undo and redo")) {
            PutCaret(view, 9, 0);
            TypeKeys(view, QStringLiteral("Next{Return}"));
            w.form->mnuUndo->trigger();
            w.form->mnuUndo->trigger();
            w.form->mnuRedo->trigger();
        } else if (edit == QLatin1String("paste over lines")) {
            QApplication::clipboard()->setText(QStringLiteral("End Sub\r\nSub X()\r\n    If"));
            code.SetSelection(EditorRange{6, 4, 10, 2}, false);
            w.form->mnuPaste->trigger();
        } else if (edit == QLatin1String("comment selected")) {
            code.SetSelection(EditorRange{13, 0, 18, 2}, false);
            w.form->mCommentSelected->trigger();
        } else if (edit == QLatin1String("whole text replaced")) {
            code.SetText(QString::fromUtf8(ReadBytes(DataPath(QStringLiteral("nested.qc")))));
        } else if (edit == QLatin1String("lines deleted")) {
            code.SetSelection(EditorRange{20, 3, 28, 0}, false);
            Press(view, QStringLiteral("{Backspace}"));
        }
        code.SetSelection(EditorRange{}, false);
        Settle();
        TestWindow fresh;
        fresh.form->Code->SetText(code.Text());
        fresh.form->Code->SetSelection(EditorRange{}, false);
        Settle();
        // Each row carries its line's text, so a difference shows where it is.
        const QStringList lines = code.Text().split(QLatin1Char('\n'));
        auto rows = [&](QsciScintilla *shown) {
            QStringList rows = BlocksShown(shown).split(QLatin1Char('\n'));
            for (qsizetype row = 0; row < rows.size(); ++row)
                rows[row] += QStringLiteral(" | ") + lines.value(row);
            return rows;
        };
        QCOMPARE(rows(view), rows(ViewOf(fresh)));
    }
};

QUILLMARK_TEST_MAIN(FoldingTest)
#include "tst_folding.moc"
