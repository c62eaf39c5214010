// The analysis run, "Set &Columns" and the results grid's mouse handlers.
#include <QApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QTextOption>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "app/main_window.h"
#include "app/window_texts.h"
#include "core/text/integer_text.h"
#include "pages/composer/composer_page.h"
#include "pages/results/results_grid_model.h"
#include "pages/suspects/suspects_page.h"
#include "pages/symptoms/symptom_list_page.h"
#include "ui/prompts.h"
#include "ui/record_document.h"
#include "ui/tab_stops.h"
#include "ui/text_codec.h"

namespace quorvane {

namespace {

// The view cannot draw columns of any width an edit box can name; the report's
// cut length keeps the typed value.
constexpr int kLargestViewColumn = 4000;

char DecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.front().unicode() < 0x80) {
        return static_cast<char>(point.front().unicode());
    }
    return '.';
}

}  // namespace

void TForm1::StepProgress(int position) {
    ProgressBar1->setValue(std::clamp(position, ProgressBar1->minimum(), ProgressBar1->maximum()));
}

void TForm1::ResetAnalysis() {
    analysis_.Reset();
    pressedColumn_ = 0;
    pressedRow_ = 0;
    RichEdit1->clear();
    // The suspects point into the evidence the reset has just emptied.
    SuspectsPage1->Clear();
}

