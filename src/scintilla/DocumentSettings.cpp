// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DocumentSettings: the settings a document keeps, read from one view and given to another.
#include "DocumentSettings.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

namespace
{

using Sci = QsciScintillaBase;

/// Scintilla's keyword lists are numbered 0 to 8.
constexpr int KeywordSets = 9;

/// The characters of one class (word, blank, punctuation) as a string Scintilla takes back.
QByteArray CharactersOfClass(const QsciScintilla &view, unsigned int getMessage)
{
    const long count = view.SendScintilla(getMessage, 0UL, static_cast<void *>(nullptr));
    QByteArray characters(count + 1, '\0');
    view.SendScintilla(getMessage, 0UL, static_cast<void *>(characters.data()));
    return characters;
}

/// The keyword lists and properties a QScintilla lexer gave the old document; the styles
/// belong to the view and stay. Nothing is coloured here: the view colours what it paints.
void ApplyLexerDocumentState(QsciScintilla &view)
{
    QsciLexer *lexer = view.lexer();
    if (!lexer)
        return;
    view.SendScintilla(Sci::SCI_SETPROPERTY, "fold", "1");
    view.SendScintilla(Sci::SCI_SETPROPERTY, "fold.html", "1");
    for (int set = 0; set < KeywordSets; ++set) {
        const char *words = lexer->keywords(set + 1);
        view.SendScintilla(Sci::SCI_SETKEYWORDS, static_cast<unsigned long>(set),
                           words ? words : "");
    }
    lexer->refreshProperties();
}

} // namespace

DocumentSettings DocumentSettings::Of(const QsciScintilla &view)
{
    DocumentSettings settings;
    settings.codePage = view.SendScintilla(Sci::SCI_GETCODEPAGE);
    settings.tabWidth = view.SendScintilla(Sci::SCI_GETTABWIDTH);
    settings.indent = view.SendScintilla(Sci::SCI_GETINDENT);
    settings.useTabs = view.SendScintilla(Sci::SCI_GETUSETABS);
    settings.tabIndents = view.SendScintilla(Sci::SCI_GETTABINDENTS);
    settings.backspaceUnindents = view.SendScintilla(Sci::SCI_GETBACKSPACEUNINDENTS);
    settings.lineEndTypes = view.SendScintilla(Sci::SCI_GETLINEENDTYPESALLOWED);
    settings.readOnly = view.SendScintilla(Sci::SCI_GETREADONLY);
    settings.lexer = view.SendScintilla(Sci::SCI_GETLEXER);
    settings.wordCharacters = CharactersOfClass(view, Sci::SCI_GETWORDCHARS);
    settings.blankCharacters = CharactersOfClass(view, Sci::SCI_GETWHITESPACECHARS);
    settings.punctuation = CharactersOfClass(view, Sci::SCI_GETPUNCTUATIONCHARS);
    return settings;
}

void DocumentSettings::ApplyTo(QsciScintilla &view) const
{
    view.SendScintilla(Sci::SCI_SETCODEPAGE, codePage);
    view.SendScintilla(Sci::SCI_SETTABWIDTH, tabWidth);
    view.SendScintilla(Sci::SCI_SETINDENT, indent);
    view.SendScintilla(Sci::SCI_SETUSETABS, useTabs);
    view.SendScintilla(Sci::SCI_SETTABINDENTS, tabIndents);
    view.SendScintilla(Sci::SCI_SETBACKSPACEUNINDENTS, backspaceUnindents);
    view.SendScintilla(Sci::SCI_SETLINEENDTYPESALLOWED, lineEndTypes);
    view.SendScintilla(Sci::SCI_SETWORDCHARS, 0UL, wordCharacters.constData());
    view.SendScintilla(Sci::SCI_SETWHITESPACECHARS, 0UL, blankCharacters.constData());
    view.SendScintilla(Sci::SCI_SETPUNCTUATIONCHARS, 0UL, punctuation.constData());
    view.SendScintilla(Sci::SCI_SETLEXER, lexer);
    ApplyLexerDocumentState(view);
    view.SendScintilla(Sci::SCI_SETREADONLY, readOnly);
}
