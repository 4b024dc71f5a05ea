// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// e2e_grab: saves what the X screen shows, or a rectangle of it, as a PNG for the end-to-end tests.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 && args.size() != 6) {
        std::fprintf(stderr, "usage: e2e_grab OUT.png [X Y WIDTH HEIGHT]\n");
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPixmap shot = args.size() == 6 ? screen->grabWindow(0, args[2].toInt(), args[3].toInt(),
                                                               args[4].toInt(), args[5].toInt())
                                          : screen->grabWindow(0);
    if (shot.isNull() || !shot.save(args[1], "PNG")) {
        std::fprintf(stderr, "e2e_grab: cannot save %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
