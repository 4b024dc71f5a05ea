// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The word at the caret: its other uses on screen marked, and when they are not.
#include "editor/EditorControl.h"
#include "support/MarkedText.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"
#include "wordhighlight/WordHighlight.h"

#include <Qsci/qsciscintilla.h>

#include <QTest>

namespace
{

// The block analysis underlines marked block words with this indicator; the rest are the find
// bar's and the word highlight's, and only the latter can be on here.
constexpr long BlockMarkIndicator = 20;

/// The text with every run of marked bytes in braces.
QString Highlighted(QsciScintilla &view)
{
    const long length = view.SendScintilla(QsciScintilla::SCI_GETLENGTH);
    const auto *text =
        reinterpret_cast<const char *>(view.SendScintilla(QsciScintilla::SCI_GETCHARACTERPOINTER));
    QByteArray shown;
    bool inside = false;
    for (long at = 0; at <= length; ++at) {
        const long on = at < length ? view.SendScintilla(QsciScintilla::SCI_INDICATORALLONFOR,
                                                         static_cast<unsigned long>(at)) &
                                          ~(1L << BlockMarkIndicator)
                                    : 0;
        if ((on != 0) != inside) {
            shown += inside ? '}' : '{';
            inside = !inside;
        }
        if (at < length)
            shown += text[at];
    }
    return QString::fromUtf8(shown);
}

/// Long enough for the caret to have rested and the marks to have come, if they come at all.
void WaitPastTheRest()
{
    QTest::qWait(WordHighlight::RestMs * 2);
}

} // namespace

class WordHighlightTest : public QObject
{
    Q_OBJECT

private slots:
    void usesOfTheWordAtTheCaretAreMarked_data()
    {
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("expected");
        QTest::newRow("caret inside the word") << "Dim co|unt\ncount = count + 1"
                                               << "Dim count\n{count} = {count} + 1";
        QTest::newRow("caret at the word's end, uses in any letter case")
            << "x = Count|\nCOUNT = cOunt"
            << "x = Count\n{COUNT} = {cOunt}";
        QTest::newRow("the letter z in any case") << "x = si|ze\nSIZE = Size"
                                                  << "x = size\n{SIZE} = {Size}";
        QTest::newRow("caret at the word's start") << "|ab = ab"
                                                   << "ab = {ab}";
        QTest::newRow("whole words only") << "ab|c\nabcd abc xabc abc_ abc1 abc"
                                          << "abc\nabcd {abc} xabc abc_ abc1 {abc}";
        QTest::newRow("none in comments or strings") << "x| = 1 ' x\nMsgBox \"x\" & x"
                                                     << "x = 1 ' x\nMsgBox \"x\" & {x}";
        QTest::newRow("a selection of exactly one word") << "[count] = count"
                                                         << "count = {count}";
        QTest::newRow("non-ASCII letters are word bytes, matched as they stand")
            << "prixé| = prixé + prixÉ + prix"
            << "prixé = {prixé} + prixÉ + prix";
        QTest::newRow("a caret between words") << "count |= count"
                                               << "count = count";
        QTest::newRow("a selection of part of a word") << "[cou]nt = count"
                                                       << "count = count";
        QTest::newRow("a selection of two words") << "[a b] = a b"
                                                  << "a b = a b";
        QTest::newRow("a word in a comment") << "' co|unt\ncount"
                                             << "' count\ncount";
        QTest::newRow("a word in a string") << "\"co|unt\" & count"
                                            << "\"count\" & count";
    }

    void usesOfTheWordAtTheCaretAreMarked()
    {
        QFETCH(QString, marked);
        QFETCH(QString, expected);
        TestWindow w;
        auto *view = w.form->Code->findChild<QsciScintilla *>();
        SetMarkedText(*w.form->Code, marked);
        const bool modified = w.form->Code->IsModified();
        if (expected.contains(QLatin1Char('{')))
            QTRY_COMPARE(Highlighted(*view), expected);
        WaitPastTheRest();
        QCOMPARE(Highlighted(*view), expected);
        // Marks are decorations: the text, its history and its modified state are as they were.
        QCOMPARE(MarkedText(*w.form->Code), marked);
        QCOMPARE(w.form->Code->IsModified(), modified);
        w.form->Code->Undo();
        QCOMPARE(w.form->Code->Text(), QString());
    }

    // The marks go as the caret leaves the word, with the paint that shows it gone, and come
    // back for the next word the caret rests in.
    void theMarksFollowTheCaret()
    {
        TestWindow w;
        auto *view = w.form->Code->findChild<QsciScintilla *>();
        SetMarkedText(*w.form->Code, "a|b = ab + cd + cd");
        QTRY_COMPARE(Highlighted(*view), QStringLiteral("ab = {ab} + cd + cd"));
        TypeKeys(view, "{End}");
        QTRY_COMPARE(Highlighted(*view), QStringLiteral("ab = ab + cd + cd"));
        QTRY_COMPARE(Highlighted(*view), QStringLiteral("ab = ab + {cd} + cd"));
        TypeKeys(view, "x");
        QTRY_COMPARE(Highlighted(*view), QStringLiteral("ab = ab + cd + cdx"));
        WaitPastTheRest();
        QCOMPARE(Highlighted(*view), QStringLiteral("ab = ab + cd + cdx"));
    }

    void noMarksWhileTheFindBarMarksItsMatches()
    {
        TestWindow w;
        auto *view = w.form->Code->findChild<QsciScintilla *>();
        SetMarkedText(*w.form->Code, "|one = one");
        TypeKeys(view, "{Ctrl+F}");
        WaitPastTheRest();
        QCOMPARE(Highlighted(*view), QStringLiteral("{one} = {one}"));
        TypeKeys(nullptr, "{Escape}");
        SetMarkedText(*w.form->Code, "o|ne = one");
        QTRY_COMPARE(Highlighted(*view), QStringLiteral("one = {one}"));
    }

    // A line shown through its window is never searched, nor its words marked.
    void longLinesAreLeftAlone()
    {
        TestWindow w;
        auto *view = w.form->Code->findChild<QsciScintilla *>();
        const QString longLine = QStringLiteral("word ").repeated(8000);
        SetMarkedText(*w.form->Code, "wo|rd\nword\n" + longLine);
        QTRY_VERIFY(Highlighted(*view).startsWith(QStringLiteral("word\n{word}\nword word")));
        QVERIFY(!Highlighted(*view).mid(12).contains(QLatin1Char('{')));
        SetMarkedText(*w.form->Code, "word\nword\nwo|rd " + longLine);
        WaitPastTheRest();
        QVERIFY(!Highlighted(*view).contains(QLatin1Char('{')));
    }
};

QUILLMARK_TEST_MAIN(WordHighlightTest)
#include "tst_wordhighlight.moc"
