// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Script files read and saved in chunks: seeded random files of every encoding and line end, with
// byte-order marks, CR LF pairs and long characters at and around the chunk boundaries, come back
// byte for byte, their longest line measured as the text has it.
#include "common/EditorError.h"
#include "scriptfile/ScriptFile.h"
#include "support/FileBytes.h"
#include "support/TestMain.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace
{

class CollectingSink : public ScriptTextSink
{
public:
    void Restart(qint64) override { text.clear(); }
    void Append(QByteArrayView utf8) override { text.append(utf8); }
    QByteArray text;
};

/// `text` as a file in `encoding`, with the encoding's byte-order mark; through Qt's own codecs,
/// so the program's are checked against another implementation.
QByteArray Encoded(const QString &text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return text.toUtf8();
    case TextEncoding::Utf8WithBom:
        return Utf8Bom.toByteArray() + text.toUtf8();
    case TextEncoding::Windows1252: {
        // ICU's table, which gives the five bytes the code page leaves unassigned to the C1
        // controls of the same number, as the program does.
        QStringEncoder encoder("windows-1252");
        return encoder(text);
    }
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        break;
    }
    QStringEncoder encoder(encoding == TextEncoding::Utf16Le ? QStringConverter::Utf16LE
                                                             : QStringConverter::Utf16BE);
    return (encoding == TextEncoding::Utf16Le ? Utf16LeBom : Utf16BeBom).toByteArray() +
           QByteArray(encoder(text));
}

/// What a script is made of, line ends apart; the pieces whose bytes a chunk boundary can split,
/// or that look like a byte-order mark, are the tricky ones, put wherever a boundary is near.
struct Pieces {
    QStringList plain;
    QStringList tricky;
};

Pieces PiecesOf(TextEncoding encoding)
{
    const QStringList plain{"Dim x", " = ", "' note", "\t", "\"s\"", QString(QChar(0))};
    if (encoding == TextEncoding::Windows1252)
        return {plain + QStringList{"é", "€", "Ÿ", "\u0081\u009D"},
                {"\r\n", "ÿþ", "þÿ", "ï»¿", "é€", "\u00C3\u00A9"}};
    QStringList tricky{"\r\n", "\uFEFF", "é", "€", "→", "𝄞", "\uFFFE", "\u0081"};
    return {plain + QStringList{"ü", "\u00FF\u00FE"}, tricky};
}

/// A random script in `encoding` with line ends of `kind` ("CRLF", "LF", "CR" or "mixed"), to
/// follow `startBytes` bytes of file, whose tricky pieces fall on the boundaries of chunks of
/// `chunk` bytes.
QString RandomScript(QRandomGenerator &random, TextEncoding encoding, const QString &kind,
                     qsizetype chunk, qsizetype startBytes)
{
    const Pieces pieces = PiecesOf(encoding);
    const QStringList ends = kind == QLatin1String("CRLF") ? QStringList{"\r\n"}
                             : kind == QLatin1String("LF") ? QStringList{"\n"}
                             : kind == QLatin1String("CR") ? QStringList{"\r"}
                                                           : QStringList{"\r\n", "\n", "\r"};
    QString text;
    qsizetype bytes = startBytes;
    const int count = random.bounded(1, 120);
    for (int i = 0; i < count; ++i) {
        const qsizetype toBoundary = chunk - bytes % chunk;
        QString piece;
        if (random.bounded(5) == 0)
            piece = ends[random.bounded(ends.size())];
        else if (toBoundary <= 4 || random.bounded(4) == 0)
            piece = pieces.tricky[random.bounded(pieces.tricky.size())];
        else
            piece = pieces.plain[random.bounded(pieces.plain.size())];
        if (piece == QLatin1String("\r\n") && !ends.contains(piece))
            piece = ends.constFirst();
        text += piece;
        bytes += Encoded(piece, encoding).size() - Encoded(QString(), encoding).size();
    }
    // Legacy text holds a byte that is no UTF-8, at the end so no boundary moves.
    if (encoding == TextEncoding::Windows1252)
        text.append(QStringLiteral("é."));
    return text;
}

