// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lexer: its rules over bytes, the colours of sample scripts however they are sliced,
// restyling after edits, and fonts.
#include "colouring/QuillLexer.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"
#include "support/TestMain.h"
#include "syntax/LexerCore.h"

#include <Qsci/qsciscintilla.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <string>

namespace
{

using Sci = QsciScintillaBase;

// Scintilla's font sizes are hundredths of a point.
long ScintillaSize(int pixels, const QWidget *view)
{
    return qRound(pixels * 72.0 / view->logicalDpiY() * 100);
}

struct Words {
    const char *keywords = "";
    const char *operators = "";
    const char *literals = "";
    const char *constants = "";
    const char *comment = "";
    const char *delimiter = "";
    bool matchCase = false;
};

Words Basic()
{
    Words words;
    words.keywords = "If\nThen\nDerived Maths\nREM\nSize";
    words.operators = "<\n<=\n<>\n>\n>=\n=\nand\nmod\nis\n&\n-\n";
    words.literals = "True\nNothing\n";
    words.constants = "vbTrue\nVbCrLf\n";
    words.comment = "'";
    words.delimiter = "\"";
    return words;
}

Words NamedWords(const QString &name)
{
    Words words = Basic();
    if (name == QLatin1String("match case")) {
        words.matchCase = true;
    } else if (name == QLatin1String("letter tokens")) {
        words.comment = "REM";
        words.delimiter = "%%";
    } else if (name == QLatin1String("overlapping")) {
        words.keywords = "X\nA B\nA B C";
        words.constants = "X\nA B D\nx";
        words.operators = "-\n--\n-x\n";
    } else if (name == QLatin1String("nothing")) {
        words = Words{};
    }
    return words;
}

constexpr char StyleLetters[] = "DKOLCMSN";

// One letter per character: the style of its first byte.
QString StyleLettersFor(const Words &words, const QString &text)
{
    const LexerCore::Lexicon lexicon(
        LexerCore::Settings{words.matchCase, words.keywords, words.operators, words.literals,
                            words.constants, words.comment, words.delimiter});
    const QByteArray bytes = text.toUtf8();
    std::string styles(static_cast<std::size_t>(bytes.size()), '\0');
    lexicon.StyleText(bytes.constData(), styles.size(),
                      reinterpret_cast<unsigned char *>(styles.data()));
    QString letters;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80)
            letters += QLatin1Char(
                StyleLetters[static_cast<unsigned char>(styles[static_cast<std::size_t>(i)])]);
    }
    return letters;
}

QsciScintilla *ViewOf(EditorControl &code)
{
    return code.findChild<QsciScintilla *>();
}

EditorControl *NewQuillcodeControl()
{
    modQuillcode::SetupLanguage();
    auto *code = new EditorControl;
    code->SetLanguageName(QStringLiteral("Quillcode"));
    return code;
}

QByteArray TextOf(QsciScintilla *view)
{
    const long length = view->SendScintilla(Sci::SCI_GETLENGTH);
    return QByteArray(
        reinterpret_cast<const char *>(view->SendScintilla(Sci::SCI_GETCHARACTERPOINTER)), length);
}

// The style of every byte as the view shows it, line ends included.
QByteArray ShownStylesOf(QsciScintilla *view)
{
    const long length = view->SendScintilla(Sci::SCI_GETLENGTH);
    QByteArray styles(length, '\0');
    for (long position = 0; position < length; ++position)
        styles[qsizetype(position)] = static_cast<char>(QuillLexer::LexerStyle(
            static_cast<int>(view->SendScintilla(Sci::SCI_GETSTYLEAT, position))));
    return styles;
}

// The lexer's style of every byte, as the view shows it. The view gives a line end the style
// of the character it ends; such a line end counts as the plain text the lexer calls it.
QByteArray StylesOf(QsciScintilla *view)
{
    const QByteArray text = TextOf(view);
    const QByteArray shown = ShownStylesOf(view);
    QByteArray styles = shown;
    for (qsizetype at = 1; at < text.size(); ++at) {
        const bool lineEnd = text[at] == '\n' || text[at] == '\r';
        if (lineEnd && text[at - 1] != '\n' && shown[at] == shown[at - 1])
            styles[at] = LexerCore::Default;
    }
    return styles;
}

