#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <string>
#include <string_view>

namespace quorvane {

// The one place where disk bytes and QString meet. Policy: bytes that are valid
// UTF-8 are read as UTF-8, anything else as Latin-1 (every byte one character,
// so nothing is ever lost on the way in). On the way out no character is ever
// replaced: text that Latin-1 cannot hold is written as UTF-8.
enum class TextEncoding { Latin1, Utf8 };

TextEncoding DetectEncoding(QByteArrayView bytes);
QString Decode(QByteArrayView bytes, TextEncoding encoding);
// Encodes in `encoding` when it can hold every character, else in UTF-8;
// `encoding` is updated to what was used.
QByteArray Encode(const QString& text, TextEncoding& encoding);

// Short texts that travel through the core: grid cells, report lines, error
// messages, box texts, settings values. Read by the policy above; written as
// Latin-1 when it holds them (as the settings file always has), else UTF-8.
QString FromDiskBytes(std::string_view bytes);
std::string ToDiskBytes(const QString& text);
inline QString MessageFromBytes(std::string_view bytes) {
    return FromDiskBytes(bytes);
}
inline std::string BoxText(const QString& text) {
    return ToDiskBytes(text);
}

// Paths cross into the core and into messages as the file system's bytes.
std::string PathBytes(const QString& path);
QString PathFromBytes(std::string_view bytes);

// A file's bytes as editor lines ("\n" between lines; CR LF, LF and CR each end a
// line, the last one opens no further line), and back with CR LF line ends.
QString EditorTextFromFile(const QByteArray& bytes, TextEncoding encoding);
QByteArray FileBytesFromEditorText(const QString& text, TextEncoding& encoding);

}  // namespace quorvane
