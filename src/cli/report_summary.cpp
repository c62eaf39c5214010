#include "cli/report_summary.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <memory>

#include "core/evidence/suspects_summary_text.h"
#include "pages/suspects/suspects_summary.h"
#include "ui/text_file.h"

namespace quorvane::cli {

namespace {

// The platform's notes (no runtime folder, no session) are no concern of a
// command line's user; errors still come through.
void QuietNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        qt_message_output(type, context, message);
    }
}

}  // namespace

void WriteSummaryFile(const std::string& path, const std::string& diaryPath,
                      const SuspectsResult& found, const Analysis& analysis,
                      const std::vector<std::string>& challenge) {
    // Fonts need a GUI application; a command line has no window, so none is
    // looked for even where a display is set.
    std::unique_ptr<QGuiApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietNotes);
        static int argc = 1;
        static char name[] = "quorvane-report";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    const QString diary = QFile::decodeName(QByteArray::fromStdString(diaryPath));
    DiaryFacts facts = FactsOf(analysis.Evidence(), SummaryVersion(),
                               SnapshotOf(diary).hash.toHex().toStdString());
    facts.Challenge = challenge;
    WriteFileBytes(QFile::decodeName(QByteArray::fromStdString(path)),
                   DoctorSummaryPdf(found, facts, analysis.Evidence(), analysis.Items()));
}

}  // namespace quorvane::cli
