// File, Analysis of a diary of some megabytes: the event loop keeps turning while
// the engine works, the window refuses its commands and keeps a close for the end,
// and the results are those of the engine run on its own.
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <random>

#include "app/window_fixture.h"
#include "app/window_texts.h"
#include "core/analysis/analysis.h"
#include "pages/composer/composer_page.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"
#include "ui/text_codec.h"

namespace quorvane::testing {
namespace {

const QString kTooManyItems = QStringLiteral("too many items per day");

// An item name in letters: the reader skips digits.
QByteArray ItemName(unsigned number) {
    QByteArray name("food ");
    do {
        name += static_cast<char>('a' + number % 26);
        number /= 26;
    } while (number != 0);
    return name;
}

// Days of meals drawn from a few thousand items, a symptom now and then.
QByteArray BigDiary(int days) {
    std::mt19937 random(7);
    QByteArray diary;
    for (int day = 0; day < days; ++day) {
        diary += "day " + QByteArray::number(day) + ", ";
        const int items = 8 + static_cast<int>(random() % 12);
        for (int i = 0; i < items; ++i) {
            diary += ItemName(random() % 4000) + ", ";
            if (i % 4 == 3) {
                diary += "$, ";
            }
        }
        if (random() % 5 == 0) {
            diary += random() % 2 == 0 ? "headache, " : "tired, ";
        }
        diary += "#,\r\n";
    }
    return diary;
}

class AnalysisBusyTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        QLocale::setDefault(QLocale::c());
        WriteBytes(Path(QStringLiteral("example.txt")), BigDiary(60000));
        StartAccepted();
        window_->show();
    }
    void TearDown() override {
        QLocale::setDefault(QLocale::system());
        WindowTest::TearDown();
    }

    // Runs the analysis with `duringRun` called from a 0 ms timer each time the
    // event loop turns; returns how often it ran.
    int RunWithTimer(const std::function<void()>& duringRun) {
        int turns = 0;
        QTimer timer;
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++turns;
            duringRun();
        });
        timer.start();
        Child<QAction>(*window_, "d1")->trigger();
        WaitForAnalysis();
        timer.stop();
        return turns;
    }
};

TEST_F(AnalysisBusyTest, LoopTurnsWhileTheEngineWorksAndTheResultsAreTheEngines) {
    const int32_t columnWidth = window_->ColumnWidth();
    QPlainTextEdit& editor = Child<ComposerPage>(*window_, "TabSheet8")->Editor();
    const QString text = EditorText();
    std::vector<int> progress;
    bool refusedEverything = true;
    const int turns = RunWithTimer([&] {
        if (!window_->AnalysisRunning()) {
            return;
        }
        progress.push_back(Child<QProgressBar>(*window_, "ProgressBar1")->value());
        // What a user could reach meanwhile is refused: no typing, no command.
        refusedEverything =
            refusedEverything && !editor.isEnabled() && !window_->menuBar()->isEnabled();
        Child<QAction>(*window_, "New1")->trigger();
        window_->Guard([&] { refusedEverything = false; });
    });
    EXPECT_GT(turns, 0);
    EXPECT_FALSE(progress.empty());
    EXPECT_TRUE(refusedEverything);
    EXPECT_FALSE(window_->AnalysisRunning());
    EXPECT_TRUE(editor.isEnabled());
    EXPECT_EQ(EditorText(), text);  // New was refused
    EXPECT_EQ(window_->MainFileName(), QStringLiteral("example.txt"));

    // The same steps by the engine alone, on the file the run saved.
    Analysis alone(window_->Symptoms());
    alone.Read(PathBytes(Path(QStringLiteral("example.txt"))));
    alone.ComputeTotals(3);
    alone.Correlate(3, '.');
    alone.SortColumns();
    QStringList report;
    for (const std::string& line : alone.PrepareReport(columnWidth)) {
        report.append(FromDiskBytes(line));
    }
    ASSERT_GT(alone.Grid().RowCount(), 3000);
    EXPECT_EQ(GridCells(window_->ResultsGrid()), GridCells(alone.Grid()));
    EXPECT_EQ(Child<QPlainTextEdit>(*window_, "RichEdit1")->toPlainText(),
              report.join(QLatin1Char('\n')));
    // The view shows the grid again once the run is over.
    EXPECT_EQ(Child<QTableView>(*window_, "StringGrid1")->model()->rowCount(),
              alone.Grid().RowCount());
    EXPECT_EQ(Child<QProgressBar>(*window_, "ProgressBar1")->value(), 0);
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "TabSheet1"));
}

