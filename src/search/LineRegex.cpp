// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineRegex: a regular expression matched against each line of the text on its own.
#include "LineRegex.h"

#include "PatternTooComplex.h"
#include "WordBoundary.h"

#include <algorithm>

namespace
{

constexpr qsizetype LookBytes = qsizetype(64) << 10;

bool IsLineEnd(char byte)
{
    return byte == '\n' || byte == '\r';
}

// Where the line holding `position` starts.
qsizetype LineStartOf(const SearchText &text, qsizetype position)
{
    while (position > 0) {
        const qsizetype start = std::max<qsizetype>(0, position - LookBytes);
        const char *bytes = text.Bytes(start, position - start);
        for (qsizetype i = position - start - 1; i >= 0; --i) {
            if (IsLineEnd(bytes[i]))
                return start + i + 1;
        }
        position = start;
    }
    return 0;
}

// Where the line after the one holding `position` starts, or the end of the text.
qsizetype NextLineStart(const SearchText &text, qsizetype position)
{
    const qsizetype length = text.Length();
    while (position < length) {
        // One byte past the piece shows whether a CR at its end starts a CR LF.
        const qsizetype end = std::min(length, position + LookBytes + 1);
        const qsizetype piece = end == length ? end - position : end - position - 1;
        const char *bytes = text.Bytes(position, end - position);
        for (qsizetype i = 0; i < piece; ++i) {
            if (IsLineEnd(bytes[i]))
                return position + i + 1 +
                       (bytes[i] == '\r' && i + 1 < end - position && bytes[i + 1] == '\n');
        }
        position += piece;
    }
    return length;
}

// A position between the CR and the LF of a line end belongs to neither line; it moves past them.
qsizetype OutOfLineEnd(const SearchText &text, qsizetype position)
{
    if (position <= 0 || position >= text.Length())
        return position;
    const char *pair = text.Bytes(position - 1, 2);
    return pair[0] == '\r' && pair[1] == '\n' ? position + 1 : position;
}

// Whole lines from `start`, about `want` bytes of them and at least one.
struct LineBlock {
    qsizetype start = 0;
    qsizetype end = 0;
    const char *bytes = nullptr;
};

LineBlock ReadLines(const SearchText &text, qsizetype start, qsizetype want)
{
    const qsizetype length = text.Length();
    const qsizetype limit = std::min(length, start + std::max<qsizetype>(want, 1));
    if (limit == length)
        return {start, length, text.Bytes(start, length - start)};
    // One byte past the limit shows whether a CR just before it starts a CR LF.
    const char *bytes = text.Bytes(start, limit + 1 - start);
    for (qsizetype i = limit - start - 1; i >= 0; --i) {
        if (IsLineEnd(bytes[i]))
            return {start, start + i + 1 + (bytes[i] == '\r' && bytes[i + 1] == '\n'), bytes};
    }
    const qsizetype end = NextLineStart(text, limit);
    return {start, end, text.Bytes(start, end - start)};
}

// Converts between byte offsets in a line's UTF-8 and offsets in its UTF-16, walking forward
// from the last place asked about (matches come in order).
class OffsetMap
{
public:
    OffsetMap(const char *bytes, qsizetype size)
        : bytes_(reinterpret_cast<const unsigned char *>(bytes)), size_(size)
    {
    }

    qsizetype ByteAt(qsizetype unit)
    {
        if (unit < unit_)
            byte_ = unit_ = 0;
        while (unit_ < unit && byte_ < size_)
            Step();
        return byte_;
    }

    qsizetype UnitAt(qsizetype byte)
    {
        if (byte < byte_)
            byte_ = unit_ = 0;
        while (byte_ < byte && byte_ < size_)
            Step();
        return unit_;
    }

private:
    void Step()
    {
        const int length = Utf8SequenceLength(bytes_[byte_]);
        byte_ = std::min(size_, byte_ + length);
        unit_ += length == 4 ? 2 : 1;
    }

    const unsigned char *bytes_;
    qsizetype size_;
    qsizetype byte_ = 0;
    qsizetype unit_ = 0;
};

} // namespace

/// One line of a block: its bytes and UTF-16 without the line end, and where it starts.
struct LineRegex::Line {
    qsizetype start = 0;
    const char *bytes = nullptr;
    qsizetype size = 0;
    QStringView units;
};

