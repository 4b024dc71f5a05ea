// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BenchKeys: the keys the benchmarks send to a widget, alone or timed with the paint they ask for.
#pragma once

#include <QKeyCombination>
#include <QString>

#include <vector>

class QWidget;

/// Sends `key` carrying `text` straight to `target`: its press, then its release.
void SendKey(QWidget *target, QKeyCombination key, const QString &text = {});

/// Milliseconds of SendKey and the events it leaves behind, the paint it asks for among them.
double KeyMs(QWidget *target, QKeyCombination key, const QString &text = {});

/// Milliseconds of each of `count` letters typed one at a time, a to z over and over.
std::vector<double> LettersMs(QWidget *target, int count);
