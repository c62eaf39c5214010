// Record and report text on disk: 8-bit bytes, CR LF line ends, and a failed
// write that never harms the file it would have replaced.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/text/quorvane_error.h"
#include "ui/text_file.h"

namespace quorvane {
namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(TextFileTest, LineEndsReadAsEditorLines) {
    QTemporaryDir dir;
    const struct {
        QByteArray disk;
        QString text;
    } cases[] = {
        {"", ""},           {"a\r\nb\r\n", "a\nb"}, {"a\nb", "a\nb"},
        {"a\rb\r", "a\nb"}, {"a\r\n\r\n", "a\n"},   {"\r\n", ""},
        {"\r\n\r\n", "\n"}, {"a\n\rb", "a\n\nb"},  // LF then a lone CR: two line ends
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("in.txt"));
        Put(path, c.disk);
        EXPECT_EQ(ReadTextFile(path), c.text) << c.disk.toStdString();
    }
}

TEST(TextFileTest, EveryByteRoundTrips) {
    QTemporaryDir dir;
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            all.append(static_cast<char>(b));
        }
    }
    const QByteArray disk = all + "\r\n" + all + "\r\n\r\nlast\r\n";
    const QString path = dir.filePath(QStringLiteral("bytes.txt"));
    Put(path, disk);
    const QString text = ReadTextFile(path);
    EXPECT_EQ(ToDiskBytes(text.left(all.size())), all.toStdString());

    // Not UTF-8, so read as Latin-1, and written back in it.
    LoadedText loaded = LoadTextFile(path);
    EXPECT_EQ(loaded.encoding, TextEncoding::Latin1);
    const QString copy = dir.filePath(QStringLiteral("copy.txt"));
    WriteTextFile(copy, loaded.text, loaded.encoding);
    EXPECT_EQ(Bytes(copy), disk);
    EXPECT_EQ(loaded.encoding, TextEncoding::Latin1);
    EXPECT_EQ(FromDiskBytes(ToDiskBytes(text)), text);
}

TEST(TextFileTest, WritesCrLfAndNeverReplacesACharacter) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    WriteTextFile(path, QStringLiteral("tea, $,\ncoffee \u20ac, #,"));
    EXPECT_EQ(Bytes(path), QByteArray("tea, $,\r\ncoffee \xe2\x82\xac, #,\r\n"));
    // A Latin-1 file that is given a character Latin-1 has not becomes UTF-8 whole.
    TextEncoding encoding = TextEncoding::Latin1;
    WriteTextFile(path, QStringLiteral("caf\u00e9\n\u2615"), encoding);
    EXPECT_EQ(Bytes(path), QByteArray("caf\xc3\xa9\r\n\xe2\x98\x95\r\n"));
    EXPECT_EQ(encoding, TextEncoding::Utf8);
    encoding = TextEncoding::Latin1;
    WriteTextFile(path, QStringLiteral("caf\u00e9"), encoding);
    EXPECT_EQ(Bytes(path), QByteArray("caf\xe9\r\n"));
    EXPECT_EQ(encoding, TextEncoding::Latin1);
    WriteTextFile(path, QString());
    EXPECT_EQ(Bytes(path), QByteArray());
}

