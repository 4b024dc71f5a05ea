// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BenchKeys: the keys the benchmarks send to a widget, alone or timed with the paint they ask for.
#include "BenchKeys.h"

#include "BenchTiming.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

void SendKey(QWidget *target, QKeyCombination key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers(), text);
    QKeyEvent release(QEvent::KeyRelease, key.key(), key.keyboardModifiers(), text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

double KeyMs(QWidget *target, QKeyCombination key, const QString &text)
{
    return TimeMs([&] {
        SendKey(target, key, text);
        QApplication::processEvents();
    });
}

std::vector<double> LettersMs(QWidget *target, int count)
{
    std::vector<double> samples;
    for (int i = 0; i < count; ++i)
        samples.push_back(
            KeyMs(target, Qt::Key(Qt::Key_A + i % 26), QString(QChar(u'a' + i % 26))));
    return samples;
}
