// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Screen-reader support: full text access while assistive technology is active, no cost otherwise.
#include "editor/EditorControl.h"
#include "support/TestMain.h"

#include <QAccessible>
#include <QAccessibleTextInterface>

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QAccessible::setActive(false); }

    void withoutAssistiveTechnologyTheEditorIsAPlainEditableWidget()
    {
        EditorControl code;
        code.SetText(QStringLiteral("Dim x"));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(code.focusProxy());
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::EditableText);
        QVERIFY(!iface->textInterface());
    }

    void activeAssistiveTechnologyGetsTextAndEdits()
    {
        EditorControl code;
        code.show();
        QVERIFY(QTest::qWaitForWindowExposed(&code));
        code.SetText(QStringLiteral("äb\ncd"));
        QVERIFY(QAccessible::queryAccessibleInterface(code.focusProxy()));
        QAccessible::setActive(true);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(code.focusProxy());
        QVERIFY(iface);
        QAccessibleTextInterface *text = iface->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 5);
        code.SetSelection(EditorRange{1, 1, 1, 1}, true);
        code.SetSelectedText(QStringLiteral("X"));
        QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("äb\ncXd"));
        QTRY_COMPARE(text->cursorPosition(), 5);
    }

    void switchingOffReturnsToTheCheapPath()
    {
        EditorControl code;
        QAccessible::setActive(true);
        QVERIFY(QAccessible::queryAccessibleInterface(code.focusProxy())->textInterface());
        QAccessible::setActive(false);
        QVERIFY(!QAccessible::queryAccessibleInterface(code.focusProxy())->textInterface());
    }
};

QUILLMARK_TEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
