// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Edit and Tools commands through the main window: Comment Selected, Undo, Redo and the
// clipboard, plus the line-start edit they rely on and the checked line counter.
#include "app/CommandGuard.h"
#include "app/frmMain.h"
#include "common/EditorError.h"
#include "editing/CommentSelected.h"
#include "editor/EditorControl.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

#include <limits>

char *toString(const EditorRange &range)
{
    return QTest::toString(QStringLiteral("(%1,%2)-(%3,%4)")
                               .arg(range.StartLine)
                               .arg(range.StartColumn)
                               .arg(range.EndLine)
                               .arg(range.EndColumn));
}

namespace
{

constexpr std::int32_t Top = std::numeric_limits<std::int32_t>::max();

struct Window : TestWindow {

    /// Loads `text` from a file, so the undo history starts empty.
    void Open(const QString &text)
    {
        QFile file(dir.filePath(QStringLiteral("script.qc")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();
        form->Code->OpenFile(file.fileName());
    }

    QTemporaryDir dir;
};

/// `text` with `mark` in front of lines `first` to `last`, whatever their line ends.
QString Prefixed(const QString &text, int first, int last, const QString &mark)
{
    QString result;
    int line = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool lineStart = i == 0 || text[i - 1] == QLatin1Char('\n') ||
                               (text[i - 1] == QLatin1Char('\r') &&
                                (i == text.size() || text[i] != QLatin1Char('\n')));
        if (i > 0 && lineStart)
            ++line;
        if (lineStart && line >= first && line <= last)
            result += mark;
        if (i < text.size())
            result += text[i];
    }
    return result;
}

/// A control that holds any line number, for driving the line counter to the top of its range.
struct FakeCode {
    struct Edit {
        FakeCode &code;
        std::vector<std::int32_t> queued;
        void InsertAtLineStart(std::int32_t line, const QString &text)
        {
            QCOMPARE(text, QStringLiteral("'"));
            queued.push_back(line);
        }
        void Apply() { code.commented.insert(code.commented.end(), queued.begin(), queued.end()); }
    };

    QString CommentToken() const { return QStringLiteral("'"); }
    EditorRange GetSelection(bool) const { return selection; }
    void SetSelection(const EditorRange &range, bool) { restored.push_back(range); }
    Edit BeginLineStartEdit() { return Edit{*this, {}}; }

    EditorRange selection;
    std::vector<std::int32_t> commented;
    std::vector<EditorRange> restored;
};

} // namespace

class EditingTest : public QObject
{
    Q_OBJECT

private slots:
    void commentSelected_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<EditorRange>("selection");
        QTest::addColumn<int>("runs");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<EditorRange>("restored");
        const QString seven = QStringLiteral("zero\none\ntwo\nthree\nfour\nfive\nsix");
        const QString threeToFive = QStringLiteral("zero\none\ntwo\n'three\n'four\n'five\nsix");
        QTest::newRow("line 3 col 5 to line 5 col 2")
            << seven << EditorRange{3, 5, 5, 2} << 1 << threeToFive << EditorRange{3, 5, 5, 2};
        QTest::newRow("made bottom to top")
            << seven << EditorRange{5, 2, 3, 5} << 1 << threeToFive << EditorRange{3, 5, 5, 2};
        const QString oneAndTwo = QStringLiteral("zero\n'one\n'two\nthree\nfour\nfive\nsix");
        QTest::newRow("drag ending at column 0 of the next line")
            << seven << EditorRange{1, 0, 3, 0} << 1 << oneAndTwo << EditorRange{1, 0, 3, 0};
        QTest::newRow("ending at column 1 takes that line")
            << seven << EditorRange{1, 0, 3, 1} << 1
            << QStringLiteral("zero\n'one\n'two\n'three\nfour\nfive\nsix")
            << EditorRange{1, 0, 3, 1};
        QTest::newRow("inside a line to column 0 of the next")
            << seven << EditorRange{1, 3, 2, 0} << 1
            << QStringLiteral("zero\n'one\ntwo\nthree\nfour\nfive\nsix") << EditorRange{1, 3, 2, 0};
        QTest::newRow("caret at column 0")
            << seven << EditorRange{2, 0, 2, 0} << 1
            << QStringLiteral("zero\none\n'two\nthree\nfour\nfive\nsix") << EditorRange{2, 0, 2, 0};
        QTest::newRow("caret with nothing selected")
            << "abc" << EditorRange{0, 3, 0, 3} << 1 << "'abc" << EditorRange{0, 3, 0, 3};
        QTest::newRow("twice on one line") << "x = 1\ny = 2" << EditorRange{1, 2, 1, 2} << 2
                                           << "x = 1\n''y = 2" << EditorRange{1, 2, 1, 2};
        QTest::newRow("empty, indented and commented lines")
            << "a\n\n    ' note\n\tb" << EditorRange{0, 0, 3, 2} << 1 << "'a\n'\n'    ' note\n'\tb"
            << EditorRange{0, 0, 3, 2};
        QTest::newRow("CRLF and CR line ends") << "a\r\nb\rc\r\nd" << EditorRange{0, 1, 2, 1} << 1
                                               << "'a\r\n'b\r'c\r\nd" << EditorRange{0, 1, 2, 1};
        QTest::newRow("columns count characters")
            << "ñandú €1\nwörld" << EditorRange{0, 6, 1, 3} << 1 << "'ñandú €1\n'wörld"
            << EditorRange{0, 6, 1, 3};
        QTest::newRow("empty text")
            << "" << EditorRange{0, 0, 0, 0} << 1 << "'" << EditorRange{0, 0, 0, 0};
    }

