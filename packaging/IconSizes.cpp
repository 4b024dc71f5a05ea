// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quillmark_icon_sizes: draws the program's icon at the sizes the desktop's icon theme uses.
#include <QImage>
#include <QString>

#include <cstdio>

namespace
{

// Whole multiples of the artwork keep its pixels crisp; other sizes are smoothed.
QImage Scaled(const QImage &icon, int size)
{
    const bool wholeMultiple = size % icon.width() == 0 && size % icon.height() == 0;
    return icon.scaled(size, size, Qt::IgnoreAspectRatio,
                       wholeMultiple ? Qt::FastTransformation : Qt::SmoothTransformation);
}

} // namespace

/// Usage: quillmark_icon_sizes <icon> <output folder> <size>...; writes <size>.png for each size.
int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <icon> <output folder> <size>...\n", argv[0]);
        return 2;
    }
    const QImage icon =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull()) {
        std::fprintf(stderr, "%s: cannot read the icon %s\n", argv[0], argv[1]);
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        const QString path = folder + QStringLiteral("/%1.png").arg(size);
        if (size <= 0 || !Scaled(icon, size).save(path)) {
            std::fprintf(stderr, "%s: cannot write the %s pixel icon\n", argv[0], argv[i]);
            return 1;
        }
    }
    return 0;
}
