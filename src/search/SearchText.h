// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SearchText: read access to a document's UTF-8 bytes, as the search engine sees them.
#pragma once

#include <QByteArrayView>

/// A document's bytes, any range of which can be read as one piece of memory.
class SearchText
{
public:
    virtual ~SearchText() = default;

    /// The document's length in bytes.
    virtual qsizetype Length() const = 0;
    /// Bytes [start, start + length), inside the document; valid until the next call.
    virtual const char *Bytes(qsizetype start, qsizetype length) const = 0;
};

/// Text held in memory already.
class ByteText final : public SearchText
{
public:
    explicit ByteText(QByteArrayView bytes) : bytes_(bytes) {}

    qsizetype Length() const override { return bytes_.size(); }
    const char *Bytes(qsizetype start, qsizetype) const override { return bytes_.data() + start; }

private:
    QByteArrayView bytes_;
};
