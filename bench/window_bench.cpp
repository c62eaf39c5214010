// Times the window on a generated 10-year diary, offscreen:
//   quorvane-bench-window [RUNS]
// start-up up to the agreement box, File > Analysis up to the report shown, and
// the process's peak memory. With a size in megabytes:
//   quorvane-bench-window --random-bytes MB
// File > Analysis of that many seeded random bytes (about 1.5 million distinct
// items at 100 MB): its wall time and the longest the event loop went without
// turning, as a 10 ms timer sees it. With quorvane-report's path:
//   quorvane-bench-window --versus-report REPORT [RUNS]
// File > Analysis and `REPORT DIARY --with-suspects` (a whole process) alternating
// on the same 10-year diary, their medians and the ratio of the two.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "diary_generator.h"
#include "seeded_random.h"
#include "ui/prompts.h"

namespace {

// Answers every box as the user who accepts and goes on would, and notes when
// the agreement box comes up.
class AcceptingPrompts : public quorvane::Prompts {
  public:
    QElapsedTimer* clock = nullptr;
    qint64 agreementAt = -1;

    void Message(const QString&) override {}
    bool Confirm(const QString&) override { return false; }
    quorvane::SaveChoice AskSave(const QString&) override { return quorvane::SaveChoice::No; }
    bool ConfirmReplace(const QString&) override { return false; }
    QString InputBox(const QString&, const QString&, const QString& defaultText) override {
        return defaultText;
    }
    bool Agreement(const QString&, const QString&) override {
        agreementAt = clock ? clock->nsecsElapsed() : -1;
        return true;
    }
    void Error(const QString& text) override {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
        std::exit(1);
    }
    std::optional<QString> OpenFileName(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> SaveFileName(const QString&, const QString&, bool) override {
        return std::nullopt;
    }
    bool HasDefaultPrinter() override { return false; }
    bool PrintDialog(QPrinter&) override { return false; }
    bool PrinterSetupDialog(QPrinter&) override { return false; }
};

// Random bytes the editor takes: no NUL (a file holding one is refused as no
// diary) and no control-Z (which would end the record early).
std::string EditableRandomBytes(std::size_t megabytes) {
    quorvane::bench::Random random(1);
    std::string bytes(megabytes * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const uint64_t value = random.Next();
        std::memcpy(bytes.data() + i, &value, std::min<std::size_t>(8, bytes.size() - i));
    }
    for (char& byte : bytes) {
        byte = byte == '\0' || byte == 26 ? '\x01' : byte;
    }
    return bytes;
}

bool WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

// The huge diary: the start-up loads it into the editor, then File > Analysis runs
// while a 10 ms timer notes the longest interval between its ticks.
int HugeDiary(std::size_t megabytes) {
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()) ||
        !WriteFile(dir.filePath(QStringLiteral("example.txt")), EditableRandomBytes(megabytes))) {
        std::fprintf(stderr, "cannot write the diary\n");
        return 1;
    }
    AcceptingPrompts prompts;
    quorvane::TForm1 window(prompts);
    window.show();
    QElapsedTimer clock;
    clock.start();
    window.FormActivate();
    QApplication::processEvents();
    std::printf("diary: %zu MB of random bytes; start-up with it in the editor %.1f s\n", megabytes,
                static_cast<double>(clock.elapsed()) / 1000.0);

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    // The trigger is posted, so the first tick has started the clock before the run.
    QTimer::singleShot(0, &window, [&] {
        sinceTick.start();
        clock.start();
        window.findChild<QAction*>(QStringLiteral("d1"))->trigger();
        while (window.AnalysisRunning()) {
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
        const qint64 total = clock.elapsed();
        longestGap = std::max(longestGap, sinceTick.restart());
        std::printf("File > Analysis: %.1f s; longest time without an event-loop turn: %lld ms\n",
                    static_cast<double>(total) / 1000.0, static_cast<long long>(longestGap));
        std::printf("results rows: %d, report lines: %d\n", window.ResultsGrid().RowCount(),
                    window.findChild<QPlainTextEdit*>(QStringLiteral("RichEdit1"))
                        ->document()
                        ->blockCount());
        QApplication::quit();
    });
    ticker.start();
    QApplication::exec();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (max RSS): %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}

double MedianMs(std::vector<qint64> nanos) {
    std::sort(nanos.begin(), nanos.end());
    return static_cast<double>(nanos[nanos.size() / 2]) / 1e6;
}

// Writes the seed-1 10-year diary as example.txt into the current folder.
bool WriteTenYearDiary(const QDir& dir) {
    const std::string diary = quorvane::bench::GenerateDiary(1);
    if (!WriteFile(dir.filePath(QStringLiteral("example.txt")), diary)) {
        std::fprintf(stderr, "cannot write the diary\n");
        return false;
    }
    std::printf("diary: %zu bytes, 10 years\n", diary.size());
    return true;
}

// File > Analysis up to the report laid out and painted. Waiting here works
// whether the trigger returns at the end of the run or at its start.
qint64 TimeAnalysis(quorvane::TForm1& window) {
    QElapsedTimer clock;
    clock.start();
    window.findChild<QAction*>(QStringLiteral("d1"))->trigger();
    while (window.AnalysisRunning()) {
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    QApplication::processEvents();
    return clock.nsecsElapsed();
}

// The whole process, its report thrown away as a shell's > /dev/null would.
qint64 TimeReportProcess(const char* report, const char* diary) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* const arguments[] = {const_cast<char*>(report), const_cast<char*>(diary),
                               const_cast<char*>("--with-suspects"), nullptr};
    QElapsedTimer clock;
    clock.start();
    pid_t child = 0;
    int status = 0;
    const bool ran = posix_spawn(&child, report, &actions, nullptr, arguments, environ) == 0 &&
                     waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                     WEXITSTATUS(status) == 0;
    const qint64 elapsed = clock.nsecsElapsed();
    posix_spawn_file_actions_destroy(&actions);
    if (!ran) {
        std::fprintf(stderr, "%s %s --with-suspects failed\n", report, diary);
        std::exit(1);
    }
    return elapsed;
}

int VersusReport(const char* report, int runs) {
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()) || !WriteTenYearDiary(QDir(dir.path()))) {
        return 1;
    }
    const QByteArray diary = QDir(dir.path()).filePath(QStringLiteral("example.txt")).toLocal8Bit();
    AcceptingPrompts prompts;
    quorvane::TForm1 window(prompts);
    window.show();
    window.FormActivate();
    QApplication::processEvents();
    // One of each first: the page cache and the window's first layout.
    TimeAnalysis(window);
    TimeReportProcess(report, diary.constData());
    std::vector<qint64> windowTimes;
    std::vector<qint64> reportTimes;
    for (int i = 0; i < runs; ++i) {
        windowTimes.push_back(TimeAnalysis(window));
        reportTimes.push_back(TimeReportProcess(report, diary.constData()));
    }
    const double windowMs = MedianMs(windowTimes);
    const double reportMs = MedianMs(reportTimes);
    std::printf("File > Analysis to the report shown: median %.1f ms over %d runs\n", windowMs,
                runs);
    std::printf("quorvane-report --with-suspects, whole process: median %.1f ms over %d runs\n",
                reportMs, runs);
    std::printf("window / quorvane-report: %.2f\n", windowMs / reportMs);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--random-bytes") == 0) {
        return HugeDiary(static_cast<std::size_t>(std::max(1, std::atoi(argv[2]))));
    }
    if (argc >= 3 && std::strcmp(argv[1], "--versus-report") == 0) {
        // Before the bench moves into its temporary folder.
        const QByteArray report =
            QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath().toLocal8Bit();
        return VersusReport(report.constData(), argc > 3 ? std::max(1, std::atoi(argv[3])) : 11);
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;

    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path())) {
        std::fprintf(stderr, "cannot use a temporary folder\n");
        return 1;
    }
    if (!WriteTenYearDiary(QDir(dir.path()))) {
        return 1;
    }

    AcceptingPrompts prompts;
    QElapsedTimer clock;
    prompts.clock = &clock;

    // The first start initialises the settings file; time the ordinary starts after it.
    std::vector<qint64> startups;
    for (int i = 0; i <= runs; ++i) {
        clock.start();
        quorvane::TForm1 window(prompts);
        window.show();
        window.FormActivate();
        if (i > 0) {
            startups.push_back(prompts.agreementAt);
        }
        QApplication::processEvents();
    }

    quorvane::TForm1 window(prompts);
    window.show();
    window.FormActivate();
    QApplication::processEvents();
    std::vector<qint64> analyses;
    for (int i = 0; i < runs; ++i) {
        analyses.push_back(TimeAnalysis(window));
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("start-up to the agreement box: median %.1f ms over %d runs\n", MedianMs(startups),
                runs);
    std::printf("File > Analysis to the report shown: median %.1f ms over %d runs\n",
                MedianMs(analyses), runs);
    std::printf(
        "report lines: %d\n",
        window.findChild<QPlainTextEdit*>(QStringLiteral("RichEdit1"))->document()->blockCount());
    std::printf("peak memory (max RSS): %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
