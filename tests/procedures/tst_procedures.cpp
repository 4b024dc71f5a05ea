// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Go to a procedure through the real main window: the list, narrowing it, moving and choosing,
// edits followed, and a large script listed while its analysis goes on.
#include "editor/EditorControl.h"
#include "procedures/ProcedureBar.h"
#include "support/ContextMenu.h"
#include "support/FileBytes.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"
#include "support/ViewLines.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>

namespace
{

using Sci = QsciScintillaBase;

// Every kind of procedure, members of Classes, a Class opened inside another, a Sub left
// unclosed, words in every case, and block words in comments and strings that open nothing.
const QString Script = QStringLiteral("' Sub InComment()\n"                  // 0
                                      "Private Sub Greet(index)\n"           // 1
                                      "    x = \"Sub InString()\"\n"         // 2
                                      "End Sub\n"                            // 3
                                      "FUNCTION GetLevel(index)\n"           // 4
                                      "End Function\n"                       // 5
                                      "Class Player\n"                       // 6
                                      "    Public Property Get Name()\n"     // 7
                                      "    End Property\n"                   // 8
                                      "    Property Let Name(value)\n"       // 9
                                      "    End Property\n"                   // 10
                                      "    property set Target(value)\n"     // 11
                                      "    End Property\n"                   // 12
                                      "    Sub MoveTo(x, y)\n"               // 13
                                      "    End Sub\n"                        // 14
                                      "    Class Inner\n"                    // 15
                                      "        Function Level()\n"           // 16
                                      "        End Function\n"               // 17
                                      "    End Class\n"                      // 18
                                      "End Class\n"                          // 19
                                      "sub Unclosed()\n"                     // 20
                                      "    If x Then\n"                      // 21
                                      "    End If\n"                         // 22
                                      "Public Default Function greeting()\n" // 23
                                      "End Function\n"                       // 24
                                      "z = 3");                              // 25

struct Window : TestWindow {
    explicit Window(const QString &text = Script)
    {
        view = form->Code->findChild<QsciScintilla *>();
        form->Code->SetText(text);
    }

    ProcedureBar *Bar() const { return form->Code->findChild<ProcedureBar *>(); }
    QLineEdit *Field() const
    {
        return Bar()->findChild<QLineEdit *>(QStringLiteral("procedureField"));
    }
    QString State() const
    {
        return Bar()->findChild<QLabel *>(QStringLiteral("procedureState"))->text();
    }
    QTableView *List() const
    {
        return form->Code->findChild<QTableView *>(QStringLiteral("procedureList"));
    }
    QString Row(int row) const
    {
        const QAbstractItemModel *model = List()->model();
        QStringList columns;
        for (int column = 0; column < 3; ++column)
            columns << model->data(model->index(row, column)).toString();
        return columns.join(u' ');
    }
    // Every row as "kind name line", and the selected one.
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < List()->model()->rowCount(); ++row)
            rows << Row(row);
        return rows;
    }
    QString Selected() const
    {
        const int row = List()->currentIndex().row();
        return row < 0 ? QString() : Row(row);
    }
    // Ctrl+Shift+O with the caret at the start of `line`, once the analysis has read the text.
    void Open(int line = 0, int column = 0) const
    {
        form->Code->SetSelection(EditorRange{line, column, line, column}, true);
        TypeKeys(view, QStringLiteral("{Ctrl+Shift+O}"));
        QTRY_VERIFY(!State().startsWith(QStringLiteral("reading")));
    }
    long Send(unsigned int message, unsigned long wParam = 0) const
    {
        return view->SendScintilla(message, wParam);
    }

    QsciScintilla *view = nullptr;
};

const QStringList Everything = {"Sub Greet 2",
                                "Function GetLevel 5",
                                "Class Player 7",
                                "Property Get Player.Name 8",
                                "Property Let Player.Name 10",
                                "Property Set Player.Target 12",
                                "Sub Player.MoveTo 14",
                                "Class Inner 16",
                                "Function Inner.Level 17",
                                "Sub Unclosed 21",
                                "Function greeting 24"};

} // namespace