/// The line end new lines get: the most frequent one, the platform's when it is among the most.
LineEnd DominantOf(const QString &text)
{
    const qsizetype crlf = text.count(QStringLiteral("\r\n"));
    // In the order of LineEnd: CR LF, LF, CR.
    const qsizetype counts[] = {crlf, text.count(QLatin1Char('\n')) - crlf,
                                text.count(QLatin1Char('\r')) - crlf};
    const qsizetype most = *std::max_element(std::begin(counts), std::end(counts));
    if (counts[int(PlatformLineEnd)] == most)
        return PlatformLineEnd;
    return LineEnd(std::find(std::begin(counts), std::end(counts), most) - std::begin(counts));
}

/// The longest line of `text` in UTF-8 bytes, its line end left out.
qint64 LongestLineOf(const QString &text)
{
    qint64 longest = 0;
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
        longest = std::max<qint64>(longest, line.toUtf8().size());
    return longest;
}

QString Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

} // namespace

class ScriptChunksTest : public QObject
{
    Q_OBJECT

private slots:
    void randomScriptsComeBackByteForByte_data()
    {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("lineEnds");
        QTest::addColumn<quint32>("seed");
        quint32 seed = 2026;
        for (const TextEncoding encoding :
             {TextEncoding::Utf8, TextEncoding::Utf8WithBom, TextEncoding::Windows1252,
              TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
            for (const char *kind : {"CRLF", "LF", "CR", "mixed"})
                QTest::addRow("%s, %s", qPrintable(EncodingName(encoding)), kind)
                    << int(encoding) << QString::fromLatin1(kind) << seed++;
        }
    }

    void randomScriptsComeBackByteForByte()
    {
        QFETCH(int, encoding);
        QFETCH(QString, lineEnds);
        QFETCH(quint32, seed);
        const auto format = TextEncoding(encoding);
        QRandomGenerator random(seed);
        // Every save syncs its file: in memory that costs next to nothing.
        QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                              ? QStringLiteral("/dev/shm/quillmark-chunks-XXXXXX")
                              : QString());
        const QString source = QDir(dir.path()).filePath(QStringLiteral("source.qc"));
        const QString target = QDir(dir.path()).filePath(QStringLiteral("target.qc"));
        const qsizetype bomBytes = Encoded(QString(), format).size();
        for (int round = 0; round < 80; ++round) {
            // Mostly tiny chunks; every eighth round the real size, after a pad that ends just
            // short of the first boundary.
            const bool real = round % 8 == 7;
            const qsizetype chunk =
                real ? ScriptChunkBytes : QList<qsizetype>{1, 2, 3, 4, 5, 7, 8, 13, 64}[round % 9];
            const QString pad =
                real ? QString((ScriptChunkBytes - bomBytes) / (bomBytes == 2 ? 2 : 1) -
                                   random.bounded(6),
                               QLatin1Char('a'))
                     : QString();
            QString text =
                pad + RandomScript(random, format, lineEnds, chunk, Encoded(pad, format).size());
            // A file that starts like one of another encoding is read as that one.
            if (format == TextEncoding::Utf8 ? text.startsWith(QChar(0xFEFF))
                                             : format == TextEncoding::Windows1252 &&
                                                   (text.startsWith(QStringLiteral("ÿþ")) ||
                                                    text.startsWith(QStringLiteral("þÿ"))))
                text.prepend(QLatin1Char('x'));
            const QByteArray bytes = Encoded(text, format);
            WriteBytes(source, bytes);
            const auto context = [&] {
                return QStringLiteral("round %1, chunks of %2: %3")
                    .arg(round)
                    .arg(chunk)
                    .arg(Hex(bytes.right(400)))
                    .toUtf8();
            };
            CollectingSink sink;
            LoadedScript read;
            try {
                read = ReadScriptFile(source, sink, chunk);
                WriteScriptFile(target, sink.text, read.format, chunk);
            } catch (const EditorError &error) {
                QFAIL((context() + ": " + error.what()).constData());
            }
            QVERIFY2(read.format.encoding == format, context().constData());
            QVERIFY2(sink.text == text.toUtf8(), context().constData());
            QVERIFY2(read.format.lineEnd == DominantOf(text), context().constData());
            QCOMPARE(read.longestLine, LongestLineOf(text));
            QVERIFY2(ReadBytes(target) == bytes, context().constData());
        }
    }
};

QUILLMARK_TEST_MAIN(ScriptChunksTest)
#include "tst_scriptchunks.moc"
