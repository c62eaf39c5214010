// The page's exports: the table as CSV and the doctor's summary as PDF.
#include "pages/suspects/suspects_page.h"

#include <QDir>
#include <QFileInfo>
#include <sstream>

#include "core/analysis/analysis.h"
#include "core/challenge/challenge_analysis.h"
#include "core/evidence/suspects_summary_text.h"
#include "core/evidence/suspects_text.h"
#include "core/settings/profile_file.h"
#include "pages/suspects/suspects_summary.h"
#include "ui/prompts.h"
#include "ui/record_document.h"
#include "ui/text_codec.h"
#include "ui/text_file.h"

namespace quorvane {

namespace {

// "<diary name><ending>" beside the diary.
QString NextTo(const QString& diaryPath, const QString& ending) {
    const QFileInfo diary(diaryPath);
    const QString base =
        diary.completeBaseName().isEmpty() ? QStringLiteral("diary") : diary.completeBaseName();
    // Absolute, so that the dialog never offers "./name".
    return diaryPath.isEmpty() ? base + ending : diary.absoluteDir().filePath(base + ending);
}

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

}  // namespace

bool SuspectsPage::MayWrite(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return true;
    }
    return services_.prompts.ConfirmReplace(
        QStringLiteral("%1 already exists.\nDo you want to replace it?")
            .arg(QDir::toNativeSeparators(path)));
}

void SuspectsPage::ExportCsvClick() {
    if (!hasResults_) {
        return;
    }
    const std::optional<QString> path =
        services_.prompts.SaveFileAs(NextTo(diaryPath_, QStringLiteral("-suspects.csv")),
                                     QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
    if (!path || !MayWrite(*path)) {
        return;
    }
    RefuseRecoveryName(*path, RecoveryPathBeside(services_.settingsPath()));
    std::ostringstream out;
    WriteSuspectsTable(result_, TableFormat::Csv, out);
    const std::string bytes = out.str();
    WriteFileBytes(*path, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    emit StatusMessage(QStringLiteral("Suspects table written to %1").arg(Shown(*path)));
}

void SuspectsPage::DoctorSummaryClick() {
    if (!hasResults_ || shown_.empty()) {
        return;
    }
    const std::optional<QString> path =
        services_.prompts.SaveFileAs(NextTo(diaryPath_, QStringLiteral("-summary.pdf")),
                                     QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (!path || !MayWrite(*path)) {
        return;
    }
    RefuseRecoveryName(*path, RecoveryPathBeside(services_.settingsPath()));
    const Analysis& analysis = services_.analysis;
    DiaryFacts facts = FactsOf(analysis.Evidence(), SummaryVersion(), ToDiskBytes(diaryHash_));
    facts.Challenge = StoredChallengeLines(ProfileFile(services_.settingsPath()),
                                           analysis.Evidence(), analysis.Items());
    WriteFileBytes(*path, DoctorSummaryPdf(result_, facts, analysis.Evidence(), analysis.Items()));
    emit StatusMessage(QStringLiteral("Doctor's summary written to %1").arg(Shown(*path)));
}

}  // namespace quorvane
