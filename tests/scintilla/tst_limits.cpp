// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The longest line the memory lets the editor lay out, in the real window: files with a longer
// line are refused, and so is every edit that would make one, before its first change.
#include "editor/EditorControl.h"
#include "scintilla/EditLimits.h"
#include "support/ContextMenu.h"
#include "support/FileBytes.h"
#include "support/MarkedText.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTemporaryDir>

namespace
{

// Memory in which lines of at most 40 bytes are laid out.
constexpr qint64 Memory = 480;

// Why a line of `bytes` bytes is refused, after "... a line of `bytes` bytes, and ".
const QString Why = QStringLiteral("showing a line takes about 6 bytes of memory for each of its "
                                   "bytes, so with its 480 bytes of memory this computer shows "
                                   "lines of at most 40 bytes.");

QString Times(int count, char letter)
{
    return QString(count, QLatin1Char(letter));
}

} // namespace

class LimitsTest : public QObject
{
    Q_OBJECT

private slots:
    void textShapesTellTheLinesThatJoinTheText_data()
    {
        QTest::addColumn<QByteArray>("text");
        // bytes, first line, last line, longest line between, line ends, their bytes, and the bytes
        // once a paste makes every line end a CR LF
        QTest::addColumn<QList<qint64>>("shape");
        QTest::newRow("empty") << QByteArray() << QList<qint64>{0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("one line") << QByteArray("abc") << QList<qint64>{3, 3, 3, 0, 0, 0, 3};
        QTest::newRow("every line end")
            << QByteArray("a\nbbb\r\ncc\rdddd") << QList<qint64>{14, 1, 4, 3, 3, 4, 16};
        QTest::newRow("ending in CR") << QByteArray("ab\r") << QList<qint64>{3, 2, 0, 0, 1, 1, 4};
        QTest::newRow("CR LF at both ends")
            << QByteArray("\r\nx\r\n") << QList<qint64>{5, 0, 0, 1, 2, 4, 5};
        QTest::newRow("CR, then an LF further on")
            << QByteArray("a\rbb\nc") << QList<qint64>{6, 1, 1, 2, 2, 2, 8};
    }

    void textShapesTellTheLinesThatJoinTheText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<qint64>, shape);
        const TextShape of = TextShape::Of(text);
        QCOMPARE((QList<qint64>{of.bytes, of.first, of.last, of.longestInside, of.lineEnds,
                                of.lineEndBytes, of.WithLineEnds(2).bytes}),
                 shape);
    }

    void filesWithALineTooLongAreRefused_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("refusedLine");
        QTest::newRow("longest line fits") << "x\r\n" + QByteArray(40, 'a') + "\r\n" << 0;
        QTest::newRow("a byte too long") << "x\r\n" + QByteArray(41, 'a') + "\r\n" << 41;
        QTest::newRow("Windows-1252, too long once decoded") << QByteArray(21, '\xE9') << 42;
        QTest::newRow("lines that end in CR")
            << QByteArray(30, 'a') + '\r' + QByteArray(30, 'b') << 0;
        // Past the first screen, whose text is shown before the rest is read.
        QTest::newRow("a byte too long far down")
            << QByteArray("x\r\n").repeated(200'000) + QByteArray(41, 'a') << 41;
    }

    void filesWithALineTooLongAreRefused()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, refusedLine);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.qc"));
        WriteBytes(path, file);
        TestWindow w;
        w.form->Code->SetLayoutMemory(Memory);
        w.form->Code->SetText(QStringLiteral("kept"));
        w.prompts->answers << UnsavedTextAnswer::Discard;
        w.dialog->Choose(path);
        w.form->mnuOpen->trigger();
        if (refusedLine == 0) {
            QCOMPARE(w.prompts->errors, QStringList());
            QCOMPARE(w.form->Code->Text().toUtf8(), file);
            return;
        }
        QTRY_COMPARE(
            w.prompts->errors,
            QStringList{QStringLiteral("The command \"Open...\" could not be completed: "
                                       "cannot open \"%1\": its longest line holds %2 bytes, "
                                       "and ")
                            .arg(path)
                            .arg(refusedLine) +
                        Why});
        QCOMPARE(w.form->Code->Text(), QStringLiteral("kept"));
    }

    void editsThatWouldMakeALineTooLongAreRefused_data()
    {
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("refusedLine");
        QTest::addColumn<QString>("after");
        const QString full = Times(40, 'a');
        // An edit refused leaves the text and the selection as they were: the search of Replace
        // All alone moves the selection, to the first match.
        QTest::newRow("typing on a full line") << full + "|"
                                               << "type b" << 41 << "";
        QTest::newRow("typing up to the longest line") << Times(39, 'a') + "|"
                                                       << "type b" << 0 << Times(39, 'a') + "b|";
        QTest::newRow("typing over a line end")
            << Times(20, 'a') + "[\n]" + Times(20, 'b') << "type c" << 41 << "";
        QTest::newRow("pasting over a selection")
            << "[aa]" + Times(38, 'a') << "paste xyz" << 41 << "";
        QTest::newRow("pasting from the right-click menu")
            << "[aa]" + Times(38, 'a') << "menu xyz" << 41 << "";
        QTest::newRow("pasting lines that fit")
            << Times(30, 'a') + "|" + Times(5, 'b') << "paste x\ny" << 0
            << Times(30, 'a') + "x\ny|" + Times(5, 'b');
        QTest::newRow("Delete joining two lines")
            << Times(20, 'a') + "|\n" + Times(21, 'b') << "keys {Del}" << 41 << "";
        QTest::newRow("Backspace joining two lines")
            << Times(20, 'a') + "\n|" + Times(21, 'b') << "keys {Backspace}" << 41 << "";
        QTest::newRow("input method over a selection")
            << "[a]" + Times(39, 'a') << "input éé" << 43 << "";
        QTest::newRow("Toggle Comment on a full line") << "[x\n" + full + "]"
                                                       << "keys {Ctrl+/}" << 41 << "";
        QTest::newRow("Toggle Comment up to the longest line")
            << "[x\n" + Times(39, 'a') + "]"
            << "keys {Ctrl+/}" << 0 << "['x\n'" + Times(39, 'a') + "]";
        QTest::newRow("pasting lines whose last joins a long tail")
            << "|" + Times(39, 'b') << "paste x\nyy" << 41 << "";
        QTest::newRow("Tab indenting the selection's last line") << "[x\n" + Times(37, 'a') + "]"
                                                                 << "keys {Tab}" << 41 << "";
        QTest::newRow("overtyping at a line's end")
            << Times(20, 'a') + "|\n" + Times(20, 'b') << "keys {Insert}c" << 0
            << Times(20, 'a') + "c|\n" + Times(20, 'b');
        QTest::newRow("duplicating a selection")
            << "[aaaa]" + Times(36, 'a') << "keys {Ctrl+D}" << 44 << "";
        QTest::newRow("Replace All lengthening a line")
            << "|" + QString(QStringLiteral("a b ")).repeated(10) << "replace a aa" << 50
            << "[a] b " + QString(QStringLiteral("a b ")).repeated(9);
    }

    void editsThatWouldMakeALineTooLongAreRefused()
    {
        QFETCH(QString, marked);
        QFETCH(QString, action);
        QFETCH(int, refusedLine);
        QFETCH(QString, after);
        TestWindow w;
        EditorControl &code = *w.form->Code;
        code.SetLayoutMemory(Memory);
        SetMarkedText(code, marked);
        auto *view = code.findChild<QsciScintilla *>();
        const QString verb = action.section(QLatin1Char(' '), 0, 0);
        const QString what = action.section(QLatin1Char(' '), 1);
        if (verb == QLatin1String("type") || verb == QLatin1String("keys")) {
            TypeKeys(view, what);
        } else if (verb == QLatin1String("paste")) {
            QApplication::clipboard()->setText(what);
            w.form->mnuPaste->trigger();
        } else if (verb == QLatin1String("menu")) {
            QApplication::clipboard()->setText(what);
            QVERIFY(ChooseFromContextMenu(view->viewport(), QStringLiteral("&Paste")));
        } else if (verb == QLatin1String("input")) {
            QInputMethodEvent input;
            input.setCommitString(what);
            QApplication::sendEvent(view, &input);
        } else {
            TypeKeys(view, QStringLiteral("{Ctrl+H}"));
            TypeKeys(code.findChild<QLineEdit *>(QStringLiteral("searchField")),
                     what.section(QLatin1Char(' '), 0, 0));
            TypeKeys(code.findChild<QLineEdit *>(QStringLiteral("replaceField")),
                     what.section(QLatin1Char(' '), 1) + QStringLiteral("{Ctrl+Return}"));
        }
        if (refusedLine == 0) {
            QCOMPARE(MarkedText(code), after);
            QCOMPARE(w.prompts->errors, QStringList());
            return;
        }
        QTRY_COMPARE(w.prompts->errors,
                     QStringList{QStringLiteral("The text was not inserted: it would make a line "
                                                "of %1 bytes, and ")
                                     .arg(refusedLine) +
                                 Why});
        QCOMPARE(MarkedText(code), after.isEmpty() ? marked : after);
    }
};

QUILLMARK_TEST_MAIN(LimitsTest)
#include "tst_limits.moc"