class ProceduresTest : public QObject
{
    Q_OBJECT

private slots:
    // What the list shows after the text typed into the field, and which entry is selected.
    void theListNarrowsToTheNameTyped_data()
    {
        QTest::addColumn<int>("caretLine");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("selected");
        QTest::newRow("all, the one above the caret selected")
            << 14 << "" << Everything << "Sub Player.MoveTo 14";
        QTest::newRow("caret on a procedure's first line selects it")
            << 9 << "" << Everything << "Property Let Player.Name 10";
        QTest::newRow("caret above every procedure selects the first")
            << 0 << "" << Everything << "Sub Greet 2";
        QTest::newRow("caret below every procedure selects the last")
            << 25 << "" << Everything << "Function greeting 24";
        QTest::newRow("case ignored, names starting with the text first")
            << 0 << "GREET" << QStringList{"Sub Greet 2", "Function greeting 24"} << "Sub Greet 2";
        QTest::newRow("a name holding the text after those starting with it")
            << 0 << "level" << QStringList{"Function Inner.Level 17", "Function GetLevel 5"}
            << "Function Inner.Level 17";
        QTest::newRow("a member by its Class's name and a dot")
            << 0 << "player.n"
            << QStringList{"Property Get Player.Name 8", "Property Let Player.Name 10"}
            << "Property Get Player.Name 8";
        QTest::newRow("blanks around the text do not count")
            << 0 << " unclosed " << QStringList{"Sub Unclosed 21"} << "Sub Unclosed 21";
        QTest::newRow("nothing matches") << 0 << "zzz" << QStringList{} << "";
    }

    void theListNarrowsToTheNameTyped()
    {
        QFETCH(int, caretLine);
        QFETCH(QString, typed);
        QFETCH(QStringList, rows);
        QFETCH(QString, selected);
        Window w;
        w.Open(caretLine);
        QVERIFY(w.Bar()->isVisible());
        QVERIFY(w.List()->isVisible());
        QVERIFY(w.Field()->hasFocus());
        TypeKeys(w.Field(), typed);
        QCOMPARE(w.Rows(), rows);
        QCOMPARE(w.Selected(), selected);
        QCOMPARE(w.Field()->palette().color(QPalette::Base) == QColor(0xFF, 0xD0, 0xD0),
                 rows.isEmpty());
    }

    // Keys in the field after Ctrl+Shift+O: where the caret ends (at the start of the line, or
    // where it was for -1) and whether the bar is still open. `fold` is a line folded first.
    void keysMoveAndChoose_data()
    {
        QTest::addColumn<int>("caretLine");
        QTest::addColumn<int>("fold");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("open");
        QTest::newRow("Return goes to the one selected") << 14 << -1 << "{Return}" << 13 << false;
        QTest::newRow("Down") << 14 << -1 << "{Down}{Return}" << 15 << false;
        QTest::newRow("Up twice") << 14 << -1 << "{Up}{Up}{Return}" << 9 << false;
        QTest::newRow("Up stops at the first") << 0 << -1 << "{Up}{Return}" << 1 << false;
        QTest::newRow("Page Down stops at the last")
            << 0 << -1 << "{PgDown}{PgDown}{PgDown}{Return}" << 23 << false;
        QTest::newRow("Page Up stops at the first")
            << 25 << -1 << "{PgUp}{PgUp}{PgUp}{Return}" << 1 << false;
        QTest::newRow("Down in a narrowed list") << 0 << -1 << "greet{Down}{Return}" << 23 << false;
        QTest::newRow("Enter on the keypad") << 0 << -1 << "unclosed{Enter}" << 20 << false;
        QTest::newRow("a member of a folded Class unfolds")
            << 0 << 6 << "moveto{Return}" << 13 << false;
        QTest::newRow("Escape leaves the caret") << 14 << -1 << "{Down}{Esc}" << -1 << false;
        QTest::newRow("Return on nothing found leaves the bar open")
            << 14 << -1 << "zzz{Return}" << -1 << true;
    }

    void keysMoveAndChoose()
    {
        QFETCH(int, caretLine);
        QFETCH(int, fold);
        QFETCH(QString, keys);
        QFETCH(int, line);
        QFETCH(bool, open);
        Window w;
        if (fold >= 0) {
            QTRY_VERIFY(w.Send(Sci::SCI_GETFOLDLEVEL, fold) & Sci::SC_FOLDLEVELHEADERFLAG);
            w.Send(Sci::SCI_FOLDLINE, fold);
            QVERIFY(!w.Send(Sci::SCI_GETLINEVISIBLE, 13));
        }
        w.Open(caretLine, 2);
        TypeKeys(w.Field(), keys);
        const int expected = line < 0 ? caretLine : line;
        const int column = line < 0 ? 2 : 0;
        QCOMPARE(w.form->Code->GetSelection(true),
                 (EditorRange{expected, column, expected, column}));
        QCOMPARE(w.Bar()->isVisible(), open);
        QCOMPARE(w.List()->isVisible(), open);
        QCOMPARE(w.view->hasFocus(), !open);
        QVERIFY(LineOnScreen(*w.view, expected));
    }