// The engine is Qt-free and runs its steps on a worker thread, so that a huge diary
// does not freeze the window; the window stays disabled meanwhile, refuses its
// commands and keeps a close for the end of the run. The steps, the progress and
// the results are those of a run on the window's own thread.
void TForm1::RunOffThread(const std::function<void()>& step) {
    std::exception_ptr failure;
    std::atomic<bool> done = false;
    std::thread worker([&] {
        try {
            step();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(
            this, [] {}, Qt::QueuedConnection);  // wakes the loop below
    });
    // Not a nested QEventLoop: an application asked to quit ends those at once,
    // and the worker must still be waited for.
    while (!done) {
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TForm1::BeginEngineRun() {
    focusBeforeRun_ = QApplication::focusWidget();
    gridModel_->Suspend();
    engineBusy_ = true;
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
}

void TForm1::EndEngineRun() {
    engineBusy_ = false;
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    // Disabling took the focus away; a run that ends early gives it back.
    if (focusBeforeRun_ != nullptr && QApplication::focusWidget() == nullptr) {
        focusBeforeRun_->setFocus();
    }
    gridModel_->Refresh();
    if (closePending_) {
        closePending_ = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void TForm1::RunAnalysis() {
    QString report;
    SuspectsPage::Findings suspects;
    {
        BeginEngineRun();
        // The save writes the whole diary, as long as the read for a huge one: its
        // file work runs off the window's thread too.
        record_->SetFileWork([this](const std::function<void()>& work) { RunOffThread(work); });
        struct EndRun {
            TForm1* window;
            ~EndRun() {
                window->record_->SetFileWork(nullptr);
                window->EndEngineRun();
            }
        } endRun{this};

        // A record file changed on disk that the user chose not to replace stops
        // the run before anything is reset.
        if (!record_->PromptSaveRecord() || !record_->Save()) {
            return;
        }
        ResetAnalysis();
        if (analysisDone_) {
            prompts_.Message(QString::fromLatin1(kRestartNotice));
        }
        analysisDone_ = true;
        RichEdit1->clear();

        PageControl1->setCurrentWidget(Tabsheet4);
        StepProgress(1);
        record_->SetOpenDefaultSuffix(QStringLiteral("txt"));

        // The worker counts the days; the window shows the count as it goes.
        std::atomic<int> days = 0;
        QTimer progress;
        progress.setInterval(50);
        connect(&progress, &QTimer::timeout, this, [&] { StepProgress(1 + days); });
        ReadHooks hooks;
        hooks.OnDayEnd = [&days] { days.fetch_add(1, std::memory_order_relaxed); };
        hooks.OnTooManyItemsPerDay = [this] {
            QMetaObject::invokeMethod(
                this, [this] { prompts_.Message(QString::fromLatin1(kTooManyItemsPerDay)); },
                Qt::BlockingQueuedConnection);
        };
        // The results' tooltips and the suspects page explain the cells with what
        // this same read gathers.
        hooks.GatherEvidence = true;
        const std::string path = PathBytes(MainFileName());
        progress.start();
        try {
            RunOffThread([&] { analysis_.Read(path, hooks); });
        } catch (...) {
            StepProgress(1 + days);
            throw;
        }
        progress.stop();
        StepProgress(1 + days);

        const int32_t minimumCount = StrToInt(BoxText(TabSheet3->MinimumCountText()));
        RunOffThread([&] { analysis_.ComputeTotals(minimumCount); });
        StepProgress(50);
        StringGrid1->hide();
        RichEdit1->hide();
        const char separator = DecimalSeparator();
        RunOffThread([&] { analysis_.Correlate(minimumCount, separator); });
        StepProgress(60);
        RunOffThread([&] { analysis_.SortColumns(); });
        StepProgress(75);
        const int32_t columnWidth = columnWidth_;
        RunOffThread([&] {
            const std::vector<std::string> lines = analysis_.PrepareReport(columnWidth);
            QStringList shown;
            shown.reserve(static_cast<qsizetype>(lines.size()));
            for (const std::string& line : lines) {
                shown.append(FromDiskBytes(line));
            }
            report = shown.join(QLatin1Char('\n'));
        });
        const QString diaryPath = MainFileName();
        RunOffThread([&] { suspects = SuspectsPage1->FindSuspectsOf(diaryPath); });
    }
    RichEdit1->setPlainText(report);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->show();
    StringGrid1->show();
    StepProgress(100);
    PageControl1->setCurrentWidget(TabSheet1);
    StepProgress(0);
    Edit4Change();
    TabSheet8->ShowAutoFillControls();
    SuspectsPage1->ShowFindings(std::move(suspects));
}

void TForm1::Edit4Change() {
    setWindowState(windowState() | Qt::WindowMaximized);
    columnWidth_ = StrToInt(BoxText(Edit4->text()));
    StringGrid1->horizontalHeader()->setDefaultSectionSize(
        std::clamp(columnWidth_, 0, kLargestViewColumn));
    SetReportTabs();
}

void TForm1::SetReportTabs() {
    PageControl1->setCurrentWidget(TabSheet1);
    RichEdit1->setFocus();
    // Tab stops are given in points; the editor lays text out in pixels. A column
    // narrower than its text would push that line's later cells a stop further.
    const double pixelsPerPoint = RichEdit1->logicalDpiX() / 72.0;
    const double width = columnWidth_;
    QList<qreal> wanted;
    for (int stop = 1; stop <= 4; ++stop) {
        wanted.append((stop * width + 3) * pixelsPerPoint);
    }
    const QFontMetricsF metrics(RichEdit1->document()->defaultFont(), RichEdit1);
    QList<QTextOption::Tab> tabs;
    for (const qreal stop :
         FitTabStops(RichEdit1->toPlainText().split(QLatin1Char('\n')), metrics, wanted)) {
        tabs.append(QTextOption::Tab(stop, QTextOption::LeftTab));
    }
    QTextOption option = RichEdit1->document()->defaultTextOption();
    option.setTabs(tabs);
    RichEdit1->document()->setDefaultTextOption(option);
    RichEdit1->moveCursor(QTextCursor::Start);
}

void TForm1::StringGrid1MouseUp(int column, int row) {
    pressedColumn_ = column;
    pressedRow_ = row;
}

void TForm1::StringGrid1DblClick() {
    TabSheet3->SetMinimumCountText(
        QStringLiteral("hit ") + FromDiskBytes(analysis_.Grid().Cell(pressedColumn_, pressedRow_)));
}

}  // namespace quorvane
