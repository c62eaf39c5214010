#include "ui/record_document.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextDocument>

#include "core/settings/settings_store.h"
#include "core/text/quorvane_error.h"
#include "ui/prompts.h"

namespace quorvane {

namespace {

constexpr int kRecoveryDelayMs = 2000;
constexpr const char* kRecoveryMagic = "Quorvane recovery file";

QString Absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

QString ReplaceQuestion(const QString& path) {
    return QStringLiteral(
               "The file %1 has been changed on disk since Quorvane last read or "
               "wrote it. Replace it with the text in the editor?")
        .arg(path);
}

QString RestoreQuestion(const QString& name) {
    return QStringLiteral("Quorvane found text for %1 that was never saved. Restore it?").arg(name);
}

const char* EncodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Latin1 ? "Latin-1" : "UTF-8";
}

struct Recovered {
    QString name;
    TextEncoding encoding = TextEncoding::Utf8;
    QString text;
};

// Header lines, an empty line, then the text as UTF-8 with "\n" line ends.
QByteArray RecoveryBytes(const QString& name, TextEncoding encoding, const QString& text) {
    QByteArray bytes(kRecoveryMagic);
    bytes += "\nRecord: " + QFile::encodeName(name) + "\nEncoding: " + EncodingName(encoding) +
             "\n\n" + text.toUtf8();
    return bytes;
}

std::optional<Recovered> ParseRecovery(const QByteArray& bytes) {
    const QByteArray recordKey("\nRecord: ");
    const QByteArray encodingKey("\nEncoding: ");
    if (!bytes.startsWith(kRecoveryMagic)) {
        return std::nullopt;
    }
    qsizetype at = static_cast<qsizetype>(qstrlen(kRecoveryMagic));
    if (bytes.mid(at, recordKey.size()) != recordKey) {
        return std::nullopt;
    }
    at += recordKey.size();
    const qsizetype nameEnd = bytes.indexOf('\n', at);
    if (nameEnd < 0 || bytes.mid(nameEnd, encodingKey.size()) != encodingKey) {
        return std::nullopt;
    }
    Recovered recovered;
    recovered.name = QFile::decodeName(bytes.mid(at, nameEnd - at));
    at = nameEnd + encodingKey.size();
    const qsizetype encodingEnd = bytes.indexOf('\n', at);
    if (encodingEnd < 0 || bytes.mid(encodingEnd, 2) != "\n\n") {
        return std::nullopt;
    }
    recovered.encoding =
        bytes.mid(at, encodingEnd - at) == "Latin-1" ? TextEncoding::Latin1 : TextEncoding::Utf8;
    recovered.text = QString::fromUtf8(bytes.mid(encodingEnd + 2));
    return recovered;
}

}  // namespace

QString RecordCaption(const QString& prefix, const QString& fileName) {
    return prefix.isEmpty() ? fileName : prefix + QLatin1Char(' ') + fileName;
}

LoadedText LoadDiary(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        throw QuorvaneError("Cannot open file " + PathBytes(path) +
                            ": it is a folder or a device, not a diary");
    }
    LoadedText loaded = LoadTextFile(path);
    if (loaded.text.contains(QChar(u'\0'))) {
        throw QuorvaneError("Cannot open file " + PathBytes(path) +
                            ": it holds binary data (NUL bytes), not a diary");
    }
    return loaded;
}

void RefuseRecoveryName(const QString& path, const QString& recoveryPath) {
    if (Absolute(path) == Absolute(recoveryPath)) {
        throw QuorvaneError("Cannot create file " + PathBytes(path) +
                            ": Quorvane keeps unsaved text under that name; choose another");
    }
}

RecordDocument::RecordDocument(Prompts& prompts, QPlainTextEdit& editor,
                               std::function<std::string()> settingsPath, QObject* parent)
    : QObject(parent),
      prompts_(prompts),
      editor_(editor),
      document_(editor.document()),
      settingsPath_(std::move(settingsPath)) {
    // The document lives with the record, whatever becomes of the editor.
    document_->setParent(this);
    connect(document_, &QTextDocument::modificationChanged, this, &RecordDocument::modifiedChanged);
    recoveryTimer_.setSingleShot(true);
    recoveryTimer_.setInterval(kRecoveryDelayMs);
    connect(&recoveryTimer_, &QTimer::timeout, this, &RecordDocument::WriteRecovery);
}