LineRegex::LineRegex(const QString &pattern, bool matchCase)
    : expression_(pattern, matchCase ? QRegularExpression::UseUnicodePropertiesOption
                                     : QRegularExpression::UseUnicodePropertiesOption |
                                           QRegularExpression::CaseInsensitiveOption)
{
    expression_.optimize();
}

QString LineRegex::Error() const
{
    return expression_.isValid() ? QString() : expression_.errorString();
}

qsizetype LineRegex::Scan(const SearchText &text, const ScanRange &range, const MatchSink &found,
                          const KeepGoing &keepGoing) const
{
    const qsizetype length = text.Length();
    const qsizetype last = range.to >= length ? length : range.to - 1;
    const qsizetype from = OutOfLineEnd(text, range.from);
    qsizetype position = LineStartOf(text, from);
    while (position <= last) {
        const LineBlock block =
            ReadLines(text, position, std::min(last + 1 - position, BlockBytes));
        const QString units = QString::fromUtf8(block.bytes, block.end - block.start);
        const qsizetype size = block.end - block.start;
        qsizetype byte = 0, unit = 0;
        // The text's last line is empty when the text ends with a line end.
        const bool emptyLastLine =
            block.end == length && (size == 0 || IsLineEnd(block.bytes[size - 1]));
        while (byte < size || (emptyLastLine && byte == size)) {
            qsizetype byteEnd = byte, unitEnd = unit;
            while (byteEnd < size && !IsLineEnd(block.bytes[byteEnd]))
                ++byteEnd;
            // The whole unit is compared: a letter such as U+010D has a line end's low byte.
            while (unitEnd < units.size() && units[unitEnd] != u'\n' && units[unitEnd] != u'\r')
                ++unitEnd;
            if (block.start + byte > last)
                return range.to;
            const Line line{block.start + byte, block.bytes + byte, byteEnd - byte,
                            QStringView(units).mid(unit, unitEnd - unit)};
            if (line.start + line.size >= from) {
                const LineResult result =
                    ScanLine(line, std::max(from, line.start), last, range, found);
                if (result != LineResult::Continue)
                    return range.to;
            }
            if (byteEnd == size)
                break;
            const qsizetype ending = block.bytes[byteEnd] == '\r' && byteEnd + 1 < size &&
                                             block.bytes[byteEnd + 1] == '\n'
                                         ? 2
                                         : 1;
            byte = byteEnd + ending;
            unit = unitEnd + ending;
        }
        if (block.end == length)
            break;
        position = block.end;
        if (position <= last && keepGoing && !keepGoing())
            return position;
    }
    return range.to;
}

LineRegex::LineResult LineRegex::ScanLine(const Line &line, qsizetype from, qsizetype last,
                                          const ScanRange &range, const MatchSink &found) const
{
    OffsetMap offsets(line.bytes, line.size);
    qsizetype unit = offsets.UnitAt(from - line.start);
    while (unit <= line.units.size()) {
        const QRegularExpressionMatch match = expression_.match(line.units, unit);
        // A valid expression gives an invalid match only when the engine gave up.
        if (!match.isValid())
            throw PatternTooComplex();
        if (!match.hasMatch())
            return LineResult::Continue;
        const qsizetype startUnit = match.capturedStart();
        const qsizetype endUnit = match.capturedEnd();
        const qsizetype start = offsets.ByteAt(startUnit);
        const qsizetype end = offsets.ByteAt(endUnit);
        if (line.start + start > last)
            return LineResult::PastRange;
        const bool whole = !range.wholeWord || IsWholeWord(line.bytes, line.size, start, end);
        const qsizetype nextUnit =
            startUnit +
            (startUnit < line.units.size() && line.units[startUnit].isHighSurrogate() ? 2 : 1);
        if (whole) {
            TextMatch result{line.start + start, line.start + end, {}};
            const int groups = std::min(TextMatch::GroupCount, expression_.captureCount());
            for (int group = 1; group <= groups; ++group) {
                if (match.capturedStart(group) < 0)
                    continue;
                const qsizetype groupStart = offsets.ByteAt(match.capturedStart(group));
                const qsizetype groupEnd = offsets.ByteAt(match.capturedEnd(group));
                result.groups[group - 1] = {line.start + groupStart, line.start + groupEnd};
            }
            if (!found(FoundMatch(result, line.bytes, line.start)))
                return LineResult::Stop;
            unit = range.overlapping || endUnit == startUnit ? nextUnit : endUnit;
        } else {
            unit = nextUnit;
        }
    }
    return LineResult::Continue;
}
