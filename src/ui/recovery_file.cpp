#include "ui/recovery_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/text/quorvane_error.h"
#include "ui/prompts.h"

namespace quorvane {

namespace {

constexpr int kRecoveryDelayMs = 2000;
constexpr const char* kRecoveryMagic = "Quorvane recovery file";

QString RestoreQuestion(const QString& name) {
    return QStringLiteral("Quorvane found text for %1 that was never saved. Restore it?").arg(name);
}

const char* EncodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Latin1 ? "Latin-1" : "UTF-8";
}

}  // namespace

QByteArray RecoveryFileBytes(const RecoveredText& kept) {
    QByteArray bytes(kRecoveryMagic);
    bytes += "\nRecord: " + QFile::encodeName(kept.name) +
             "\nEncoding: " + EncodingName(kept.encoding) + "\n\n" + kept.text.toUtf8();
    return bytes;
}

std::optional<RecoveredText> ParseRecoveryFile(const QByteArray& bytes) {
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
    RecoveredText recovered;
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

QString RecoveryPathBeside(const std::string& settingsPath) {
    return QFileInfo(PathFromBytes(settingsPath))
        .dir()
        .filePath(QString::fromLatin1(kRecoveryFileName));
}

void RefuseRecoveryName(const QString& path, const QString& recoveryPath) {
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(recoveryPath).absoluteFilePath()) {
        throw QuorvaneError("Cannot create file " + PathBytes(path) +
                            ": Quorvane keeps unsaved text under that name; choose another");
    }
}

std::optional<QString> AskSavePath(Prompts& prompts, const QString& preset,
                                   const QString& defaultSuffix, const QString& recoveryPath) {
    // The dialog itself asks before it lets the user pick an existing file.
    std::optional<QString> path = prompts.SaveFileName(preset, defaultSuffix, true);
    if (path && !recoveryPath.isEmpty()) {
        RefuseRecoveryName(*path, recoveryPath);
    }
    return path;
}

RecoveryFile::RecoveryFile(std::function<std::string()> settingsPath,
                           std::function<std::optional<RecoveredText>()> unsaved)
    : settingsPath_(std::move(settingsPath)), unsaved_(std::move(unsaved)) {
    timer_.setSingleShot(true);
    timer_.setInterval(kRecoveryDelayMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Write(); });
}

QString RecoveryFile::Path() const {
    return RecoveryPathBeside(settingsPath_());
}

void RecoveryFile::Start() {
    if (!offered_ && QFileInfo::exists(Path())) {
        return;
    }
    on_ = true;
}

void RecoveryFile::Changed() {
    if (on_) {
        timer_.start();
    }
}

void RecoveryFile::Remove() {
    timer_.stop();
    if (on_) {
        QFile::remove(Path());
    }
}

void RecoveryFile::Write() {
    if (!on_) {
        return;
    }
    const std::optional<RecoveredText> kept = unsaved_();
    if (!kept) {
        Remove();
        return;
    }
    // A timer has no one to tell about a failure; the next change tries again.
    QSaveFile file(Path());
    file.setDirectWriteFallback(false);
    const QByteArray bytes = RecoveryFileBytes(*kept);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) {
        file.commit();
    }
}

std::optional<RecoveredText> RecoveryFile::Offer(Prompts& prompts, const RecoveredText& current) {
    offered_ = true;
    const QString path = Path();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    std::optional<RecoveredText> recovered = ParseRecoveryFile(file.readAll());
    file.close();
    if (!recovered) {
        return std::nullopt;
    }
    if (recovered->name == current.name && recovered->text == current.text) {
        QFile::remove(path);
        return std::nullopt;
    }
    if (!prompts.Confirm(RestoreQuestion(recovered->name))) {
        const QString aside = path + QStringLiteral(".declined");
        QFile::remove(aside);
        QFile::rename(path, aside);
        return std::nullopt;
    }
    return recovered;
}

}  // namespace quorvane
