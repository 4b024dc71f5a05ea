// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The "Quillcode" definition as registered at start-up: its settings, its four lists, and
// selection.
#include "app/CommandGuard.h"
#include "app/frmMain.h"
#include "common/EditorError.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "syntax/LanguageDefinition.h"
#include "syntax/LanguageRegistry.h"
#include "syntax/LexerCore.h"

#include <string>

namespace
{

std::shared_ptr<const LanguageDefinition> Quillcode()
{
    modQuillcode::SetupLanguage();
    return LanguageRegistry().Find(QStringLiteral("Quillcode"));
}

QString ListNamed(const LanguageDefinition &definition, const QString &name)
{
    if (name == QLatin1String("keywords"))
        return definition.KeywordList;
    if (name == QLatin1String("operators"))
        return definition.OperatorList;
    if (name == QLatin1String("literals"))
        return definition.LiteralList;
    return definition.ConstantList;
}

// The style the definition gives `word` when it stands alone on a line.
QString StyleOf(const LanguageDefinition &definition, const QString &word)
{
    const LexerCore::Lexicon lexicon = CompileLexicon(definition);
    const std::string text = word.toStdString();
    std::string styles(text.size(), '\0');
    lexicon.StyleText(text.data(), text.size(), reinterpret_cast<unsigned char *>(styles.data()));
    if (styles.find_first_not_of(styles.front()) != std::string::npos)
        return QStringLiteral("several tokens");
    const auto style = static_cast<LexerCore::Style>(styles.front());
    return QString::fromStdString(std::string(LexerCore::StyleName(style)));
}

} // namespace

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void settingsOfTheDefinition()
    {
        const auto definition = Quillcode();
        QVERIFY(definition);
        QCOMPARE(definition->MatchCase, false);
        QCOMPARE(definition->LanguageMode, 0);
        QCOMPARE(definition->CommentToken, QStringLiteral("'"));
        QCOMPARE(definition->StringDelimiter, QString(QChar(34)));
        QVERIFY(definition->SpecialChar.isEmpty());
    }

    void wordLists_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<bool>("endsWithLineFeed");
        QTest::newRow("keywords") << "keywords" << 200 << "Abs"
                                  << "SendWhoIsOnline" << false;
        QTest::newRow("operators") << "operators" << 21 << "-"
                                   << "is" << true;
        QTest::newRow("literals") << "literals" << 5 << "Empty"
                                  << "Null" << true;
        QTest::newRow("constants") << "constants" << 77 << "vbBlack"
                                   << "vbArray" << true;
    }

    void wordLists()
    {
        QFETCH(QString, list);
        QFETCH(int, size);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(bool, endsWithLineFeed);
        const QString text = ListNamed(*Quillcode(), list);
        const QStringList entries = WordListEntries(text);
        QCOMPARE(entries.size(), size);
        QCOMPARE(entries.first(), first);
        QCOMPARE(entries.last(), last);
        QCOMPARE(text.endsWith(QLatin1Char('\n')), endsWithLineFeed);
        QVERIFY(!text.startsWith(QLatin1Char('\n')));
        QVERIFY(!text.contains(QStringLiteral("\n\n")));
        QVERIFY(!text.contains(QLatin1Char('\r')));
        QCOMPARE(text.count(QLatin1Char('\n')), endsWithLineFeed ? size : size - 1);
    }

    void keywordListRunsInOrder()
    {
        const QStringList keywords = WordListEntries(Quillcode()->KeywordList);
        QCOMPARE(keywords.mid(94, 2), (QStringList{"Year", "End"}));
        QCOMPARE(keywords.mid(139, 2), (QStringList{"With", "ClearClasses"}));
        QStringList serverFunctions;
        for (const QLatin1StringView name : modQuillcode::ServerFunctionNames)
            serverFunctions << name;
        QCOMPARE(keywords.mid(140), serverFunctions);
        QCOMPARE(keywords.count(QStringLiteral("While")), 2);
        QCOMPARE(keywords.count(QStringLiteral("Derived Maths")), 1);
        for (const char *entry : {"Conversions", "Maths", "Trims", "Fixs", "REM", "Then", "Left",
                                  "Dim", "GetPlayerName"})
            QVERIFY2(keywords.contains(QLatin1StringView(entry)), entry);
        QVERIFY(!keywords.contains(QStringLiteral("Rem")));
    }

    void operatorsHoldWordsAndSymbols()
    {
        QCOMPARE(WordListEntries(Quillcode()->OperatorList),
                 (QStringList{"-", "not", "^",   "=",  "<>",  "and", "*",  "/",   "<", "or", "\\",
                              ">", "xor", "mod", "<=", "eqv", "+",   ">=", "imp", "&", "is"}));
    }

    void constantsAndLiteralsAreSpelledAsGiven()
    {
        const QStringList constants = WordListEntries(Quillcode()->ConstantList);
        const QStringList literals = WordListEntries(Quillcode()->LiteralList);
        QCOMPARE(constants.mid(48, 3), (QStringList{"vbCr", "VbCrLf", "VbLf"}));
        QCOMPARE(literals, (QStringList{"Empty", "False", "Nothing", "True", "Null"}));
        QVERIFY(constants.contains(QStringLiteral("vbTrue")));
        QVERIFY(constants.contains(QStringLiteral("vbFalse")));
        const QStringList keywords = WordListEntries(Quillcode()->KeywordList);
        for (const QString &literal : literals) {
            QVERIFY(!constants.contains(literal, Qt::CaseInsensitive));
            QVERIFY(!keywords.contains(literal, Qt::CaseInsensitive));
        }
    }

    void wordsAreRecognisedInAnyCase_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("style");
        QTest::newRow("If") << "If"
                            << "Keyword";
        QTest::newRow("if") << "if"
                            << "Keyword";
        QTest::newRow("IF") << "IF"
                            << "Keyword";
        QTest::newRow("Then") << "Then"
                              << "Keyword";
        QTest::newRow("While") << "while"
                               << "Keyword";
        QTest::newRow("rem") << "rem"
                             << "Keyword";
        QTest::newRow("Left") << "LEFT"
                              << "Keyword";
        QTest::newRow("GetPlayerName") << "getplayername"
                                       << "Keyword";
        QTest::newRow("Derived Maths") << "derived MATHS"
                                       << "Keyword";
        QTest::newRow("AND") << "AND"
                             << "Operator";
        QTest::newRow("Mod") << "Mod"
                             << "Operator";
        QTest::newRow("<>") << "<>"
                            << "Operator";
        QTest::newRow("VbCrLf") << "VbCrLf"
                                << "Constant";
        QTest::newRow("vbCrLf") << "vbCrLf"
                                << "Constant";
        QTest::newRow("VBCR") << "VBCR"
                              << "Constant";
        QTest::newRow("vbTrue") << "vbTrue"
                                << "Constant";
        QTest::newRow("vbFalse") << "vbfalse"
                                 << "Constant";
        QTest::newRow("True") << "True"
                              << "Literal";
        QTest::newRow("nothing") << "nothing"
                                 << "Literal";
        QTest::newRow("NULL") << "NULL"
                              << "Literal";
        QTest::newRow("Empty") << "empty"
                               << "Literal";
        QTest::newRow("not a word of the language") << "Player"
                                                    << "Default";
        QTest::newRow("comment") << "' note"
                                 << "Comment";
        QTest::newRow("string") << "\"If\""
                                << "String";
    }

    void wordsAreRecognisedInAnyCase()
    {
        QFETCH(QString, word);
        QFETCH(QString, style);
        QCOMPARE(StyleOf(*Quillcode(), word), style);
    }

    void wordListEntriesTakeEachPieceAsSpelled_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("final line feed") << "a\nb\n" << QStringList{"a", "b"};
        QTest::newRow("no final line feed") << "a\nb" << QStringList{"a", "b"};
        QTest::newRow("blanks kept") << " a \nb c\n" << QStringList{" a ", "b c"};
        QTest::newRow("duplicates kept") << "While\nWhile" << QStringList{"While", "While"};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void wordListEntriesTakeEachPieceAsSpelled()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, entries);
        QCOMPARE(WordListEntries(list), entries);
    }

    void secondSetupRegistersNothing()
    {
        const auto first = Quillcode();
        LanguageDefinition marker;
        marker.KeywordList = QStringLiteral("Marker");
        LanguageRegistry().RegisterLanguage(QStringLiteral("Quillcode"), marker);
        modQuillcode::SetupLanguage();
        const auto after = LanguageRegistry().Find(QStringLiteral("Quillcode"));
        LanguageRegistry().RegisterLanguage(QStringLiteral("Quillcode"), *first);
        QCOMPARE(after->KeywordList, QStringLiteral("Marker"));
    }

    void startUpSelectsQuillcode()
    {
        auto scripted = std::make_unique<ScriptedPrompts>();
        ScriptedPrompts *prompts = scripted.get();
        frmMainServices services;
        services.prompts = std::move(scripted);
        frmMain form(std::move(services));
        QVERIFY(prompts->errors.isEmpty());
        QCOMPARE(form.Code->LanguageName(), QStringLiteral("Quillcode"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Quillmark"));
    }

    void unknownLanguageIsAFailureOfTheControl()
    {
        Quillcode();
        EditorControl code;
        QVERIFY_THROWS_EXCEPTION(EditorError, code.SetLanguageName(QStringLiteral("Klingon")));
        QVERIFY(code.LanguageName().isEmpty());
        code.SetLanguageName(QStringLiteral("Quillcode"));
        QVERIFY_THROWS_EXCEPTION(EditorError, code.SetLanguageName(QStringLiteral("quillcode")));
        QCOMPARE(code.LanguageName(), QStringLiteral("Quillcode"));
        ScriptedPrompts prompts;
        QVERIFY(!RunCommand(prompts, QStringLiteral("Start-up"),
                            [&] { code.SetLanguageName(QStringLiteral("Klingon")); }));
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY(prompts.errors[0].contains(QStringLiteral("Klingon")));
    }
};

QUILLMARK_TEST_MAIN(LanguageTest)
#include "tst_language.moc"
