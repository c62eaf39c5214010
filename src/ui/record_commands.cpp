#include "ui/record_commands.h"

#include <QFile>
#include <QPlainTextEdit>

#include "ui/prompts.h"
#include "ui/text_file.h"
#include "core/settings/settings_store.h"

namespace quorvane {

namespace {

constexpr const char* kUntitledName = "untitled.txt";

}  // namespace

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString PathFromBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

RecordCommands::RecordCommands(Prompts& prompts, QPlainTextEdit& editor,
                               std::function<std::string()> settingsPath, QObject* parent)
    : QObject(parent), prompts_(prompts), editor_(editor), settingsPath_(std::move(settingsPath)) {}

void RecordCommands::RichEdit2Change() {
    recordModified_ = true;
    emit saveEnabledChanged(true);
}

void RecordCommands::MarkSaved() {
    recordModified_ = false;
    emit saveEnabledChanged(false);
}

void RecordCommands::LoadRecord(const QString& path) {
    // Read first: a file that cannot be read must not cost the editor its text.
    const QString text = ReadTextFile(path);
    editor_.setPlainText(text);
}

void RecordCommands::New() {
    if (!editor_.document()->isEmpty()) {
        editor_.clear();
    }
    mainFileName_ = QString::fromLatin1(kUntitledName);
    emit captionChanged(mainFileName_);
}

void RecordCommands::Open() {
    const std::optional<QString> chosen =
        prompts_.OpenFileName(mainFileName_, QString::fromLatin1(kOpenFilter), openDefaultSuffix_);
    if (!chosen) {
        return;
    }
    // Only a file that has been read replaces the editor's text, so a cancelled or
    // failing Open never leaves an empty editor that the next save would write
    // over the current record file.
    editor_.setPlainText(ReadTextFile(*chosen));
    mainFileName_ = *chosen;
    emit captionChanged(mainFileName_);
    StoreMainFile(settingsPath_(), PathBytes(mainFileName_));
}

void RecordCommands::Save() {
    WriteTextFile(mainFileName_, editor_.toPlainText());
    emit captionChanged(mainFileName_);
    recordModified_ = false;
    emit saveEnabledChanged(false);
}

void RecordCommands::SaveRecordAs() {
    const std::optional<QString> chosen =
        prompts_.SaveFileName(mainFileName_, QStringLiteral("txt"), false);
    if (!chosen) {
        return;
    }
    WriteTextFile(*chosen, editor_.toPlainText());
    mainFileName_ = *chosen;
    emit captionChanged(mainFileName_);
    StoreMainFile(settingsPath_(), PathBytes(mainFileName_));
    recordModified_ = false;
}

void RecordCommands::PromptSaveRecord() {
    if (!recordModified_) {
        return;
    }
    if (!prompts_.Confirm(QString::fromLatin1(kSaveQuestion))) {
        return;
    }
    if (mainFileName_ == QLatin1String(kUntitledName)) {
        SaveRecordAs();
    } else {
        Save();
    }
}

}  // namespace quorvane