TEST_F(AnalysisBusyTest, CloseDuringTheRunWaitsForItsEndAndKeepsTheText) {
    Type(QStringLiteral("\nlast day, tea, #,"));
    const QString text = EditorText();
    prompts_.ExpectConfirm(false);  // the save prompt: the run saves anyway
    bool asked = false;
    RunWithTimer([&] {
        if (window_->AnalysisRunning() && !asked) {
            asked = true;
            window_->close();
            Child<QAction>(*window_, "Quit1")->trigger();
            EXPECT_TRUE(window_->isVisible());
        }
    });
    ASSERT_TRUE(asked);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(window_->ResultsGrid().Cell(0, 2).empty());  // the run went to its end
    // The close comes once the run is over; the text is saved, so nothing is asked.
    QApplication::processEvents();
    EXPECT_FALSE(window_->isVisible());
    QString saved = text;
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("example.txt"))),
              saved.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toLatin1() + "\r\n");
}

TEST_F(AnalysisBusyTest, TooManyItemsBoxAndFailuresComeOnTheWindowsThread) {
    QByteArray crowded = "crowded day, ";
    for (int i = 0; i < 210; ++i) {
        crowded += ItemName(static_cast<unsigned>(i)) + ", ";
    }
    WriteBytes(Path(QStringLiteral("crowded.txt")), crowded + "#,\r\n");
    prompts_.ExpectOpen(Path(QStringLiteral("crowded.txt")));
    window_->Open2Click();

    QThread* boxThread = nullptr;
    prompts_.ExpectConfirm(false);
    prompts_.ExpectMessage([&] { boxThread = QThread::currentThread(); });
    window_->RunAnalysis();
    WaitForAnalysis();
    EXPECT_EQ(prompts_.last().text, kTooManyItems);
    EXPECT_EQ(boxThread, QApplication::instance()->thread());

    // An error of the engine's thread ends the run in the window's error box, and
    // the window takes commands again.
    prompts_.ExpectMessage([this] { QFile::remove(window_->MainFileName()); });
    prompts_.ExpectError();
    window_->Guard([this] { window_->RunAnalysis(); });
    WaitForAnalysis();
    EXPECT_EQ(prompts_.last().text, QStringLiteral("File not found."));
    EXPECT_FALSE(window_->AnalysisRunning());
    EXPECT_TRUE(Child<ComposerPage>(*window_, "TabSheet8")->Editor().isEnabled());
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "Tabsheet4"));
    EXPECT_NE(QApplication::focusWidget(), nullptr);
}

// The handler returns as soon as the engine has started: no loop of its own
// turns inside it. The bar then takes every position from 1 on, the days' up
// to its end, then the later steps', in order.
TEST_F(AnalysisBusyTest, HandlerReturnsAtOnceAndTheBarStepsInRunOrder) {
    QProgressBar& bar = *Child<QProgressBar>(*window_, "ProgressBar1");
    QSignalSpy positions(&bar, &QProgressBar::valueChanged);
    QSignalSpy ended(window_.get(), &TForm1::analysisEnded);
    Child<QAction>(*window_, "d1")->trigger();
    EXPECT_TRUE(window_->AnalysisRunning());
    EXPECT_TRUE(ended.isEmpty());
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "Tabsheet4"));
    WaitForAnalysis();
    EXPECT_EQ(ended.size(), 1);

    std::vector<int> expected;
    for (int position = 1; position <= 100; ++position) {
        expected.push_back(position);
    }
    expected.insert(expected.end(), {50, 60, 75, 100, 0});
    std::vector<int> seen;
    for (const QList<QVariant>& change : positions) {
        seen.push_back(change.at(0).toInt());
    }
    EXPECT_EQ(seen, expected);
}

// A window destroyed in the middle of a run (the program ending) waits for its
// worker, which stops at its next day.
TEST_F(AnalysisBusyTest, WindowDestroyedDuringTheRunEndsItsWorker) {
    Child<QAction>(*window_, "d1")->trigger();
    ASSERT_TRUE(window_->AnalysisRunning());
    QSignalSpy started(Child<QProgressBar>(*window_, "ProgressBar1"), &QProgressBar::valueChanged);
    ASSERT_TRUE(started.wait(60000));  // the worker is reading
    window_.reset();
    QApplication::processEvents();
}

// After an engine error the window takes the next run, with nothing lost.
TEST_F(AnalysisBusyTest, RunAfterAFailedRunGoesThrough) {
    const QString text = EditorText();
    prompts_.ExpectError();
    Child<SymptomListPage>(*window_, "TabSheet3")->SetMinimumCountText(QStringLiteral("x"));
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    EXPECT_EQ(prompts_.last().text, QStringLiteral("'x' is not a valid integer value."));
    EXPECT_EQ(EditorText(), text);

    Child<SymptomListPage>(*window_, "TabSheet3")->SetMinimumCountText(QStringLiteral("3"));
    prompts_.ExpectMessage();  // the notice of a second run
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    EXPECT_EQ(prompts_.last().text, QString::fromLatin1(kRestartNotice));
    EXPECT_GT(window_->ResultsGrid().RowCount(), 3000);
    EXPECT_FALSE(Child<QPlainTextEdit>(*window_, "RichEdit1")->toPlainText().isEmpty());
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "TabSheet1"));
    EXPECT_EQ(EditorText(), text);
}

}  // namespace
}  // namespace quorvane::testing