bool RecordDocument::RecordModified() const {
    return document_->isModified();
}

void RecordDocument::SetMainFileName(const QString& name) {
    mainFileName_ = name;
    emit fileNameChanged(mainFileName_);
}

void RecordDocument::NameChanged(const QString& name) {
    mainFileName_ = name;
    captionPrefix_.clear();
    emit fileNameChanged(mainFileName_);
    emit captionChanged(Caption());
}

void RecordDocument::SetCaptionPrefix(const QString& prefix) {
    captionPrefix_ = prefix;
    emit captionChanged(Caption());
}

QString RecordDocument::Text() const {
    // The raw text keeps what toPlainText() would change (a no-break space
    // becomes a space there); only the document's line separators are mapped.
    QString text = document_->toRawText();
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            c = QLatin1Char('\n');
        }
    }
    return text;
}

void RecordDocument::RichEdit2Change() {
    document_->setModified(true);
    emit saveEnabledChanged(true);
    if (recoveryOn_) {
        recoveryTimer_.start();
    }
}

void RecordDocument::MarkSaved() {
    document_->setModified(false);
    emit saveEnabledChanged(false);
}

void RecordDocument::SetText(const QString& text) {
    editor_.setPlainText(text);
    // Whatever the editor does with the flag on a new text, the program's own
    // change counts as a change.
    document_->setModified(true);
}

void RecordDocument::Adopt(const QString& path, const LoadedText& loaded) {
    encoding_ = loaded.encoding;
    snapshotPath_ = Absolute(path);
    snapshot_ = loaded.snapshot;
}

void RecordDocument::LoadRecord(const QString& path) {
    // Read first: a file that cannot be read must not cost the editor its text.
    const LoadedText loaded = LoadDiary(path);
    SetText(loaded.text);
    Adopt(path, loaded);
}

void RecordDocument::New() {
    if (!document_->isEmpty()) {
        editor_.clear();
        document_->setModified(true);
    }
    encoding_ = TextEncoding::Utf8;
    snapshotPath_.clear();
    snapshot_ = {};
    RemoveRecovery();
    NameChanged(QString::fromLatin1(kUntitledName));
}

void RecordDocument::Open() {
    const std::optional<QString> chosen =
        prompts_.OpenFileName(mainFileName_, QString::fromLatin1(kOpenFilter), openDefaultSuffix_);
    if (!chosen) {
        return;
    }
    // Only a file that has been read replaces the editor's text, so a cancelled or
    // failing Open never leaves an empty editor that the next save would write
    // over the current record file.
    const LoadedText loaded = LoadDiary(*chosen);
    SetText(loaded.text);
    Adopt(*chosen, loaded);
    RemoveRecovery();
    NameChanged(*chosen);
    StoreMainFile(settingsPath_(), PathBytes(mainFileName_));
}

bool RecordDocument::MayReplace(const QString& path) {
    const FileSnapshot now = SnapshotOf(path);
    if (!now.exists || (Absolute(path) == snapshotPath_ && now == snapshot_)) {
        return true;
    }
    return prompts_.ConfirmReplace(ReplaceQuestion(path));
}

void RecordDocument::WriteTo(const QString& path) {
    RefuseRecoveryName(path, RecoveryPath());
    TextEncoding encoding = encoding_;
    snapshot_ = WriteTextFile(path, Text(), encoding);
    snapshotPath_ = Absolute(path);
    encoding_ = encoding;
}

bool RecordDocument::Save() {
    if (!MayReplace(mainFileName_)) {
        return false;
    }
    WriteTo(mainFileName_);
    captionPrefix_.clear();
    emit captionChanged(Caption());
    document_->setModified(false);
    emit saveEnabledChanged(false);
    RemoveRecovery();
    return true;
}

