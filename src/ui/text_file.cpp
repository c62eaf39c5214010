#include "ui/text_file.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/text/quorvane_error.h"

namespace quorvane {

namespace {

FileSnapshot SnapshotAfter(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    FileSnapshot snapshot;
    snapshot.exists = info.exists();
    snapshot.size = bytes.size();
    snapshot.modified = info.lastModified();
    snapshot.hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    return snapshot;
}

}  // namespace

FileSnapshot SnapshotOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    FileSnapshot snapshot;
    snapshot.exists = true;
    snapshot.size = info.size();
    snapshot.modified = info.lastModified();
    QFile file(path);
    if (info.isFile() && file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            snapshot.hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
        }
    }
    return snapshot;
}

LoadedText LoadTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw QuorvaneError("Cannot open file " + PathBytes(path));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw QuorvaneError("Cannot open file " + PathBytes(path));
    }
    LoadedText loaded;
    loaded.encoding = DetectEncoding(bytes);
    loaded.text = EditorTextFromFile(bytes, loaded.encoding);
    loaded.snapshot = SnapshotAfter(path, bytes);
    return loaded;
}

FileSnapshot WriteTextFile(const QString& path, const QString& text, TextEncoding& encoding) {
    TextEncoding used = encoding;
    const QByteArray bytes = FileBytesFromEditorText(text, used);
    WriteFileBytes(path, bytes);
    encoding = used;
    return SnapshotAfter(path, bytes);
}

void WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Without this, QSaveFile writes in place when the folder forbids a temporary
    // file, and an interrupted write would then cut the old file short.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw QuorvaneError("Cannot create file " + PathBytes(path));
    }
}

void WriteTextFile(const QString& path, const QString& text) {
    TextEncoding encoding = TextEncoding::Utf8;
    WriteTextFile(path, text, encoding);
}

}  // namespace quorvane
