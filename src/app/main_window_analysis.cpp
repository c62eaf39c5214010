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
#include <exception>
#include <utility>

#include "app/handler_guard.h"
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
constexpr int kReportTabStops = 4;

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

// The engine itself is reset by the job, first thing on its worker.
void TForm1::ResetAnalysis() {
    pressedColumn_ = 0;
    pressedRow_ = 0;
    RichEdit1->clear();
    // The suspects point into the evidence that reset empties.
    SuspectsPage1->Clear();
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

void TForm1::ConnectAnalysisJob() {
    connect(job_.get(), &AnalysisJob::progressed, this, &TForm1::StepProgress);
    connect(job_.get(), &AnalysisJob::totalsComputed, this, [this] {
        StringGrid1->hide();
        RichEdit1->hide();
    });
    connect(job_.get(), &AnalysisJob::reportPrepared, this, &TForm1::MeasureReport);
    connect(job_.get(), &AnalysisJob::tooManyItemsPerDay, this,
            [this] { prompts_.Message(QString::fromLatin1(kTooManyItemsPerDay)); });
    connect(job_.get(), &AnalysisJob::finished, this, [this](AnalysisJob::Result& result) {
        EndEngineRun();
        RunGuarded(prompts_, [&] { ShowAnalysisResult(result); });
        emit analysisEnded();
    });
    // The run's handler is over; its error still ends it in the error box.
    connect(job_.get(), &AnalysisJob::failed, this, [this](const std::exception_ptr& error) {
        EndEngineRun();
        RunGuarded(prompts_, [&] { std::rethrow_exception(error); });
        emit analysisEnded();
    });
}

// The save and what comes before the read run here, as their boxes ask; the
// engine's steps run in the job while the window, disabled, keeps a close for
// their end.
void TForm1::RunAnalysis() {
    BeginEngineRun();
    bool started = false;
    struct EndUnlessStarted {
        TForm1* window;
        const bool& started;
        ~EndUnlessStarted() {
            if (!started) {
                window->EndEngineRun();
            }
        }
    } endUnlessStarted{this, started};

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

    AnalysisJob::Plan plan;
    plan.DiaryPath = MainFileName();
    plan.MinimumCountText = BoxText(TabSheet3->MinimumCountText());
    plan.DecimalSeparator = DecimalSeparator();
    plan.ColumnWidth = columnWidth_;
    job_->Start(std::move(plan));
    started = true;
}

void TForm1::ShowAnalysisResult(AnalysisJob::Result& result) {
    RichEdit1->setPlainText(result.Report);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->show();
    StringGrid1->show();
    StepProgress(100);
    PageControl1->setCurrentWidget(TabSheet1);
    StepProgress(0);
    Edit4Change();
    TabSheet8->ShowAutoFillControls();
    SuspectsPage1->ShowFindings(std::move(result.Suspects));
}

void TForm1::Edit4Change() {
    setWindowState(windowState() | Qt::WindowMaximized);
    columnWidth_ = StrToInt(BoxText(Edit4->text()));
    StringGrid1->horizontalHeader()->setDefaultSectionSize(
        std::clamp(columnWidth_, 0, kLargestViewColumn));
    SetReportTabs();
}

void TForm1::MeasureReport(const QString& text) {
    const QFontMetricsF metrics(RichEdit1->document()->defaultFont(), RichEdit1);
    measuredReport_ = {text, WidestFields(text.split(QLatin1Char('\n')), metrics, kReportTabStops)};
}

void TForm1::SetReportTabs() {
    PageControl1->setCurrentWidget(TabSheet1);
    RichEdit1->setFocus();
    // Tab stops are given in points; the editor lays text out in pixels. A column
    // narrower than its text would push that line's later cells a stop further.
    const double pixelsPerPoint = RichEdit1->logicalDpiX() / 72.0;
    const double width = columnWidth_;
    QList<qreal> wanted;
    for (int stop = 1; stop <= kReportTabStops; ++stop) {
        wanted.append((stop * width + 3) * pixelsPerPoint);
    }
    // Measuring is the costly part; an analysis has done it while the worker
    // found the suspects.
    const QString text = RichEdit1->toPlainText();
    if (measuredReport_.Widest.isEmpty() || text != measuredReport_.Text) {
        MeasureReport(text);
    }
    const QFontMetricsF metrics(RichEdit1->document()->defaultFont(), RichEdit1);
    QList<QTextOption::Tab> tabs;
    for (const qreal stop : TabStopsFor(measuredReport_.Widest, metrics, wanted)) {
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
