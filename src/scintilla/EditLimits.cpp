// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditLimits: the memory a line takes to lay out, and the shape of a text's lines.
#include "EditLimits.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <unistd.h>

namespace
{

const char *Find(const char *from, const char *end, char byte)
{
    const void *found = std::memchr(from, byte, static_cast<std::size_t>(end - from));
    return found ? static_cast<const char *>(found) : end;
}

} // namespace

qint64 PhysicalMemoryBytes()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageBytes = ::sysconf(_SC_PAGESIZE);
    // A computer that does not say is taken to have room for any line.
    if (pages <= 0 || pageBytes <= 0)
        return std::numeric_limits<qint64>::max();
    return qint64(pages) * pageBytes;
}

qint64 LongestLineFor(qint64 memory)
{
    return memory / 2 / LayoutBytesPerByte;
}

QString LongLineText(qint64 memory)
{
    return QStringLiteral("showing a line takes about %1 bytes of memory for each of its bytes, so "
                          "with its %2 bytes of memory this computer shows lines of at most %3 "
                          "bytes")
        .arg(LayoutBytesPerByte)
        .arg(memory)
        .arg(LongestLineFor(memory));
}

// The next LF and the next CR are looked for apart, each with memchr, so long lines cost no more
// than copying them.
TextShape TextShape::Of(QByteArrayView text)
{
    TextShape shape;
    shape.bytes = text.size();
    if (text.isEmpty())
        return shape;
    const char *const end = text.data() + text.size();
    const char *lineStart = text.data();
    const char *lf = Find(lineStart, end, '\n');
    const char *cr = Find(lineStart, end, '\r');
    while (lf != end || cr != end) {
        const char *at = std::min(lf, cr);
        const qint64 length = at - lineStart;
        if (shape.lineEnds == 0)
            shape.first = length;
        else
            shape.longestInside = std::max(shape.longestInside, length);
        const qsizetype endBytes = at == cr && lf != end && at + 1 == lf ? 2 : 1;
        ++shape.lineEnds;
        shape.lineEndBytes += endBytes;
        lineStart = at + endBytes;
        if (lf < lineStart)
            lf = Find(lineStart, end, '\n');
        if (cr < lineStart)
            cr = Find(lineStart, end, '\r');
    }
    if (shape.lineEnds == 0)
        shape.first = shape.bytes;
    shape.last = end - lineStart;
    return shape;
}

TextShape TextShape::OneLine(qint64 bytes)
{
    TextShape shape;
    shape.bytes = shape.first = shape.last = bytes;
    return shape;
}

TextShape TextShape::WithLineEnds(int lineEndBytes) const
{
    TextShape shape = *this;
    shape.bytes += lineEnds * lineEndBytes - this->lineEndBytes;
    shape.lineEndBytes = lineEnds * lineEndBytes;
    return shape;
}
