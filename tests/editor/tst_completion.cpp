// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The completion list through the real main window: its entries, its look, narrowing and choosing.
#include "app/frmMain.h"
#include "common/EditorError.h"
#include "completion/EditorList.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include <QFontInfo>
#include <Qsci/qsciscintilla.h>

namespace
{

struct Window : TestWindow {
    Window() { view = form->Code->findChild<QsciScintilla *>(); }

    EditorList *List() const { return form->Code->findChild<EditorList *>(); }

    // Sets the text, with "|" marking where the caret goes.
    void SetText(const QString &marked)
    {
        QString text = marked;
        const qsizetype caret = text.indexOf(QLatin1Char('|'));
        text.remove(QLatin1Char('|'));
        form->Code->SetText(text);
        const QString before = text.left(caret);
        const auto line = static_cast<std::int32_t>(before.count(QLatin1Char('\n')));
        const auto column =
            static_cast<std::int32_t>(caret - before.lastIndexOf(QLatin1Char('\n')) - 1);
        form->Code->SetSelection(EditorRange{line, column, line, column}, true);
    }

    // The text with "|" at the caret; a selection shows as "[" and "]".
    QString MarkedText() const
    {
        const EditorRange selection = form->Code->GetSelection(true);
        QStringList lines = form->Code->Text().split(QLatin1Char('\n'));
        if (selection.StartLine == selection.EndLine &&
            selection.StartColumn == selection.EndColumn)
            return lines[selection.StartLine].insert(selection.StartColumn, QLatin1Char('|')),
                   lines.join(QLatin1Char('\n'));
        lines[selection.EndLine].insert(selection.EndColumn, QLatin1Char(']'));
        lines[selection.StartLine].insert(selection.StartColumn, QLatin1Char('['));
        return lines.join(QLatin1Char('\n'));
    }

    void OpenList() const { QTest::keyClick(view, Qt::Key_Space, Qt::ControlModifier); }

    // Types `script`: plain characters as they are, named keys in braces ("{Open}" is
    // Ctrl+Space, "{Click}" a click at the far right of the first line).
    void Type(const QString &script) const
    {
        static const QHash<QString, Qt::Key> keys{
            {"Ret", Qt::Key_Return},   {"Tab", Qt::Key_Tab},     {"Esc", Qt::Key_Escape},
            {"BS", Qt::Key_Backspace}, {"Left", Qt::Key_Left},   {"Right", Qt::Key_Right},
            {"Up", Qt::Key_Up},        {"Down", Qt::Key_Down},   {"Home", Qt::Key_Home},
            {"End", Qt::Key_End},      {"PgUp", Qt::Key_PageUp}, {"PgDn", Qt::Key_PageDown}};
        for (qsizetype at = 0; at < script.size(); ++at) {
            if (script[at] != QLatin1Char('{')) {
                QTest::keyClicks(view, script.mid(at, 1));
                continue;
            }
            const qsizetype end = script.indexOf(QLatin1Char('}'), at);
            const QString name = script.mid(at + 1, end - at - 1);
            at = end;
            if (name == QLatin1String("Open"))
                OpenList();
            else if (name == QLatin1String("Click"))
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  QPoint(view->viewport()->width() - 5, 5));
            else
                QTest::keyClick(view, keys.value(name));
        }
    }

    // The selected entry of the open list, or "closed".
    QString ListState() const
    {
        const EditorList *list = List();
        if (!list || !list->isVisible())
            return QStringLiteral("closed");
        return list->ItemText(list->SelectedIndex());
    }

    QStringList ShownEntries() const
    {
        QStringList shown;
        const EditorList *list = List();
        for (int row = 0; row < list->count(); ++row) {
            if (!list->isRowHidden(row))
                shown << list->item(row)->text();
        }
        return shown;
    }

    QsciScintilla *view = nullptr;
};

QStringList ServerFunctions()
{
    QStringList names;
    for (const QLatin1StringView name : modQuillcode::ServerFunctionNames)
        names << name;
    return names;
}

