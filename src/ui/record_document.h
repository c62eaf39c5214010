#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "ui/recovery_file.h"
#include "ui/text_codec.h"
#include "ui/text_file.h"

class QPlainTextEdit;
class QTextDocument;

namespace quorvane {

class Prompts;

inline constexpr const char* kOpenFilter = "Text Files (*.txt);;Show all Files (*.*)";
inline constexpr const char* kSaveQuestion =
    "Do you wish to save the Environmental Record file first?";
inline constexpr const char* kUntitledName = "untitled.txt";

// The window caption: the record file's name, after an optional prefix (the
// start-up's caption so far, or the version line).
QString RecordCaption(const QString& prefix, const QString& fileName);

// The record file behind the record editor. It owns the editor's QTextDocument,
// whose modified flag is the record's; it knows the file's name, the encoding it
// was read in and what the file held when this run last read or wrote it, so
// that it never writes over a file that someone else has changed without asking.
// Unsaved text is kept in a recovery file beside the settings file. The window
// connects the signals to its caption and its "&Save" item, and does the page
// and focus steps around these commands.
class RecordDocument : public QObject {
    Q_OBJECT
  public:
    RecordDocument(Prompts& prompts, QPlainTextEdit& editor,
                   std::function<std::string()> settingsPath, QObject* parent = nullptr);

    QTextDocument& Document() { return *document_; }
    const QString& MainFileName() const { return mainFileName_; }
    void SetMainFileName(const QString& name);
    bool RecordModified() const;
    TextEncoding Encoding() const { return encoding_; }
    QString Caption() const { return RecordCaption(captionPrefix_, mainFileName_); }
    // The caption becomes the prefix, one space and the file name.
    void SetCaptionPrefix(const QString& prefix);
    // The editor's text as it is written, no character changed on the way.
    QString Text() const;
    // The open dialog's default extension: "ktl" until the first analysis reads a file.
    const QString& OpenDefaultSuffix() const { return openDefaultSuffix_; }
    void SetOpenDefaultSuffix(const QString& suffix) { openDefaultSuffix_ = suffix; }

    // Every change of the editor's text.
    void RichEdit2Change();
    // The end of start-up: the record just loaded counts as saved.
    void MarkSaved();
    // Start-up's load. Refuses what is not a diary; the editor is untouched when
    // the file cannot be read.
    void LoadRecord(const QString& path);

    void New();
    // A cancelled dialog changes nothing; a file that cannot be read, or is not a
    // diary, raises and leaves the editor, the name and the settings file as they were.
    void Open();
    // False when the file had changed on disk and the user chose not to replace it:
    // nothing was written.
    bool Save();
    // False when the dialog was cancelled.
    bool SaveRecordAs();
    // The analysis's save prompt: Yes saves, anything else goes on. False only
    // when the user declined to replace a file changed on disk.
    bool PromptSaveRecord();
    // The save prompt before the window closes: false keeps it open (Cancel, a
    // cancelled save dialog, a declined replace).
    bool MayClose();

    // The recovery file keeps the unsaved text; the window starts it after start-up.
    RecoveryFile& Recovery() { return recovery_; }
    // At start-up: a recovery file that holds other text than the record is
    // offered, and a restored text takes the editor's place.
    void OfferRecovery();

  signals:
    void fileNameChanged(const QString& name);
    void modifiedChanged(bool modified);
    void captionChanged(const QString& caption);
    void saveEnabledChanged(bool enabled);

  private:
    void SetText(const QString& text);
    void Adopt(const QString& path, const LoadedText& loaded);
    void WriteTo(const QString& path);
    bool MayReplace(const QString& path);
    bool SaveUnderItsName();
    // What the recovery file should keep now: nothing when the text is unchanged,
    // empty, or what the file on disk holds.
    std::optional<RecoveredText> Unsaved() const;
    void NameChanged(const QString& name);

    Prompts& prompts_;
    QPlainTextEdit& editor_;
    QTextDocument* document_;
    std::function<std::string()> settingsPath_;
    QString mainFileName_;
    QString captionPrefix_;
    QString openDefaultSuffix_ = QStringLiteral("ktl");
    TextEncoding encoding_ = TextEncoding::Utf8;
    // What the file at snapshotPath_ (absolute) held when this run last read or wrote it.
    QString snapshotPath_;
    FileSnapshot snapshot_;
    RecoveryFile recovery_;
};

// Start-up's and Open's check that a file is a diary before it is loaded.
LoadedText LoadDiary(const QString& path);

}  // namespace quorvane
