// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The completion list through the real main window: its entries, its look, narrowing and choosing.
#include "app/frmMain.h"
#include "common/EditorError.h"
#include "completion/EditorList.h"
#include "editor/EditorControl.h"
#include "editor/EditorEvents.h"
#include "language/modQuillcode.h"
#include "support/MarkedText.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"
#include "support/Typing.h"

#include <QFontInfo>
#include <Qsci/qsciscintilla.h>

namespace
{

struct Window : TestWindow {
    Window() { view = form->Code->findChild<QsciScintilla *>(); }

    EditorList *List() const { return form->Code->findChild<EditorList *>(); }

    void SetText(const QString &marked) { SetMarkedText(*form->Code, marked); }
    QString MarkedText() const { return ::MarkedText(*form->Code); }
    void OpenList() const { TypeKeys(view, QStringLiteral("{Ctrl+Space}")); }

    // Types `keys` as TypeKeys does, "{Click}" being a click at the far right of the first line.
    void Type(const QString &keys) const
    {
        const QStringList between = keys.split(QStringLiteral("{Click}"));
        for (qsizetype part = 0; part < between.size(); ++part) {
            if (part > 0)
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  QPoint(view->viewport()->width() - 5, 5));
            TypeKeys(view, between[part]);
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

// How many rows tall the list is, measured by its selected row.
int RowsTall(const EditorList &list)
{
    const int rowHeight = list.visualItemRect(list.currentItem()).height();
    return (list.viewport()->height() + rowHeight / 2) / rowHeight;
}

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

// Fills each request with the next of `requests`: its entries, the tooltip of the first and,
// when `yellow`, a yellow list.
struct ChangingListener : EditorEvents {
    struct Request {
        QStringList entries;
        QString firstTip;
        bool yellow = false;
    };
    QList<Request> requests;

    bool CompletionListRequest(EditorControl &, EditorList &list) override
    {
        const Request request = requests.takeFirst();
        for (const QString &entry : request.entries)
            list.AddItem(entry, QIcon(),
                         entry == request.entries.first() ? request.firstTip : QString());
        if (request.yellow)
            list.SetBackColor(Qt::yellow);
        list.ListFinalCall();
        return true;
    }
    bool CompletionItemChosen(EditorControl &, EditorList &) override { return false; }
    bool ConfirmRequest(EditorControl &) override { return false; }
};

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
        TypeKeys(w.view, QStringLiteral("{Esc}"));
        w.OpenList();
        QCOMPARE(w.form->Code->findChildren<EditorList *>().size(), 1);
        QCOMPARE(w.List()->count(), 60);
        QCOMPARE(w.ShownEntries().size(), 60);
        w.OpenList();
        QCOMPARE(w.List()->count(), 60);
    }

    // The list is one widget for every request: what a request did not add or set is gone by the
    // next one.
    void eachRequestHoldsOnlyWhatItAdded()
    {
        EditorControl editor;
        editor.show();
        ChangingListener listener;
        editor.SetListener(&listener);
        auto *view = editor.findChild<QsciScintilla *>();
        listener.requests = {{{"Alpha", "Beta", "Gamma"}, "first", true},
                             {{"Beta", "Delta"}, {}, false}};
        TypeKeys(view, QStringLiteral("{Ctrl+Space}{Esc}"));
        const QColor firstLook = editor.findChild<EditorList *>()->BackColor();
        TypeKeys(view, QStringLiteral("{Ctrl+Space}"));
        auto *list = editor.findChild<EditorList *>();
        QStringList entries;
        for (int row = 0; row < list->count(); ++row)
            entries << list->item(row)->text() + QLatin1Char('|') + list->item(row)->toolTip();
        QCOMPARE(entries, (QStringList{"Beta|", "Delta|"}));
        QCOMPARE(firstLook, QColor(Qt::yellow));
        QCOMPARE(list->BackColor(), EditorList(&editor).BackColor());
        QVERIFY(list->isVisible());
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
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("choose");
        QTest::addColumn<QString>("expected");
        const QString down3 = QStringLiteral("{Down}").repeated(3);
        const QString down19 = QStringLiteral("{Down}").repeated(19);
        QTest::newRow("typed identifier is replaced") << "x = |"
                                                      << "getpl{Ctrl+Space}" + down3 << "{Return}"
                                                      << "x = GetPlayerLevel|";
        QTest::newRow("blank before the caret") << "abc |"
                                                << "{Ctrl+Space}" + down19 << "{Return}"
                                                << "abc GetPlayerX|";
        QTest::newRow("identifier typed while open") << "Call |"
                                                     << "{Ctrl+Space}GETPLAYERLE"
                                                     << "{Return}"
                                                     << "Call GetPlayerLevel|";
        QTest::newRow("tab chooses") << "|"
                                     << "sendw{Ctrl+Space}"
                                     << "{Tab}"
                                     << "SendWhoIsOnline|";
        QTest::newRow("keypad enter chooses") << "|"
                                              << "clearm{Ctrl+Space}{Down}"
                                              << "{Enter}"
                                              << "ClearMapItems|";
        QTest::newRow("caret inside a line") << "x = getpl|(1)"
                                             << "{Ctrl+Space}" + down3 << "{Return}"
                                             << "x = GetPlayerLevel|(1)";
        QTest::newRow("second line") << "Sub A\n    |"
                                     << "{Ctrl+Space}" + down19 << "{Return}"
                                     << "Sub A\n    GetPlayerX|";
        QTest::newRow("page down then up") << "|"
                                           << "{Ctrl+Space}{PgDown}{Up}"
                                           << "{Return}"
                                           << "ClearShop|";
        QTest::newRow("up at the top stays") << "|"
                                             << "{Ctrl+Space}{Up}"
                                             << "{Return}"
                                             << "ClearClasses|";
        QTest::newRow("backspace widens again") << "|"
                                                << "getplayerx{Ctrl+Space}{Backspace}"
                                                << "{Return}"
                                                << "GetPlayerMap|";
    }

