// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The block analysis: its rules, the fold levels and marks of sample scripts, and analysis
// after edits, in windows and in slices, against a fresh analysis of the same text.
#include "language/modQuillcode.h"
#include "support/TestMain.h"
#include "syntax/BlockStructure.h"
#include "syntax/LanguageRegistry.h"
#include "syntax/UnknownRun.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace
{

// A text kept as bytes, split into lines as the editor splits them (CR LF, LF or CR).
class ByteText : public BlockText
{
public:
    explicit ByteText(QByteArray bytes = {}) : bytes_(std::move(bytes)) { Split(); }

    std::int64_t LineCount() const override { return static_cast<std::int64_t>(starts_.size()); }
    std::string_view Line(std::int64_t line) const override
    {
        const qsizetype start = starts_[line];
        qsizetype end = line + 1 < LineCount() ? starts_[line + 1] : bytes_.size();
        while (end > start && (bytes_[end - 1] == '\n' || bytes_[end - 1] == '\r'))
            --end;
        return {bytes_.constData() + start, static_cast<std::size_t>(end - start)};
    }

    const QByteArray &Bytes() const { return bytes_; }
    qsizetype Start(std::int64_t line) const { return starts_[static_cast<std::size_t>(line)]; }
    std::int64_t LineOf(qsizetype position) const
    {
        return std::upper_bound(starts_.begin(), starts_.end(), position) - starts_.begin() - 1;
    }
    void Replace(qsizetype position, qsizetype removed, const QByteArray &inserted)
    {
        bytes_.replace(position, removed, inserted);
        Split();
    }

private:
    void Split()
    {
        starts_.assign(1, 0);
        for (qsizetype at = 0; at < bytes_.size(); ++at) {
            if (bytes_[at] == '\r' && at + 1 < bytes_.size() && bytes_[at + 1] == '\n')
                ++at;
            if (bytes_[at] == '\r' || bytes_[at] == '\n')
                starts_.push_back(at + 1);
        }
    }

    QByteArray bytes_;
    std::vector<qsizetype> starts_;
};

// Fold levels as the editor keeps them: one per line, following inserted and removed lines.
class Levels : public FoldLevelSink
{
public:
    void SetFoldLevel(std::int64_t line, std::uint32_t level, bool header) override
    {
        values[static_cast<std::size_t>(line)] =
            QString::number(level) + (header ? QStringLiteral("+") : QString());
    }
    void Replaced(std::int64_t line, std::int64_t delta)
    {
        const auto after = values.begin() + line + 1;
        if (delta > 0)
            values.insert(after, static_cast<std::size_t>(delta), QStringLiteral("?"));
        else
            values.erase(after, after - delta);
    }
    std::vector<QString> values;
};

std::shared_ptr<const LanguageDefinition> Quillcode()
{
    modQuillcode::SetupLanguage();
    return LanguageRegistry().Find(QStringLiteral("Quillcode"));
}

// A text with its analysis, edited the way the editor reports edits: the line where an edit
// starts, and how many lines it added or removed.
struct Analysis {
    explicit Analysis(const QByteArray &bytes, const LanguageDefinition &language = *Quillcode())
        : text(bytes), structure(language)
    {
        structure.Reset(text.LineCount());
        levels.values.assign(static_cast<std::size_t>(text.LineCount()), QStringLiteral("?"));
    }

    void Edit(qsizetype position, qsizetype removed, const QByteArray &inserted)
    {
        if (removed > 0)
            Apply(position, removed, {});
        if (!inserted.isEmpty())
            Apply(position, 0, inserted);
    }
    void Apply(qsizetype position, qsizetype removed, const QByteArray &inserted)
    {
        const std::int64_t line = text.LineOf(position);
        const std::int64_t before = text.LineCount();
        text.Replace(position, removed, inserted);
        structure.LinesReplaced(line, text.LineCount() - before);
        levels.Replaced(line, text.LineCount() - before);
    }
    BlockReport ShowAll() { return structure.Refresh(text, 0, text.LineCount() - 1, {}, levels); }
    // Runs what was left for later in slices of `slice`, as the editor does when it is idle, then
    // shows every line; returns the number of slices.
    int FinishAndShowAll(BlockBudget slice)
    {
        int slices = 0;
        while (structure.HasPendingWork() && slices < 10000) {
            structure.Continue(text, slice, levels);
            ++slices;
        }
        ShowAll();
        return slices;
    }

    // One row a line: "<line> <level>[+]", then "| <column>:<word>: <tooltip>" for each mark.
    QString Dump()
    {
        QString dump;
        for (std::int64_t line = 0; line < text.LineCount(); ++line) {
            const std::string_view bytes = text.Line(line);
            dump += QStringLiteral("%1 %2").arg(line + 1).arg(levels.values[std::size_t(line)]);
            for (const BlockMark &mark : structure.Marks(text, line)) {
                const QString before = QString::fromUtf8(bytes.data(), mark.column);
                dump += QStringLiteral(" | %1:%2: %3")
                            .arg(before.size() + 1)
                            .arg(QString::fromUtf8(bytes.data() + mark.column, mark.length),
                                 QString::fromStdString(mark.text));
            }
            dump += QLatin1Char('\n');
        }
        return dump;
    }

    ByteText text;
    BlockStructure structure;
    Levels levels;
};

QString FreshDump(const QByteArray &bytes, const LanguageDefinition &language = *Quillcode())
{
    Analysis fresh(bytes, language);
    fresh.structure.AnalyseAll(fresh.text, fresh.levels);
    return fresh.Dump();
}

QString DataPath(const QString &name)
{
    return QDir(qEnvironmentVariable("QUILLMARK_TEST_DATA"))
        .filePath(QStringLiteral("blocks/") + name);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Sample(const QString &name)
{
    return ReadFile(DataPath(name + QStringLiteral(".qc")));
}

QByteArray ManySubs(int count)
{
    QByteArray script;
    for (int sub = 0; sub < count; ++sub)
        script += "Sub S" + QByteArray::number(sub) +
                  "()\n    If x Then\n        y = 1\n    End If\nEnd Sub\n";
    return script;
}

// Scripts each property row tries, kept small enough for the sanitizer build to stay quick.
constexpr unsigned SeedsPerRow = 700;

// Makes `text` of `analysis` into `wanted` by one edit of the bytes between what the two share
// at their start and at their end, as an undo does; returns the line where it starts.
std::int64_t EditInto(Analysis &analysis, const QByteArray &wanted)
{
    const QByteArray &text = analysis.text.Bytes();
    qsizetype head = 0;
    while (head < text.size() && head < wanted.size() && text[head] == wanted[head])
        ++head;
    qsizetype tail = 0;
    while (tail < text.size() - head && tail < wanted.size() - head &&
           text[text.size() - 1 - tail] == wanted[wanted.size() - 1 - tail])
        ++tail;
    const std::int64_t line = analysis.text.LineOf(head);
    analysis.Edit(head, text.size() - head - tail, wanted.mid(head, wanted.size() - head - tail));
    return line;
}

// The edits the property test makes: i a line inserted, r lines removed, p a line replaced, t
// text typed into a line, b a line broken, j two lines joined, u the last edit undone.
constexpr const char *EditKinds = "irptbju";

// One edit of kind `kind` (one of EditKinds) at a random line; `undone`
// holds the text before the last edit, which an undo brings back. Returns the edited line.
template <typename Below, typename Piece>
std::int64_t RandomEdit(Analysis &analysis, char kind, Below &below, Piece &piece,
                        QByteArray &undone)
{
    ByteText &text = analysis.text;
    const QByteArray before = text.Bytes();
    const std::int64_t lines = text.LineCount();
    const std::int64_t line = below(lines);
    const qsizetype start = text.Start(line);
    const auto length = static_cast<qsizetype>(text.Line(line).size());
    const auto startOf = [&](std::int64_t next) {
        return next < lines ? text.Start(next) : text.Bytes().size();
    };
    std::int64_t edited = line;
    switch (kind) {
    case 'i':
        analysis.Edit(start, 0, piece() + "\n");
        break;
    case 'r': // up to three lines
        analysis.Edit(start, startOf(std::min(lines - 1, line + below(3)) + 1) - start, {});
        break;
    case 'p':
        analysis.Edit(start, length, piece());
        break;
    case 't': // a continuation or another statement
        analysis.Edit(start + below(length + 1), 0, QByteArray(below(2) ? " _" : " : ") + piece());
        break;
    case 'b':
        analysis.Edit(start + below(length + 1), 0, "\n" + piece());
        break;
    case 'u':
        edited = EditInto(analysis, undone);
        break;
    default: // 'j'
        if (line + 1 < lines)
            analysis.Edit(start + length, startOf(line + 1) - start - length, " ");
    }
    undone = before;
    return edited;
}

} // namespace

class BlocksTest : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("dump");
        QTest::newRow("block If") << "If a Then\n  b\nEnd If"
                                  << "1 0+\n2 1\n3 1\n";
        QTest::newRow("one-line If is no block") << "If a Then b\nc"
                                                 << "1 0\n2 0\n";
        QTest::newRow("one-line If owns the rest of its line") << "If a Then b Else c : End If\nx"
                                                               << "1 0\n2 0\n";
        QTest::newRow("comment after Then") << "If a Then ' b\nEnd If"
                                            << "1 0+\n2 1\n";
        QTest::newRow("If still without Then") << "If a\nEnd If"
                                               << "1 0+\n2 1\n";
        QTest::newRow("words in comments") << "' If a Then\nx = 1 ' For i\nREM Do"
                                           << "1 0\n2 0\n3 0\n";
        QTest::newRow("words in strings") << "x = \"If\" : y = \": End If\"\nz"
                                          << "1 0\n2 0\n";
        QTest::newRow("continued condition") << "If a And _\n  b Then\n  c\nEnd If"
                                             << "1 0+\n2 1\n3 1\n4 1\n";
        QTest::newRow("continued one-line If") << "If a Then _\n  b\nc"
                                               << "1 0\n2 0\n3 0\n";
        QTest::newRow("a continued line starts no statement") << "x = y + _\n  Next\nz"
                                                              << "1 0\n2 0\n3 0\n";
        QTest::newRow("underscore glued to a word continues nothing")
            << "x = y_\nNext"
            << "1 0\n2 0 | 1:Next: \"Next\" closes no \"For\"\n";
        QTest::newRow("underscore after a tab continues") << "x = y +\t_\n  Next\nz"
                                                          << "1 0\n2 0\n3 0\n";
        QTest::newRow("underscore after a comma continues nothing")
            << "x = f(a,_\nNext"
            << "1 0\n2 0 | 1:Next: \"Next\" closes no \"For\"\n";
        QTest::newRow("underscore in a comment continues nothing")
            << "x = 1 ' _\nNext"
            << "1 0\n2 0 | 1:Next: \"Next\" closes no \"For\"\n";
        QTest::newRow("comment after the underscore continues nothing")
            << "For i = 1 To 2 _ ' c\nNext"
            << "1 0+\n2 1\n";
        QTest::newRow("Exit ends nothing") << "For i = 1 To 2\n  Exit For\nNext\nDo\nExit Do\nLoop"
                                           << "1 0+\n2 1\n3 1\n4 0+\n5 1\n6 1\n";
        QTest::newRow("bare End ends nothing") << "Sub A\nEnd\nEnd Sub"
                                               << "1 0+\n2 1\n3 1\n";
        QTest::newRow("case never matters") << "FOR i = 1 TO 2\nnext"
                                            << "1 0+\n2 1\n";
        QTest::newRow("Next with two names") << "For i = 1 To 2\nFor j = 1 To 2\nNext j, i\nx"
                                             << "1 0+\n2 1+\n3 2\n4 0\n";
        QTest::newRow("For Each") << "For Each p In Players\nNext"
                                  << "1 0+\n2 1\n";
        QTest::newRow("Select Case") << "Select Case x\nCase 1\n  y\nCase Else\nEnd Select"
                                     << "1 0+\n2 1\n3 1\n4 1\n5 1\n";
        QTest::newRow("Select without Case opens nothing")
            << "Select x\nEnd Select"
            << "1 0\n2 0 | 1:End Select: \"End Select\" closes no \"Select Case\"\n";
        QTest::newRow("Do and Loop with conditions") << "Do While a\nLoop Until b"
                                                     << "1 0+\n2 1\n";
        QTest::newRow("While and With") << "While a\nWith p\nEnd With\nWend"
                                        << "1 0+\n2 1+\n3 2\n4 1\n";
        QTest::newRow("Else If opens an If of its own")
            << "If a Then\nElse If b Then\nEnd If\nEnd If"
            << "1 0+\n2 1+\n3 2\n4 1\n";
        QTest::newRow("statement after a colon") << "x = 1 : For i = 1 To 2\nNext"
                                                 << "1 0+\n2 1\n";
        QTest::newRow("label before a block word") << "Start: For i = 1 To 2\nNext"
                                                   << "1 0+\n2 1\n";
        QTest::newRow("loop on one line") << "For i = 1 To 2 : x = i : Next\ny"
                                          << "1 0\n2 0\n";
        QTest::newRow("closing and opening on one line") << "If a Then\nEnd If : If b Then\nEnd If"
                                                         << "1 0+\n2 0+\n3 1\n";
        QTest::newRow("modified Sub and Function")
            << "Public Sub A\nEnd Sub\nPrivate Default Function B\nEnd Function\nPublic x"
            << "1 0+\n2 1\n3 0+\n4 1\n5 0\n";
        QTest::newRow("Type needs a name alone") << "Type = 3\nType Rec\n  a As Integer\nEnd Type"
                                                 << "1 0\n2 0+\n3 1\n4 1\n";
        QTest::newRow("members named like block words") << "With p\n  .Next = 1\n  p.Loop\nEnd With"
                                                        << "1 0+\n2 1\n3 1\n4 1\n";
        QTest::newRow("unclosed at the end")
            << "Sub A\nIf a Then"
            << "1 0+ | 1:Sub: \"Sub\" on line 1 has no \"End Sub\"\n"
               "2 1+ | 1:If: \"If\" on line 2 has no \"End If\"\n";
        QTest::newRow("stray middle words")
            << "Else\nCase 1\nElseIf a Then"
            << "1 0 | 1:Else: \"Else\" is outside any \"If\"\n"
               "2 0 | 1:Case: \"Case\" is outside any \"Select Case\"\n"
               "3 0 | 1:ElseIf: \"ElseIf\" is outside any \"If\"\n";
        QTest::newRow("closer ends the unclosed blocks inside")
            << "If a Then\nFor i = 1 To 2\nEnd If"
            << "1 0+\n2 1+ | 1:For: \"For\" on line 2 has no \"Next\"\n3 1\n";
        QTest::newRow("Else ends the unclosed blocks inside")
            << "If a Then\nDo\nElse\nEnd If"
            << "1 0+\n2 1+ | 1:Do: \"Do\" on line 2 has no \"Loop\"\n3 1\n4 1\n";
        QTest::newRow("mismatched End Sub")
            << "Function F\n  x\nEnd Sub"
            << "1 0+\n2 1\n3 1 | 1:End Sub: \"End Sub\" does not match \"Function\" on line 1\n";
        QTest::newRow("mismatch within one line")
            << "Function F : End Sub"
            << "1 0 | 14:End Sub: \"End Sub\" does not match \"Function\" on line 1\n";
        QTest::newRow("Sub ends the blocks left open")
            << "Sub A\nIf a Then\nSub B\nEnd Sub"
            << "1 0+ | 1:Sub: \"Sub\" on line 1 has no \"End Sub\"\n"
               "2 1+ | 1:If: \"If\" on line 2 has no \"End If\"\n3 0+\n4 1\n";
        QTest::newRow("End Sub stays out of an unclosed If")
            << "Sub A\n  If a Then\n    x\nEnd Sub"
            << "1 0+\n2 1+ | 3:If: \"If\" on line 2 has no \"End If\"\n3 2\n4 1\n";
        QTest::newRow("Class holds its members") << "Class C\n  Property Get P()\n    P = 1\n  End "
                                                    "Property\n  Sub S\n  End Sub\nEnd Class"
                                                 << "1 0+\n2 1+\n3 2\n4 2\n5 1+\n6 2\n7 1\n";
        QTest::newRow("modified Property and Property Let")
            << "Public Default Property Get A\nEnd Property\nPrivate Property Let A(v)\nEnd "
               "Property"
            << "1 0+\n2 1\n3 0+\n4 1\n";
        QTest::newRow("a member ends the blocks open inside its Class")
            << "Class C\nSub A\nIf a Then\nProperty Set B(v)\nEnd Property\nEnd Class"
            << "1 0+\n2 1+ | 1:Sub: \"Sub\" on line 2 has no \"End Sub\"\n"
               "3 2+ | 1:If: \"If\" on line 3 has no \"End If\"\n4 1+\n5 2\n6 1\n";
        QTest::newRow("Class ends a Class left open")
            << "Class A\nClass B\nEnd Class"
            << "1 0+ | 1:Class: \"Class\" on line 1 has no \"End Class\"\n2 0+\n3 1\n";
        QTest::newRow("End Class ends the members left open")
            << "Class C\nProperty Get P\nEnd Class"
            << "1 0+\n2 1+ | 1:Property Get: \"Property Get\" on line 2 has no \"End "
               "Property\"\n3 1\n";
        QTest::newRow("mismatched End Property inside a Class")
            << "Class C\nSub A\nEnd Property\nEnd Class"
            << "1 0+\n2 1+\n3 2 | 1:End Property: \"End Property\" does not match \"Sub\" on "
               "line 2\n4 1\n";
        QTest::newRow("mismatched End Class")
            << "Sub A\nEnd Class"
            << "1 0+\n2 1 | 1:End Class: \"End Class\" does not match \"Sub\" on line 1\n";
        QTest::newRow("End Sub stays out of a Class")
            << "Class C\nEnd Sub\nEnd Class"
            << "1 0+\n2 1 | 1:End Sub: \"End Sub\" closes no \"Sub\"\n3 1\n";
        QTest::newRow("stray End Class and End Property")
            << "End Class\nEnd Property"
            << "1 0 | 1:End Class: \"End Class\" closes no \"Class\"\n"
               "2 0 | 1:End Property: \"End Property\" closes no \"Property\"\n";
        QTest::newRow("Property needs Get, Let or Set, and Class a name alone")
            << "Property = 1\nClass = 2\nSet p = Nothing"
            << "1 0\n2 0\n3 0\n";
        QTest::newRow("marks count characters") << "x = \"é\" : Wend"
                                                << "1 0 | 11:Wend: \"Wend\" closes no \"While\"\n";
    }

    void rules()
    {
        QFETCH(QString, script);
        QFETCH(QString, dump);
        QCOMPARE(FreshDump(script.toUtf8()), dump);
    }

    void commentsAndStringsOfOtherLanguages_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("dump");
        QTest::newRow("letter comment token") << "If a Then REM b\nEnd If"
                                              << "1 0+\n2 1\n";
        QTest::newRow("letter comment token in lower case") << "If a Then rem b\nEnd If"
                                                            << "1 0+\n2 1\n";
        QTest::newRow("long string delimiter") << "x = %%: Next%% : Do\nLoop"
                                               << "1 0+\n2 1\n";
        QTest::newRow("apostrophe is no comment here") << "If a Then ' b\nc"
                                                       << "1 0\n2 0\n";
    }

    void commentsAndStringsOfOtherLanguages()
    {
        QFETCH(QString, script);
        QFETCH(QString, dump);
        LanguageDefinition language = *Quillcode();
        language.MatchCase = false;
        language.CommentToken = QStringLiteral("REM");
        language.StringDelimiter = QStringLiteral("%%");
        QCOMPARE(FreshDump(script.toUtf8(), language), dump);
    }

    void samplesMatchTheirGoldenFiles_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::newRow("nested blocks") << "nested";
        QTest::newRow("slips") << "slips";
        QTest::newRow("classes") << "classes";
    }

    void samplesMatchTheirGoldenFiles()
    {
        QFETCH(QString, sample);
        const QByteArray script = Sample(sample);
        QVERIFY(!script.isEmpty());
        const QString actual = FreshDump(script);
        const QString expectedPath = DataPath(sample + QStringLiteral(".blocks"));
        if (actual != QString::fromUtf8(ReadFile(expectedPath))) {
            QFile out(expectedPath + QStringLiteral(".actual"));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(actual.toUtf8());
            QFAIL(qPrintable(
                QStringLiteral("blocks differ; the actual dump is in %1").arg(out.fileName())));
        }
    }

    void editsPieceByPieceMatchAFreshAnalysis_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("way");
        for (const char *sample : {"nested", "slips", "classes"}) {
            for (const char *way :
                 {"typed in pieces", "lines typed from the last up", "each line cut and put back",
                  "each byte cut and put back", "each line end cut and put back"})
                QTest::addRow("%s, %s", sample, way) << sample << way;
        }
    }

    // After every edit the analysis shown must equal a fresh analysis of the text as it is.
    void editsPieceByPieceMatchAFreshAnalysis()
    {
        QFETCH(QString, sample);
        QFETCH(QString, way);
        const QByteArray script = Sample(sample);
        const bool fromEmpty =
            way.startsWith(QLatin1String("typed")) || way.startsWith(QLatin1String("lines typed"));
        Analysis analysis(fromEmpty ? QByteArray() : script);
        analysis.ShowAll();
        int steps = 0;
        auto check = [&] {
            analysis.ShowAll();
            ++steps;
            return analysis.Dump() == FreshDump(analysis.text.Bytes());
        };
        if (way == QLatin1String("typed in pieces")) {
            for (qsizetype at = 0; at < script.size(); at += 7) {
                analysis.Edit(at, 0, script.mid(at, 7));
                QVERIFY2(check(), qPrintable(QStringLiteral("after %1 bytes").arg(at + 7)));
            }
        } else if (way == QLatin1String("lines typed from the last up")) {
            const QList<QByteArray> pieces = script.split('\n');
            for (qsizetype piece = pieces.size() - 1; piece >= 0; --piece) {
                const QByteArray typed = pieces[piece] + (piece + 1 < pieces.size() ? "\n" : "");
                analysis.Edit(0, 0, typed);
                QVERIFY2(check(), qPrintable(QStringLiteral("after line %1").arg(piece + 1)));
            }
        } else {
            const QByteArray cut = way.contains(QLatin1String("line end")) ? "\n" : "";
            for (qsizetype at = 0; at < script.size(); ++at) {
                qsizetype length = 1;
                if (way.contains(QLatin1String("each line cut"))) {
                    if (at > 0 && script[at - 1] != '\n')
                        continue;
                    length = script.indexOf('\n', at) + 1 - at;
                    if (length <= 0)
                        length = script.size() - at;
                } else if (!cut.isEmpty() && script[at] != '\n') {
                    continue;
                }
                const QByteArray removed = script.mid(at, length);
                analysis.Edit(at, length, {});
                QVERIFY2(check(), qPrintable(QStringLiteral("without the byte at %1").arg(at)));
                analysis.Edit(at, 0, removed);
                QVERIFY2(check(), qPrintable(QStringLiteral("after restoring %1").arg(at)));
            }
        }
        QCOMPARE(analysis.text.Bytes(), script);
        QVERIFY(steps > 20);
    }

    void editsAroundContinuationsMatchAFreshAnalysis_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("a line starts continuing") << "x = 1\nNext\ny" << 5 << 0 << " _";
        QTest::newRow("an opener's line becomes continued")
            << "x = 1\nFor i = 1 To 2\nNext" << 5 << 0 << " _";
        QTest::newRow("a line stops continuing") << "x = 1 _\nNext\ny" << 5 << 2 << "";
        QTest::newRow("the code after Then goes") << "If a Then _\n  b\nc" << 14 << 1 << "";
        QTest::newRow("a line below one with a comment after its underscore")
            << "Select _ ' c\n\nEnd If" << 13 << 0 << "If a Then";
        QTest::newRow("code comes after Then") << "If a Then _\n  \nEnd If" << 14 << 0 << "b";
    }

    // Reading stops only where a statement starts: a line's block words depend on the
    // statement it belongs to.
    void editsAroundContinuationsMatchAFreshAnalysis()
    {
        QFETCH(QString, script);
        QFETCH(int, position);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        Analysis analysis(script.toUtf8());
        analysis.ShowAll();
        analysis.Edit(position, removed, inserted.toUtf8());
        analysis.ShowAll();
        QCOMPARE(analysis.Dump(), FreshDump(analysis.text.Bytes()));
    }

    void waitingEditsFollowTheLines_data()
    {
        QTest::addColumn<QString>("edits");
        QTest::newRow("an edit below lines deleted later") << "below";
        QTest::newRow("more separate edits than are tracked") << "many";
    }

    // Edits not read yet follow the lines they were made on, and too many of them are read
    // again wholesale rather than one by one.
    void waitingEditsFollowTheLines()
    {
        QFETCH(QString, edits);
        Analysis analysis(ManySubs(600));
        analysis.ShowAll();
        if (edits == QLatin1String("below")) {
            analysis.Edit(analysis.text.Bytes().indexOf("Sub S90("), 0, "If a Then\n");
            analysis.Edit(0, analysis.text.Bytes().indexOf("Sub S60("), {});
        } else {
            for (std::int64_t line = 0; line < 3000; line += 2) {
                const std::string_view text = analysis.text.Line(line);
                analysis.Edit(text.data() - analysis.text.Bytes().constData(), 0, "'");
            }
        }
        int slices = 0;
        if (edits == QLatin1String("below")) {
            // Showing the lines around the edit reads it, and nothing is left waiting.
            const std::int64_t edited = analysis.text.LineOf(analysis.text.Bytes().indexOf("If a"));
            analysis.structure.Refresh(analysis.text, edited - 5, edited + 5, {}, analysis.levels);
        }
        while (analysis.structure.HasPendingWork() && ++slices < 100)
            analysis.structure.Continue(analysis.text, BlockBudget::Lines(50), analysis.levels);
        QCOMPARE(slices, edits == QLatin1String("below") ? 0 : 1);
        analysis.ShowAll();
        QCOMPARE(analysis.Dump(), FreshDump(analysis.text.Bytes()));
    }

    void editsReportedOutOfStepStartOver_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("delta");
        QTest::newRow("lines added, none reported") << 3 << 0;
        QTest::newRow("an edit past the last line") << 99 << 2;
        QTest::newRow("more lines removed than there are") << 30 << -40;
    }

    // However an edit is misreported, the analysis never reads outside its lines and, at the
    // next call, starts over on the text as it is.
    void editsReportedOutOfStepStartOver()
    {
        QFETCH(int, line);
        QFETCH(int, delta);
        Analysis analysis(Sample(QStringLiteral("nested")));
        analysis.ShowAll();
        analysis.text.Replace(analysis.text.Bytes().indexOf("Option"), 0, "With x\nDo\n");
        analysis.structure.LinesReplaced(line, delta);
        analysis.levels.values.resize(std::size_t(analysis.text.LineCount()), QStringLiteral("?"));
        analysis.ShowAll();
        QCOMPARE(analysis.Dump(), FreshDump(analysis.text.Bytes()));
    }

    void slicedAndWindowedAnalysisMatchesAFreshOne_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("budget");
        QTest::newRow("nested, windows of 5, unlimited") << "nested" << 5 << 0;
        QTest::newRow("nested, windows of 5, 3 lines at a time") << "nested" << 5 << 3;
        QTest::newRow("slips, windows of 2, 1 line at a time") << "slips" << 2 << 1;
        QTest::newRow("slips, windows of 9, unlimited") << "slips" << 9 << 0;
    }

    // Windows shown from the bottom up with edits in between, a budget that leaves work for
    // later, then the rest finished as the editor does when it is idle.
    void slicedAndWindowedAnalysisMatchesAFreshOne()
    {
        QFETCH(QString, sample);
        QFETCH(int, window);
        QFETCH(int, budget);
        const QByteArray script = Sample(sample);
        Analysis analysis(script);
        const BlockBudget limit = budget > 0 ? BlockBudget::Lines(budget) : BlockBudget{};
        for (std::int64_t first = analysis.text.LineCount() - window; first > -window;
             first -= window) {
            analysis.structure.Refresh(analysis.text, first, first + window - 1, limit,
                                       analysis.levels);
            if (first % 3 == 0)
                analysis.Edit(0, 0, "If a Then\n");
            if (first % 4 == 0)
                analysis.Edit(analysis.text.Bytes().indexOf("End"), 1, "X");
        }
        int slices = 0;
        while (analysis.structure.HasPendingWork() && slices < 10000) {
            analysis.structure.Continue(analysis.text, limit, analysis.levels);
            ++slices;
        }
        QVERIFY(!analysis.structure.HasPendingWork());
        analysis.ShowAll();
        QCOMPARE(analysis.Dump(), FreshDump(analysis.text.Bytes()));
    }

    void anEditReadsOnlyTheBlocksAroundIt_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("mostLinesRead");
        const QByteArray subs = ManySubs(4000);
        QTest::newRow("letter inside a block") << subs << 10002 << 0 << 0 << QByteArray("z") << 1;
        QTest::newRow("letter on an opener's line")
            << subs << 10001 << 9 << 0 << QByteArray("z") << 1;
        QTest::newRow("opener inside a Sub")
            << subs << 10002 << 0 << 0 << QByteArray("For i = 1 To 2\n") << 5;
        QTest::newRow("Sub opener above many Subs")
            << subs << 10000 << 0 << 0 << QByteArray("Sub Top\n") << 7;
        QTest::newRow("line end inside a block")
            << subs << 10002 << 0 << 0 << QByteArray("\n") << 2;
        QTest::newRow("line below an opener removed from the opener's end")
            << subs << 10001 << 13 << 14 << QByteArray() << 1;
    }

    // On a 20000-line script shown at line 10000, an edit reads a handful of lines, and showing
    // the window at first read only the Subs it shows.
    void anEditReadsOnlyTheBlocksAroundIt()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(int, removed);
        QFETCH(QByteArray, typed);
        QFETCH(int, mostLinesRead);
        Analysis analysis(script);
        const BlockReport shown =
            analysis.structure.Refresh(analysis.text, 10000, 10030, {}, analysis.levels);
        QCOMPARE(shown.first, 10000);
        QVERIFY2(shown.last <= 10035, qPrintable(QString::number(shown.last)));
        qsizetype at = 0;
        for (int skipped = 0; skipped < line; ++skipped)
            at = analysis.text.Bytes().indexOf('\n', at) + 1;
        analysis.Edit(at + column, removed, typed);
        const BlockReport edited =
            analysis.structure.Refresh(analysis.text, 10000, 10030, {}, analysis.levels);
        QVERIFY2(edited.last - edited.first + 1 <= mostLinesRead,
                 qPrintable(QStringLiteral("%1..%2").arg(edited.first).arg(edited.last)));
        QVERIFY(!analysis.structure.HasPendingWork());
    }

    // Lines far below anything analysed, in a script with no Sub to start from, are read by
    // later calls when one refresh has no budget to get there.
    void aScreenFarFromAnythingReadIsFinishedLater()
    {
        QByteArray script;
        for (int loop = 0; loop < 5000; ++loop)
            script += "x = 1\nFor i = 1 To 2\n  y = i\nNext\n";
        Analysis analysis(script);
        analysis.structure.Refresh(analysis.text, 10000, 10030, BlockBudget::Lines(500),
                                   analysis.levels);
        QCOMPARE(analysis.levels.values[10010], QStringLiteral("?"));
        int slices = 0;
        while (analysis.structure.HasPendingWork() && ++slices < 1000)
            analysis.structure.Continue(analysis.text, BlockBudget::Lines(500), analysis.levels);
        QCOMPARE(analysis.levels.values[10010], QStringLiteral("1"));
        // 10000 lines to read to get there, 500 at a time.
        QVERIFY2(slices >= 20 && slices < 25, qPrintable(QString::number(slices)));
    }

    void marksAreFoundFarBelowAnythingAnalysed_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("downwards");
        QTest::addColumn<int>("line");
        QList<QByteArray> subs = ManySubs(4000).split('\n');
        subs.insert(19000, "Next");
        subs.insert(500, "Next");
        const QByteArray strays = subs.join('\n');
        QTest::newRow("down to a stray closer") << strays << true << 500;
        QTest::newRow("up to a stray closer") << strays << false << 19001;
        QTest::newRow("an opener whose block runs on past anything read")
            << QByteArray("x = 1\n").repeated(100) + "If x Then\n" +
                   QByteArray("y = 2\n").repeated(12000)
            << true << 100;
    }

    // With only the first screen analysed, a search for a marked line reads as far as it must.
    void marksAreFoundFarBelowAnythingAnalysed()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, downwards);
        QFETCH(int, line);
        Analysis analysis(script);
        analysis.structure.Refresh(analysis.text, 0, 30, {}, analysis.levels);
        BlockReport report;
        QCOMPARE(analysis.structure.FindMarkedLine(analysis.text, 31, analysis.text.LineCount() - 1,
                                                   downwards, analysis.levels, report),
                 line);
        QVERIFY(report.Read(line));
    }

    void editsCutShortByBudgetsMatchAFreshAnalysis_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("steps");
        // Each step: "<first line>-<last line>|<their new text>|<lines the refresh after it may
        // read>".
        QTest::newRow("an End Function typed and taken back")
            << "Function F()\n  x\n  y\n  z\nSub S()\nEnd Sub\n"
            << QStringList{"1-1|End Function|2", "1-1|  x|2"};
        QTest::newRow("an End Function taken back on a line a later pass stopped at")
            << "Function F()\n  a\n  b\n  c\n  d\nSub S()\nEnd Sub\n"
            << QStringList{"2-2|End Function|2", "1-1|If a Then|1", "2-2|  b|1", "1-1|  a|3"};
        QTest::newRow("an End Function put in and removed before the lines below were read")
            << "Function F()\n  a\n  b\n  c\n  d\nSub S()\nEnd Sub\n"
            << QStringList{"2-2|  b\nEnd Function|2", "2-3|  b|3"};
        QTest::newRow("a Sub left the last line after lines below it were removed")
            << "Sub A()\nx" << QStringList{"1-1|x\nEnd Sub\nSub B()\ny|3", "3-4|Sub B()|3"};
    }

    // A refresh after each edit, cut short by its budget, leaves the rest for later; once that
    // is done every line must show what a fresh analysis shows.
    void editsCutShortByBudgetsMatchAFreshAnalysis()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, steps);
        Analysis analysis(script.toUtf8());
        analysis.ShowAll();
        for (const QString &step : steps) {
            const QStringList parts = step.split(QLatin1Char('|'));
            const QStringList lines = parts[0].split(QLatin1Char('-'));
            const qsizetype start = analysis.text.Start(lines[0].toInt());
            const std::string_view last = analysis.text.Line(lines[1].toInt());
            const qsizetype end = last.data() + last.size() - analysis.text.Bytes().constData();
            analysis.Edit(start, end - start, parts[1].toUtf8());
            analysis.structure.Refresh(analysis.text, 0, analysis.text.LineCount() - 1,
                                       BlockBudget::Lines(parts[2].toInt()), analysis.levels);
        }
        analysis.FinishAndShowAll(BlockBudget::Lines(2));
        QCOMPARE(analysis.Dump(), FreshDump(analysis.text.Bytes()));
    }

    void randomEditsMatchAFreshAnalysis_data()
    {
        QTest::addColumn<unsigned>("firstSeed");
        QTest::addColumn<bool>("budgeted");
        QTest::newRow("refreshes cut short") << 1u << true;
        QTest::newRow("refreshes in full") << 2001u << false;
    }

    // Rounds of a few random edits to a short script of block words, slips and continuations,
    // each round followed by a refresh of a few lines, most cut short by budgets of a few lines,
    // and now and then a slice of what was left for later; every few rounds the rest is
    // finished and every line's fold level and marks must be those of a fresh analysis.
    void randomEditsMatchAFreshAnalysis()
    {
        QFETCH(unsigned, firstSeed);
        QFETCH(bool, budgeted);
        const QList<QByteArray> pieces =
            QByteArray("Sub A()|End Sub|Function F()|End Function|If a Then|End If|Else|"
                       "ElseIf b Then|For i = 1 To 2|Next|Next j, i|Do|Loop|Select Case x|Case 1|"
                       "End Select|While x|Wend|With p|End With|Type T|End Type|Class C|End Class|"
                       "Property Get P()|Public Property Let P(v)|End Property|x = 1 _|  _|x = y_|"
                       "x = 1 ' _|If a Then _|' If a Then|x = \"End If\"|If a Then b|"
                       "For i = 1 To 2 : Next|x = 1 : Do|Loop : y||  y = 2")
                .split('|');
        for (unsigned seed = firstSeed; seed < firstSeed + SeedsPerRow; ++seed) {
            std::mt19937 random(seed);
            const auto below = [&](std::int64_t bound) {
                return static_cast<std::int64_t>(random() % static_cast<std::uint32_t>(bound));
            };
            const auto piece = [&] { return pieces[below(pieces.size())]; };
            const auto budget = [&] { return BlockBudget::Lines(1 + below(4)); };
            QByteArray script;
            for (std::int64_t line = below(12); line >= 0; --line)
                script += piece() + "\n";
            Analysis analysis(script);
            QByteArray undone = script;
            for (int round = 0; round < 40; ++round) {
                std::int64_t edited = 0;
                for (std::int64_t edit = 1 + below(4); edit > 0; --edit)
                    edited = RandomEdit(analysis, EditKinds[below(std::strlen(EditKinds))], below,
                                        piece, undone);
                // Mostly the lines around the last edit are shown, as when typing.
                const std::int64_t first =
                    std::min(below(2) ? edited : below(analysis.text.LineCount()),
                             analysis.text.LineCount() - 1);
                analysis.structure.Refresh(analysis.text, first, first + below(6),
                                           budgeted && below(3) ? budget() : BlockBudget{},
                                           analysis.levels);
                if (below(3) == 0)
                    analysis.structure.Continue(analysis.text, budget(), analysis.levels);
                if (below(9) != 0 && round != 39)
                    continue;
                const QString fresh = FreshDump(analysis.text.Bytes());
                analysis.FinishAndShowAll(budget());
                QVERIFY2(analysis.Dump() == fresh,
                         qPrintable(
                             QStringLiteral("seed %1, round %2, text:\n%3\nshown:\n%4\nfresh:\n%5")
                                 .arg(seed)
                                 .arg(round)
                                 .arg(QString::fromUtf8(analysis.text.Bytes()), analysis.Dump(),
                                      fresh)));
            }
        }
    }

    void walksOverTheUnknownRunFindWhatAPlainWalkFinds_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<int>("insertWeight");
        QTest::addColumn<int>("removeWeight");
        QTest::addColumn<int>("analyseWeight");
        QTest::newRow("walks between edits of every kind") << 1 << 3 << 3 << 3;
        QTest::newRow("mostly lines added") << 2 << 8 << 1 << 2;
        QTest::newRow("mostly lines removed") << 3 << 1 << 8 << 2;
        QTest::newRow("mostly lines analysed") << 4 << 1 << 1 << 8;
    }

    // The run lets a walk back to the nearest analysed line jump; through edits, analysis,
    // forgetting and starting over, the walk must still stop where a line-by-line walk stops.
    void walksOverTheUnknownRunFindWhatAPlainWalkFinds()
    {
        QFETCH(int, seed);
        QFETCH(int, insertWeight);
        QFETCH(int, removeWeight);
        QFETCH(int, analyseWeight);
        std::mt19937 random(static_cast<unsigned>(seed));
        const auto below = [&](std::int64_t bound) {
            return std::uniform_int_distribution<std::int64_t>(0, bound - 1)(random);
        };
        std::vector<bool> known;
        UnknownRun run;
        const auto reset = [&](std::int64_t count) {
            known.assign(static_cast<std::size_t>(count), false);
            known[0] = true;
            run = UnknownRun{0, count - 1};
        };
        reset(120);
        std::discrete_distribution<int> pick(
            {double(insertWeight), double(removeWeight), double(analyseWeight), 1, 6, 0.05});
        for (int step = 0; step < 10000; ++step) {
            const auto count = static_cast<std::int64_t>(known.size());
            const std::int64_t line = below(count);
            const std::int64_t lines = 1 + below(12);
            switch (pick(random)) {
            case 0:
                known.insert(known.begin() + line + 1, static_cast<std::size_t>(lines), false);
                run.FollowEdit(line, lines);
                break;
            case 1: {
                const std::int64_t removed = std::min(lines, count - 1 - line);
                known.erase(known.begin() + line + 1, known.begin() + line + 1 + removed);
                run.FollowEdit(line, -removed);
                break;
            }
            case 2:
                known[static_cast<std::size_t>(line)] = true;
                run.Analysed(line);
                break;
            case 3:
                std::fill(known.begin() + line + 1, known.end(), false);
                break;
            case 4: {
                std::int64_t plain = line;
                while (plain > 0 && !known[static_cast<std::size_t>(plain)])
                    --plain;
                std::int64_t jumped = line;
                while (jumped > 0 && !known[static_cast<std::size_t>(jumped)])
                    jumped = run.Holds(jumped) ? run.afterKnown : jumped - 1;
                QCOMPARE(jumped, plain);
                if (jumped < line)
                    run.Note(jumped, line);
                break;
            }
            default:
                reset(1 + below(300));
            }
            std::int64_t held = run.afterKnown + 1;
            while (held <= run.last && held < static_cast<std::int64_t>(known.size()) &&
                   !known[static_cast<std::size_t>(held)])
                ++held;
            QVERIFY2(held > run.last,
                     qPrintable(QStringLiteral("step %1, line %2").arg(step).arg(held)));
        }
    }

    void languagesWithoutBlockWordsGetNoBlocks_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<bool>("applies");
        QTest::newRow("Quillcode") << Quillcode()->KeywordList << true;
        QTest::newRow("any case") << "IF\nthen\nEnd\nSUB\nfunction" << true;
        QTest::newRow("without Function") << "If\nThen\nEnd\nSub" << false;
        QTest::newRow("without Then") << "If\nEnd\nSub\nFunction" << false;
        QTest::newRow("no keywords") << "" << false;
    }

    void languagesWithoutBlockWordsGetNoBlocks()
    {
        QFETCH(QString, keywords);
        QFETCH(bool, applies);
        LanguageDefinition language;
        language.KeywordList = keywords;
        QCOMPARE(BlockStructure::Applies(language), applies);
    }
};

QUILLMARK_TEST_MAIN(BlocksTest)
#include "tst_blocks.moc"
