#include "ui/record_document.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "core/settings/settings_store.h"
#include "core/text/quorvane_error.h"
#include "ui/prompts.h"

namespace quorvane {

namespace {

QString Absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

QString ReplaceQuestion(const QString& path) {
    return QStringLiteral(
               "The file %1 has been changed on disk since Quorvane last read or "
               "wrote it. Replace it with the text in the editor?")
        .arg(path);
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

RecordDocument::RecordDocument(Prompts& prompts, QPlainTextEdit& editor,
                               std::function<std::string()> settingsPath, QObject* parent)
    : QObject(parent),
      prompts_(prompts),
      editor_(editor),
      document_(editor.document()),
      settingsPath_(std::move(settingsPath)),
      recovery_(settingsPath_, [this] { return Unsaved(); }) {
    // The document lives with the record, whatever becomes of the editor.
    document_->setParent(this);
    connect(document_, &QTextDocument::modificationChanged, this, &RecordDocument::modifiedChanged);
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
    recovery_.Changed();
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
    recovery_.Remove();
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
    recovery_.Remove();
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
    RefuseRecoveryName(path, recovery_.Path());
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
    recovery_.Remove();
    return true;
}

bool RecordDocument::SaveRecordAs() {
    const std::optional<QString> chosen =
        AskSavePath(prompts_, mainFileName_, QStringLiteral("txt"), recovery_.Path());
    if (!chosen) {
        return false;
    }
    WriteTo(*chosen);
    NameChanged(*chosen);
    StoreMainFile(settingsPath_(), PathBytes(mainFileName_));
    document_->setModified(false);
    recovery_.Remove();
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
            recovery_.Remove();
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

std::optional<RecoveredText> RecordDocument::Unsaved() const {
    const QString text = Text();
    if (!RecordModified() || text.isEmpty()) {
        return std::nullopt;
    }
    if (Absolute(mainFileName_) == snapshotPath_) {
        TextEncoding encoding = encoding_;
        if (QCryptographicHash::hash(FileBytesFromEditorText(text, encoding),
                                     QCryptographicHash::Sha256) == snapshot_.hash) {
            return std::nullopt;
        }
    }
    return RecoveredText{mainFileName_, encoding_, text};
}

void RecordDocument::OfferRecovery() {
    const std::optional<RecoveredText> recovered =
        recovery_.Offer(prompts_, RecoveredText{mainFileName_, encoding_, Text()});
    if (!recovered) {
        return;
    }
    SetText(recovered->text);
    encoding_ = recovered->encoding;
    if (recovered->name != mainFileName_) {
        SetMainFileName(recovered->name);
        emit captionChanged(Caption());
    }
    emit saveEnabledChanged(true);
}

}  // namespace quorvane
