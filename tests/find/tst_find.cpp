// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Find and replace through the real main window: the bar's keys, searching, counting, marking the
// matches on screen, and replacing with one Undo that gives back every byte of the file.
#include "editor/EditorControl.h"
#include "find/FindBar.h"
#include "support/ContextMenu.h"
#include "support/FileBytes.h"
#include "support/MarkedText.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace
{

enum Option { None = 0, Case = 1, Word = 2, Regex = 4 };

struct Window : TestWindow {
    Window() { view = form->Code->findChild<QsciScintilla *>(); }

    FindBar *Bar() const { return form->Code->findChild<FindBar *>(); }
    QLineEdit *Field(const char *name) const
    {
        return Bar()->findChild<QLineEdit *>(QLatin1String(name));
    }
    QLineEdit *SearchField() const { return Field("searchField"); }
    QString Status() const
    {
        return Bar()->findChild<QLabel *>(QStringLiteral("findStatus"))->text();
    }
    bool Wrapped() const
    {
        return Bar()->findChild<QLabel *>(QStringLiteral("wrappedNote"))->isVisible();
    }
    QCheckBox *Box(const char *name) const
    {
        return Bar()->findChild<QCheckBox *>(QLatin1String(name));
    }

    void SetText(const QString &marked) { SetMarkedText(*form->Code, marked); }
    QString MarkedText() const { return ::MarkedText(*form->Code); }

    // Opens the bar (Ctrl+H with the replace row), sets the options by their Alt keys and types
    // the search text.
    void Find(const QString &pattern, int options, bool replace = false) const
    {
        QString keys = replace ? QStringLiteral("{Ctrl+H}") : QStringLiteral("{Ctrl+F}");
        const std::pair<Option, const char *> boxes[] = {
            {Case, "{Alt+C}"}, {Word, "{Alt+W}"}, {Regex, "{Alt+R}"}};
        for (const auto &[option, key] : boxes) {
            if (options & option)
                keys += QLatin1StringView(key);
        }
        TypeKeys(keys);
        TypeKeys(SearchField(), pattern);
    }

    // Replaces every match in the replace field's way: Ctrl+Return there.
    void ReplaceAll(const QString &pattern, int options, const QString &replacement) const
    {
        Find(pattern, options, true);
        // A line end gets into the field only by pasting.
        if (replacement.contains(QLatin1Char('\n'))) {
            QApplication::clipboard()->setText(replacement);
            TypeKeys(Field("replaceField"), QStringLiteral("{Ctrl+V}"));
        } else {
            TypeKeys(Field("replaceField"), replacement);
        }
        TypeKeys(Field("replaceField"), QStringLiteral("{Ctrl+Return}"));
    }

    long IndicatorAt(const QString &line, int lineNumber) const
    {
        const long position = view->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, lineNumber) +
                              line.indexOf(QLatin1Char('x'));
        return view->SendScintilla(QsciScintilla::SCI_INDICATORALLONFOR, position);
    }

    QsciScintilla *view = nullptr;
};

} // namespace

