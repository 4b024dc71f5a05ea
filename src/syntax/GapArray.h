// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// GapArray: an array of plain records with a gap where the last edit was, for per-line data.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

/// Entries of a trivially copyable type that are all zero bytes until written. Inserting or
/// erasing near the previous edit moves only the entries between the two places, so typing in
/// a long text costs nothing in proportion to its length; fresh entries are zero, and a large
/// array that is reset costs nothing until its entries are touched.
template <typename T> class GapArray
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GapArray() = default;
    ~GapArray() { std::free(data_); }
    GapArray(const GapArray &) = delete;
    GapArray &operator=(const GapArray &) = delete;

    /// Replaces the content by `count` zeroed entries.
    void Reset(std::size_t count)
    {
        std::free(data_);
        data_ = nullptr;
        capacity_ = gapStart_ = gapLength_ = 0;
        Allocate(count + count / 8 + 64);
        gapStart_ = count;
        gapLength_ = capacity_ - count;
    }

    std::size_t Size() const { return capacity_ - gapLength_; }
    T &operator[](std::size_t at) { return data_[at < gapStart_ ? at : at + gapLength_]; }
    const T &operator[](std::size_t at) const
    {
        return data_[at < gapStart_ ? at : at + gapLength_];
    }

    /// Inserts `count` zeroed entries before entry `at`.
    void Insert(std::size_t at, std::size_t count)
    {
        if (gapLength_ < count)
            Grow(count);
        MoveGap(at);
        std::memset(static_cast<void *>(data_ + gapStart_), 0, count * sizeof(T));
        gapStart_ += count;
        gapLength_ -= count;
    }

    /// Removes the `count` entries from entry `at` on.
    void Erase(std::size_t at, std::size_t count)
    {
        MoveGap(at);
        gapLength_ += count;
    }

private:
    void Allocate(std::size_t capacity)
    {
        data_ = static_cast<T *>(std::calloc(capacity, sizeof(T)));
        if (!data_)
            throw std::bad_alloc();
        capacity_ = capacity;
    }

    void MoveGap(std::size_t to)
    {
        if (to < gapStart_)
            std::memmove(static_cast<void *>(data_ + to + gapLength_), data_ + to,
                         (gapStart_ - to) * sizeof(T));
        else if (to > gapStart_)
            std::memmove(static_cast<void *>(data_ + gapStart_), data_ + gapStart_ + gapLength_,
                         (to - gapStart_) * sizeof(T));
        gapStart_ = to;
    }

    void Grow(std::size_t extra)
    {
        const std::size_t tail = capacity_ - gapStart_ - gapLength_;
        const std::size_t capacity = std::max(capacity_ + capacity_ / 2, capacity_ + extra) + 64;
        T *grown = static_cast<T *>(std::realloc(static_cast<void *>(data_), capacity * sizeof(T)));
        if (!grown)
            throw std::bad_alloc();
        data_ = grown;
        std::memmove(static_cast<void *>(data_ + capacity - tail), data_ + gapStart_ + gapLength_,
                     tail * sizeof(T));
        gapLength_ += capacity - capacity_;
        capacity_ = capacity;
    }

    T *data_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t gapStart_ = 0;
    std::size_t gapLength_ = 0;
};