bool RecordDocument::SaveRecordAs() {
    // The dialog itself asks before it lets the user pick an existing file.
    const std::optional<QString> chosen =
        prompts_.SaveFileName(mainFileName_, QStringLiteral("txt"), true);
    if (!chosen) {
        return false;
    }
    WriteTo(*chosen);
    NameChanged(*chosen);
    StoreMainFile(settingsPath_(), PathBytes(mainFileName_));
    document_->setModified(false);
    RemoveRecovery();
    return true;
}

bool RecordDocument::SaveUnderItsName() {
    if (mainFileName_ == QLatin1String(kUntitledName)) {
        return SaveRecordAs();
    }
    return Save();
}

bool RecordDocument::PromptSaveRecord() {
    if (!RecordModified()) {
        return true;
    }
    if (!prompts_.Confirm(QString::fromLatin1(kSaveQuestion))) {
        return true;
    }
    if (mainFileName_ == QLatin1String(kUntitledName)) {
        SaveRecordAs();
        return true;
    }
    return Save();
}

bool RecordDocument::MayClose() {
    if (!RecordModified()) {
        return true;
    }
    switch (prompts_.AskSave(QString::fromLatin1(kSaveQuestion))) {
        case SaveChoice::Yes:
            return SaveUnderItsName();
        case SaveChoice::No:
            RemoveRecovery();
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

QString RecoveryPathBeside(const std::string& settingsPath) {
    return QFileInfo(PathFromBytes(settingsPath))
        .dir()
        .filePath(QString::fromLatin1(kRecoveryFileName));
}

QString RecordDocument::RecoveryPath() const {
    return RecoveryPathBeside(settingsPath_());
}

void RecordDocument::StartRecovery() {
    // A recovery file that was never offered (the start failed before the offer)
    // is not overwritten: it waits for a start that offers it.
    if (!recoveryOffered_ && QFileInfo::exists(RecoveryPath())) {
        return;
    }
    recoveryOn_ = true;
}

void RecordDocument::RemoveRecovery() {
    recoveryTimer_.stop();
    if (recoveryOn_) {
        QFile::remove(RecoveryPath());
    }
}

void RecordDocument::WriteRecovery() {
    if (!recoveryOn_) {
        return;
    }
    const QString text = Text();
    // Nothing to lose: no changes, an empty editor, or the text the file holds.
    bool nothingToKeep = !RecordModified() || text.isEmpty();
    if (!nothingToKeep && Absolute(mainFileName_) == snapshotPath_) {
        TextEncoding encoding = encoding_;
        nothingToKeep = QCryptographicHash::hash(FileBytesFromEditorText(text, encoding),
                                                 QCryptographicHash::Sha256) == snapshot_.hash;
    }
    if (nothingToKeep) {
        RemoveRecovery();
        return;
    }
    // A timer has no one to tell about a failure; the next change tries again.
    QSaveFile file(RecoveryPath());
    file.setDirectWriteFallback(false);
    const QByteArray bytes = RecoveryBytes(mainFileName_, encoding_, text);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) {
        file.commit();
    }
}

void RecordDocument::OfferRecovery() {
    recoveryOffered_ = true;
    const QString path = RecoveryPath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const std::optional<Recovered> recovered = ParseRecovery(file.readAll());
    file.close();
    if (!recovered) {
        return;  // not one of ours: left alone
    }
    if (recovered->name == mainFileName_ && recovered->text == Text()) {
        QFile::remove(path);
        return;
    }
    if (!prompts_.Confirm(RestoreQuestion(recovered->name))) {
        const QString aside = path + QStringLiteral(".declined");
        QFile::remove(aside);
        QFile::rename(path, aside);
        return;
    }
    SetText(recovered->text);
    encoding_ = recovered->encoding;
    if (recovered->name != mainFileName_) {
        SetMainFileName(recovered->name);
        emit captionChanged(Caption());
    }
    emit saveEnabledChanged(true);
    // The file stays until the text is saved or discarded.
}

}  // namespace quorvane