    void choosingPutsTheNameOnceWithTheCaretBehindIt()
    {
        QFETCH(QString, text);
        QFETCH(QString, keys);
        QFETCH(QString, choose);
        QFETCH(QString, expected);
        Window w;
        w.SetText(text);
        TypeKeys(w.view, keys);
        QVERIFY(w.List()->isVisible());
        TypeKeys(w.view, choose);
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
        TypeKeys(w.view, typed + QStringLiteral("{Backspace}").repeated(backspaces));
        QVERIFY(w.List()->isVisible());
        QCOMPARE(w.ShownEntries(), shown);
        QCOMPARE(RowsTall(*w.List()), std::min(8, int(shown.size())));
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
                                                   << "{Ctrl+Space}clearm"
                                                   << "x = clearm|"
                                                   << "ClearMapItem";
        QTest::newRow("closes when nothing matches") << "|"
                                                     << "{Ctrl+Space}getq"
                                                     << "getq|"
                                                     << "closed";
        QTest::newRow("stays closed while the word goes on") << "|"
                                                             << "{Ctrl+Space}getqx{Return}"
                                                             << "getqx\n|"
                                                             << "closed";
        QTest::newRow("stays closed when backspaced to a match") << "|"
                                                                 << "{Ctrl+Space}getq{Backspace}"
                                                                 << "get|"
                                                                 << "closed";
        QTest::newRow("opened on a word that matches nothing") << "zzz|"
                                                               << "{Ctrl+Space}{Return}"
                                                               << "zzz\n|"
                                                               << "closed";
        QTest::newRow("space closes, Return breaks the line") << "getp|"
                                                              << "{Ctrl+Space} {Return}"
                                                              << "getp \n|"
                                                              << "closed";
        QTest::newRow("bracket closes and is typed") << "|"
                                                     << "{Ctrl+Space}getp("
                                                     << "getp(|"
                                                     << "closed";
        QTest::newRow("operator closes and is typed") << "|"
                                                      << "{Ctrl+Space}set=1"
                                                      << "set=1|"
                                                      << "closed";
        QTest::newRow("Tab after the list closed indents") << "|"
                                                           << "{Ctrl+Space}getp {Tab}"
                                                           << "getp \t|"
                                                           << "closed";
        QTest::newRow("Down and Return choose") << "x = |"
                                                << "{Ctrl+Space}getpl{Down}{Down}{Down}{Return}"
                                                << "x = GetPlayerLevel|"
                                                << "closed";
        QTest::newRow("Tab chooses") << "|"
                                     << "{Ctrl+Space}sendw{Tab}"
                                     << "SendWhoIsOnline|"
                                     << "closed";
        QTest::newRow("PageDown and Up move in the list") << "|"
                                                          << "{Ctrl+Space}{PgDown}{Up}"
                                                          << "|"
                                                          << "ClearShop";
        QTest::newRow("Escape closes and keeps the text") << "x = getpl|"
                                                          << "{Ctrl+Space}{Down}{Esc}{Return}"
                                                          << "x = getpl\n|"
                                                          << "closed";
        QTest::newRow("Left inside the word narrows back") << "|"
                                                           << "{Ctrl+Space}clearm{Left}"
                                                           << "clear|m"
                                                           << "ClearClasses";
        QTest::newRow("Left to the word's start closes") << "x = |"
                                                         << "{Ctrl+Space}ge{Left}{Left}"
                                                         << "x = |ge"
                                                         << "closed";
        QTest::newRow("Left out of a blank closes") << "x = |"
                                                    << "{Ctrl+Space}{Left}"
                                                    << "x =| "
                                                    << "closed";
        QTest::newRow("Left to the line above closes") << "Dim a\n|"
                                                       << "{Ctrl+Space}{Left}{Down}"
                                                       << "Dim a\n|"
                                                       << "closed";
        QTest::newRow("Right inside the word narrows") << "clear|map"
                                                       << "{Ctrl+Space}{Right}"
                                                       << "clearm|ap"
                                                       << "ClearMapItem";
        QTest::newRow("Right past the word's end closes") << "x = |(1)"
                                                          << "{Ctrl+Space}getp{Right}"
                                                          << "x = getp(|1)"
                                                          << "closed";
        QTest::newRow("Home closes") << "x = |"
                                     << "{Ctrl+Space}getp{Home}"
                                     << "|x = getp"
                                     << "closed";
        QTest::newRow("End closes") << "x = |(1)"
                                    << "{Ctrl+Space}getp{End}"
                                    << "x = getp(1)|"
                                    << "closed";
        QTest::newRow("End at the line's end closes") << "|"
                                                      << "{Ctrl+Space}getp{End}{Return}"
                                                      << "getp\n|"
                                                      << "closed";
        QTest::newRow("Backspace narrows back") << "|"
                                                << "{Ctrl+Space}getplayerx{Backspace}"
                                                << "getplayer|"
                                                << "GetPlayerMap";
        QTest::newRow("Backspace over the typed word closes")
            << "x = |"
            << "{Ctrl+Space}ge{Backspace}{Backspace}"
            << "x = |"
            << "closed";
        QTest::newRow("Backspace over the word it opened on closes")
            << "getp|"
            << "{Ctrl+Space}{Backspace}{Backspace}{Backspace}{Backspace}{Return}"
            << "\n|"
            << "closed";
        QTest::newRow("click elsewhere closes") << "Dim a\nx = |"
                                                << "{Ctrl+Space}getp{Click}"
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
        QCOMPARE(RowsTall(list), expectedRows);
        const int zeroWidth = QFontMetrics(list.font()).horizontalAdvance(QLatin1Char('0'));
        QVERIFY(list.width() >= characters * zeroWidth);
        QVERIFY(list.width() < std::max(characters, 10) * zeroWidth * 3);
    }

