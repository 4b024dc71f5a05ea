// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorControl: selections in character columns, text replacement, and the command guard.
#include "app/CommandGuard.h"
#include "colouring/QuillLexer.h"
#include "common/Checked32.h"
#include "common/EditorError.h"
#include "editor/EditorControl.h"
#include "scintilla/ScintillaView.h"
#include "support/FileBytes.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>
#include <limits>

namespace
{

QString NumberedLines(int count)
{
    QString text;
    for (int line = 0; line < count; ++line)
        text += QStringLiteral("x = %1\n").arg(line);
    return text;
}

/// Shows `code` holding `lines` numbered lines and a last line wider than the view, then takes
/// the caret to the end with Ctrl+End; the view, or nullptr when the window never showed.
QsciScintilla *AtTheEndOfAWideText(EditorControl &code, int lines)
{
    code.resize(400, 300);
    code.show();
    if (!QTest::qWaitForWindowExposed(&code))
        return nullptr;
    auto *view = code.findChild<QsciScintilla *>();
    code.SetText(NumberedLines(lines) + QString(300, QLatin1Char('w')));
    TypeKeys(view, QStringLiteral("{Ctrl+End}"));
    return view;
}

} // namespace

class EditorControlTest : public QObject
{
    Q_OBJECT

private slots:
    void selectionColumnsCountCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<EditorRange>("range");
        QTest::addColumn<QString>("selected");
        QTest::newRow("ascii") << "Dim x = 1" << EditorRange{0, 4, 0, 5} << "x";
        QTest::newRow("accents before") << "' déjà vu: x" << EditorRange{0, 11, 0, 12} << "x";
        QTest::newRow("two-byte letters selected") << "ÄÖÜ abc" << EditorRange{0, 1, 0, 3} << "ÖÜ";
        QTest::newRow("three-byte signs") << "x = \"€€€\" & y" << EditorRange{0, 5, 0, 7} << "€€";
        QTest::newRow("second line") << "first\nñandú = 2" << EditorRange{1, 2, 1, 5} << "ndú";
        QTest::newRow("across lines") << "héllo\nwörld" << EditorRange{0, 3, 1, 2} << "lo\nwö";
        QTest::newRow("caret") << "ωmega" << EditorRange{0, 1, 0, 1} << "";
    }

    void selectionColumnsCountCharacters()
    {
        QFETCH(QString, text);
        QFETCH(EditorRange, range);
        QFETCH(QString, selected);
        EditorControl code;
        code.SetText(text);
        code.SetSelection(range, true);
        QCOMPARE(code.GetSelection(true), range);
        code.SetSelectedText(QStringLiteral("#"));
        QString expected = text;
        const QStringList lines = text.split(QLatin1Char('\n'));
        qsizetype start = range.StartColumn, end = range.EndColumn;
        for (int line = 0; line < range.StartLine; ++line)
            start += lines[line].size() + 1;
        for (int line = 0; line < range.EndLine; ++line)
            end += lines[line].size() + 1;
        QCOMPARE(text.mid(start, end - start), selected);
        expected.replace(start, end - start, QStringLiteral("#"));
        QCOMPARE(code.Text(), expected);
    }

    void selectionMadeBackwardsIsReportedInOrder()
    {
        EditorControl code;
        code.SetText(QStringLiteral("ab\ncd\nef"));
        code.SetSelection(EditorRange{2, 1, 0, 1}, false);
        QCOMPARE(code.GetSelection(true), (EditorRange{0, 1, 2, 1}));
    }

    void columnPastTheLineEndStopsAtTheLineEnd()
    {
        EditorControl code;
        code.SetText(QStringLiteral("äb\ncd"));
        code.SetSelection(EditorRange{0, 40, 0, 40}, true);
        QCOMPARE(code.GetSelection(true), (EditorRange{0, 2, 0, 2}));
    }

    void lineOutsideTheTextIsAFailureOfTheControl_data()
    {
        QTest::addColumn<EditorRange>("range");
        QTest::newRow("past the last line") << EditorRange{0, 0, 5, 0};
        QTest::newRow("negative line") << EditorRange{-1, 0, 0, 0};
        QTest::newRow("negative column") << EditorRange{0, -3, 0, 0};
        QTest::newRow("largest line")
            << EditorRange{0, 0, std::numeric_limits<std::int32_t>::max(), 0};
    }

    void lineOutsideTheTextIsAFailureOfTheControl()
    {
        QFETCH(EditorRange, range);
        EditorControl code;
        code.SetText(QStringLiteral("one\ntwo"));
        QVERIFY_THROWS_EXCEPTION(EditorError, code.SetSelection(range, true));
    }

    void insertTextSelectsWhatItInserted()
    {
        EditorControl code;
        code.SetText(QStringLiteral("x = getpl"));
        code.SetSelection(EditorRange{0, 4, 0, 9}, true);
        code.InsertText(QStringLiteral("GetPlayerLevel"));
        QCOMPARE(code.Text(), QStringLiteral("x = GetPlayerLevel"));
        QCOMPARE(code.GetSelection(true).StartColumn, 4);
    }

    void setTextIsOneUndoableEdit()
    {
        EditorControl code;
        code.SetText(QStringLiteral("first"));
        code.SetText(QString());
        QVERIFY(code.CanUndo());
        code.Undo();
        QCOMPARE(code.Text(), QStringLiteral("first"));
    }

    void checkedArithmetic_data()
    {
        QTest::addColumn<qint64>("a");
        QTest::addColumn<qint64>("b");
        QTest::addColumn<bool>("overflows");
        constexpr qint64 max = std::numeric_limits<std::int32_t>::max();
        constexpr qint64 min = std::numeric_limits<std::int32_t>::min();
        QTest::newRow("small") << qint64(4) << qint64(10) << false;
        QTest::newRow("to the top") << max - 10 << qint64(10) << false;
        QTest::newRow("past the top") << max << qint64(1) << true;
        QTest::newRow("to the bottom") << min + 1 << qint64(-1) << false;
        QTest::newRow("past the bottom") << min << qint64(-1) << true;
    }

    // The horizontal scroll bar appears only after a line wider than the view has been painted,
    // and takes the bottom of the view: a caret on the bottom line stays in view all the same.
    void theCaretStaysInViewWhenTheScrollBarAppears()
    {
        EditorControl code;
        QsciScintilla *view = AtTheEndOfAWideText(code, 200);
        QVERIFY(view);
        QTRY_VERIFY(view->horizontalScrollBar()->isVisible());
        QApplication::processEvents();
        const long top = view->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
        const long shown = view->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
        QVERIFY2(top + shown > 200,
                 qPrintable(QStringLiteral("lines %1 to %2 shown").arg(top).arg(top + shown - 1)));
    }

    // A file opened while the view shows the end of a long text is shown from its top left.
    void anOpenedFileIsShownFromItsTop()
    {
        EditorControl code;
        QsciScintilla *view = AtTheEndOfAWideText(code, 300);
        QVERIFY(view);
        QTRY_VERIFY(view->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET) > 0);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("other.qc"));
        WriteBytes(path, NumberedLines(300).toUtf8());
        code.OpenFile(path);
        QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 0L);
        QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET), 0L);
        QCOMPARE(code.GetSelection(true), (EditorRange{0, 0, 0, 0}));
    }

    // Return starts the new line with the spaces and tabs that begin the line it breaks, as they
    // are written there, once per line end whatever the document's line end.
    void returnCarriesTheIndentation_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<EditorRange>("selection");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<EditorRange>("caret");
        const QByteArray limit(1024, ' ');
        QTest::newRow("spaces") << QByteArray("    x = 1") << EditorRange{0, 9, 0, 9}
                                << QByteArray("    x = 1\n    ") << EditorRange{1, 4, 1, 4};
        QTest::newRow("tabs and spaces as written")
            << QByteArray("\t  \tIf x Then") << EditorRange{0, 13, 0, 13}
            << QByteArray("\t  \tIf x Then\n\t  \t") << EditorRange{1, 4, 1, 4};
        QTest::newRow("no indentation") << QByteArray("x = 1") << EditorRange{0, 5, 0, 5}
                                        << QByteArray("x = 1\n") << EditorRange{1, 0, 1, 0};
        QTest::newRow("inside the line's text")
            << QByteArray("  Call Foo") << EditorRange{0, 6, 0, 6} << QByteArray("  Call\n   Foo")
            << EditorRange{1, 2, 1, 2};
        QTest::newRow("a selection replaced") << QByteArray("  ab\n  cd") << EditorRange{0, 3, 1, 3}
                                              << QByteArray("  a\n  d") << EditorRange{1, 2, 1, 2};
        QTest::newRow("CRLF line ends") << QByteArray(" x\r\ny") << EditorRange{0, 2, 0, 2}
                                        << QByteArray(" x\r\n \r\ny") << EditorRange{1, 1, 1, 1};
        QTest::newRow("CR line ends") << QByteArray("\tx\ry") << EditorRange{0, 2, 0, 2}
                                      << QByteArray("\tx\r\t\ry") << EditorRange{1, 1, 1, 1};
        QTest::newRow("indentation at the limit")
            << limit + "x" << EditorRange{0, 1025, 0, 1025} << limit + "x\n" + limit
            << EditorRange{1, 1024, 1, 1024};
        QTest::newRow("indentation over the limit")
            << limit + " x" << EditorRange{0, 1026, 0, 1026} << limit + " x\n"
            << EditorRange{1, 0, 1, 0};
    }

    void returnCarriesTheIndentation()
    {
        QFETCH(QByteArray, file);
        QFETCH(EditorRange, selection);
        QFETCH(QByteArray, saved);
        QFETCH(EditorRange, caret);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("indent.qc"));
        WriteBytes(path, file);
        EditorControl code;
        code.OpenFile(path);
        code.SetSelection(selection, true);
        TypeKeys(code.findChild<QsciScintilla *>(), QStringLiteral("{Return}"));
        QCOMPARE(code.GetSelection(true), caret);
        code.SaveFile(path, true);
        QCOMPARE(ReadBytes(path), saved);
        code.Undo();
        code.SaveFile(path, true);
        QCOMPARE(ReadBytes(path), file);
    }

    // The brace just before the caret, or else the one just after it, and its partner.
    void bracesBesideTheCaretAreMatched_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<long>("brace");
        QTest::addColumn<long>("partner");
        QTest::newRow("before the caret") << "f(x)" << 4 << 3L << 1L;
        QTest::newRow("after the caret") << "f(x)" << 1 << 1L << 3L;
        QTest::newRow("the one before first") << "()()" << 2 << 1L << 0L;
        QTest::newRow("nested square brackets") << "[a[b]c]" << 7 << 6L << 0L;
        QTest::newRow("braces on other lines") << "{\nx\n}" << 0 << 0L << 4L;
        QTest::newRow("no partner") << "f(x" << 2 << 1L << -1L;
        QTest::newRow("no brace beside the caret") << "f(xy)" << 3 << -1L << -1L;
        QTest::newRow("at the end of the text") << "x" << 1 << -1L << -1L;
        const long reach = ScintillaView::BraceReachBytes;
        const QString within = QLatin1Char('(') + QString(reach - 1, QLatin1Char('x')) + u')';
        const QString beyond = QLatin1Char('(') + QString(reach, QLatin1Char('x')) + u')';
        QTest::newRow("forwards at the reach") << within << 1 << 0L << reach;
        QTest::newRow("forwards beyond the reach") << beyond << 1 << 0L << BracePair::OutOfReach;
        QTest::newRow("backwards at the reach") << within << int(reach + 1) << reach << 0L;
        QTest::newRow("backwards beyond the reach")
            << beyond << int(reach + 2) << reach + 1 << BracePair::OutOfReach;
    }

    void bracesBesideTheCaretAreMatched()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(long, brace);
        QFETCH(long, partner);
        EditorControl code;
        code.SetText(text);
        auto *view = code.findChild<ScintillaView *>();
        view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(caret));
        const BracePair braces = view->BracesAtCaret();
        QCOMPARE(braces.brace, brace);
        QCOMPARE(braces.partner, partner);
    }

    void bracesCountWhenColouredAsTheFirstOne_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("styleRuns"); // length and style of each run from the start
        QTest::addColumn<long>("partner");
        QTest::newRow("a brace in a string is passed over")
            << "(\")\")" << QList<int>{1, 0, 3, 5} << 4L;
        const long hidden = QuillLexer::HiddenText, plain = QuillLexer::ColouredDefault;
        QTest::newRow("beyond a long line's window")
            << "(" + QString(40000, u'x') + ")" << QList<int>{1, int(plain), 40001, int(hidden)}
            << 40001L;
    }

    // Only braces coloured as the first one is count; the part of a long line outside its window
    // is plain text, only not drawn.
    void bracesCountWhenColouredAsTheFirstOne()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, styleRuns);
        QFETCH(long, partner);
        EditorControl code;
        code.SetText(text);
        auto *view = code.findChild<ScintillaView *>();
        view->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0UL);
        for (qsizetype run = 0; run < styleRuns.size(); run += 2)
            view->SendScintilla(QsciScintillaBase::SCI_SETSTYLING,
                                static_cast<unsigned long>(styleRuns[run]),
                                long(styleRuns[run + 1]));
        view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 1UL);
        QCOMPARE(view->BracesAtCaret().partner, partner);
    }

    void checkedArithmetic()
    {
        QFETCH(qint64, a);
        QFETCH(qint64, b);
        QFETCH(bool, overflows);
        const auto x = static_cast<std::int32_t>(a), y = static_cast<std::int32_t>(b);
        if (overflows)
            QVERIFY_THROWS_EXCEPTION(OverflowError, CheckedAdd(x, y));
        else
            QCOMPARE(qint64(CheckedAdd(x, y)), a + b);
        if (overflows)
            QVERIFY_THROWS_EXCEPTION(OverflowError, CheckedInt32(a + b));
        else
            QCOMPARE(qint64(CheckedInt32(a + b)), a + b);
    }

    void checkedInt32RejectsWideValues()
    {
        QVERIFY_THROWS_EXCEPTION(OverflowError, CheckedInt32(qint64(1) << 31));
        QCOMPARE(CheckedInt32(qsizetype(10)), 10);
    }

    void theControlsCommandsRunInsideTheGuard_data()
    {
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("act");
        QTest::addColumn<QStringList>("commands");
        const auto row = [](const char *name, const char *open, const char *act,
                            const QStringList &commands) {
            QTest::newRow(name) << QString::fromLatin1(open) << QString::fromLatin1(act)
                                << commands;
        };
        row("Ctrl+F", "", "{Ctrl+F}", {"Find..."});
        row("F3", "{Ctrl+F}", "{F3}", {"Find Next"});
        row("Shift+F3", "{Ctrl+F}", "{Shift+F3}", {"Find Previous"});
        row("typing the search", "{Ctrl+F}", "y", {"Find"});
        row("Return in the search", "{Ctrl+F}", "{Return}", {"Find Next"});
        row("Shift+Return in the search", "{Ctrl+F}", "{Shift+Return}", {"Find Previous"});
        row("option key", "{Ctrl+F}", "{Alt+C}", {"Match case", "Find"});
        row("next button", "{Ctrl+F}", "click findNext", {"Find Next"});
        row("previous button", "{Ctrl+F}", "click findPrevious", {"Find Previous"});
        row("close button", "{Ctrl+F}", "click closeFind", {"Close Find"});
        row("Escape in the bar", "{Ctrl+F}", "{Esc}", {"Close Find"});
        row("Escape in the text", "{Ctrl+F}", "text {Esc}", {"Close Find"});
        row("Return in the replacement", "{Ctrl+H}", "replaceField {Return}", {"Replace"});
        row("Ctrl+Return in the replacement", "{Ctrl+H}", "replaceField {Ctrl+Return}",
            {"Replace All"});
        row("Replace button", "{Ctrl+H}", "click replaceOne", {"Replace"});
        row("Replace All button", "{Ctrl+H}", "click replaceAll", {"Replace All"});
        row("Ctrl+G", "", "{Ctrl+G}", {"Go to Line"});
        row("Return in the line field", "{Ctrl+G}", "{Return}", {"Go to Line"});
        row("Ctrl+/", "", "{Ctrl+/}", {"Toggle Comment"});
        row("fold", "", "{Ctrl+Shift+[}", {"Fold"});
        row("unfold", "", "{Ctrl+Shift+]}", {"Unfold"});
        row("fold all", "", "{Ctrl+K}{Ctrl+0}", {"Fold All"});
        row("unfold all", "", "{Ctrl+K}{Ctrl+J}", {"Unfold All"});
    }

    // Each key, button and field of the control's own commands, as the window's guard sees them:
    // one that failed would be reported as a menu command is, not end the program.
    void theControlsCommandsRunInsideTheGuard()
    {
        QFETCH(QString, open);
        QFETCH(QString, act);
        QFETCH(QStringList, commands);
        TestWindow w;
        EditorControl &code = *w.form->Code;
        QStringList ran;
        code.SetCommandGuard([&ran](const QString &command, const std::function<void()> &body) {
            ran << command;
            body();
        });
        code.SetText(QStringLiteral("If x Then\n    y = 1\nEnd If\n"));
        code.SetSelection(EditorRange{1, 4, 1, 4}, true);
        QWidget *text = code.findChild<QsciScintilla *>();
        TypeKeys(text, open);
        ran.clear();
        const QString target = act.section(QLatin1Char(' '), 0, 0);
        const QString keys = act.section(QLatin1Char(' '), 1);
        if (target == QLatin1String("click"))
            code.findChild<QAbstractButton *>(keys)->click();
        else if (target == QLatin1String("text"))
            TypeKeys(text, keys);
        else if (!keys.isEmpty())
            TypeKeys(code.findChild<QLineEdit *>(target), keys);
        else
            TypeKeys(act);
        QCOMPARE(ran, commands);
    }

    void guardReportsAFailedCommandOnceAndCarriesOn()
    {
        ScriptedPrompts prompts;
        bool after = false;
        QVERIFY(!RunCommand(prompts, QStringLiteral("Comment Selected"), [&] {
            CheckedStep(std::numeric_limits<std::int32_t>::max());
            after = true;
        }));
        QVERIFY(!after);
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY(prompts.errors[0].contains(QStringLiteral("Comment Selected")));
        QVERIFY(prompts.errors[0].contains(QStringLiteral("overflow")));
        QVERIFY(RunCommand(prompts, QStringLiteral("Undo"), [&] { after = true; }));
        QVERIFY(after);
        QCOMPARE(prompts.errors.size(), 1);
    }
};

QUILLMARK_TEST_MAIN(EditorControlTest)
#include "tst_editorcontrol.moc"
