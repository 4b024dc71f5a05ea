// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The search engine on its own: plain and regular-expression matching over UTF-8 bytes, pieces of
// long texts, counting within a budget, and replacement texts.
#include "search/LineRegex.h"
#include "search/LiteralScan.h"
#include "search/Replacement.h"
#include "search/Searcher.h"
#include "support/TestMain.h"

#include <QRandomGenerator>

namespace
{

enum Flag { Plain = 0, Case = 1, Word = 2, Regex = 4 };

SearchOptions Options(int flags)
{
    return SearchOptions{(flags & Case) != 0, (flags & Word) != 0, (flags & Regex) != 0};
}

// The text with every match the scan reports in brackets.
QString Bracketed(const QString &text, const QString &pattern, int flags)
{
    const QByteArray bytes = text.toUtf8();
    const ByteText source(bytes);
    QByteArray marked;
    qsizetype copied = 0;
    Searcher(pattern, Options(flags)).Scan(source, 0, bytes.size(), [&](const FoundMatch &found) {
        marked +=
            bytes.mid(copied, found.match.start - copied) + '[' + found.Text(0).toByteArray() + ']';
        copied = found.match.end;
        return true;
    });
    return QString::fromUtf8(marked + bytes.mid(copied));
}

// Text of `size` bytes of filler lines, with `needle` written at each of `positions`.
QByteArray FillerWith(qsizetype size, const QByteArray &needle, const QList<qsizetype> &positions)
{
    QByteArray text;
    while (text.size() < size)
        text += "    Call PlayerMessage(index, 42)\r\n";
    text.truncate(size);
    for (qsizetype at : positions)
        text.replace(at, needle.size(), needle);
    return text;
}

} // namespace

