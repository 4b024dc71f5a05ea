// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The "Quillcode" definition as registered at start-up: how it colours each kind of word, and
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
    // Each kind of word in its style, in any letter case: the ends of every list and the seams
    // where the keyword list's parts meet, where an entry run into its neighbour or cut short
    // would be no word at all; the comment token and the string delimiter; and a word of none.
    void wordsAreColouredByTheirList_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("style");
        // Each style's words, split at "|".
        const auto rows = [](const char *style, const char *words) {
            for (const QString &word : QString::fromUtf8(words).split(QLatin1Char('|')))
                QTest::newRow(qPrintable(word)) << word << QString::fromLatin1(style);
        };
        rows("Keyword", "Abs|Year|End|With|ClearClasses|SendWhoIsOnline|If|if|IF|Then|while|rem|"
                        "LEFT|Dim|Conversions|maths|Trims|Fixs|getplayername|derived MATHS");
        rows("Operator", "-|is|AND|Mod|xor|<>|>=|\\|&");
        rows("Literal", "Empty|empty|False|True|nothing|NULL|Null");
        rows("Constant", "vbBlack|vbArray|VbCrLf|vbCrLf|VBCR|VbLf|vbTrue|vbfalse");
        rows("Comment", "' note");
        rows("String", "\"If\"");
        rows("Default", "Player");
    }

    void wordsAreColouredByTheirList()
    {
        QFETCH(QString, word);
        QFETCH(QString, style);
        QCOMPARE(StyleOf(*Quillcode(), word), style);
    }

    // The names the completion list offers are coloured as the language's own words.
    void serverFunctionsAreKeywords()
    {
        const auto definition = Quillcode();
        for (const QLatin1StringView name : modQuillcode::ServerFunctionNames)
            QCOMPARE(StyleOf(*definition, name), QStringLiteral("Keyword"));
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