QStringList StartingWith(const QString &prefix)
{
    QStringList names;
    for (const QString &name : ServerFunctions()) {
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

} // namespace

class CompletionTest : public QObject
{
    Q_OBJECT

private slots:
    void listOffersTheSixtyServerFunctionsInOrder()
    {
        Window w;
        w.OpenList();
        EditorList *list = w.List();
        QVERIFY(list);
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 60);
        QStringList entries;
        for (int row = 0; row < list->count(); ++row)
            entries << list->ItemText(row);
        QCOMPARE(entries, ServerFunctions());
        QCOMPARE(entries.first(), QStringLiteral("ClearClasses"));
        QCOMPARE(entries.last(), QStringLiteral("SendWhoIsOnline"));
        QCOMPARE(entries.mid(16, 2), (QStringList{"GivePlayerExperience", "GivePlayerEXP"}));
        QCOMPARE(entries.indexOf(QStringLiteral("MapMessage")), 41);
        QCOMPARE(w.ShownEntries(), entries);
        QCOMPARE(list->SelectedIndex(), 0);
        QVERIFY(w.prompts->errors.isEmpty());
    }

    void secondRequestGetsAFreshList()
    {
        Window w;
        w.OpenList();
        QTest::keyClick(w.view, Qt::Key_Escape);
        w.OpenList();
        QCOMPARE(w.form->Code->findChildren<EditorList *>().size(), 1);
        QCOMPARE(w.List()->count(), 60);
        QCOMPARE(w.ShownEntries().size(), 60);
        w.OpenList();
        QCOMPARE(w.List()->count(), 60);
    }

    void listIsWhiteInTheEditorsFont()
    {
        Window w;
        w.OpenList();
        const EditorList *list = w.List();
        QCOMPARE(list->BackColor(), QColor(255, 255, 255));
        QCOMPARE(list->BackColor().rgb() & 0xFFFFFF, 16777215u);
        QCOMPARE(list->viewport()->palette().color(list->viewport()->backgroundRole()),
                 QColor(Qt::white));
        QCOMPARE(list->Font(), w.form->Code->Font());
        QCOMPARE(list->font().family(), w.form->Code->Font().family());
        QCOMPARE(QFontInfo(list->font()).pixelSize(), 15);
    }

    void choosingPutsTheNameOnceWithTheCaretBehindIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typedBefore");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("typedAfter");
        QTest::addColumn<QList<int>>("chooseKeys");
        QTest::addColumn<QString>("expected");
        const QList<int> down3{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down};
        QList<int> down19;
        for (int i = 0; i < 19; ++i)
            down19 << Qt::Key_Down;
        const QList<int> enter{Qt::Key_Return};
        QTest::newRow("typed identifier is replaced")
            << "x = |"
            << "getpl" << down3 << "" << enter << "x = GetPlayerLevel|";
        QTest::newRow("blank before the caret") << "abc |"
                                                << "" << down19 << "" << enter << "abc GetPlayerX|";
        QTest::newRow("identifier typed while open")
            << "Call |"
            << "" << QList<int>{} << "GETPLAYERLE" << enter << "Call GetPlayerLevel|";
        QTest::newRow("tab chooses")
            << "|"
            << "sendw" << QList<int>{} << "" << QList<int>{Qt::Key_Tab} << "SendWhoIsOnline|";
        QTest::newRow("keypad enter chooses") << "|"
                                              << "clearm" << QList<int>{Qt::Key_Down} << ""
                                              << QList<int>{Qt::Key_Enter} << "ClearMapItems|";
        QTest::newRow("caret inside a line")
            << "x = getpl|(1)"
            << "" << down3 << "" << enter << "x = GetPlayerLevel|(1)";
        QTest::newRow("second line") << "Sub A\n    |"
                                     << "" << down19 << "" << enter << "Sub A\n    GetPlayerX|";
        QTest::newRow("page down then up")
            << "|"
            << "" << QList<int>{Qt::Key_PageDown, Qt::Key_Up} << "" << enter << "ClearShop|";
        QTest::newRow("up at the top stays")
            << "|"
            << "" << QList<int>{Qt::Key_Up} << "" << enter << "ClearClasses|";
        QTest::newRow("backspace widens again")
            << "|"
            << "getplayerx" << QList<int>{Qt::Key_Backspace} << "" << enter << "GetPlayerMap|";
    }

    void choosingPutsTheNameOnceWithTheCaretBehindIt()
    {
        QFETCH(QString, text);
        QFETCH(QString, typedBefore);
        QFETCH(QList<int>, keys);
        QFETCH(QString, typedAfter);
        QFETCH(QList<int>, chooseKeys);
        QFETCH(QString, expected);
        Window w;
        w.SetText(text);
        QTest::keyClicks(w.view, typedBefore);
        w.OpenList();
        QTest::keyClicks(w.view, typedAfter);
        for (const int key : keys)
            QTest::keyClick(w.view, Qt::Key(key));
        QVERIFY(w.List()->isVisible());
        for (const int key : chooseKeys)
            QTest::keyClick(w.view, Qt::Key(key));
        QVERIFY(!w.List()->isVisible());
        QCOMPARE(w.MarkedText(), expected);
        QVERIFY(w.prompts->errors.isEmpty());
    }

    void doubleClickChooses()
    {
        Window w;
        w.SetText(QStringLiteral("Call |"));
        w.OpenList();
        EditorList *list = w.List();
        const QRect row = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(list->isVisible());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(!list->isVisible());
        QCOMPARE(w.MarkedText(), QStringLiteral("Call ClearItems|"));
    }

    void typingNarrowsAndGoesIntoTheText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("backspaces");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("nothing typed") << "" << 0 << ServerFunctions();
        QTest::newRow("any letter case") << "cLEARma" << 0 << StartingWith("ClearMa");
        QTest::newRow("one left") << "setmo" << 0 << QStringList{"SetMOTD"};
        QTest::newRow("backspace widens") << "setmo" << 2 << StartingWith("set");
    }

    void typingNarrowsAndGoesIntoTheText()
    {
        QFETCH(QString, typed);
        QFETCH(int, backspaces);
        QFETCH(QStringList, shown);
        Window w;
        w.SetText(QStringLiteral("x = |"));
        w.OpenList();
        QTest::keyClicks(w.view, typed);
        for (int i = 0; i < backspaces; ++i)
            QTest::keyClick(w.view, Qt::Key_Backspace);
        QVERIFY(w.List()->isVisible());
        QCOMPARE(w.ShownEntries(), shown);
        QCOMPARE(w.List()->ItemText(w.List()->SelectedIndex()), shown.first());
        QCOMPARE(w.MarkedText(),
                 QStringLiteral("x = ") + typed.chopped(backspaces) + QLatin1Char('|'));
    }

    void listFollowsTheWordBeingTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("list");
        QTest::newRow("narrows as the word grows") << "x = |"
                                                   << "{Open}clearm"
                                                   << "x = clearm|"
                                                   << "ClearMapItem";
        QTest::newRow("closes when nothing matches") << "|"
                                                     << "{Open}getq"
                                                     << "getq|"
                                                     << "closed";
        QTest::newRow("stays closed while the word goes on") << "|"
                                                             << "{Open}getqx{Ret}"
                                                             << "getqx\n|"
                                                             << "closed";
        QTest::newRow("stays closed when backspaced to a match") << "|"
                                                                 << "{Open}getq{BS}"
                                                                 << "get|"
                                                                 << "closed";
        QTest::newRow("opened on a word that matches nothing") << "zzz|"
                                                               << "{Open}{Ret}"
                                                               << "zzz\n|"
                                                               << "closed";
        QTest::newRow("space closes, Return breaks the line") << "getp|"
                                                              << "{Open} {Ret}"
                                                              << "getp \n|"
                                                              << "closed";
        QTest::newRow("bracket closes and is typed") << "|"
                                                     << "{Open}getp("
                                                     << "getp(|"
                                                     << "closed";
        QTest::newRow("operator closes and is typed") << "|"
                                                      << "{Open}set=1"
                                                      << "set=1|"
                                                      << "closed";
        QTest::newRow("Tab after the list closed indents") << "|"
                                                           << "{Open}getp {Tab}"
                                                           << "getp \t|"
                                                           << "closed";
        QTest::newRow("Down and Return choose") << "x = |"
                                                << "{Open}getpl{Down}{Down}{Down}{Ret}"
                                                << "x = GetPlayerLevel|"
                                                << "closed";
        QTest::newRow("Tab chooses") << "|"
                                     << "{Open}sendw{Tab}"
                                     << "SendWhoIsOnline|"
                                     << "closed";
        QTest::newRow("PageDown and Up move in the list") << "|"
                                                          << "{Open}{PgDn}{Up}"
                                                          << "|"
                                                          << "ClearShop";
        QTest::newRow("Escape closes and keeps the text") << "x = getpl|"
                                                          << "{Open}{Down}{Esc}{Ret}"
                                                          << "x = getpl\n|"
                                                          << "closed";
        QTest::newRow("Left inside the word narrows back") << "|"
                                                           << "{Open}clearm{Left}"
                                                           << "clear|m"
                                                           << "ClearClasses";
        QTest::newRow("Left to the word's start closes") << "x = |"
                                                         << "{Open}ge{Left}{Left}"
                                                         << "x = |ge"
                                                         << "closed";
        QTest::newRow("Left out of a blank closes") << "x = |"
                                                    << "{Open}{Left}"
                                                    << "x =| "
                                                    << "closed";
        QTest::newRow("Left to the line above closes") << "Dim a\n|"
                                                       << "{Open}{Left}{Down}"
                                                       << "Dim a\n|"
                                                       << "closed";
        QTest::newRow("Right inside the word narrows") << "clear|map"
                                                       << "{Open}{Right}"
                                                       << "clearm|ap"
                                                       << "ClearMapItem";
        QTest::newRow("Right past the word's end closes") << "x = |(1)"
                                                          << "{Open}getp{Right}"
                                                          << "x = getp(|1)"
                                                          << "closed";
        QTest::newRow("Home closes") << "x = |"
                                     << "{Open}getp{Home}"
                                     << "|x = getp"
                                     << "closed";
        QTest::newRow("End closes") << "x = |(1)"
                                    << "{Open}getp{End}"
                                    << "x = getp(1)|"
                                    << "closed";
        QTest::newRow("End at the line's end closes") << "|"
                                                      << "{Open}getp{End}{Ret}"
                                                      << "getp\n|"
                                                      << "closed";
        QTest::newRow("Backspace narrows back") << "|"
                                                << "{Open}getplayerx{BS}"
                                                << "getplayer|"
                                                << "GetPlayerMap";
        QTest::newRow("Backspace over the typed word closes") << "x = |"
                                                              << "{Open}ge{BS}{BS}"
                                                              << "x = |"
                                                              << "closed";
        QTest::newRow("Backspace over the word it opened on closes")
            << "getp|"
            << "{Open}{BS}{BS}{BS}{BS}{Ret}"
            << "\n|"
            << "closed";
        QTest::newRow("click elsewhere closes") << "Dim a\nx = |"
                                                << "{Open}getp{Click}"
                                                << "Dim a|\nx = getp"
                                                << "closed";
    }

    void listFollowsTheWordBeingTyped()
    {
        QFETCH(QString, text);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        QFETCH(QString, list);
        Window w;
        w.SetText(text);
        w.Type(keys);
        QCOMPARE(w.MarkedText(), expected);
        QCOMPARE(w.ListState(), list);
        QVERIFY(w.prompts->errors.isEmpty());
    }

    void listOptionsSizeTheList_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("characters");
        QTest::addColumn<int>("expectedRows");
        QTest::newRow("defaults") << 0 << 0 << 8;
        QTest::newRow("three rows") << 3 << 0 << 3;
        QTest::newRow("more rows than entries") << 40 << 0 << 20;
        QTest::newRow("wide") << 0 << 60 << 8;
    }

    void listOptionsSizeTheList()
    {
        QFETCH(int, rows);
        QFETCH(int, characters);
        QFETCH(int, expectedRows);
        QWidget editor;
        EditorList list(&editor);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(list.AddItem(QStringLiteral("Entry%1").arg(i)), i);
        list.SetListOptionA(rows);
        list.SetListOptionB(characters);
        list.ListFinalCall();
        QVERIFY(list.isVisible());
        const int rowHeight = list.visualItemRect(list.item(0)).height();
        QCOMPARE((list.viewport()->height() + rowHeight / 2) / rowHeight, expectedRows);
        const int zeroWidth = QFontMetrics(list.font()).horizontalAdvance(QLatin1Char('0'));
        QVERIFY(list.width() >= characters * zeroWidth);
        QVERIFY(list.width() < std::max(characters, 10) * zeroWidth * 3);
    }

    void finalCallSelectsTheGivenEntry()
    {
        QWidget editor;
        EditorList list(&editor);
        for (const char *name : {"Alpha", "Beta", "Gamma"})
            list.AddItem(QLatin1StringView(name));
        list.Prepare(QRect(0, 0, 1, 10), QString());
        list.ListFinalCall(2);
        QCOMPARE(list.SelectedIndex(), 2);
        QVERIFY_THROWS_EXCEPTION(EditorError, list.ItemText(3));
        QVERIFY_THROWS_EXCEPTION(EditorError, list.ItemText(-1));
    }

    void emptyListIsNeverShown()
    {
        QWidget editor;
        EditorList list(&editor);
        list.ListFinalCall();
        QVERIFY(!list.isVisible());
        QCOMPARE(list.SelectedIndex(), -1);
    }
};

QUILLMARK_TEST_MAIN(CompletionTest)
#include "tst_completion.moc"
