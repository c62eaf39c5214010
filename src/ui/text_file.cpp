#include "ui/text_file.h"

#include <QFile>
#include <QSaveFile>

#include "core/text/quorvane_error.h"

namespace quorvane {

namespace {

// Paths travel in messages as the bytes the user would type (UTF-8 on Linux),
// so the error box can show them unchanged.
std::string PathForMessage(const QString& path) {
    return path.toUtf8().toStdString();
}

}  // namespace

QString FromDiskBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToDiskBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        bytes.push_back(code <= 0xFF ? static_cast<char>(static_cast<unsigned char>(code)) : '?');
    }
    return bytes;
}

QString ReadTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw QuorvaneError("Cannot open file " + PathForMessage(path));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw QuorvaneError("Cannot open file " + PathForMessage(path));
    }
    // Each line terminator ends a line; the last one does not open another, so a
    // file written by WriteTextFile reads back as the text that was written.
    QString text;
    text.reserve(bytes.size());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
                ++i;
            }
            if (i + 1 < n) {
                text.append(QLatin1Char('\n'));
            }
        } else {
            text.append(QLatin1Char(c));
        }
    }
    return text;
}

void WriteTextFile(const QString& path, const QString& text) {
    QByteArray bytes;
    if (!text.isEmpty()) {
        bytes.reserve(text.size() + text.count(QLatin1Char('\n')) + 2);
        for (const QChar c : text) {
            const char16_t code = c.unicode();
            if (code == u'\n') {
                bytes.append("\r\n", 2);
            } else {
                bytes.append(code <= 0xFF ? static_cast<char>(static_cast<unsigned char>(code))
                                          : '?');
            }
        }
        bytes.append("\r\n", 2);
    }
    QSaveFile file(path);
    // Without this, QSaveFile writes in place when the folder forbids a temporary
    // file, and an interrupted write would then cut the old file short.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw QuorvaneError("Cannot create file " + PathForMessage(path));
    }
}

}  // namespace quorvane
