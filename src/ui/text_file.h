#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "ui/text_codec.h"

namespace quorvane {

// What a file held at one moment: enough to tell whether someone else has
// written it since.
struct FileSnapshot {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    QByteArray hash;

    bool operator==(const FileSnapshot&) const = default;
};

// Reads the file to hash it; a missing or unreadable file gives exists == false
// or an empty hash, which matches no snapshot of a file that was read.
FileSnapshot SnapshotOf(const QString& path);

struct LoadedText {
    QString text;  // editor lines, see EditorTextFromFile
    TextEncoding encoding = TextEncoding::Utf8;
    FileSnapshot snapshot;
};

// Raises "Cannot open file <path>" when it cannot be read.
LoadedText LoadTextFile(const QString& path);
inline QString ReadTextFile(const QString& path) {
    return LoadTextFile(path).text;
}

// Writes the text with CR LF line ends in `encoding` (switched to UTF-8 when the
// text needs it) through a temporary file that replaces the target only when
// complete. Raises "Cannot create file <path>" and leaves any existing file whole
// when that fails (no folder, no room, a file size limit). Returns what the file
// now holds.
FileSnapshot WriteTextFile(const QString& path, const QString& text, TextEncoding& encoding);
// A new file: UTF-8.
void WriteTextFile(const QString& path, const QString& text);
// Bytes as they are (an export made elsewhere), written the same safe way with
// the same error.
void WriteFileBytes(const QString& path, const QByteArray& bytes);

}  // namespace quorvane
