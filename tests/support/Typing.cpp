// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Typing: text and keys sent to a widget as a user types them.
#include "support/Typing.h"

#include <QApplication>
#include <QKeySequence>
#include <QTest>

void TypeKeys(QWidget *target, const QString &keys)
{
    const QLatin1StringView AltGr("{AltGr+");
    for (qsizetype at = 0; at < keys.size(); ++at) {
        QWidget *to = target ? target : QApplication::focusWidget();
        if (!to)
            qFatal("no widget has the focus to type \"%s\" into", qPrintable(keys.mid(at)));
        if (keys.mid(at, AltGr.size()) == AltGr) {
            // As X11 reports a character typed through AltGr: its own key with the group switch.
            const QChar typed = keys[at + AltGr.size()];
            QTest::sendKeyEvent(QTest::Click, to, Qt::Key(typed.toUpper().unicode()), typed,
                                Qt::GroupSwitchModifier);
            at += AltGr.size() + 1;
        } else if (keys[at] == QLatin1Char('{')) {
            const qsizetype end = keys.indexOf(QLatin1Char('}'), at + 2);
            const QString name = keys.mid(at + 1, end - at - 1);
            const QKeySequence key = QKeySequence::fromString(name, QKeySequence::PortableText);
            if (end < 0 || key.count() != 1 || key[0].key() == Qt::Key_unknown)
                qFatal("no key is named \"%s\"", qPrintable(name));
            QTest::keyClick(to, key[0].key(), key[0].keyboardModifiers());
            at = end;
        } else if (keys[at].unicode() < 0x80) {
            // As QTest::keyClicks types it: the character's own key code, carrying the character.
            QTest::keyClick(to, keys[at].toLatin1());
        } else {
            // QTest knows key codes for ASCII only: the text alone, a surrogate pair whole.
            const qsizetype units = keys[at].isHighSurrogate() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, to, Qt::Key_unknown, keys.mid(at, units),
                                Qt::NoModifier);
            at += units - 1;
        }
    }
}

void TypeKeys(const QString &keys)
{
    TypeKeys(nullptr, keys);
}