    // The list opened once, closed, the text edited, and the list opened again.
    void editsAreFollowed_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("rows");
        const auto moved = [](int from, int by) {
            QStringList rows;
            for (QString row : Everything) {
                const qsizetype blank = row.lastIndexOf(u' ');
                const int line = row.mid(blank + 1).toInt();
                rows << row.left(blank + 1) + QString::number(line >= from ? line + by : line);
            }
            return rows;
        };
        QTest::newRow("a line inserted above all") << 0 << 0 << "{Return}" << moved(1, 1);
        QStringList removed = moved(6, -1);
        removed.removeAt(1);
        QTest::newRow("a procedure's line removed") << 4 << 0 << "{Shift+Down}{Delete}" << removed;
        QStringList renamed = Everything;
        renamed[0] = QStringLiteral("Sub XGreet 2");
        QTest::newRow("a name changed") << 1 << 12 << "X" << renamed;
        QTest::newRow("a line made a procedure after a closer")
            << 25 << 0 << "End Sub: Sub Last{Return}" << Everything + QStringList{"Sub Last 26"};
        QStringList joined = moved(5, -1);
        joined.removeAt(1);
        QTest::newRow("a line joined to the one above it") << 4 << 0 << "{Backspace}" << joined;
        QTest::newRow("an edit taken back") << 0 << 0 << "{Return}{Return}{Ctrl+Z}" << Everything;
    }

    void editsAreFollowed()
    {
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, keys);
        QFETCH(QStringList, rows);
        Window w;
        w.Open();
        QCOMPARE(w.Rows(), Everything);
        TypeKeys(w.Field(), QStringLiteral("{Esc}"));
        w.form->Code->SetSelection(EditorRange{line, column, line, column}, true);
        TypeKeys(w.view, keys);
        w.Open();
        QCOMPARE(w.Rows(), rows);
    }

    void aScriptWithoutProceduresSaysSo()
    {
        Window w(QStringLiteral("x = 1\nIf x Then\nEnd If"));
        w.Open();
        QCOMPARE(w.Rows(), QStringList());
        QCOMPARE(w.State(), QStringLiteral("No procedures in the script."));
        QCOMPARE(w.Field()->placeholderText(), QStringLiteral("No procedures in the script."));
    }

    // Opened on a file still arriving, before the analysis has read far, the list says how far
    // it got, takes what the typed text matches as the analysis goes on, and ends with every
    // procedure.
    void aLargeScriptFillsIn()
    {
        constexpr int Subs = 20000;
        QByteArray text;
        for (int sub = 0; sub < Subs; ++sub)
            text += QStringLiteral("Sub P%1()\n    x = %1\nEnd Sub\n").arg(sub).toLatin1();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("large.qc"));
        WriteBytes(path, text);
        Window w(QString{});
        w.form->Code->OpenFile(path);
        QVERIFY(w.form->Code->Loading());
        TypeKeys(w.view, QStringLiteral("{Ctrl+Shift+O}"));
        QVERIFY(QRegularExpression(QStringLiteral("^reading… \\d+%$")).match(w.State()).hasMatch());
        QCOMPARE_LT(w.Rows().size(), Subs);
        TypeKeys(w.Field(), QStringLiteral("p1999"));
        QTRY_COMPARE_WITH_TIMEOUT(w.State(), QString(), 30000);
        QCOMPARE(w.Rows().size(), 11);
        QCOMPARE(w.Selected(), QStringLiteral("Sub P1999 5998"));
        TypeKeys(w.Field(), QStringLiteral("{Down}{Return}"));
        QCOMPARE(w.form->Code->GetSelection(true), (EditorRange{3 * 19990, 0, 3 * 19990, 0}));
    }

    void rightClickMenuOpensTheBar()
    {
        Window w;
        QVERIFY(ChooseFromContextMenu(w.view->viewport(), QStringLiteral("Go to Procedure...")));
        QVERIFY(w.Bar()->isVisible());
        QVERIFY(w.Field()->hasFocus());
    }
};

QUILLMARK_TEST_MAIN(ProceduresTest)
#include "tst_procedures.moc"
