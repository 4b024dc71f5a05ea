// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Script files through the editor control: byte-exact round trips, line ends of new lines,
// the legacy encoding's limits, refused loads, and what a save keeps of the old file.
#include "common/EditorError.h"
#include "editor/EditorControl.h"
#include "scriptfile/ScriptFileFormat.h"
#include "support/FileBytes.h"
#include "support/HostileFolder.h"
#include "support/TestMain.h"
#include "support/Typing.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qsciscintilla.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

QsciScintilla *ViewOf(EditorControl &code)
{
    return code.findChild<QsciScintilla *>();
}

/// Opens `bytes` from a file and saves them to another; returns what the save wrote.
QByteArray RoundTrip(EditorControl &code, const QDir &dir, const QByteArray &bytes)
{
    const QString source = dir.filePath(QStringLiteral("source.qc"));
    const QString target = dir.filePath(QStringLiteral("target.qc"));
    WriteBytes(source, bytes);
    code.OpenFile(source);
    code.SaveFile(target, true);
    return ReadBytes(target);
}

QByteArray RandomScriptBytes(QRandomGenerator &random)
{
    static const QList<QByteArray> pieces = {"Dim x",
                                             " = ",
                                             "\r\n",
                                             "\n",
                                             "\r",
                                             "\t",
                                             "é",
                                             "€",
                                             "→",
                                             "𝄞",
                                             QByteArray(1, '\0'),
                                             "' note",
                                             "\"s\"",
                                             "\xEF\xBB\xBF",
                                             "ÿ",
                                             "\xC2\x81"};
    QByteArray bytes;
    const int flavour = random.bounded(3);
    const int length = random.bounded(400);
    for (int i = 0; i < length; ++i) {
        if (flavour == 0)
            bytes.append(static_cast<char>(random.bounded(256)));
        else if (flavour == 1)
            bytes.append(pieces[random.bounded(pieces.size())]);
        else
            bytes.append(random.bounded(20) == 0 ? static_cast<char>(0x80 + random.bounded(128))
                                                 : static_cast<char>(random.bounded(128)));
    }
    // Random bytes after a UTF-16 byte-order mark are mostly broken UTF-16, which is refused.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        bytes.prepend('a');
    return bytes;
}

QByteArray LineEndOf(const QByteArray &line)
{
    if (line.endsWith("\r\n"))
        return line.right(2);
    return line.endsWith('\n') || line.endsWith('\r') ? line.right(1) : QByteArray();
}

QByteArray AllBytes()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(static_cast<char>(value));
    return bytes;
}

/// `text` as UTF-16 of the byte order `order` ("LE" or "BE") after the order's byte-order mark;
/// `text` may hold unpaired surrogates.
QByteArray Utf16(const QString &text, const char *order)
{
    const bool big = order[0] == 'B';
    QByteArray bytes(big ? "\xFE\xFF" : "\xFF\xFE");
    for (const QChar unit : text) {
        const char high = static_cast<char>(unit.unicode() >> 8);
        const char low = static_cast<char>(unit.unicode() & 0xFF);
        bytes.append(big ? high : low).append(big ? low : high);
    }
    return bytes;
}

} // namespace

class ScriptFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTripIsByteExact_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("lineEnd");
        QTest::addColumn<QString>("text");
        const int utf8 = int(TextEncoding::Utf8), bom = int(TextEncoding::Utf8WithBom),
                  legacy = int(TextEncoding::Windows1252);
        const int crlf = int(LineEnd::CrLf), lf = int(LineEnd::Lf), cr = int(LineEnd::Cr);
        QTest::newRow("empty file") << QByteArray() << utf8 << lf << "";
        QTest::newRow("ascii, CRLF")
            << QByteArray("Sub A\r\nEnd Sub\r\n") << utf8 << crlf << "Sub A\r\nEnd Sub\r\n";
        QTest::newRow("LF") << QByteArray("a\nb\n") << utf8 << lf << "a\nb\n";
        QTest::newRow("CR") << QByteArray("a\rb\rc") << utf8 << cr << "a\rb\rc";
        QTest::newRow("mixed, CRLF most")
            << QByteArray("a\r\nb\nc\r\nd\re\r\n") << utf8 << crlf << "a\r\nb\nc\r\nd\re\r\n";
        QTest::newRow("no final line end")
            << QByteArray("x = 1\r\ny = 2") << utf8 << crlf << "x = 1\r\ny = 2";
        QTest::newRow("lone CR at the end") << QByteArray("a\r") << utf8 << cr << "a\r";
        QTest::newRow("NUL bytes")
            << QByteArray("a\0b\0\0c\n", 8) << utf8 << lf << QString::fromUtf8("a\0b\0\0c\n", 8);
        QTest::newRow("UTF-8") << QByteArray("' déjà → 𝄞\n") << utf8 << lf << "' déjà → 𝄞\n";
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF' é\r\n") << bom << crlf << "' é\r\n";
        QTest::newRow("BOM only") << QByteArray("\xEF\xBB\xBF") << bom << lf << "";
        QTest::newRow("UTF-8 C1 control") << QByteArray("\xC2\x81") << utf8 << lf << "\u0081";
        QTest::newRow("Windows-1252")
            << QByteArray("' caf\xE9 \x80 \x93q\x94\r\n") << legacy << crlf << "' café € “q”\r\n";
        QTest::newRow("unassigned Windows-1252 bytes")
            << QByteArray("\x81\x8D\x8F\x90\x9D") << legacy << lf
            << "\u0081\u008D\u008F\u0090\u009D";
        QTest::newRow("all 256 byte values") << AllBytes() << legacy << lf << QString();
        QTest::newRow("overlong form") << QByteArray("\xC0\x80") << legacy << lf << "À€";
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << legacy << lf << "í\u00A0€";
        QTest::newRow("past U+10FFFF")
            << QByteArray("\xF4\x90\x80\x80") << legacy << lf << "ô\u0090€€";
        QTest::newRow("cut off at the end")
            << QByteArray("ok \xE2\x82") << legacy << lf << "ok â\u201A";
        QTest::newRow("BOM then invalid")
            << QByteArray("\xEF\xBB\xBF\xFF") << legacy << lf << "ï»¿ÿ";
        QTest::newRow("invalid far in") << QByteArray(3'000'000, 'a') + "\xE9\r\n"
                                        << legacy << crlf << QString();
        QTest::newRow("sequence across chunks") << QByteArray((1 << 20) - 1, 'a') + "é\n"
                                                << utf8 << lf << QString();
    }

    void roundTripIsByteExact()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(int, lineEnd);
        QFETCH(QString, text);
        QTemporaryDir dir;
        EditorControl code;
        code.SetText(QStringLiteral("earlier text"));
        QCOMPARE(RoundTrip(code, QDir(dir.path()), bytes), bytes);
        QCOMPARE(int(code.FileFormat().encoding), encoding);
        QCOMPARE(int(code.FileFormat().lineEnd), lineEnd);
        if (!text.isNull())
            QCOMPARE(code.Text(), text);
        QVERIFY(!code.IsModified());
        QVERIFY(!code.CanUndo());
    }

    void randomBytesRoundTrip()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        QTemporaryDir dir;
        EditorControl code;
        for (int round = 0; round < 300; ++round) {
            const QByteArray bytes = RandomScriptBytes(random);
            const QByteArray saved = RoundTrip(code, QDir(dir.path()), bytes);
            QVERIFY2(saved == bytes, qPrintable(QStringLiteral("seed %1, round %2: %3")
                                                    .arg(seed)
                                                    .arg(round)
                                                    .arg(QString::fromLatin1(bytes.toHex()))));
        }
    }

    void utf16IsDecodedAndSavedInItsByteOrder_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lineEnd");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("saved");
        const int crlf = int(LineEnd::CrLf), lf = int(LineEnd::Lf), cr = int(LineEnd::Cr);
        const QString script = QStringLiteral("Sub A\r\n  x = \"é → 𝄞\"\r\nEnd Sub\r\n");
        const QString typed = QStringLiteral("Sub A\r\nü  x = \"é → 𝄞\"\r\nEnd Sub\r\n");
        QTest::newRow("LE, round trip")
            << Utf16(script, "LE") << script << crlf << "" << Utf16(script, "LE");
        QTest::newRow("BE, round trip")
            << Utf16(script, "BE") << script << crlf << "" << Utf16(script, "BE");
        QTest::newRow("LE, one character typed")
            << Utf16(script, "LE") << script << crlf << "ü" << Utf16(typed, "LE");
        QTest::newRow("BE, a character outside the BMP typed")
            << Utf16("a\rb\rc\r\n", "BE") << "a\rb\rc\r\n"
            << cr << "𝄞" << Utf16("a\r𝄞b\rc\r\n", "BE");
        const QString marks = QString::fromUtf8("\xEF\xBB\xBF\0\n\xEF\xBB\xBF", 8);
        QTest::newRow("LE, NUL and byte-order marks inside the text")
            << Utf16(marks, "LE") << marks << lf << "" << Utf16(marks, "LE");
        QTest::newRow("BE, byte-order mark only")
            << Utf16("", "BE") << "" << lf << "" << Utf16("", "BE");
        // The reader takes a megabyte at a time: these pairs straddle the first chunk's end.
        const QString pad(((1 << 20) - 4) / 2, QLatin1Char('a'));
        QTest::newRow("LE, surrogate pair across chunks")
            << Utf16(pad + "𝄞\nb", "LE") << pad + "𝄞\nb" << lf << "x" << Utf16(pad + "𝄞\nxb", "LE");
        QTest::newRow("LE, U+FEFF starts the second chunk and stays")
            << Utf16(pad + "a\uFEFF\nb", "LE") << pad + "a\uFEFF\nb" << lf << ""
            << Utf16(pad + "a\uFEFF\nb", "LE");
        QTest::newRow("BE, CR LF across chunks")
            << Utf16(pad + "\r\nb\nc\r\nd", "BE") << pad + "\r\nb\nc\r\nd" << crlf << ""
            << Utf16(pad + "\r\nb\nc\r\nd", "BE");
    }

    void utf16IsDecodedAndSavedInItsByteOrder()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, lineEnd);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("wide.qc"));
        WriteBytes(path, bytes);
        EditorControl code;
        code.OpenFile(path);
        // Files of more than a piece go on arriving after the first screen.
        QVERIFY(code.AwaitWholeText());
        QCOMPARE(code.Text(), text);
        QCOMPARE(int(code.FileFormat().lineEnd), lineEnd);
        if (!typed.isEmpty()) {
            code.SetSelection(EditorRange{1, 0, 1, 0}, true);
            code.SetSelectedText(typed);
        }
        code.SaveFile(path, true);
        QCOMPARE(ReadBytes(path), saved);
    }

    void brokenUtf16IsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("odd length") << Utf16("ab", "LE") + 'c'
                                    << "UTF-16LE by its byte-order mark, but its length, 7 bytes, "
                                       "is odd";
        QTest::newRow("high surrogate before a letter")
            << Utf16(QStringView(u"a\xD800").toString() + 'b', "LE")
            << "UTF-16LE by its byte-order mark, but holds an unpaired surrogate (D800) at byte 4";
        QTest::newRow("low surrogate alone")
            << Utf16(QStringView(u"ab\xDC00").toString(), "BE")
            << "UTF-16BE by its byte-order mark, but holds an unpaired surrogate (DC00) at byte 6";
        QTest::newRow("high surrogate at the end")
            << Utf16(QStringView(u"\xDBFF").toString(), "BE")
            << "UTF-16BE by its byte-order mark, but holds an unpaired surrogate (DBFF) at byte 2";
    }

    void brokenUtf16IsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("broken.qc"));
        WriteBytes(path, bytes);
        EditorControl code;
        code.SetText(QStringLiteral("kept"));
        try {
            code.OpenFile(path);
            QFAIL("the load did not fail");
        } catch (const EditorError &error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("cannot open \"%1\": it is %2").arg(path, reason));
        }
        QCOMPARE(code.Text(), QStringLiteral("kept"));
        QCOMPARE(ReadBytes(path), bytes);
    }

    void editInOneLineChangesOnlyThatLine_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QByteArray>("replacement");
        QTest::newRow("UTF-8, CRLF")
            << QByteArrayList{"Sub A\r\n", "  x = \"é\"\r\n", "  y = 2\r\n", "End Sub"}
            << QByteArray("  y = \"ü → 3\"");
        QTest::newRow("UTF-8 with BOM, mixed line ends") << QByteArrayList{"\xEF\xBB\xBF"
                                                                           "a\n",
                                                                           "b\r\n", "c\r", "d\n"}
                                                         << QByteArray("ç");
        QTest::newRow("Windows-1252, CR")
            << QByteArrayList{"' \x80\r", "x = \x93q\x94\r", "y\r", "\x81\x9D\r"}
            << QByteArray("y = \xE9\x85");
        QTest::newRow("NUL in the other lines")
            << QByteArrayList{QByteArray("a\0\n", 3), "b\n", "c\n", QByteArray("\0", 1)}
            << QByteArray("B");
    }

    void editInOneLineChangesOnlyThatLine()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(QByteArray, replacement);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("edit.qc"));
        WriteBytes(path, lines.join());
        EditorControl code;
        code.OpenFile(path);
        const bool legacy = code.FileFormat().encoding == TextEncoding::Windows1252;
        QByteArray replacementUtf8;
        if (legacy)
            AppendWindows1252AsUtf8(replacement, replacementUtf8);
        else
            replacementUtf8 = replacement;
        code.SetSelection(EditorRange{2, 0, 2, 10000}, true);
        code.SetSelectedText(QString::fromUtf8(replacementUtf8));
        code.SaveFile(path, true);

        QByteArrayList expected = lines;
        expected[2] = replacement + LineEndOf(lines[2]);
        QCOMPARE(ReadBytes(path), expected.join());
    }

    void newLinesFollowTheDominantLineEnd_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("typedLineEnd");
        QTest::newRow("CRLF file") << QByteArray("a\r\nb\r\n") << QByteArray("\r\n");
        QTest::newRow("LF file") << QByteArray("a\nb\n") << QByteArray("\n");
        QTest::newRow("CR file") << QByteArray("a\rb\r") << QByteArray("\r");
        QTest::newRow("mostly CR") << QByteArray("a\rb\rc\r\nd") << QByteArray("\r");
        QTest::newRow("no line end") << QByteArray("a") << QByteArray("\n");
        QTest::newRow("tie with the platform's") << QByteArray("a\r\nb\n") << QByteArray("\n");
    }

    void newLinesFollowTheDominantLineEnd()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, typedLineEnd);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("ends.qc"));
        WriteBytes(path, bytes);
        EditorControl code;
        code.show();
        code.OpenFile(path);
        TypeKeys(code.focusProxy(), QStringLiteral("{Return}"));
        code.SaveFile(path, true);
        QCOMPARE(ReadBytes(path), typedLineEnd + bytes);
    }

    void newDocumentUsesThePlatformsLineEndAndUtf8()
    {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("legacy.qc"));
        WriteBytes(path, "caf\xE9\r\n");
        EditorControl code;
        code.show();
        code.OpenFile(path);
        code.NewDocument();
        QVERIFY(!code.IsModified());
        TypeKeys(code.focusProxy(), QStringLiteral("é{Return}"));
        code.SaveFile(path, true);
        QCOMPARE(ReadBytes(path), QByteArray("é\n"));
    }

    void legacyFileIsSavedInItsEncodingWhileItCan_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<uint>("unencodable");
        QTest::newRow("characters of the code page")
            << "€ŸÿŠ\u0090" << QByteArray("'\x80\x9F\xFF\x8A\x90 \x80 caf\xE9\r\n\x81") << 0u;
        QTest::newRow("a character it lacks")
            << "→" << QByteArray("'→ € café\r\n\xC2\x81") << uint(U'→');
        QTest::newRow("a C1 control it lacks")
            << "\u0080" << QByteArray("'\xC2\x80 € café\r\n\xC2\x81") << 0x80u;
    }

    void legacyFileIsSavedInItsEncodingWhileItCan()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        QFETCH(uint, unencodable);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("legacy.qc"));
        WriteBytes(path, "' \x80 caf\xE9\r\n\x81");
        EditorControl code;
        code.OpenFile(path);
        code.SetSelection(EditorRange{0, 1, 0, 1}, true);
        code.SetSelectedText(typed);
        const SavedScript first = code.SaveFile(path, true);
        QCOMPARE(uint(first.unencodable), unencodable);
        QCOMPARE(ReadBytes(path), saved);
        const TextEncoding now = unencodable ? TextEncoding::Utf8 : TextEncoding::Windows1252;
        QCOMPARE(code.FileFormat(), (ScriptFormat{now, LineEnd::CrLf}));
        QCOMPARE(uint(code.SaveFile(path, true).unencodable), 0u);
        QCOMPARE(ReadBytes(path), saved);
    }

    void refusedLoadChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << "missing.qc"
                                      << "No such file or directory";
        QTest::newRow("folder") << "folder"
                                << "Is a directory";
        QTest::newRow("below a file") << "plain.qc/inner.qc"
                                      << "Not a directory";
        QTest::newRow("FIFO") << "fifo.qc"
                              << "not an ordinary file";
        QTest::newRow("device") << "/dev/zero"
                                << "not an ordinary file";
        QTest::newRow("just over the size limit") << "huge.qc"
                                                  << "2147483651 bytes";
        QTest::newRow("unreadable") << "secret.qc"
                                    << "Permission denied";
    }

    void refusedLoadChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        if (name == QLatin1String("secret.qc") && ::geteuid() == 0)
            QSKIP("the superuser reads files whatever their permission bits");
        HostileFolder hostile;
        QVERIFY(hostile.made);

        EditorControl code;
        code.SetText(QStringLiteral("kept\nline"));
        code.SetSelection(EditorRange{1, 1, 1, 3}, true);
        const QString path = name.startsWith(QLatin1Char('/')) ? name : hostile.FilePath(name);
        try {
            code.OpenFile(path);
            QFAIL("the load did not fail");
        } catch (const EditorError &error) {
            const QString message = QString::fromUtf8(error.what());
            QVERIFY2(message.contains(path) && message.contains(reason), qPrintable(message));
        }
        QCOMPARE(code.Text(), QStringLiteral("kept\nline"));
        QCOMPARE(code.GetSelection(true), (EditorRange{1, 1, 1, 3}));
        QVERIFY(code.IsModified());
        code.Undo();
        QCOMPARE(code.Text(), QString());
    }

    void saveKeepsPermissionBitsExactly_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("new file: the usual bits less the umask") << -1;
        QTest::newRow("0640") << 0640;
        QTest::newRow("0604") << 0604;
        QTest::newRow("read-only 0444") << 0444;
        QTest::newRow("0755") << 0755;
        QTest::newRow("setgid 02664") << 02664;
    }

    void saveKeepsPermissionBitsExactly()
    {
        QFETCH(int, mode);
        if (::geteuid() != 0 && mode >= 0 && (mode & 0200) == 0)
            QSKIP("only the superuser may replace a file without write permission");
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("script.qc"));
        EditorControl code;
        struct stat info {
        };
        if (mode < 0) {
            const mode_t umask = ::umask(0);
            ::umask(umask);
            mode = 0666 & ~int(umask);
        } else {
            WriteBytes(path, "old");
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
            code.OpenFile(path);
        }
        const ino_t old = info.st_ino;
        code.SetText(QStringLiteral("new"));
        code.SaveFile(path, true);
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), mode);
        QCOMPARE(ReadBytes(path), QByteArray("new"));
        // The bits are given to a new file, which then replaces the old one whole; writing the
        // old file over in place is for what a new file cannot be given.
        QVERIFY(info.st_ino != old);
    }

    void saveThroughALinkWritesItsTarget()
    {
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkdir(QStringLiteral("real")));
        const QString target = root.filePath(QStringLiteral("real/script.qc"));
        const QString link = root.filePath(QStringLiteral("link.qc"));
        WriteBytes(target, "old\r\n");
        QVERIFY(QFile::link(QStringLiteral("real/script.qc"), link));
        EditorControl code;
        code.OpenFile(link);
        code.SetText(QStringLiteral("new\r\n"));
        code.SaveFile(link, true);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), QFileInfo(target).absoluteFilePath());
        QCOMPARE(ReadBytes(target), QByteArray("new\r\n"));
        QCOMPARE(root.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 QStringList({"link.qc", "real"}));
    }

    void everyNameThatFitsCanBeSaved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        const auto named = [](int bytes) { return QString(bytes - 3, QLatin1Char('n')) + ".qc"; };
        QTest::newRow("248 bytes") << named(248) << "";
        QTest::newRow("249 bytes") << named(249) << "";
        QTest::newRow("255 bytes, the longest") << named(255) << "";
        QTest::newRow("255 bytes of two-byte characters") << QString(126, QChar(0xE9)) + ".qc"
                                                          << "";
        QTest::newRow("256 bytes") << named(256) << "File name too long";
    }

    void everyNameThatFitsCanBeSaved()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(name);
        EditorControl code;
        QStringList results;
        for (const QString &text : {QStringLiteral("first\n"), QStringLiteral("second\n")}) {
            code.SetText(text);
            try {
                code.SaveFile(path, true);
                results << QString::fromUtf8(ReadBytes(path));
            } catch (const EditorError &error) {
                const QString message = QString::fromUtf8(error.what());
                QVERIFY2(message.contains(path) && message.endsWith(reason), qPrintable(message));
                results << reason;
            }
        }
        const QStringList expected =
            reason.isEmpty() ? QStringList{"first\n", "second\n"} : QStringList{reason, reason};
        QCOMPARE(results, expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 reason.isEmpty() ? QStringList{name} : QStringList());
    }

    void lineNumbersFitTheLoadedLines()
    {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("long.qc"));
        WriteBytes(path, QByteArray(123456, '\n'));
        EditorControl code;
        QsciScintilla *view = ViewOf(code);
        const long before = view->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL);
        code.OpenFile(path);
        const long after = view->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL);
        const long lastNumber = view->SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                                    QsciScintillaBase::STYLE_LINENUMBER, "123457");
        QVERIFY2(
            after > before && after >= lastNumber,
            qPrintable(QStringLiteral("%1 -> %2 for %3").arg(before).arg(after).arg(lastNumber)));
    }

    void loadedDocumentKeepsTheViewsDocumentSettings()
    {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("settings.qc"));
        WriteBytes(path, "int x; // note\n");
        EditorControl code;
        QsciScintilla *view = ViewOf(code);
        QVERIFY(view);
        QsciLexerCPP lexer;
        view->setLexer(&lexer);
        view->setTabWidth(3);
        view->SendScintilla(QsciScintillaBase::SCI_SETWORDCHARS, 0UL, "abc_");
        const long mask = view->SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
        const long lexerId = view->SendScintilla(QsciScintillaBase::SCI_GETLEXER);
        QVERIFY(lexerId != QsciScintillaBase::SCLEX_CONTAINER);
        code.OpenFile(path);
        QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETLEXER), lexerId);
        QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETTABWIDTH), 3L);
        QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETCODEPAGE),
                 long(QsciScintillaBase::SC_CP_UTF8));
        QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK), mask);
        QByteArray words(5, '\0');
        view->SendScintilla(QsciScintillaBase::SCI_GETWORDCHARS, 0UL,
                            static_cast<void *>(words.data()));
        QCOMPARE(QByteArray(words.constData()).size(), 4);
        view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, -1L);
        QCOMPARE(view->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 0UL),
                 long(QsciLexerCPP::Keyword));
        view->setLexer(nullptr);
    }
};

QUILLMARK_TEST_MAIN(ScriptFilesTest)
#include "tst_scriptfiles.moc"