    // Each entry's text is drawn in its state's colour, and again in the other one when the
    // selection moves.
    void entriesShowTheirTextInTheColourOfTheirState()
    {
        QWidget editor;
        EditorList list(&editor);
        for (const char *name : {"Alpha", "Beta", "Gamma"})
            list.AddItem(QLatin1StringView(name));
        QPalette look = list.palette();
        look.setColor(QPalette::Base, Qt::white);
        look.setColor(QPalette::Text, Qt::blue);
        look.setColor(QPalette::Highlight, Qt::black);
        look.setColor(QPalette::HighlightedText, Qt::red);
        list.setPalette(look);
        list.Prepare(QRect(0, 0, 1, 10), QString());
        list.ListFinalCall(0);
        const auto colours = [&list] {
            const QImage shown = list.viewport()->grab().toImage();
            QStringList rows;
            for (int row = 0; row < list.count(); ++row) {
                const QRect area = list.visualItemRect(list.item(row));
                bool red = false, blue = false;
                for (int y = area.top(); y <= area.bottom(); ++y) {
                    for (int x = area.left(); x <= area.right(); ++x) {
                        const QColor pixel = shown.pixelColor(x, y);
                        red |= pixel.red() > 150 && pixel.green() < 90 && pixel.blue() < 90;
                        blue |= pixel.blue() > 150 && pixel.red() < 90 && pixel.green() < 90;
                    }
                }
                rows << QStringLiteral("%1%2").arg(red ? "red" : "", blue ? "blue" : "");
            }
            return rows.join(QLatin1Char(' '));
        };
        QCOMPARE(colours(), QStringLiteral("red blue blue"));
        list.setCurrentRow(1);
        QCOMPARE(colours(), QStringLiteral("blue red blue"));
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
