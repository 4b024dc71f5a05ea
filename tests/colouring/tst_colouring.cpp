// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Colouring the lines on screen first: wherever the view goes, nothing between is coloured, the
// rest follows in the background, and an edit colours only the lines it touched.
#include "colouring/QuillLexer.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"
#include "support/TestMain.h"
#include "support/Typing.h"
#include "syntax/LexerCore.h"

#include <Qsci/qsciscintilla.h>

#include <QFile>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>
#include <set>

namespace
{

using Sci = QsciScintillaBase;

constexpr int ScriptLines = 20000;

QByteArray Script(int lines)
{
    QByteArray script;
    for (int i = 0; i < lines; ++i)
        script += QByteArrayLiteral("If level >= ") + QByteArray::number(i) +
                  QByteArrayLiteral(" Then Call PlayerMessage(index, \"Hi\", vbYellow) ' note\n");
    return script;
}

/// A shown Quillcode control of a fixed size, with nothing to colour yet.
std::unique_ptr<EditorControl> ShownControl()
{
    modQuillcode::SetupLanguage();
    auto code = std::make_unique<EditorControl>();
    code->SetLanguageName(QStringLiteral("Quillcode"));
    code->resize(600, 400);
    code->show();
    if (!QTest::qWaitForWindowExposed(code.get()))
        qFatal("the editor was not shown");
    return code;
}

QsciScintilla *ViewOf(EditorControl &code)
{
    return code.findChild<QsciScintilla *>();
}

QuillLexer *LexerOf(EditorControl &code)
{
    return code.findChild<QuillLexer *>();
}

long LineStart(QsciScintilla *view, long line)
{
    return view->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

/// The style Scintilla shows at the first byte of `line`; 0 is text never coloured.
long FirstStyle(QsciScintilla *view, long line)
{
    return view->SendScintilla(Sci::SCI_GETSTYLEAT,
                               static_cast<unsigned long>(LineStart(view, line)));
}

/// The lexer's styles of lines [first, last], as one whole colouring of the same text gives them.
QByteArray FreshStyles(QsciScintilla *view, long first, long last)
{
    const long start = LineStart(view, first);
    const long end = LineStart(view, last + 1) < 0 ? view->SendScintilla(Sci::SCI_GETLENGTH)
                                                   : LineStart(view, last + 1);
    const auto *text = reinterpret_cast<const char *>(view->SendScintilla(
        Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
    modQuillcode::SetupLanguage();
    EditorControl fresh;
    fresh.SetLanguageName(QStringLiteral("Quillcode"));
    fresh.SetText(QString::fromUtf8(text, end - start));
    QsciScintilla *freshView = ViewOf(fresh);
    freshView->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    QByteArray styles;
    for (long at = 0; at < end - start; ++at)
        styles += char(QuillLexer::LexerStyle(
            int(freshView->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(at)))));
    return styles;
}

QByteArray ShownStyles(QsciScintilla *view, long first, long last)
{
    const long start = LineStart(view, first);
    const long end = LineStart(view, last + 1) < 0 ? view->SendScintilla(Sci::SCI_GETLENGTH)
                                                   : LineStart(view, last + 1);
    QByteArray styles;
    for (long at = start; at < end; ++at)
        styles += char(QuillLexer::LexerStyle(
            int(view->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(at)))));
    return styles;
}

/// The first and last document lines on screen.
std::pair<long, long> ShownLines(QsciScintilla *view)
{
    const long top = view->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long count = view->SendScintilla(Sci::SCI_LINESONSCREEN);
    return {view->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, top),
            std::min(view->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, top + count - 1),
                     view->SendScintilla(Sci::SCI_GETLINECOUNT) - 1)};
}

/// The runs of shown and hidden bytes of `line`, as "hidden 0-4096 shown 4096-8192".
QString StyleRuns(QsciScintilla *view, long line)
{
    const long start = LineStart(view, line);
    const long end =
        view->SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    QStringList runs;
    long runStart = start;
    for (long at = start; at <= end; ++at) {
        const auto hidden = [view](long position) {
            return view->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(position)) ==
                   QuillLexer::HiddenText;
        };
        if (at == end || (at > runStart && hidden(at) != hidden(runStart))) {
            runs << QStringLiteral("%1 %2-%3")
                        .arg(hidden(runStart) ? QStringLiteral("hidden") : QStringLiteral("shown"))
                        .arg(runStart - start)
                        .arg(at - start);
            runStart = at;
        }
    }
    return runs.join(QLatin1Char(' '));
}

} // namespace