TEST(TextCodecTest, ValidUtf8ReadsAsUtf8AnythingElseAsLatin1) {
    const struct {
        QByteArray bytes;
        TextEncoding encoding;
        QString text;
    } cases[] = {
        {"tea, #,", TextEncoding::Utf8, QStringLiteral("tea, #,")},
        {"cr\xc3\xa8me \xe2\x98\x95", TextEncoding::Utf8, QStringLiteral("cr\u00e8me \u2615")},
        {"cr\xe8me", TextEncoding::Latin1, QStringLiteral("cr\u00e8me")},
        {"\xc0\xaf", TextEncoding::Latin1, QStringLiteral("\u00c0\u00af")},    // overlong
        {"\xe2\x98", TextEncoding::Latin1, QStringLiteral("\u00e2\u0098")},    // cut short
        {"\xef\xbb\xbftea", TextEncoding::Utf8, QStringLiteral("\ufefftea")},  // mark kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        EXPECT_EQ(DetectEncoding(c.bytes), c.encoding);
        EXPECT_EQ(Decode(c.bytes, c.encoding), c.text);
        EXPECT_EQ(FromDiskBytes(c.bytes.toStdString()), c.text);
        TextEncoding back = c.encoding;
        EXPECT_EQ(Encode(c.text, back), c.bytes);  // unchanged text: the same bytes
        EXPECT_EQ(back, c.encoding);
    }
    // Short texts: Latin-1 while it holds them, else UTF-8; never a "?".
    EXPECT_EQ(ToDiskBytes(QStringLiteral("caf\u00e9")), "caf\xe9");
    EXPECT_EQ(ToDiskBytes(QStringLiteral("caf\u00e9 \u2615")), "caf\xc3\xa9 \xe2\x98\x95");
    EXPECT_EQ(FromDiskBytes(ToDiskBytes(QStringLiteral("\u2615"))), QStringLiteral("\u2615"));
}

// Latin-1 bytes that are valid UTF-8 would read back as another text: such a text
// is written as UTF-8. One that would not be misread stays Latin-1.
TEST(TextCodecTest, EveryTextReadsBackAsItWasWritten) {
    const struct {
        QString text;
        TextEncoding written;
    } cases[] = {
        {QStringLiteral("\u00c3\u00a9"), TextEncoding::Utf8},  // C3 A9 would be "\u00e9"
        {QStringLiteral("tea \u00c2\u00a3, #,"),
         TextEncoding::Utf8},  // C2 A3 would be a pound sign
        {QStringLiteral("cr\u00e8me \u00c3\u00a9"), TextEncoding::Latin1},  // E8 is no UTF-8
        {QStringLiteral("tea, #,"), TextEncoding::Latin1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TextEncoding encoding = TextEncoding::Latin1;
        const QByteArray bytes = FileBytesFromEditorText(c.text, encoding);
        EXPECT_EQ(encoding, c.written);
        EXPECT_EQ(EditorTextFromFile(bytes, DetectEncoding(bytes)), c.text);
        EXPECT_EQ(FromDiskBytes(ToDiskBytes(c.text)), c.text);
    }
}

TEST(TextFileTest, Utf8FileRoundTripsByteForByte) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("utf8.txt"));
    const QByteArray disk(
        "cr\xc3\xa8me, \xc2\xa0"
        "caf\xc3\xa9, #,\r\n\r\nthe end\r\n");
    Put(path, disk);
    LoadedText loaded = LoadTextFile(path);
    EXPECT_EQ(loaded.encoding, TextEncoding::Utf8);
    EXPECT_EQ(loaded.text, QStringLiteral("cr\u00e8me, \u00a0caf\u00e9, #,\n\nthe end"));
    EXPECT_EQ(loaded.snapshot, SnapshotOf(path));
    const FileSnapshot written = WriteTextFile(path, loaded.text, loaded.encoding);
    EXPECT_EQ(Bytes(path), disk);
    EXPECT_EQ(written, SnapshotOf(path));
    Put(path, disk + "x");
    EXPECT_NE(written, SnapshotOf(path));
}

TEST(TextFileTest, FailuresNameThePathAndKeepTheOldFile) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    try {
        ReadTextFile(missing);
        ADD_FAILURE() << "read of a missing file succeeded";
    } catch (const QuorvaneError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), QStringLiteral("Cannot open file ") + missing);
    }

    const QString target = dir.filePath(QStringLiteral("no/dir/out.txt"));
    try {
        WriteTextFile(target, QStringLiteral("x"));
        ADD_FAILURE() << "write into a missing folder succeeded";
    } catch (const QuorvaneError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), QStringLiteral("Cannot create file ") + target);
    }

    // A folder standing where the file should go cannot be replaced, and stays.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.txt")));
    EXPECT_THROW(WriteTextFile(dir.filePath(QStringLiteral("taken.txt")), QStringLiteral("x")),
                 QuorvaneError);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("taken.txt"))).isDir());
    // No temporary files are left behind by the failed writes.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

}  // namespace
}  // namespace quorvane
