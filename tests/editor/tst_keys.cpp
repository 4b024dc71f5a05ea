// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's keys in the real window: chords bound to nothing, zoom, and the column Up and Down
// aim for after the program moved the caret.
#include "editor/EditorControl.h"
#include "support/FileBytes.h"
#include "support/MarkedText.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"

#include <Qsci/qsciscintilla.h>

#include <QTemporaryDir>

namespace
{

// Lines of different lengths, so that a column remembered on one line lands elsewhere on another.
const QString Script = QStringLiteral("Sub Main()\n"
                                      "    Dim total\n"
                                      "    If total > 100 Then\n"
                                      "        PlayerMessage index, \"Big\"\n"
                                      "    End If\n"
                                      "    total = total + 1\n"
                                      "End Sub");

struct Window : TestWindow {
    Window() { view = form->Code->findChild<QsciScintilla *>(); }

    long Zoom() const { return view->SendScintilla(QsciScintillaBase::SCI_GETZOOM); }
    // The margin of line numbers, and the width its widest number takes at the present zoom.
    long NumbersMargin() const
    {
        return view->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL);
    }
    long NumbersWidth() const
    {
        return view->SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                   QsciScintillaBase::STYLE_LINENUMBER, "9999");
    }

    QsciScintilla *view = nullptr;
};

} // namespace

class KeysTest : public QObject
{
    Q_OBJECT

private slots:
    // Over a selected word, as the keys arrive from X11: a chord of Ctrl or Alt that nothing is
    // bound to leaves text and selection alone; AltGr, Shift and the bound chords do their work.
    void chordsOverASelectedWord_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<long>("zoom");
        const QString kept = QStringLiteral("If [total] > 1 Then");
        QTest::newRow("Ctrl with a digit") << "{Ctrl+1}" << kept << 0L;
        QTest::newRow("Ctrl+Shift with a digit's sign") << "{Ctrl+Shift+!}" << kept << 0L;
        QTest::newRow("Ctrl with a keypad key") << "{Ctrl+Num+*}" << kept << 0L;
        QTest::newRow("Alt with a letter") << "{Alt+F}" << kept << 0L;
        QTest::newRow("AltGr types its character") << "{AltGr+@}"
                                                   << "If @| > 1 Then" << 0L;
        QTest::newRow("Ctrl+Alt, as AltGr may come, types") << "{Ctrl+Alt+@}"
                                                            << "If @| > 1 Then" << 0L;
        QTest::newRow("Shift types") << "{Shift+!}"
                                     << "If !| > 1 Then" << 0L;
        QTest::newRow("a command on Ctrl works") << "{Ctrl+Left}"
                                                 << "If |total > 1 Then" << 0L;
        QTest::newRow("Ctrl++ zooms in") << "{Ctrl+Shift++}" << kept << 1L;
        QTest::newRow("Ctrl+= zooms in") << "{Ctrl+=}" << kept << 1L;
        QTest::newRow("Ctrl+keypad plus zooms in") << "{Ctrl+Num++}" << kept << 1L;
        QTest::newRow("Ctrl+- zooms out") << "{Ctrl+-}" << kept << -1L;
        QTest::newRow("Ctrl+0 gives the normal size back")
            << "{Ctrl+Num++}{Ctrl+Num++}{Ctrl+0}" << kept << 0L;
    }

    void chordsOverASelectedWord()
    {
        QFETCH(QString, keys);
        QFETCH(QString, marked);
        QFETCH(long, zoom);
        Window w;
        SetMarkedText(*w.form->Code, QStringLiteral("If [total] > 1 Then"));
        TypeKeys(w.view, keys);
        QCOMPARE(MarkedText(*w.form->Code), marked);
        QCOMPARE(w.Zoom(), zoom);
        QCOMPARE(w.NumbersMargin(), w.NumbersWidth());
    }

    // The program moves the caret from the end of the longest line; Up and Down then aim for the
    // column it moved the caret to, not the one the caret stood in before.
    void upAndDownAfterAJump_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("marked");
        const QStringList lines = Script.split(QLatin1Char('\n'));
        const auto marked = [&lines](int line, const QString &before, const QString &after) {
            QStringList result = lines;
            result[line].replace(before, after);
            return result.join(QLatin1Char('\n'));
        };
        QTest::newRow("go to line")
            << "{Ctrl+G}5{Return}{Down}"
            << marked(5, QStringLiteral("    total ="), QStringLiteral("|    total ="));
        QTest::newRow("a match found")
            << "{Ctrl+F}End If{Esc}{Shift+Down}"
            << marked(4, QStringLiteral("End If"), QStringLiteral("[End If"))
                   .replace(QStringLiteral("    total = total"),
                            QStringLiteral("    total ]= total"));
        QTest::newRow("a fold key")
            << "{Ctrl+Shift+[}{Down}"
            << marked(5, QStringLiteral("    total ="), QStringLiteral("|    total ="));
        QTest::newRow("a file opened")
            << "{Ctrl+O}{Down}" << marked(1, QStringLiteral("    Dim"), QStringLiteral("|    Dim"));
    }

    void upAndDownAfterAJump()
    {
        QFETCH(QString, keys);
        QFETCH(QString, marked);
        Window w;
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("main.qc"));
        WriteBytes(path, Script.toUtf8());
        w.form->Code->OpenFile(path);
        w.dialog->Choose(path);
        w.form->Code->SetSelection(EditorRange{3, 99, 3, 99}, true);
        TypeKeys(keys);
        QCOMPARE(MarkedText(*w.form->Code), marked);
    }
};

QUILLMARK_TEST_MAIN(KeysTest)
#include "tst_keys.moc"