class SearchTest : public QObject
{
    Q_OBJECT

private slots:
    void scanFindsEveryMatch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain ignores case") << "Call x\ncall y\nCALL"
                                            << "call" << int(Plain) << "[Call] x\n[call] y\n[CALL]";
        QTest::newRow("plain matching case") << "Call x\ncall y"
                                             << "call" << int(Case) << "Call x\n[call] y";
        QTest::newRow("plain is not a pattern") << "a.b axb a*b"
                                                << "a.b" << int(Plain) << "[a.b] axb a*b";
        QTest::newRow("letters only fold") << "[@ {` @["
                                           << "@[" << int(Plain) << "[@ {` [@[]";
        QTest::newRow("no overlaps") << "aaaaa"
                                     << "aa" << int(Plain) << "[aa][aa]a";
        QTest::newRow("whole word")
            << "level levels _level level2 xlevel level"
            << "level" << int(Word) << "[level] levels _level level2 xlevel [level]";
        QTest::newRow("whole word ending in a sign")
            << "Call GivePlayerEXP(index)"
            << "GivePlayerEXP(" << int(Word) << "Call [GivePlayerEXP(]index)";
        QTest::newRow("whole word starting with a sign")
            << "Give(index) x(index2)"
            << "(index" << int(Word) << "Give[(index]) x(index2)";
        QTest::newRow("whole word knows accented letters")
            << "größe größer Größe"
            << "größe" << int(Word) << "[größe] größer [Größe]";
        QTest::newRow("whole word knows the letter z") << "lazy la Zla"
                                                       << "la" << int(Word) << "lazy [la] Zla";
        QTest::newRow("whole word knows Cyrillic letters") << "Жx x"
                                                           << "x" << int(Word) << "Жx [x]";
        QTest::newRow("whole word knows four-byte letters") << "𝐀x x"
                                                            << "x" << int(Word) << "𝐀x [x]";
        QTest::newRow("across a multi-byte character")
            << "x = \"Ça coûte 5€.\""
            << "e 5€" << int(Plain) << "x = \"Ça coût[e 5€].\"";
        QTest::newRow("accented letters fold") << "ÇA ça Ça"
                                               << "ça" << int(Plain) << "[ÇA] [ça] [Ça]";
        QTest::newRow("accented letters matching case") << "ÇA ça Ça"
                                                        << "Ça" << int(Case) << "ÇA ça [Ça]";
        QTest::newRow("ASCII needle skips accented letters") << "ÀB àb Ab"
                                                             << "ab" << int(Plain) << "ÀB àb [Ab]";
        QTest::newRow("line end in plain text") << "a\nb"
                                                << "a\nb" << int(Plain) << "a\nb";
        QTest::newRow("regex") << "a1 b22\nc333 d"
                               << "\\w\\d+" << int(Regex) << "[a1] [b22]\n[c333] d";
        QTest::newRow("regex ignores case") << "Sub x\nsub y"
                                            << "^s\\w+" << int(Regex) << "[Sub] x\n[sub] y";
        QTest::newRow("regex matching case") << "Sub x\nsub y"
                                             << "^s\\w+" << int(Regex | Case) << "Sub x\n[sub] y";
        QTest::newRow("regex whole word") << "ab abc ab"
                                          << "ab\\w?" << int(Regex | Word) << "[ab] [abc] [ab]";
        QTest::newRow("regex stops at LF") << "ab\ncd"
                                           << "b\\s*c" << int(Regex) << "ab\ncd";
        QTest::newRow("regex stops at CR LF") << "ab\r\ncd"
                                              << "b.*" << int(Regex) << "a[b]\r\ncd";
        QTest::newRow("regex lines end at CR") << "x1\ry2\rz3"
                                               << "^.\\d$" << int(Regex) << "[x1]\r[y2]\r[z3]";
        QTest::newRow("empty matches at line starts")
            << "ab\n\r\ncd\n"
            << "^" << int(Regex) << "[]ab\n[]\r\n[]cd\n[]";
        QTest::newRow("empty match at the very end") << "a\nb"
                                                     << "$" << int(Regex) << "a[]\nb[]";
        QTest::newRow("empty and full matches") << "aab"
                                                << "a*" << int(Regex) << "[aa][]b[]";
        QTest::newRow("regex over accented letters") << "né à ça"
                                                     << "\\w\\b" << int(Regex) << "n[é] [à] ç[a]";
        QTest::newRow("regex after letters whose low bytes are CR and LF")
            << "čxĊ\nabc"
            << "x" << int(Regex) << "č[x]Ċ\nabc";
        QTest::newRow("accented pattern after a letter whose low byte is CR")
            << "čaj\nČAJ"
            << "čaj" << int(Plain) << "[čaj]\n[ČAJ]";
        QTest::newRow("regex over a four-byte character") << "a😀b😀c"
                                                          << "😀(.)" << int(Regex) << "a[😀b][😀c]";
        QTest::newRow("empty pattern") << "abc"
                                       << "" << int(Regex) << "abc";
    }

    void scanFindsEveryMatch()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, flags);
        QFETCH(QString, expected);
        QCOMPARE(Bracketed(text, pattern, flags), expected);
    }

    void firstAndLastInARange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("flags");
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<qsizetype>("to");
        QTest::addColumn<qsizetype>("first");
        QTest::addColumn<qsizetype>("last");
        QTest::newRow("overlapping last")
            << "aaaa"
            << "aa" << int(Plain) << qsizetype(0) << qsizetype(4) << qsizetype(0) << qsizetype(2);
        QTest::newRow("overlapping last, regex")
            << "aaa"
            << "aa" << int(Regex) << qsizetype(0) << qsizetype(3) << qsizetype(0) << qsizetype(1);
        QTest::newRow("starts inside the range")
            << "ab ab ab"
            << "ab" << int(Plain) << qsizetype(1) << qsizetype(6) << qsizetype(3) << qsizetype(3);
        QTest::newRow("may end past the range")
            << "xx abc"
            << "abc" << int(Plain) << qsizetype(0) << qsizetype(4) << qsizetype(3) << qsizetype(3);
        QTest::newRow("word seen before the range")
            << "abc bc"
            << "bc" << int(Word) << qsizetype(1) << qsizetype(6) << qsizetype(4) << qsizetype(4);
        QTest::newRow("line seen before the range")
            << "ab ab\nab"
            << "^ab" << int(Regex) << qsizetype(1) << qsizetype(8) << qsizetype(6) << qsizetype(6);
        QTest::newRow("inside a CR LF")
            << "a\r\nb"
            << "^" << int(Regex) << qsizetype(2) << qsizetype(4) << qsizetype(3) << qsizetype(3);
        QTest::newRow("empty range at the end")
            << "a\n"
            << "^" << int(Regex) << qsizetype(2) << qsizetype(2) << qsizetype(2) << qsizetype(2);
        QTest::newRow("nothing in range")
            << "ab"
            << "b" << int(Plain) << qsizetype(0) << qsizetype(1) << qsizetype(-1) << qsizetype(-1);
    }

    void firstAndLastInARange()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, flags);
        QFETCH(qsizetype, from);
        QFETCH(qsizetype, to);
        QFETCH(qsizetype, first);
        QFETCH(qsizetype, last);
        const QByteArray bytes = text.toUtf8();
        const Searcher searcher(pattern, Options(flags));
        const auto found = searcher.FindFirst(ByteText(bytes), from, to);
        QCOMPARE(found ? found->start : -1, first);
        const auto foundLast = searcher.FindLast(ByteText(bytes), from, to);
        QCOMPARE(foundLast ? foundLast->start : -1, last);
    }

    void piecesOfALongTextJoin_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("flags");
        QTest::addColumn<qsizetype>("piece");
        QTest::newRow("exact") << "Zq9Zq" << int(Case) << LiteralScan::PieceBytes;
        QTest::newRow("folded") << "zQ9zq" << int(Plain) << LiteralScan::PieceBytes;
        QTest::newRow("whole word") << "Zq9Zq" << int(Word) << LiteralScan::PieceBytes;
        QTest::newRow("regex") << "Zq\\dZq" << int(Regex) << LineRegex::BlockBytes;
    }

    // Matches straddling every seam between the pieces a long scan reads are each found once.
    void piecesOfALongTextJoin()
    {
        QFETCH(QString, pattern);
        QFETCH(int, flags);
        QFETCH(qsizetype, piece);
        const QList<qsizetype> at = {piece - 5, 2 * piece - 3, 3 * piece - 1, 4 * piece};
        const QByteArray text = FillerWith(4 * piece + 64, " Zq9Zq ", at);
        const ByteText source(text);
        const Searcher searcher(pattern, Options(flags));
        QList<qsizetype> found;
        searcher.Scan(source, 0, text.size(), [&](const FoundMatch &match) {
            found << match.match.start - 1;
            return true;
        });
        QCOMPARE(found, at);
        QCOMPARE(searcher.FindLast(source, 0, text.size())->start, at.last() + 1);
        QCOMPARE(searcher.FindFirst(source, at[1] + 2, text.size())->start, at[2] + 1);
    }

    void regexBlocksSplitNoLineEnd()
    {
        // A CR LF astride the block seam is one line end, not an empty line between two.
        QByteArray text(LineRegex::BlockBytes - 1, 'x');
        text += "\r\nx";
        const Searcher searcher(QStringLiteral("^"), Options(Regex));
        QCOMPARE(searcher.Count(ByteText(text), 0, text.size()).matches, 2);
    }

    void countStopsWhenItsBudgetIsSpent_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<qsizetype>("piece");
        QTest::newRow("plain") << int(Plain) << LiteralScan::PieceBytes;
        QTest::newRow("regex") << int(Regex) << LineRegex::BlockBytes;
    }

    void countStopsWhenItsBudgetIsSpent()
    {
        QFETCH(int, flags);
        QFETCH(qsizetype, piece);
        const QByteArray text = FillerWith(3 * piece, "Zq", {10, piece / 2, 2 * piece});
        const Searcher searcher(QStringLiteral("Zq"), Options(flags));
        int asked = 0;
        const MatchCount cut =
            searcher.Count(ByteText(text), 0, text.size(), [&asked] { return ++asked < 1; });
        QCOMPARE(cut.complete, false);
        QCOMPARE(cut.matches, 2);
        const MatchCount whole =
            searcher.Count(ByteText(text), 0, text.size(), [] { return true; });
        QCOMPARE(whole.complete, true);
        QCOMPARE(whole.matches, 3);
    }

    // The sixteen-at-a-time folded scan against a byte-by-byte comparison, on texts made of the
    // bytes that sit next to letters in ASCII and so could fold by mistake.
    void foldedScanAgreesWithComparingEachStart()
    {
        const QByteArray alphabet("aAbBzZ@[`{\x80\xC1\xE1 ");
        QRandomGenerator random(14);
        for (int round = 0; round < 3000; ++round) {
            QByteArray text, needle;
            for (int i = random.bounded(80); i > 0; --i)
                text += alphabet[random.bounded(alphabet.size())];
            for (int i = 1 + random.bounded(4); i > 0; --i)
                needle += alphabet[random.bounded(alphabet.size())];
            const qsizetype from = random.bounded(int(text.size()) + 1);
            qsizetype expected = -1;
            for (qsizetype at = from; at + needle.size() <= text.size() && expected < 0; ++at) {
                if (text.mid(at, needle.size()).toLower() == needle.toLower())
                    expected = at;
            }
            const qsizetype found =
                LiteralScan(needle, true).Find(text.constData(), text.size(), from);
            QVERIFY2(found == expected, qPrintable(QStringLiteral("%1 in %2 from %3")
                                                       .arg(QString::fromLatin1(needle.toHex()),
                                                            QString::fromLatin1(text.toHex()))
                                                       .arg(from)));
        }
    }

    void invalidPatternSearchesNothing()
    {
        const Searcher searcher(QStringLiteral("Call (x"), Options(Regex));
        QCOMPARE(searcher.Error(), QStringLiteral("missing closing parenthesis"));
        QVERIFY(!searcher.CanMatch());
        QVERIFY(!searcher.FindFirst(ByteText("Call (x)"), 0, 8));
    }

    void replacementText_data()
    {
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("expected");
        QTest::newRow("groups swapped") << "\\2(\\1)" << int(Regex) << "index(Give)";
        QTest::newRow("whole match") << "<\\0>" << int(Regex) << "<Give(index)>";
        QTest::newRow("group that took no part") << "[\\3]" << int(Regex) << "[]";
        QTest::newRow("group past the pattern's") << "[\\9]" << int(Regex) << "[]";
        QTest::newRow("escaped backslash") << "\\\\1" << int(Regex) << "\\1";
        QTest::newRow("other backslashes stay") << "a\\tb\\" << int(Regex) << "a\\tb\\";
        QTest::newRow("accented text") << "é\\1€" << int(Regex) << "éGive€";
        QTest::newRow("plain text is literal") << "\\2(\\1)" << int(Plain) << "\\2(\\1)";
    }

    void replacementText()
    {
        QFETCH(QString, replacement);
        QFETCH(int, flags);
        QFETCH(QString, expected);
        const QByteArray text("Give(index)");
        QByteArray out;
        Searcher(QStringLiteral("(\\w+)\\((\\w+)\\)(x)?"), Options(Regex))
            .Scan(ByteText(text), 0, text.size(), [&](const FoundMatch &found) {
                Replacement(replacement, flags & Regex).AppendFor(found, out);
                return false;
            });
        QCOMPARE(QString::fromUtf8(out), expected);
    }
};

QUILLMARK_TEST_MAIN(SearchTest)
#include "tst_search.moc"
