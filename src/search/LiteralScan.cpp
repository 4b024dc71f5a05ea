// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LiteralScan: finding a fixed string of bytes, exactly or with ASCII letters in either case.
#include "LiteralScan.h"

#include "WordBoundary.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace
{

constexpr std::uint64_t OnesInEveryByte = 0x0101010101010101ULL;
constexpr std::uint64_t HighBitOfEveryByte = 0x8080808080808080ULL;

std::uint64_t Broadcast(unsigned char byte)
{
    return OnesInEveryByte * byte;
}

// The high bit set in every byte of `word` that is zero, and possibly in some bytes above one
// that is (they are checked again anyway); never missing a zero byte.
std::uint64_t ZeroBytes(std::uint64_t word)
{
    return (word - OnesInEveryByte) & ~word & HighBitOfEveryByte;
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

// Eight starts at a time: a start is a candidate when the needle's first and last bytes both
// match there (letters folded by setting their case bit), and only candidates are compared in
// full.
qsizetype LiteralScan::FindFolded(const unsigned char *bytes, qsizetype size, qsizetype from) const
{
    const auto *needle = reinterpret_cast<const unsigned char *>(needle_.constData());
    const auto *bits = reinterpret_cast<const unsigned char *>(caseBits_.constData());
    const qsizetype lastByte = needle_.size() - 1;
    const qsizetype lastStart = size - needle_.size();
    const std::uint64_t first = Broadcast(needle[0]), firstBits = Broadcast(bits[0]);
    const std::uint64_t last = Broadcast(needle[lastByte]), lastBits = Broadcast(bits[lastByte]);
    qsizetype start = from;
    for (; start + 7 <= lastStart; start += 8) {
        const std::uint64_t head = qFromLittleEndian<std::uint64_t>(bytes + start) | firstBits;
        const std::uint64_t tail =
            qFromLittleEndian<std::uint64_t>(bytes + start + lastByte) | lastBits;
        std::uint64_t candidates = ZeroBytes(head ^ first) & ZeroBytes(tail ^ last);
        while (candidates) {
            const qsizetype at = start + std::countr_zero(candidates) / 8;
            if (FoldedMatchAt(bytes + at))
                return at;
            candidates &= candidates - 1;
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