class FindTest : public QObject
{
    Q_OBJECT

private slots:
    void findingFromTheKeyboard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("wrapped");
        const QString give = QStringLiteral("|' x\nCall GivePlayerEXP(i)\ncall giveplayerexp(j)");
        QTest::newRow("plain ignores case") << give << "giveplayerexp(" << int(None) << ""
                                            << "' x\nCall [GivePlayerEXP(]i)\ncall giveplayerexp(j)"
                                            << "1 of 2" << false;
        QTest::newRow("match case") << give << "giveplayerexp(" << int(Case) << ""
                                    << "' x\nCall GivePlayerEXP(i)\ncall [giveplayerexp(]j)"
                                    << "1 of 1" << false;
        QTest::newRow("whole word") << "| \nlevels level_2 level"
                                    << "level" << int(Word) << ""
                                    << " \nlevels level_2 [level]"
                                    << "1 of 1" << false;
        QTest::newRow("regex, then the next") << "| \nGive(a) give(bb)"
                                              << "give\\((\\w+)\\)" << int(Regex) << "{F3}"
                                              << " \nGive(a) [give(bb)]"
                                              << "2 of 2" << false;
        QTest::newRow("next by Return") << "| x x x"
                                        << "x" << int(None) << "{Return}{Return}"
                                        << " x x [x]"
                                        << "3 of 3" << false;
        QTest::newRow("typing wraps to the start") << "' x\n' x |"
                                                   << "x" << int(None) << ""
                                                   << "' [x]\n' x "
                                                   << "1 of 2" << true;
        QTest::newRow("next wraps to the start") << "| x\n x"
                                                 << "x" << int(None) << "{F3}{F3}"
                                                 << " [x]\n x"
                                                 << "1 of 2" << true;
        QTest::newRow("next after an empty match at the end wraps")
            << "|a\nb"
            << "$" << int(Regex) << "{F3}{F3}"
            << "a|\nb"
            << "1 of 2" << true;
        QTest::newRow("previous wraps to the end") << "| x\n x"
                                                   << "x" << int(None) << "{Shift+F3}"
                                                   << " x\n [x]"
                                                   << "2 of 2" << true;
        QTest::newRow("previous from an empty match at the end")
            << "a\nb |"
            << "$" << int(Regex) << "{Shift+F3}"
            << "a|\nb "
            << "1 of 2" << false;
        QTest::newRow("previous by Shift+Return") << "| x x"
                                                  << "x" << int(None) << "{F3}{Shift+Return}"
                                                  << " [x] x"
                                                  << "1 of 2" << false;
        QTest::newRow("no match keeps the last") << "| abc"
                                                 << "abd" << int(None) << ""
                                                 << " [ab]c"
                                                 << "No matches" << false;
        QTest::newRow("invalid regex") << "| (a)"
                                       << "(a" << int(Regex) << ""
                                       << "| (a)"
                                       << "Invalid pattern: missing closing parenthesis" << false;
        // The last match found, while the pattern was typed, stays selected.
        QTest::newRow("expression too complex for the text")
            << "| " + QString(30, u'a') + "b"
            << "(a+)+$" << int(Regex) << "{F3}"
            << " [" + QString(30, u'a') + "]b"
            << "The expression is too complex for this text" << false;
        QTest::newRow("across a multi-byte character") << "| = \"Ça coûte 5€.\""
                                                       << "E 5€" << int(None) << ""
                                                       << " = \"Ça coût[e 5€].\""
                                                       << "1 of 1" << false;
        QTest::newRow("accented capitals") << "| ça ÇA"
                                           << "ÇA" << int(Case) << ""
                                           << " ça [ÇA]"
                                           << "1 of 1" << false;
        QTest::newRow("line ends in a selection counted") << "[a\nb]\nc"
                                                          << "$" << int(Regex) << ""
                                                          << "[a\nb]\nc"
                                                          << "2 in selection" << false;
        QTest::newRow("multi-line selection stays") << "[a x\nx]"
                                                    << "x" << int(None) << ""
                                                    << "[a x\nx]"
                                                    << "2 in selection" << false;
    }

    void findingFromTheKeyboard()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, options);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        QFETCH(QString, status);
        QFETCH(bool, wrapped);
        Window w;
        w.SetText(text);
        w.Find(pattern, options);
        TypeKeys(keys);
        QCOMPARE(w.MarkedText(), expected);
        QTRY_COMPARE(w.Status(), status);
        QCOMPARE(w.Wrapped(), wrapped);
        const bool red = w.SearchField()->palette().color(QPalette::Base) !=
                         w.Box("matchCase")->palette().color(QPalette::Base);
        QCOMPARE(red, status.startsWith(QLatin1String("No")) ||
                          status.startsWith(QLatin1String("Invalid")) ||
                          status.contains(QLatin1String("too complex")));
    }

    void openingSeedsTheSearchText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("seed");
        QTest::newRow("selection") << "Call [GivePlayer]EXP(i)" << int(None) << "GivePlayer";
        QTest::newRow("word at the caret")
            << "Call Give|PlayerEXP(i)" << int(None) << "GivePlayerEXP";
        QTest::newRow("no word: last text kept") << "a = |  b" << int(None) << "earlier";
        QTest::newRow("lines: last text kept") << "[a\nb]" << int(None) << "earlier";
        QTest::newRow("longest selection")
            << "[" + QString(1000, u'a') + "]" << int(None) << QString(1000, u'a');
        QTest::newRow("longer: last text kept")
            << "[" + QString(1001, u'a') + "]" << int(None) << "earlier";
        QTest::newRow("escaped for a regex") << "x = [a.b(]1)" << int(Regex) << "a\\.b\\(";
    }

    void openingSeedsTheSearchText()
    {
        QFETCH(QString, text);
        QFETCH(int, options);
        QFETCH(QString, seed);
        Window w;
        w.Find(QStringLiteral("earlier"), options);
        TypeKeys(QStringLiteral("{Esc}"));
        w.SetText(text);
        TypeKeys(QStringLiteral("{Ctrl+F}"));
        QCOMPARE(w.SearchField()->text(), seed);
        QCOMPARE(QApplication::focusWidget(), w.SearchField());
        QCOMPARE(w.SearchField()->selectedText(), seed);
    }

    void escapeClosesAndKeepsTheMatch()
    {
        Window w;
        w.SetText(QStringLiteral("| Dim level\nlevel = 1"));
        w.Find(QStringLiteral("level"), None, true);
        QVERIFY(w.Field("replaceField")->isVisible());
        TypeKeys(QStringLiteral("{F3}{Esc}"));
        QVERIFY(!w.Bar()->isVisible());
        QCOMPARE(QApplication::focusWidget(), w.view);
        QCOMPARE(w.MarkedText(), QStringLiteral(" Dim level\n[level] = 1"));
        // Ctrl+F from the text keeps the search, and opens without the replace row.
        TypeKeys(QStringLiteral("{Ctrl+F}"));
        QCOMPARE(w.SearchField()->text(), QStringLiteral("level"));
        QVERIFY(!w.Field("replaceField")->isVisible());
        // Escape in the text closes the bar as well.
        w.view->setFocus();
        TypeKeys(QStringLiteral("{Esc}"));
        QVERIFY(!w.Bar()->isVisible());
    }

    void optionKeysWorkOnlyWhileTheBarIsOpen_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("box");
        QTest::newRow("Alt+C") << "{Alt+C}"
                               << "matchCase";
        QTest::newRow("Alt+W") << "{Alt+W}"
                               << "wholeWord";
        QTest::newRow("Alt+R") << "{Alt+R}"
                               << "regularExpression";
    }

    void optionKeysWorkOnlyWhileTheBarIsOpen()
    {
        QFETCH(QString, key);
        QFETCH(QString, box);
        Window w;
        TypeKeys(QStringLiteral("{Ctrl+F}"));
        w.view->setFocus();
        TypeKeys(key);
        QCOMPARE(w.Box(qPrintable(box))->isChecked(), true);
        TypeKeys(QStringLiteral("{Esc}"));
        TypeKeys(key);
        QCOMPARE(w.Box(qPrintable(box))->isChecked(), true);
        // The options last from one opening to the next.
        TypeKeys(QStringLiteral("{Ctrl+F}"));
        TypeKeys(key);
        QCOMPARE(w.Box(qPrintable(box))->isChecked(), false);
    }

    void replaceTakesTheMatchAndMovesOn()
    {
        Window w;
        w.SetText(QStringLiteral("| Give(1) Give(2)"));
        w.Find(QStringLiteral("Give\\((\\d)\\)"), Regex, true);
        TypeKeys(w.Field("replaceField"), QStringLiteral("Take(\\1){Return}"));
        QCOMPARE(w.MarkedText(), QStringLiteral(" Take(1) [Give(2)]"));
        TypeKeys(w.Field("replaceField"), QStringLiteral("{Return}"));
        QCOMPARE(w.form->Code->Text(), QStringLiteral(" Take(1) Take(2)"));
        QCOMPARE(w.Status(), QStringLiteral("No matches"));
        w.view->setFocus();
        TypeKeys(QStringLiteral("{Ctrl+Z}"));
        QCOMPARE(w.form->Code->Text(), QStringLiteral(" Take(1) Give(2)"));
    }

    void replaceAllIsOneUndoStepThatRestoresEveryByte_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("status");
        QTest::newRow("CR LF file")
            << QByteArray("Call GivePlayerEXP(1)\r\n\r\ngiveplayerexp 2\r\n") << ""
            << "GivePlayerEXP" << int(None) << "GiveExp"
            << QByteArray("Call GiveExp(1)\r\n\r\nGiveExp 2\r\n") << "Replaced 2";
        QTest::newRow("Windows-1252 file")
            << QByteArray("x = \"caf\xE9\"\r\ny = \"caf\xE9s\" ' \x80\r\n") << ""
            << "café" << int(Word) << "bistro"
            << QByteArray("x = \"bistro\"\r\ny = \"caf\xE9s\" ' \x80\r\n") << "Replaced 1";
        QTest::newRow("regex groups") << QByteArray("Call A(1)\nCall B(2)\n") << ""
                                      << "Call (\\w)\\((\\d)\\)" << int(Regex) << "\\2 = \\1"
                                      << QByteArray("1 = A\n2 = B\n") << "Replaced 2";
        QTest::newRow("every line start")
            << QByteArray("a\r\n\r\nb") << ""
            << "^" << int(Regex) << "' " << QByteArray("' a\r\n' \r\n' b") << "Replaced 3";
        QTest::newRow("in a selection of lines")
            << QByteArray("x1\nx2\nx3\nx4\n") << "1,1,2,1"
            << "x" << int(None) << "yy" << QByteArray("x1\nx2\nyy3\nx4\n") << "Replaced 1";
        QTest::newRow("line ends in a selection of lines")
            << QByteArray("x1\r\nx2\r\nx3\r\n") << "0,1,1,2"
            << "$" << int(Regex) << ";" << QByteArray("x1;\r\nx2;\r\nx3\r\n") << "Replaced 2";
        QTest::newRow("line starts in a selection of lines")
            << QByteArray("x1\r\nx2\r\nx3\r\n") << "0,1,2,0"
            << "^" << int(Regex) << ";" << QByteArray("x1\r\n;x2\r\nx3\r\n") << "Replaced 1";
        QTest::newRow("selection on one line")
            << QByteArray("x1 x\nx2\n") << "0,0,0,2"
            << "x" << int(None) << "y" << QByteArray("y1 y\ny2\n") << "Replaced 3";
        QTest::newRow("with nothing")
            << QByteArray("a--b--c\r\n") << ""
            << "--" << int(None) << "" << QByteArray("abc\r\n") << "Replaced 2";
        QTest::newRow("one with nothing")
            << QByteArray("x = 1 ' note\r\n") << ""
            << " ' note" << int(None) << "" << QByteArray("x = 1\r\n") << "Replaced 1";
        QTest::newRow("line end pasted into the replacement")
            << QByteArray("a b\r\nc") << ""
            << " " << int(None) << "\n"
            << QByteArray("a\r\nb\r\nc") << "Replaced 1";
        QTest::newRow("expression too complex for the text")
            << QByteArray("a\n" + QByteArray(31, 'a') + "b\n") << ""
            << "(a+)+$" << int(Regex) << "x" << QByteArray("a\n" + QByteArray(31, 'a') + "b\n")
            << "The expression is too complex for this text";
        QTest::newRow("accented letters")
            << QByteArray("ñandú ÑANDÚ\n") << ""
            << "Ú" << int(None) << "u" << QByteArray("ñandu ÑANDu\n") << "Replaced 2";
    }

    void replaceAllIsOneUndoStepThatRestoresEveryByte()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, selection);
        QFETCH(QString, pattern);
        QFETCH(int, options);
        QFETCH(QString, replacement);
        QFETCH(QByteArray, saved);
        QFETCH(QString, status);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("script.qc"));
        WriteBytes(path, file);
        Window w;
        w.dialog->Choose(path);
        TypeKeys(QStringLiteral("{Ctrl+O}"));
        if (!selection.isEmpty()) {
            const QStringList at = selection.split(QLatin1Char(','));
            w.form->Code->SetSelection(
                EditorRange{at[0].toInt(), at[1].toInt(), at[2].toInt(), at[3].toInt()}, true);
        }
        w.ReplaceAll(pattern, options, replacement);
        QCOMPARE(w.Status(), status);
        TypeKeys(QStringLiteral("{Esc}{Ctrl+S}"));
        QCOMPARE(ReadBytes(path), saved);
        TypeKeys(QStringLiteral("{Ctrl+Z}{Ctrl+S}"));
        QCOMPARE(ReadBytes(path), file);
        QVERIFY(!w.form->Code->CanUndo());
    }

    void replaceAllAcrossTheLargePiecesOfTheRewrite_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("replacement");
        QTest::newRow("growing") << "x" << int(None) << "yyy";
        QTest::newRow("growing past a batch's texts") << "x" << int(None) << QString(30, u'y');
        QTest::newRow("shrinking") << "level x" << int(None) << "L";
        QTest::newRow("regex groups") << "(\\w+) x" << int(Regex) << "\\1";
    }

    // Text of several rewrite pieces, so that pieces put in place move the matches still to come.
    void replaceAllAcrossTheLargePiecesOfTheRewrite()
    {
        QFETCH(QString, pattern);
        QFETCH(int, options);
        QFETCH(QString, replacement);
        QString text;
        for (int line = 0; text.size() < 9'000'000; ++line)
            text += QStringLiteral("  level x = %1\r\n").arg(line);
        QString expected = text;
        if (options & Regex)
            expected.replace(QRegularExpression(pattern), replacement);
        else
            expected.replace(pattern, replacement);
        Window w;
        w.SetText(QLatin1Char('|') + text);
        w.ReplaceAll(pattern, options, replacement);
        QVERIFY(w.form->Code->Text() == expected);
        w.form->Code->Undo();
        QVERIFY(w.form->Code->Text() == text);
    }

    void longTextsInTheFieldsAreTakenWhole_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        const QString longSearch = QString(40000, u'x') + QLatin1Char('y');
        QTest::newRow("search text") << longSearch << "z";
        QTest::newRow("replacement") << "y" << QString(40000, u'z');
    }

    // Pasted, as a text that long would be; a field that cut it would find, or put, a part.
    void longTextsInTheFieldsAreTakenWhole()
    {
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        const QString text = QStringLiteral("a ") + QString(40000, u'x') + QStringLiteral("y b");
        Window w;
        w.SetText(QLatin1Char('|') + text);
        TypeKeys(QStringLiteral("{Ctrl+H}"));
        for (const auto &[field, value] :
             {std::pair{"searchField", search}, std::pair{"replaceField", replacement}}) {
            QApplication::clipboard()->setText(value);
            TypeKeys(w.Field(field), QStringLiteral("{Ctrl+A}{Ctrl+V}"));
        }
        TypeKeys(w.Field("replaceField"), QStringLiteral("{Ctrl+Return}"));
        QCOMPARE(w.Status(), QStringLiteral("Replaced 1"));
        QVERIFY(w.form->Code->Text() == QString(text).replace(search, replacement));
    }

    // A script of 3 MB whose every byte would become 1000: the result, 3 GB, is refused before
    // any of it is built, and the script stays as it was.
    void replaceAllPastTheDocumentLimitIsRefusedWhole()
    {
        const QString line = QString(100, u'a') + QLatin1Char('\n');
        QString text;
        for (int count = 0; count < 30000; ++count)
            text += line;
        Window w;
        w.SetText(QLatin1Char('|') + text);
        w.Find(QStringLiteral("a"), Case, true);
        QApplication::clipboard()->setText(QString(1000, u'b'));
        TypeKeys(w.Field("replaceField"), QStringLiteral("{Ctrl+V}{Ctrl+Return}"));
        QTRY_COMPARE(w.prompts->errors,
                     QStringList{QStringLiteral("The text was not inserted: a document holds at "
                                                "most 2147483647 bytes of text.")});
        QCOMPARE(w.Status(), QStringLiteral("Nothing replaced"));
        QVERIFY(w.form->Code->Text() == text);
    }

    void countStopsAfterAFrame()
    {
        Window w;
        QString text;
        while (text.size() < 6'000'000)
            text += QStringLiteral("x = 1\n");
        w.SetText(QLatin1Char('|') + text);
        w.Find(QStringLiteral("x"), Regex);
        QTRY_VERIFY(
            QRegularExpression(QStringLiteral("^1 of \\d+\\+$")).match(w.Status()).hasMatch());
    }

    void onlyMatchesOnScreenAreMarked()
    {
        Window w;
        QString text;
        for (int line = 0; line < 3000; ++line)
            text += QStringLiteral("  x = %1\n").arg(line);
        w.SetText(QLatin1Char('|') + text);
        w.Find(QStringLiteral("x"), None);
        const QString line = QStringLiteral("  x = 0");
        const long mark = 1L << w.view->SendScintilla(QsciScintilla::SCI_GETINDICATORCURRENT);
        QTRY_COMPARE(w.IndicatorAt(line, 1) & mark, mark);
        QCOMPARE(w.IndicatorAt(line, 2999) & mark, 0L);
        w.view->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
        QTRY_COMPARE(w.IndicatorAt(line, 2999) & mark, mark);
        QCOMPARE(w.IndicatorAt(line, 1) & mark, 0L);
        TypeKeys(QStringLiteral("{Esc}"));
        QCOMPARE(w.IndicatorAt(line, 2999) & mark, 0L);
    }

    void rightClickMenuOpensTheBar_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("replaceRow");
        QTest::newRow("Find") << "Find..." << false;
        QTest::newRow("Replace") << "Replace..." << true;
    }

    void rightClickMenuOpensTheBar()
    {
        QFETCH(QString, entry);
        QFETCH(bool, replaceRow);
        Window w;
        QVERIFY(ChooseFromContextMenu(w.view->viewport(), entry));
        QVERIFY(w.Bar()->isVisible());
        QCOMPARE(w.Field("replaceField")->isVisible(), replaceRow);
    }
};

QUILLMARK_TEST_MAIN(FindTest)
#include "tst_find.moc"
