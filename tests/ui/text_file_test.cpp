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

    const QString copy = dir.filePath(QStringLiteral("copy.txt"));
    WriteTextFile(copy, text);
    EXPECT_EQ(Bytes(copy), disk);
    EXPECT_EQ(FromDiskBytes(ToDiskBytes(text)), text);
}

TEST(TextFileTest, WritesCrLfAndMarksWhatLatin1CannotHold) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    WriteTextFile(path, QStringLiteral("tea, $,\ncoffee \u20ac, #,"));
    EXPECT_EQ(Bytes(path), QByteArray("tea, $,\r\ncoffee ?, #,\r\n"));
    WriteTextFile(path, QString());
    EXPECT_EQ(Bytes(path), QByteArray());
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
