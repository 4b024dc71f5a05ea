// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DocumentSettings: what Scintilla keeps per document rather than per view, carried to a new one.
#pragma once

#include <QByteArray>

class QsciScintilla;

/// What Scintilla keeps per document rather than per view, read from the old document so the
/// new one behaves the same.
struct DocumentSettings {
    long codePage = 0;
    long tabWidth = 0;
    long indent = 0;
    long useTabs = 0;
    long tabIndents = 0;
    long backspaceUnindents = 0;
    long lineEndTypes = 0;
    long readOnly = 0;
    long lexer = 0;
    QByteArray wordCharacters;
    QByteArray blankCharacters;
    QByteArray punctuation;

    static DocumentSettings Of(const QsciScintilla &view);
    void ApplyTo(QsciScintilla &view) const;
};
