#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QPlainTextEdit;

namespace quorvane {

class Prompts;

inline constexpr const char* kOpenFilter = "Text Files (*.txt);;Show all Files (*.*)";
inline constexpr const char* kSaveQuestion =
    "Do you wish to save the Environmental Record file first?";

// The record file behind the record editor: its name, whether the editor holds
// unsaved changes, and the commands that load and save it. The window connects
// the signals to its caption and its "&Save" item, and does the page and focus
// steps around these commands.
class RecordCommands : public QObject {
    Q_OBJECT
  public:
    RecordCommands(Prompts& prompts, QPlainTextEdit& editor,
                   std::function<std::string()> settingsPath, QObject* parent = nullptr);

    const QString& MainFileName() const { return mainFileName_; }
    void SetMainFileName(const QString& name) { mainFileName_ = name; }
    bool RecordModified() const { return recordModified_; }
    // The open dialog's default extension: "ktl" until the first analysis reads a file.
    void SetOpenDefaultSuffix(const QString& suffix) { openDefaultSuffix_ = suffix; }

    // Every change of the editor's text.
    void RichEdit2Change();
    // The end of start-up: the record just loaded counts as saved.
    void MarkSaved();
    // Replaces the editor's text with the file's; the editor is untouched when the
    // file cannot be read.
    void LoadRecord(const QString& path);

    void New();
    // A cancelled dialog changes nothing; a file that cannot be read raises and
    // leaves the editor, the name and the settings file as they were.
    void Open();
    void Save();
    void SaveRecordAs();
    void PromptSaveRecord();

  signals:
    void captionChanged(const QString& caption);
    void saveEnabledChanged(bool enabled);

  private:
    Prompts& prompts_;
    QPlainTextEdit& editor_;
    std::function<std::string()> settingsPath_;
    QString mainFileName_;
    QString openDefaultSuffix_ = QStringLiteral("ktl");
    bool recordModified_ = false;
};

// Paths cross into the core as the file system's bytes.
std::string PathBytes(const QString& path);
QString PathFromBytes(const std::string& bytes);

}  // namespace quorvane
