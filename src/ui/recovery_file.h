#pragma once

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "ui/text_codec.h"

namespace quorvane {

class Prompts;

inline constexpr const char* kRecoveryFileName = ".Quorvane-recovery.txt";

// The record's unsaved text as the recovery file keeps it.
struct RecoveredText {
    QString name;  // the record file's name
    TextEncoding encoding = TextEncoding::Utf8;
    QString text;
};

// Header lines, an empty line, then the text as UTF-8 with "\n" line ends.
QByteArray RecoveryFileBytes(const RecoveredText& kept);
// Nullopt for a file that is not one of ours: such a file is left alone.
std::optional<RecoveredText> ParseRecoveryFile(const QByteArray& bytes);

// The recovery file beside the settings file at `settingsPath` (its bytes).
QString RecoveryPathBeside(const std::string& settingsPath);

// A save under the recovery file's name raises "Cannot create file <path>: ...": the
// next saved or discarded edit would remove that file, or the recovery would write
// over it.
void RefuseRecoveryName(const QString& path, const QString& recoveryPath);

// The save dialog for the record, the report and the exports, with the refusal
// above; nullopt when cancelled. An empty `recoveryPath` refuses nothing.
std::optional<QString> AskSavePath(Prompts& prompts, const QString& preset,
                                   const QString& defaultSuffix, const QString& recoveryPath);

// Unsaved text kept beside the settings file: written a moment after the last
// change, removed once the text is saved or discarded, offered at the next start.
class RecoveryFile {
  public:
    // `unsaved` gives the text to keep, or nullopt when there is nothing to lose.
    RecoveryFile(std::function<std::string()> settingsPath,
                 std::function<std::optional<RecoveredText>()> unsaved);
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    QString Path() const;
    void SetDelay(int milliseconds) { timer_.setInterval(milliseconds); }
    // From here on unsaved text is kept, except while a recovery file waits that
    // was never offered: a start that failed before the offer must not lose it.
    void Start();
    // The text changed: it is written a moment after the last change.
    void Changed();
    // Writes what is unsaved now, or removes the file when nothing is.
    void Write();
    // The text was saved or discarded.
    void Remove();
    // At start-up: the kept text, when it differs from `current` and the user
    // chose to restore it (the file then stays until the text is saved or
    // discarded). A declined file is moved aside to Path() + ".declined", so it is
    // never offered again but not yet gone; one that holds `current` is removed.
    std::optional<RecoveredText> Offer(Prompts& prompts, const RecoveredText& current);

  private:
    std::function<std::string()> settingsPath_;
    std::function<std::optional<RecoveredText>()> unsaved_;
    QTimer timer_;
    bool on_ = false;
    bool offered_ = false;
};

}  // namespace quorvane
