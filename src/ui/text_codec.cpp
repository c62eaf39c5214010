#include "ui/text_codec.h"

#include <QFile>
#include <QStringDecoder>

namespace quorvane {

namespace {

bool FitsLatin1(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            return false;
        }
    }
    return true;
}

bool IsAscii(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

TextEncoding DetectEncoding(QByteArrayView bytes) {
    // A byte order mark stays in the text, so it is written back as it was read.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString ignored = utf8.decode(bytes);
    return utf8.hasError() ? TextEncoding::Latin1 : TextEncoding::Utf8;
}

QString Decode(QByteArrayView bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Latin1) {
        return QString::fromLatin1(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

QByteArray Encode(const QString& text, TextEncoding& encoding) {
    if (encoding == TextEncoding::Latin1 && FitsLatin1(text)) {
        QByteArray bytes = text.toLatin1();
        // Latin-1 bytes that happen to be valid UTF-8 would read back as another
        // text ("\u00c3\u00a9" is C3 A9, which is UTF-8 for "\u00e9"): such a
        // text is written as UTF-8.
        if (!IsAscii(bytes) && DetectEncoding(bytes) == TextEncoding::Utf8) {
            encoding = TextEncoding::Utf8;
            return text.toUtf8();
        }
        return bytes;
    }
    encoding = TextEncoding::Utf8;
    return text.toUtf8();
}

QString FromDiskBytes(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return Decode(view, DetectEncoding(view));
}

std::string ToDiskBytes(const QString& text) {
    TextEncoding encoding = TextEncoding::Latin1;
    return Encode(text, encoding).toStdString();
}

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString PathFromBytes(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString EditorTextFromFile(const QByteArray& bytes, TextEncoding encoding) {
    // Line ends are ASCII in both encodings, so they are found in the bytes.
    QByteArray lines;
    lines.reserve(bytes.size());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
                ++i;
            }
            if (i + 1 < n) {
                lines.append('\n');
            }
        } else {
            lines.append(c);
        }
    }
    return Decode(lines, encoding);
}

QByteArray FileBytesFromEditorText(const QString& text, TextEncoding& encoding) {
    if (text.isEmpty()) {
        return {};
    }
    QByteArray bytes = Encode(text, encoding);
    bytes.replace('\n', QByteArrayView("\r\n"));
    bytes.append("\r\n", 2);
    return bytes;
}

}  // namespace quorvane