class ColouringTest : public QObject
{
    Q_OBJECT

    QTemporaryDir folder_;
    QString path_;

private slots:
    void initTestCase()
    {
        path_ = folder_.filePath(QStringLiteral("large.qc"));
        QFile file(path_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(Script(ScriptLines)) > 0);
    }

    // Each case opens the script and paints without the event loop running in between, so the
    // background has coloured nothing yet.
    void onlyTheLinesOnScreenAreColouredBeforeThePaint_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("move");
        QTest::addColumn<long>("farLine");
        QTest::newRow("first screen after opening") << "paint"
                                                    << "none" << long(ScriptLines / 2);
        QTest::newRow("Ctrl+End") << "paint"
                                  << "ctrl+end" << long(ScriptLines / 2);
        QTest::newRow("Ctrl+End before any paint") << ""
                                                   << "ctrl+end" << long(ScriptLines / 2);
        QTest::newRow("Ctrl+End after typing at the top") << "paint,type"
                                                          << "ctrl+end" << long(ScriptLines / 2);
        QTest::newRow("scroll bar to the middle") << "paint"
                                                  << "scroll bar" << long(ScriptLines - 10);
        QTest::newRow("caret moved far down") << "paint"
                                              << "goto" << 100L;
        QTest::newRow("page down") << "paint"
                                   << "page down" << long(ScriptLines / 2);
    }

    void onlyTheLinesOnScreenAreColouredBeforeThePaint()
    {
        QFETCH(QString, before);
        QFETCH(QString, move);
        QFETCH(long, farLine);
        std::unique_ptr<EditorControl> code = ShownControl();
        QsciScintilla *view = ViewOf(*code);
        code->OpenFile(path_);
        if (before.contains(QLatin1String("paint")))
            view->viewport()->repaint();
        if (before.contains(QLatin1String("type")))
            TypeKeys(view, QStringLiteral("\""));
        if (move == QLatin1String("ctrl+end"))
            TypeKeys(view, QStringLiteral("{Ctrl+End}"));
        else if (move == QLatin1String("scroll bar"))
            view->verticalScrollBar()->setValue(ScriptLines / 2);
        else if (move == QLatin1String("goto"))
            view->SendScintilla(Sci::SCI_GOTOLINE, static_cast<unsigned long>(ScriptLines * 3 / 4));
        else if (move == QLatin1String("page down"))
            TypeKeys(view, QStringLiteral("{PgDown}"));
        view->viewport()->repaint();
        const auto [first, last] = ShownLines(view);
        QVERIFY(first > 0 || move == QLatin1String("none"));
        QCOMPARE(ShownStyles(view, first, last), FreshStyles(view, first, last));
        QCOMPARE(FirstStyle(view, farLine), 0L);
        QVERIFY(!LexerOf(*code)->NothingWaits());
    }

    void theRestIsColouredInTheBackgroundThenColouringStops()
    {
        std::unique_ptr<EditorControl> code = ShownControl();
        QsciScintilla *view = ViewOf(*code);
        code->OpenFile(path_);
        TypeKeys(view, QStringLiteral("{Ctrl+End}"));
        QTRY_VERIFY_WITH_TIMEOUT(LexerOf(*code)->NothingWaits(), 20000);
        const long lines = view->SendScintilla(Sci::SCI_GETLINECOUNT);
        QCOMPARE(ShownStyles(view, 0, lines - 1), FreshStyles(view, 0, lines - 1));
        QSignalSpy coloured(code.get(), &EditorControl::LinesColoured);
        view->viewport()->repaint();
        QCOMPARE(coloured.count(), 0);
    }

    void anEditColoursOnlyTheLinesItTouched_data()
    {
        // A column of -1 is the line end; a negative count removes that many whole lines.
        QTest::addColumn<long>("line");
        QTest::addColumn<long>("column");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<long>("first");
        QTest::addColumn<long>("last");
        QTest::newRow("quote typed on a shown line") << 3L << 0L << 0 << "\"" << 3L << 3L;
        QTest::newRow("line end removed") << 3L << -1L << 1 << "" << 3L << 3L;
        QTest::newRow("two lines pasted at a line start") << 3L << 0L << 0 << "x\ny\n" << 3L << 5L;
        QTest::newRow("comment mark below the screen") << 150L << 0L << 0 << "'" << 150L << 150L;
        QTest::newRow("ten lines pasted over ten lines below the screen")
            << 150L << 0L << -10 << "Sub A\n\"\n'\nIf\nx\nEnd Sub\n1\n2\n3\n4\n"
            << 150L << 159L;
    }

    void anEditColoursOnlyTheLinesItTouched()
    {
        QFETCH(long, line);
        QFETCH(long, column);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        QFETCH(long, first);
        QFETCH(long, last);
        std::unique_ptr<EditorControl> code = ShownControl();
        QsciScintilla *view = ViewOf(*code);
        code->SetText(QString::fromUtf8(Script(200)));
        QTRY_VERIFY(LexerOf(*code)->NothingWaits());
        QSignalSpy coloured(code.get(), &EditorControl::LinesColoured);
        const long at = column < 0 ? view->SendScintilla(Sci::SCI_GETLINEENDPOSITION, line)
                                   : LineStart(view, line) + column;
        const long end = removed < 0 ? LineStart(view, line - removed) : at + removed;
        view->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(at), end);
        view->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(-1),
                            inserted.toUtf8().constData());
        view->viewport()->repaint();
        QTRY_VERIFY(LexerOf(*code)->NothingWaits());
        std::set<long> reported;
        for (const QList<QVariant> &signal : coloured)
            for (int l = signal[0].toInt(); l <= signal[1].toInt(); ++l)
                reported.insert(l);
        std::set<long> expected;
        for (long l = first; l <= last; ++l)
            expected.insert(l);
        QCOMPARE(reported, expected);
        const long lines = view->SendScintilla(Sci::SCI_GETLINECOUNT);
        QCOMPARE(ShownStyles(view, 0, lines - 1), FreshStyles(view, 0, lines - 1));
    }

    // Scintilla measures a visible line whole each time it changes, so a long line shows only a
    // window of tiles around the caret, in the plain style; the rest is in an invisible style.
    // Rows: the line's length, where the caret goes (-1: the line above), what is done then, the
    // runs of shown and hidden bytes expected in the line.
    void aLongLineIsShownThroughAWindowAroundTheCaret_data()
    {
        QTest::addColumn<int>("lineBytes");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("runs");
        QTest::newRow("at the limit: coloured whole")
            << 32768 << -1 << QString() << QStringLiteral("shown 0-32768");
        QTest::newRow("just over the limit, caret above")
            << 32769 << -1 << QString() << QStringLiteral("shown 0-8192 hidden 8192-32769");
        QTest::newRow("caret in the middle")
            << 40000 << 20000 << QString()
            << QStringLiteral("hidden 0-12288 shown 12288-24576 hidden 24576-40000");
        QTest::newRow("caret just before a tile edge")
            << 40000 << 16383 << QString()
            << QStringLiteral("hidden 0-8192 shown 8192-20480 hidden 20480-40000");
        QTest::newRow("caret at the end")
            << 40000 << 40000 << QString() << QStringLiteral("hidden 0-32768 shown 32768-40000");
        QTest::newRow("window edge inside a character")
            << 40000 << 20000 << QStringLiteral("accent at 12287")
            << QStringLiteral("hidden 0-12289 shown 12289-24576 hidden 24576-40000");
        QTest::newRow("typing keeps the window")
            << 40000 << 20000 << QStringLiteral("type")
            << QStringLiteral("hidden 0-12288 shown 12288-24577 hidden 24577-40001");
        QTest::newRow("deleting keeps the window")
            << 40000 << 20000 << QStringLiteral("delete")
            << QStringLiteral("hidden 0-12288 shown 12288-24575 hidden 24575-39999");
        QTest::newRow("leaving the line keeps its window")
            << 40000 << 20000 << QStringLiteral("leave")
            << QStringLiteral("hidden 0-12288 shown 12288-24576 hidden 24576-40000");
    }

    void aLongLineIsShownThroughAWindowAroundTheCaret()
    {
        QFETCH(int, lineBytes);
        QFETCH(int, caret);
        QFETCH(QString, action);
        QFETCH(QString, runs);
        std::unique_ptr<EditorControl> code = ShownControl();
        QsciScintilla *view = ViewOf(*code);
        QByteArray middle = "If x" + QByteArray(lineBytes - 4, 'a');
        if (action == QStringLiteral("accent at 12287"))
            middle.replace(12287, 2, "\xC3\xA9");
        const QByteArray text = "If a\n" + middle + "\nIf b";
        code->SetText(QString::fromUtf8(text));
        if (caret >= 0)
            view->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(5 + caret));
        view->viewport()->repaint();
        QTRY_VERIFY(lineBytes <= QuillLexer::LongLineBytes ||
                    StyleRuns(view, 1).startsWith(QStringLiteral("hidden")) ||
                    StyleRuns(view, 1).contains(QStringLiteral(" hidden")));
        if (action == QStringLiteral("type"))
            TypeKeys(view, QStringLiteral("x"));
        if (action == QStringLiteral("delete"))
            TypeKeys(view, QStringLiteral("{Backspace}"));
        if (action == QStringLiteral("leave"))
            view->SendScintilla(Sci::SCI_DOCUMENTEND);
        view->viewport()->repaint();
        QTRY_COMPARE(StyleRuns(view, 1), runs);
        QCOMPARE(FirstStyle(view, 0), long(LexerCore::Keyword));
        QCOMPARE(FirstStyle(view, 2), long(LexerCore::Keyword));
        if (action != QStringLiteral("type") && action != QStringLiteral("delete"))
            QCOMPARE(code->Text().toUtf8(), text);
    }

    // Several changes at once (a rectangle, its undo) tell the lexer only where the first one
    // is; whatever comes on screen afterwards must still show its own colours.
    void everyShownLineIsRightAfterEditsAnywhere_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 6; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    void everyShownLineIsRightAfterEditsAnywhere()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        std::unique_ptr<EditorControl> code = ShownControl();
        QsciScintilla *view = ViewOf(*code);
        code->SetText(QString::fromUtf8(Script(400)));
        QTRY_VERIFY(LexerOf(*code)->NothingWaits());
        const char *pieces[] = {"\"", "'", "\n", "If x", "\r\n\"a\" ' b\n", ""};
        for (int step = 0; step < 12; ++step) {
            const long lines = view->SendScintilla(Sci::SCI_GETLINECOUNT);
            const long line = random.bounded(int(lines - 1));
            const int kind = random.bounded(4);
            if (kind == 0) {
                // A rectangle over many lines, most of them off screen, emptied at once.
                view->SendScintilla(Sci::SCI_SETRECTANGULARSELECTIONANCHOR,
                                    static_cast<unsigned long>(LineStart(view, line) + 4));
                view->SendScintilla(Sci::SCI_SETRECTANGULARSELECTIONCARET,
                                    static_cast<unsigned long>(
                                        LineStart(view, std::min(lines - 1, line + 120)) + 20));
                view->SendScintilla(Sci::SCI_CLEAR);
            } else if (kind == 1) {
                view->SendScintilla(Sci::SCI_UNDO);
            } else {
                const long at = LineStart(view, line) + random.bounded(10);
                view->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(at),
                                    at + random.bounded(3));
                view->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(-1),
                                    pieces[random.bounded(6)]);
            }
            view->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                                static_cast<unsigned long>(random.bounded(int(lines))));
            view->viewport()->repaint();
            const auto [first, last] = ShownLines(view);
            QCOMPARE(ShownStyles(view, first, last), FreshStyles(view, first, last));
            if (random.bounded(2))
                QTRY_VERIFY(LexerOf(*code)->NothingWaits());
        }
    }
};

QUILLMARK_TEST_MAIN(ColouringTest)
#include "tst_colouring.moc"
