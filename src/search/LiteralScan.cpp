// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LiteralScan: finding a fixed string of bytes, exactly or with ASCII letters in either case.
#include "LiteralScan.h"

#include "WordBoundary.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace
{

// Sixteen bytes side by side; the compiler turns operations on them into vector instructions.
using Bytes16 = unsigned char __attribute__((vector_size(16)));

Bytes16 Load16(const unsigned char *at)
{
    Bytes16 bytes;
    std::memcpy(&bytes, at, sizeof bytes);
    return bytes;
}

Bytes16 Splat16(unsigned char byte)
{
    Bytes16 bytes = {};
    for (int i = 0; i < 16; ++i)
        bytes[i] = byte;
    return bytes;
}

bool AnySet(const Bytes16 &bytes)
{
    std::uint64_t halves[2];
    std::memcpy(halves, &bytes, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

bool IsAsciiLetter(char byte)
{
    const char lower = static_cast<char>(byte | 0x20);
    return lower >= 'a' && lower <= 'z';
}

} // namespace

LiteralScan::LiteralScan(const QByteArray &needle, bool foldAsciiCase)
    : needle_(needle), caseBits_(needle.size(), '\0')
{
    if (!foldAsciiCase)
        return;
    for (qsizetype i = 0; i < needle_.size(); ++i) {
        if (IsAsciiLetter(needle_[i])) {
            fold_ = true;
            needle_[i] = static_cast<char>(needle_[i] | 0x20);
            caseBits_[i] = 0x20;
        }
    }
}

qsizetype LiteralScan::Find(const char *bytes, qsizetype size, qsizetype from) const
{
    if (size - from < needle_.size())
        return -1;
    if (fold_)
        return FindFolded(reinterpret_cast<const unsigned char *>(bytes), size, from);
    const void *found = memmem(bytes + from, static_cast<std::size_t>(size - from),
                               needle_.constData(), static_cast<std::size_t>(needle_.size()));
    return found ? static_cast<const char *>(found) - bytes : -1;
}

// Sixteen starts at a time: a start is a candidate when the needle's first and last bytes both
// match there (letters folded by setting their case bit), and only candidates are compared in
// full.
qsizetype LiteralScan::FindFolded(const unsigned char *bytes, qsizetype size, qsizetype from) const
{
    const auto *needle = reinterpret_cast<const unsigned char *>(needle_.constData());
    const auto *bits = reinterpret_cast<const unsigned char *>(caseBits_.constData());
    const qsizetype lastByte = needle_.size() - 1;
    const qsizetype lastStart = size - needle_.size();
    const Bytes16 first = Splat16(needle[0]), firstBits = Splat16(bits[0]);
    const Bytes16 last = Splat16(needle[lastByte]), lastBits = Splat16(bits[lastByte]);
    qsizetype start = from;
    for (; start + 15 <= lastStart; start += 16) {
        const Bytes16 candidates = Bytes16((Load16(bytes + start) | firstBits) == first) &
                                   Bytes16((Load16(bytes + start + lastByte) | lastBits) == last);
        if (!AnySet(candidates))
            continue;
        for (int lane = 0; lane < 16; ++lane) {
            if (candidates[lane] && FoldedMatchAt(bytes + start + lane))
                return start + lane;
        }
    }
    for (; start <= lastStart; ++start) {
        if ((bytes[start] | bits[0]) == needle[0] && FoldedMatchAt(bytes + start))
            return start;
    }
    return -1;
}

bool LiteralScan::FoldedMatchAt(const unsigned char *at) const
{
    const auto *needle = reinterpret_cast<const unsigned char *>(needle_.constData());
    const auto *bits = reinterpret_cast<const unsigned char *>(caseBits_.constData());
    for (qsizetype i = 0; i < needle_.size(); ++i) {
        if ((at[i] | bits[i]) != needle[i])
            return false;
    }
    return true;
}

qsizetype LiteralScan::Scan(const SearchText &text, const ScanRange &range, const MatchSink &found,
                            const KeepGoing &keepGoing) const
{
    const qsizetype length = text.Length();
    const qsizetype to = std::min(range.to, length);
    const qsizetype size = needle_.size();
    qsizetype position = range.from;
    while (position < to) {
        const qsizetype pieceEnd = std::min(to, position + PieceBytes);
        const qsizetype windowStart = std::max<qsizetype>(0, position - Margin);
        const qsizetype scanEnd = std::min(length, pieceEnd + size - 1);
        const qsizetype windowSize = std::min(length, scanEnd + Margin) - windowStart;
        const char *window = text.Bytes(windowStart, windowSize);
        qsizetype next = pieceEnd;
        qsizetype at = position - windowStart;
        while ((at = Find(window, scanEnd - windowStart, at)) >= 0 && windowStart + at < pieceEnd) {
            if (range.wholeWord && !IsWholeWord(window, windowSize, at, at + size)) {
                ++at;
                continue;
            }
            const TextMatch match{windowStart + at, windowStart + at + size, {}};
            if (!found(FoundMatch(match, window, windowStart)))
                return range.to;
            at += range.overlapping ? 1 : size;
            next = std::max(next, windowStart + at);
        }
        position = next;
        if (position < to && keepGoing && !keepGoing())
            return position;
    }
    return range.to;
}
