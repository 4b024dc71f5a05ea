// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QUILLMARK_TEST_MAIN: a QtTest main that names the application as the program does.
#pragma once

#include <QApplication>
#include <QTest>

#define QUILLMARK_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QApplication app(argc, argv);                                                              \
        QApplication::setApplicationName(QStringLiteral("Quillmark"));                             \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