    void commentSelected()
    {
        QFETCH(QString, text);
        QFETCH(EditorRange, selection);
        QFETCH(int, runs);
        QFETCH(QString, expected);
        QFETCH(EditorRange, restored);
        Window w;
        w.Open(text);
        w.form->Code->SetSelection(selection, true);
        for (int run = 0; run < runs; ++run)
            w.form->mCommentSelected->trigger();
        QCOMPARE(w.form->Code->Text(), expected);
        QCOMPARE(w.form->Code->GetSelection(true), restored);
        QVERIFY(w.prompts->errors.isEmpty());
    }

    void wholeLinesSelectedWithKeys_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        const QString oneAndTwo = QStringLiteral("zero\n'one\n'two\nthree");
        QTest::newRow("Shift+Down twice") << 1 << 0 << "{Shift+Down}{Shift+Down}" << oneAndTwo;
        QTest::newRow("Shift+Up twice") << 3 << 0 << "{Shift+Up}{Shift+Up}" << oneAndTwo;
        QTest::newRow("Shift+Down twice from column 2")
            << 1 << 2 << "{Shift+Down}{Shift+Down}" << QStringLiteral("zero\n'one\n'two\n'three");
    }

    // The caret is placed through the control, which Up and Down must then keep the column of.
    void wholeLinesSelectedWithKeys()
    {
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        Window w;
        w.Open(QStringLiteral("zero\none\ntwo\nthree"));
        w.form->Code->SetSelection(EditorRange{line, column, line, column}, true);
        TypeKeys(w.form->Code->focusWidget(), keys);
        const EditorRange selected = w.form->Code->GetSelection(true);
        w.form->mCommentSelected->trigger();
        QCOMPARE(w.form->Code->Text(), expected);
        QCOMPARE(w.form->Code->GetSelection(true), selected);
    }

    void oneUndoTakesBackTheWholeCommandAndRedoRepeatsIt()
    {
        // Several megabytes, so the command rewrites the text in more than one piece.
        constexpr int lines = 300000;
        QString original;
        for (int line = 0; line < lines; ++line)
            original +=
                QStringLiteral("    Call Señal(%1)%2").arg(line).arg(line % 3 ? "\r\n" : "\n");
        Window w;
        w.Open(original);
        w.form->Code->SetSelection(EditorRange{20, 0, 20, 0}, true);
        TypeKeys(w.form->Code->focusWidget(), QStringLiteral("Z"));
        const QString typed = w.form->Code->Text();
        w.form->Code->SetSelection(EditorRange{lines - 5, 3, 10, 7}, true);
        w.form->mCommentSelected->trigger();
        const QString commented = w.form->Code->Text();
        QCOMPARE(commented, Prefixed(typed, 10, lines - 5, QStringLiteral("'")));

        TypeKeys(w.form->Code->focusWidget(), QStringLiteral("{Ctrl+Z}"));
        QCOMPARE(w.form->Code->Text(), typed);
        QCOMPARE(w.form->Code->GetSelection(true), (EditorRange{10, 0, 10, 0}));
        TypeKeys(w.form->Code->focusWidget(), QStringLiteral("{Ctrl+R}"));
        QCOMPARE(w.form->Code->Text(), commented);
        QCOMPARE(w.form->Code->GetSelection(true), (EditorRange{lines - 5, 1, lines - 5, 1}));
        TypeKeys(w.form->Code->focusWidget(), QStringLiteral("{Ctrl+Z}{Ctrl+Z}"));
        QCOMPARE(w.form->Code->Text(), original);
        QVERIFY(!w.form->Code->CanUndo());
    }

    void commandsDoNothingWhenTheControlSaysNo_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("Undo with nothing to undo") << QStringLiteral("{Ctrl+Z}") << "kept";
        QTest::newRow("Redo with nothing to redo") << QStringLiteral("{Ctrl+R}") << "kept";
        QTest::newRow("Cut with nothing selected") << QStringLiteral("{Ctrl+X}") << "kept";
        QTest::newRow("Copy with nothing selected") << QStringLiteral("{Ctrl+C}") << "kept";
        QTest::newRow("Paste with no text to paste") << QStringLiteral("{Ctrl+V}") << "";
    }

    void commandsDoNothingWhenTheControlSaysNo()
    {
        QFETCH(QString, key);
        QFETCH(QString, clipboard);
        Window w;
        w.Open(QStringLiteral("Dim x\nx = 1"));
        w.form->Code->SetSelection(EditorRange{1, 2, 1, 2}, true);
        if (clipboard.isEmpty())
            QApplication::clipboard()->setMimeData(new QMimeData);
        else
            QApplication::clipboard()->setText(clipboard);
        const EditorControl &code = *w.form->Code;
        QVERIFY(!code.CanUndo() && !code.CanRedo() && !code.CanCut() && !code.CanCopy());
        QCOMPARE(code.CanPaste(), !clipboard.isEmpty());

        TypeKeys(w.form->Code->focusWidget(), key);
        QCOMPARE(code.Text(), QStringLiteral("Dim x\nx = 1"));
        QCOMPARE(code.GetSelection(true), (EditorRange{1, 2, 1, 2}));
        QCOMPARE(QApplication::clipboard()->text(), clipboard);
        QVERIFY(w.prompts->errors.isEmpty());
    }

    void clipboardCommandsMoveTextThroughTheSystemClipboard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<EditorRange>("selection");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("clipboardBefore");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("clipboardAfter");
        QTest::newRow("Copy") << "Dim name\nname = 1" << EditorRange{0, 4, 1, 4} << "{Ctrl+C}"
                              << "old"
                              << "Dim name\nname = 1"
                              << "name\nname";
        QTest::newRow("Cut") << "Dim name\nname = 1" << EditorRange{0, 3, 1, 4} << "{Ctrl+X}"
                             << "old"
                             << "Dim = 1"
                             << " name\nname";
        QTest::newRow("Paste over the selection")
            << "x = 1" << EditorRange{0, 4, 0, 5} << "{Ctrl+V}"
            << "GetPlayerLevel(1)"
            << "x = GetPlayerLevel(1)"
            << "GetPlayerLevel(1)";
        QTest::newRow("Paste into CRLF text") << "a\r\nb" << EditorRange{1, 0, 1, 0} << "{Ctrl+V}"
                                              << "x\ny\n"
                                              << "a\r\nx\r\ny\r\nb"
                                              << "x\ny\n";
        QTest::newRow("Paste into LF text") << "a\nb" << EditorRange{1, 0, 1, 0} << "{Ctrl+V}"
                                            << "x\r\ny\r\n"
                                            << "a\nx\ny\nb"
                                            << "x\r\ny\r\n";
        QTest::newRow("Paste into CR text") << "a\rb" << EditorRange{1, 0, 1, 0} << "{Ctrl+V}"
                                            << "x\r\ny\n"
                                            << "a\rx\ry\rb"
                                            << "x\r\ny\n";
    }

    void clipboardCommandsMoveTextThroughTheSystemClipboard()
    {
        QFETCH(QString, text);
        QFETCH(EditorRange, selection);
        QFETCH(QString, key);
        QFETCH(QString, clipboardBefore);
        QFETCH(QString, expected);
        QFETCH(QString, clipboardAfter);
        Window w;
        w.Open(text);
        w.form->Code->SetSelection(selection, true);
        QApplication::clipboard()->setText(clipboardBefore);
        TypeKeys(w.form->Code->focusWidget(), key);
        QCOMPARE(w.form->Code->Text(), expected);
        QCOMPARE(QApplication::clipboard()->text(), clipboardAfter);
        QVERIFY(w.prompts->errors.isEmpty());
    }

    void lineStartEditMatchesInsertionsMadeOneByOne_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one line") << "a\nb\nc" << QList<int>{1} << QStringList{"#"} << "a\n#b\nc";
        QTest::newRow("last line") << "a\nb\n" << QList<int>{2} << QStringList{"#"} << "a\nb\n#";
        QTest::newRow("lines with gaps") << "a\nb\nc\nd\ne" << QList<int>{0, 2, 3}
                                         << QStringList{"#", "#", "#"} << "#a\nb\n#c\n#d\ne";
        QTest::newRow("different marks") << "a\r\nb\r\nc" << QList<int>{0, 1, 2}
                                         << QStringList{"'", "Rem ", "€"} << "'a\r\nRem b\r\n€c";
    }

    void lineStartEditMatchesInsertionsMadeOneByOne()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, lines);
        QFETCH(QStringList, marks);
        QFETCH(QString, expected);
        Window w;
        w.Open(text);
        EditorControl &code = *w.form->Code;
        auto edit = code.BeginLineStartEdit();
        for (qsizetype i = 0; i < lines.size(); ++i)
            edit.InsertAtLineStart(lines[i], marks[i]);
        QCOMPARE(code.Text(), text);
        edit.Apply();
        QCOMPARE(code.Text(), expected);

        EditorRange afterLast{lines.back(), int(marks.back().size()), lines.back(),
                              int(marks.back().size())};
        code.Undo();
        QCOMPARE(code.Text(), text);
        QCOMPARE(code.GetSelection(true), (EditorRange{lines.front(), 0, lines.front(), 0}));
        QVERIFY(!code.CanUndo());
        code.Redo();
        QCOMPARE(code.Text(), expected);
        QCOMPARE(code.GetSelection(true), afterLast);
    }

    void lineStartEditRefusesBadLinesBeforeChangingAnything_data()
    {
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QString>("mark");
        QTest::newRow("past the last line") << QList<int>{0, 1, 3} << "'";
        QTest::newRow("negative") << QList<int>{-1} << "'";
        QTest::newRow("out of order") << QList<int>{1, 0} << "'";
        QTest::newRow("the same line twice") << QList<int>{1, 1} << "'";
        QTest::newRow("a line end in the text") << QList<int>{0, 1} << "x\r";
    }

    void lineStartEditRefusesBadLinesBeforeChangingAnything()
    {
        QFETCH(QList<int>, lines);
        QFETCH(QString, mark);
        Window w;
        w.Open(QStringLiteral("a\nb\nc"));
        EditorControl &code = *w.form->Code;
        QVERIFY_THROWS_EXCEPTION(EditorError, {
            auto edit = code.BeginLineStartEdit();
            for (int line : lines)
                edit.InsertAtLineStart(line, mark);
            edit.Apply();
        });
        QCOMPARE(code.Text(), QStringLiteral("a\nb\nc"));
        QVERIFY(!code.CanUndo());
    }

    void lineCounterIsChecked_data()
    {
        QTest::addColumn<EditorRange>("selection");
        QTest::addColumn<bool>("overflows");
        QTest::addColumn<QList<int>>("commented");
        QTest::newRow("ends at the top") << EditorRange{Top - 2, 4, Top, 1} << true << QList<int>{};
        QTest::newRow("ends at column 0 of the top line")
            << EditorRange{Top - 2, 0, Top, 0} << false << QList<int>{Top - 2, Top - 1};
        QTest::newRow("ends below the top") << EditorRange{Top - 3, 0, Top - 1, 2} << false
                                            << QList<int>{Top - 3, Top - 2, Top - 1};
        QTest::newRow("start after end") << EditorRange{5, 0, 3, 0} << false << QList<int>{};
    }

    void lineCounterIsChecked()
    {
        QFETCH(EditorRange, selection);
        QFETCH(bool, overflows);
        QFETCH(QList<int>, commented);
        ScriptedPrompts prompts;
        FakeCode code;
        code.selection = selection;
        const bool completed = RunCommand(prompts, QStringLiteral("Comment Selected"),
                                          [&] { CommentSelected::CommentLines(code); });
        QCOMPARE(completed, !overflows);
        QCOMPARE(QList<int>(code.commented.begin(), code.commented.end()), commented);
        if (overflows) {
            QCOMPARE(prompts.errors.size(), 1);
            QVERIFY(prompts.errors[0].contains(QStringLiteral("Comment Selected")));
            QVERIFY(prompts.errors[0].contains(QStringLiteral("overflow")));
            QVERIFY(code.restored.empty());
        } else {
            QVERIFY(prompts.errors.isEmpty());
            QCOMPARE(code.restored, std::vector<EditorRange>{selection});
        }

        // The next command runs as usual.
        code.selection = EditorRange{1, 0, 2, 0};
        code.commented.clear();
        QVERIFY(RunCommand(prompts, QStringLiteral("Comment Selected"),
                           [&] { CommentSelected::CommentLines(code); }));
        QCOMPARE(code.commented, (std::vector<std::int32_t>{1}));
    }
};

QUILLMARK_TEST_MAIN(EditingTest)
#include "tst_editing.moc"