QString Quoted(const QByteArray &bytes)
{
    QString quoted = QString::fromUtf8(bytes);
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    quoted.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// One token a line: "line:column Style "text"", columns in characters; line ends are left out
// but reported when they are not plain text.
QString StyleDump(const QByteArray &text, const QByteArray &styles)
{
    QStringList dump;
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype at = 0; at < text.size();) {
        const char byte = text[at];
        if (byte == '\r' || byte == '\n') {
            if (styles[at] != LexerCore::Default)
                dump << QStringLiteral("%1 line end styled %2").arg(line).arg(int(styles[at]));
            if (byte == '\n' || at + 1 >= text.size() || text[at + 1] != '\n')
                ++line, lineStart = at + 1;
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < text.size() && styles[end] == styles[at] && text[end] != '\r' &&
               text[end] != '\n')
            ++end;
        const auto style = static_cast<LexerCore::Style>(styles[at]);
        dump << QStringLiteral("%1:%2 %3 %4")
                    .arg(line)
                    .arg(QString::fromUtf8(text.mid(lineStart, at - lineStart)).size())
                    .arg(QString::fromStdString(std::string(LexerCore::StyleName(style))), -8)
                    .arg(Quoted(text.mid(at, end - at)));
        at = end;
    }
    return dump.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString DataPath(const QString &name)
{
    return QDir(qEnvironmentVariable("QUILLMARK_TEST_DATA"))
        .filePath(QStringLiteral("lexer/") + name);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class LexerTest : public QObject
{
    Q_OBJECT

    QsciScintilla *LoadSample(EditorControl &code, const QString &sample)
    {
        const QByteArray script = ReadFile(DataPath(sample + QStringLiteral(".qc")));
        if (script.isEmpty())
            return nullptr;
        code.SetText(QString::fromUtf8(script));
        return ViewOf(code);
    }

    void CompareWithDump(QsciScintilla *view, const QString &sample)
    {
        QVERIFY(view);
        const QString actual = StyleDump(TextOf(view), StylesOf(view));
        const QString expectedPath = DataPath(sample + QStringLiteral(".styles"));
        const QString expected = QString::fromUtf8(ReadFile(expectedPath));
        if (actual != expected) {
            QFile out(expectedPath + QStringLiteral(".actual"));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(actual.toUtf8());
            QFAIL(qPrintable(
                QStringLiteral("styles differ; the actual dump is in %1").arg(out.fileName())));
        }
    }

private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("styles");
        QTest::newRow("keyword in any case") << "basic"
                                             << "If if IF iF"
                                             << "KKDKKDKKDKK";
        QTest::newRow("keyword with the letter z in any case") << "basic"
                                                               << "Size SIZE sizE"
                                                               << "KKKKDKKKKDKKKK";
        QTest::newRow("keyword with match case") << "match case"
                                                 << "If if IF"
                                                 << "KKDDDDDD";
        QTest::newRow("symbols longest first") << "basic"
                                               << "a<>b<=c>=d<e>f=g"
                                               << "DOODOODOODODODOD";
        QTest::newRow("operator words whole only") << "basic"
                                                   << "and band andy AND mod modx is island"
                                                   << "OOODDDDDDDDDDDOOODOOODDDDDDOODDDDDDD";
        QTest::newRow("entry with a blank") << "basic"
                                            << "Derived Maths|derived maths|Derived  Maths"
                                            << "KKKKKKKKKKKKKDKKKKKKKKKKKKKDDDDDDDDDDDDDDD";
        QTest::newRow("entry with a blank needs a word end") << "basic"
                                                             << "Derived Mathsx|DerivedMaths"
                                                             << "DDDDDDDDDDDDDDDDDDDDDDDDDDD";
        QTest::newRow("literals and constants") << "basic"
                                                << "True vbtrue nothing VBCRLF"
                                                << "LLLLDCCCCCCDLLLLLLLDCCCCCC";
        QTest::newRow("word boundaries") << "basic"
                                         << "_If If_ If1 xIf é If éIf"
                                         << "DDDDDDDDDDDDDDDDDDKKDDDD";
        QTest::newRow("comment to the line end") << "basic"
                                                 << "If x ' If \"no string"
                                                 << "KKDDDMMMMMMMMMMMMMMM";
        QTest::newRow("comment ends at LF") << "basic"
                                            << "'a\nIf"
                                            << "MMDKK";
        QTest::newRow("comment ends at CRLF") << "basic"
                                              << "x'\r\nIf"
                                              << "DMDDKK";
        QTest::newRow("comment ends at CR") << "basic"
                                            << "'\rIf"
                                            << "MDKK";
        QTest::newRow("string with doubled quotes") << "basic"
                                                    << "\"a\"\"b\" 'c"
                                                    << "SSSSSSDMM";
        QTest::newRow("empty and quote-only strings") << "basic"
                                                      << "\"\"&\"\"\"\""
                                                      << "SSOSSSS";
        QTest::newRow("apostrophe inside a string") << "basic"
                                                    << "\"it's\" If"
                                                    << "SSSSSSDKK";
        QTest::newRow("unterminated string ends at its line") << "basic"
                                                              << "x = \"ab 'c\nIf"
                                                              << "DDODSSSSSSDKK";
        QTest::newRow("numbers") << "basic"
                                 << "12 3.5 1e10 2.5E-3 .5 7#"
                                 << "NNDNNNDNNNNDNNNNNNDNNDND";
        QTest::newRow("number glued letters") << "basic"
                                              << "12abc x1 x.5 1.2.3"
                                              << "NNNNNDDDDDDNDNNNDN";
        QTest::newRow("radix numbers") << "basic"
                                       << "&HFF &hff& &O17 &O8 &Hello a&b"
                                       << "NNNNDNNNNNDNNNNDODDDODDDDDDDOD";
        QTest::newRow("minus is an operator") << "basic"
                                              << "-5-x"
                                              << "ONOD";
        QTest::newRow("letter comment token") << "letter tokens"
                                              << "rem x|REMARK|xREM y|REM"
                                              << "MMMMMMMMMMMMMMMMMMMMMMM";
        QTest::newRow("letter comment token inside words") << "letter tokens"
                                                           << "REMARK xREM REMx"
                                                           << "DDDDDDDDDDDDDDDD";
        QTest::newRow("long delimiter doubled") << "letter tokens"
                                                << "%%a%%%%b%%c"
                                                << "SSSSSSSSSSD";
        QTest::newRow("first list wins, longest entry first") << "overlapping"
                                                              << "X A B C A B D A B A BC"
                                                              << "KDKKKKKDCCCCCDKKKDDDDD";
        QTest::newRow("symbol ending in a letter") << "overlapping"
                                                   << "--x -x -xy -"
                                                   << "OOKDOODODDDO";
        QTest::newRow("no words, no comment, no strings") << "nothing"
                                                          << "'If \"x\" 1"
                                                          << "DDDDDDDDN";
    }

    void rules()
    {
        QFETCH(QString, words);
        QFETCH(QString, text);
        QFETCH(QString, styles);
        QCOMPARE(StyleLettersFor(NamedWords(words), text), styles);
    }

    void sampleScriptsMatchTheirStyleDumps_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::newRow("server events") << "server_events";
        QTest::newRow("edge cases") << "edge_cases";
    }

    void sampleScriptsMatchTheirStyleDumps()
    {
        QFETCH(QString, sample);
        std::unique_ptr<EditorControl> code(NewQuillcodeControl());
        QsciScintilla *view = LoadSample(*code, sample);
        QVERIFY(view);
        view->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
        CompareWithDump(view, sample);
    }

    // Every line colours on its own, so slices of any size, in any order, through the paths that
    // colour on request and in the background, give the colours of one whole pass.
    void sampleScriptsInRandomSlicesMatchTheirStyleDumps_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<bool>("background");
        QTest::addColumn<quint32>("seed");
        for (const char *sample : {"server_events", "edge_cases"}) {
            for (quint32 seed : {1u, 2u, 3u}) {
                QTest::addRow("%s, requested slices, seed %u", sample, seed)
                    << QString::fromLatin1(sample) << false << seed;
                QTest::addRow("%s, background slices, seed %u", sample, seed)
                    << QString::fromLatin1(sample) << true << seed;
            }
        }
    }

    void sampleScriptsInRandomSlicesMatchTheirStyleDumps()
    {
        QFETCH(QString, sample);
        QFETCH(bool, background);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        std::unique_ptr<EditorControl> code(NewQuillcodeControl());
        QsciScintilla *view = LoadSample(*code, sample);
        QVERIFY(view);
        auto *lexer = code->findChild<QuillLexer *>();
        QVERIFY(lexer);
        const long length = view->SendScintilla(Sci::SCI_GETLENGTH);
        const long lines = view->SendScintilla(Sci::SCI_GETLINECOUNT);
        if (background) {
            int slices = 0;
            while (lexer->ColourWaiting(random.bounded(int(lines)), random.bounded(1, 200)))
                QVERIFY(++slices < 10000);
        } else {
            std::vector<long> cuts{0, length};
            for (int i = 0; i < 12; ++i)
                cuts.push_back(random.bounded(int(length)));
            std::sort(cuts.begin(), cuts.end());
            std::vector<std::pair<long, long>> slices;
            for (std::size_t i = 1; i < cuts.size(); ++i)
                if (cuts[i - 1] < cuts[i])
                    slices.emplace_back(cuts[i - 1], cuts[i]);
            std::shuffle(slices.begin(), slices.end(), random);
            for (const auto &[start, end] : slices)
                view->SendScintilla(Sci::SCI_COLOURISE, static_cast<unsigned long>(start), end);
        }
        CompareWithDump(view, sample);
    }

    void restylingAfterAnEditMatchesStylingAfresh_data()
    {
        QTest::addColumn<QString>("anchor");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<int>("removed");
        QTest::newRow("quote opens a string to the line end") << "GetPlayerLevel("
                                                              << "\"" << 0;
        QTest::newRow("apostrophe starts a comment") << "level >= "
                                                     << "'" << 0;
        QTest::newRow("closing quote removed") << "& \"\"\"!\""
                                               << "" << 1;
        QTest::newRow("line break inside a string") << "Welcome back"
                                                    << "\n"
                                                    << 0;
        QTest::newRow("two lines joined") << "Then\n"
                                          << "" << 1;
        QTest::newRow("keyword split") << "lseIf"
                                       << " " << 0;
        QTest::newRow("several lines pasted") << "End Function"
                                              << "x = \"a\nb\" ' c\r\nIf" << 0;
        QTest::newRow("word glued to a keyword") << "Then\n        greeting"
                                                 << "x" << 0;
    }

    void restylingAfterAnEditMatchesStylingAfresh()
    {
        QFETCH(QString, anchor);
        QFETCH(QString, inserted);
        QFETCH(int, removed);
        const QString original =
            QString::fromUtf8(ReadFile(DataPath(QStringLiteral("server_events.qc"))));
        QVERIFY(original.contains(anchor));
        const qsizetype at = original.indexOf(anchor) + anchor.size() - removed;
        const QString edited = QString(original).replace(at, removed, inserted);

        std::unique_ptr<EditorControl> code(NewQuillcodeControl());
        code->SetText(original);
        QsciScintilla *view = ViewOf(*code);
        view->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
        const QByteArray before = original.left(at).toUtf8();
        view->SendScintilla(
            Sci::SCI_SETSEL, static_cast<unsigned long>(before.size()),
            static_cast<long>(before.size() + original.mid(at, removed).toUtf8().size()));
        view->SendScintilla(Sci::SCI_REPLACESEL, 0UL, inserted.toUtf8().constData());
        const long end = view->SendScintilla(Sci::SCI_GETLENGTH);
        QVERIFY(view->SendScintilla(Sci::SCI_GETENDSTYLED) < end);
        view->SendScintilla(Sci::SCI_COLOURISE, static_cast<unsigned long>(end), -1L);

        std::unique_ptr<EditorControl> fresh(NewQuillcodeControl());
        fresh->SetText(edited);
        ViewOf(*fresh)->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
        QCOMPARE(code->Text(), edited);
        QCOMPARE(StyleDump(TextOf(view), StylesOf(view)),
                 StyleDump(TextOf(ViewOf(*fresh)), StylesOf(ViewOf(*fresh))));
    }

    void lineEndsShowTheStyleOfTheirLine_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QList<int>>("lineEndStyles");
        QTest::newRow("comment, LF") << QByteArray("' note\nx") << QList<int>{LexerCore::Comment};
        QTest::newRow("string to the line end, CRLF")
            << QByteArray("x = \"abc\r\ny") << QList<int>{LexerCore::String, LexerCore::String};
        QTest::newRow("keyword, CR") << QByteArray("End If\rx") << QList<int>{LexerCore::Keyword};
        QTest::newRow("comment, CR then an empty line")
            << QByteArray("' note\r\rx") << QList<int>{LexerCore::Comment, LexerCore::Default};
        QTest::newRow("number, then an empty line")
            << QByteArray("x = 12\n\ny") << QList<int>{LexerCore::Number, LexerCore::Default};
        QTest::newRow("plain text, CRLF then CR")
            << QByteArray("x\r\n\ry")
            << QList<int>{LexerCore::Default, LexerCore::Default, LexerCore::Default};
    }

    // Scintilla keeps a line's layout between paints only when its line end has the style of
    // its last character; without that every paint measured every line on screen again.
    void lineEndsShowTheStyleOfTheirLine()
    {
        QFETCH(QByteArray, script);
        QFETCH(QList<int>, lineEndStyles);
        std::unique_ptr<EditorControl> code(NewQuillcodeControl());
        code->SetText(QString::fromUtf8(script));
        QsciScintilla *view = ViewOf(*code);
        view->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
        const QByteArray styles = ShownStylesOf(view);
        QList<int> shown;
        for (qsizetype at = 0; at < script.size(); ++at) {
            if (script[at] == '\n' || script[at] == '\r')
                shown << int(styles[at]);
        }
        QCOMPARE(shown, lineEndStyles);
    }

    void editorFontAppliesToEveryStyle_data()
    {
        QTest::addColumn<int>("pixels");
        QTest::newRow("15 pixels") << 15;
        QTest::newRow("22 pixels") << 22;
    }

    void editorFontAppliesToEveryStyle()
    {
        QFETCH(int, pixels);
        std::unique_ptr<EditorControl> code(NewQuillcodeControl());
        QFont font(QStringLiteral("Courier New"));
        font.setPixelSize(pixels);
        code->SetFont(font);
        QsciScintilla *view = ViewOf(*code);
        QCOMPARE(code->Font().pixelSize(), pixels);
        const long size = ScintillaSize(pixels, view);
        QList<int> styles{Sci::STYLE_DEFAULT, Sci::STYLE_LINENUMBER};
        for (int style = 0; style < LexerCore::StyleCount; ++style)
            styles << style;
        for (const int style : styles) {
            char family[128] = {};
            view->SendScintilla(Sci::SCI_STYLEGETFONT, static_cast<unsigned long>(style),
                                static_cast<void *>(family));
            QCOMPARE(QString::fromLatin1(family), font.family());
            QCOMPARE(view->SendScintilla(Sci::SCI_STYLEGETSIZEFRACTIONAL, style), size);
        }
        QCOMPARE(view->SendScintilla(Sci::SCI_STYLEGETITALIC, int(LexerCore::Comment)), 1L);
        QCOMPARE(view->SendScintilla(Sci::SCI_STYLEGETITALIC, int(LexerCore::Keyword)), 0L);
        // QScintilla hands Scintilla the negated Qt weight.
        QCOMPARE(-view->SendScintilla(Sci::SCI_STYLEGETWEIGHT, int(LexerCore::Keyword)),
                 long(QFont::Bold));
        QCOMPARE(-view->SendScintilla(Sci::SCI_STYLEGETWEIGHT, int(LexerCore::Default)),
                 long(QFont::Normal));
        QCOMPARE(int(view->SendScintilla(Sci::SCI_TEXTHEIGHT, 0)), QFontMetrics(font).height());
    }

    void fontSetBeforeTheLanguageIsKept()
    {
        QFont font(QStringLiteral("Courier New"));
        font.setPixelSize(15);
        EditorControl code;
        code.SetFont(font);
        QsciScintilla *view = ViewOf(code);
        const long size = view->SendScintilla(Sci::SCI_STYLEGETSIZEFRACTIONAL, 0);
        QCOMPARE(size, ScintillaSize(15, view));
        modQuillcode::SetupLanguage();
        code.SetLanguageName(QStringLiteral("Quillcode"));
        code.SetLanguageName(QStringLiteral("Quillcode"));
        for (int style = 0; style < LexerCore::StyleCount; ++style)
            QCOMPARE(view->SendScintilla(Sci::SCI_STYLEGETSIZEFRACTIONAL, style), size);
        QCOMPARE(view->SendScintilla(Sci::SCI_STYLEGETSIZEFRACTIONAL, int(Sci::STYLE_LINENUMBER)),
                 size);
        QCOMPARE(code.Font(), font);
    }

    void paletteIsReadableOnWhitePaper()
    {
        std::unique_ptr<EditorControl> code(NewQuillcodeControl());
        QsciScintilla *view = ViewOf(*code);
        QSet<long> colours;
        for (int style = 0; style < LexerCore::StyleCount; ++style) {
            QCOMPARE(view->SendScintilla(Sci::SCI_STYLEGETBACK, style), 0xFFFFFFL);
            const long colour = view->SendScintilla(Sci::SCI_STYLEGETFORE, style);
            QVERIFY(QColor(colour & 0xFF, (colour >> 8) & 0xFF, colour >> 16).lightness() < 128);
            colours.insert(colour);
        }
        QCOMPARE(colours.size(), LexerCore::StyleCount);
        QCOMPARE(view->SendScintilla(Sci::SCI_STYLEGETBACK, int(Sci::STYLE_DEFAULT)), 0xFFFFFFL);
    }
};

QUILLMARK_TEST_MAIN(LexerTest)
#include "tst_lexer.moc"
