// File, Analysis from the editor to the grid and the report, and the handlers
// around the results.
#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QTextOption>

#include "app/window_fixture.h"
#include "core/analysis/text_grid.h"
#include "pages/composer/composer_page.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"
#include "ui/print_pdf_support.h"

namespace quorvane::testing {
namespace {

const QString kRestartNotice = QStringLiteral(
    "You may want to restart Quorvane to overcome minor duplication in the TOTAL column. This is "
    "a Beta version fix.");

class AnalysisRunTest : public ExampleWindowTest {
  protected:
    QString Report() const { return Child<QPlainTextEdit>(*window_, "RichEdit1")->toPlainText(); }
};

TEST_F(AnalysisRunTest, ExampleDiaryGivesTheExpectedGridAndReport) {
    EXPECT_EQ(window_->ResultsGrid().RowCount(), 2);  // heading and totals before a run
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();

    const TextGrid& grid = window_->ResultsGrid();
    ASSERT_EQ(grid.RowCount(), 23);  // heading, totals, 21 items
    EXPECT_EQ(grid.ColCount(), 24);
    EXPECT_EQ(grid.Cell(0, 2), "APPLE");
    EXPECT_EQ(grid.Cell(0, 22), "WHITE WINE");
    // The report empties the heading and total of a column that never occurred.
    EXPECT_EQ(grid.Cell(2, 0), "");
    EXPECT_EQ(grid.Cell(2, 1), "");
    EXPECT_EQ(grid.Cell(3, 0), "HEADACHE");
    EXPECT_EQ(grid.Cell(3, 1), "1");
    EXPECT_EQ(grid.Cell(23, 1), "1");
    EXPECT_EQ(grid.Cell(3, 22), "006.0  COFFEE  3 times");
    EXPECT_EQ(grid.Cell(23, 22), "006.0  COFFEE  3 times");
    EXPECT_EQ(Child<QTableView>(*window_, "StringGrid1")->model()->rowCount(), 23);
    EXPECT_EQ(Child<QTableView>(*window_, "StringGrid1")->model()->index(22, 3).data().toString(),
              QStringLiteral("006.0  COFFEE  3 times"));

    const QStringList lines = Report().split(QLatin1Char('\n'));
    ASSERT_GT(lines.size(), 10);
    EXPECT_EQ(lines[0], QStringLiteral("Quorvane Environmental Art Printout"));
    EXPECT_EQ(lines[6], QStringLiteral(" "));
    EXPECT_EQ(lines[7], QStringLiteral(" HEADACHE\t"));
    EXPECT_EQ(lines[8], QStringLiteral(" 1\t"));
    EXPECT_EQ(lines[9], QStringLiteral(" 006.0  COFFEE  3 times\t"));
    EXPECT_TRUE(Report().contains(QStringLiteral(" TOTAL\t\n 1\t\n 006.0  COFFEE  3 times\t\n")));

    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "TabSheet1"));
    EXPECT_EQ(Child<QProgressBar>(*window_, "ProgressBar1")->value(), 0);
    EXPECT_TRUE(window_->isMaximized());
    EXPECT_FALSE(Child<QPlainTextEdit>(*window_, "RichEdit1")->isHidden());
    EXPECT_FALSE(Child<QTableView>(*window_, "StringGrid1")->isHidden());
    EXPECT_FALSE(Child<QLineEdit>(*window_, "Edit6")->isHidden());
    EXPECT_FALSE(Child<QPushButton>(*window_, "buttonNew")->isHidden());
    // The report of the first run is cut at the form's width; Set Columns follows.
    EXPECT_EQ(window_->ColumnWidth(), 170);
    EXPECT_TRUE(window_->AnalysisDone());
}

TEST_F(AnalysisRunTest, DiaryAndReportPrintAtTheirScreenSizesWithinTheMargins) {
    const auto printVisible = [this](const QString& pdf) {
        prompts_.ExpectPrint([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        window_->Guard([this] { window_->Print1Click(); });
        EXPECT_TRUE(prompts_.AllAnswered());
        return PdfWords(pdf);
    };
    const double pointsPerPixel = 72.0 / window_->logicalDpiY();
    const double margin = 12.0 * 72.0 / 25.4;

    // The diary from the Composer page, in the window's 11 pixel sans font: its
    // words are as high as the font's ascent plus descent, 1.12 times its size.
    const auto diary = printVisible(Path("diary.pdf"));
    ASSERT_EQ(diary.size(), 1u);
    ASSERT_FALSE(diary[0].words.empty());
    for (const auto& word : diary[0].words) {
        EXPECT_NEAR(word.yMax - word.yMin, 1.12 * 11 * pointsPerPixel, 0.5)
            << word.text.toStdString();
        EXPECT_GE(word.xMin, margin - 0.5) << word.text.toStdString();
        EXPECT_GE(word.yMin, margin - 0.5) << word.text.toStdString();
    }

    // The report, in its 13 pixel monospaced font: every letter is 0.6 of the
    // font's size wide.
    window_->RunAnalysis();
    WaitForAnalysis();
    ASSERT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "TabSheet1"));
    const auto report = printVisible(Path("report.pdf"));
    ASSERT_FALSE(report.empty());
    ASSERT_FALSE(report[0].words.empty());
    const auto& first = report[0].words.front();
    ASSERT_EQ(first.text, QStringLiteral("Quorvane"));
    EXPECT_NEAR(first.xMax - first.xMin, 8 * 0.6 * 13 * pointsPerPixel, 0.5);
    EXPECT_NEAR(first.xMin, margin, 0.5);
    EXPECT_NEAR(first.yMin, margin, 3.0);
}

TEST_F(AnalysisRunTest, SecondRunShowsTheRestartNoticeAndTheSameResults) {
    window_->RunAnalysis();
    WaitForAnalysis();
    const std::vector<std::string> first = GridCells(window_->ResultsGrid());
    const QString firstReport = Report();
    const size_t asked = prompts_.asked().size();

    prompts_.ExpectMessage();
    window_->RunAnalysis();
    WaitForAnalysis();
    ASSERT_EQ(prompts_.asked().size(), asked + 1);
    EXPECT_EQ(prompts_.last().text, kRestartNotice);
    EXPECT_EQ(GridCells(window_->ResultsGrid()), first);
    // The second report is cut at the width Set Columns took from Edit4 (170), which
    // cuts none of these short cells.
    EXPECT_EQ(Report(), firstReport);
}

TEST_F(AnalysisRunTest, UnsavedChangesAreSavedBeforeTheRead) {
    Type(QStringLiteral(" headache, pear, #,"));
    prompts_.ExpectConfirm(false);  // No still saves to the current file
    window_->RunAnalysis();
    WaitForAnalysis();
    EXPECT_TRUE(ReadBytes(Path(QStringLiteral("example.txt")))
                    .endsWith(QByteArray(" headache, pear, #,\r\n")));
    EXPECT_FALSE(window_->RecordModified());
    EXPECT_EQ(window_->ResultsGrid().Cell(3, 1), "2");
}

TEST_F(AnalysisRunTest, DecimalSeparatorFollowsTheLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    window_->RunAnalysis();
    WaitForAnalysis();
    EXPECT_EQ(window_->ResultsGrid().Cell(3, 22), "006,0  COFFEE  3 times");
}

TEST_F(AnalysisRunTest, NonIntegerMinimumStopsTheRunAtTheTotals) {
    Child<QLineEdit>(*window_, "Edit2")->setText(QStringLiteral("3x"));
    prompts_.ExpectError();
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    EXPECT_EQ(prompts_.last().text, QStringLiteral("'3x' is not a valid integer value."));
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "Tabsheet4"));
    EXPECT_EQ(window_->ResultsGrid().RowCount(), 23);  // the read happened
    EXPECT_TRUE(Report().isEmpty());
    EXPECT_TRUE(Child<QLineEdit>(*window_, "Edit6")->isHidden());
}

TEST_F(AnalysisRunTest, NonIntegerColumnWidthStopsSetColumnsAfterMaximising) {
    Child<QLineEdit>(*window_, "Edit4")->setText(QStringLiteral("wide"));
    prompts_.ExpectError();
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    EXPECT_EQ(prompts_.last().text, QStringLiteral("'wide' is not a valid integer value."));
    EXPECT_TRUE(window_->isMaximized());
    EXPECT_EQ(window_->ColumnWidth(), 160);
    EXPECT_FALSE(Report().isEmpty());
    EXPECT_TRUE(Child<QLineEdit>(*window_, "Edit6")->isHidden());  // the last step did not run
}

TEST_F(AnalysisRunTest, SetColumnsSetsWidthAndTabStops) {
    Child<QLineEdit>(*window_, "Edit4")->setText(QStringLiteral(" 10"));
    Child<QPushButton>(*window_, "Button1")->click();
    EXPECT_EQ(window_->ColumnWidth(), 10);
    EXPECT_EQ(Child<QTableView>(*window_, "StringGrid1")->horizontalHeader()->defaultSectionSize(),
              10);
    window_->RunAnalysis();  // sets columns from Edit4 again at its end
    WaitForAnalysis();

    const double pixelsPerPoint =
        Child<QPlainTextEdit>(*window_, "RichEdit1")->logicalDpiX() / 72.0;
    const QList<QTextOption::Tab> tabs =
        Child<QPlainTextEdit>(*window_, "RichEdit1")->document()->defaultTextOption().tabs();
    ASSERT_EQ(tabs.size(), 4);
    // Columns too narrow for their cells get the room the cells need.
    for (int i = 0; i < 4; ++i) {
        EXPECT_GE(tabs[i].position, ((i + 1) * 10 + 3) * pixelsPerPoint);
    }
    // This run's report was cut at 9 characters.
    EXPECT_TRUE(Report().contains(QStringLiteral(" 006.0  CO\t")));
    EXPECT_EQ(Child<QPlainTextEdit>(*window_, "RichEdit1")->textCursor().position(), 0);

    // Wide enough for every cell: the stops stand at W + 3 points.
    Child<QLineEdit>(*window_, "Edit4")->setText(QStringLiteral("170"));
    Child<QPushButton>(*window_, "Button1")->click();
    const QList<QTextOption::Tab> wide =
        Child<QPlainTextEdit>(*window_, "RichEdit1")->document()->defaultTextOption().tabs();
    ASSERT_EQ(wide.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(wide[i].position, ((i + 1) * 170 + 3) * pixelsPerPoint);
    }
}

TEST_F(AnalysisRunTest, DoubleClickPutsThePressedCellIntoTheMinimumBox) {
    window_->RunAnalysis();
    WaitForAnalysis();
    window_->StringGrid1MouseUp(3, 22);
    window_->StringGrid1DblClick();
    EXPECT_EQ(Child<QLineEdit>(*window_, "Edit2")->text(),
              QStringLiteral("hit 006.0  COFFEE  3 times"));

    prompts_.ExpectMessage();
    prompts_.ExpectError();
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    EXPECT_EQ(prompts_.last().text,
              QStringLiteral("'hit 006.0  COFFEE  3 times' is not a valid integer value."));
}

// The second run's notice comes after the save and before the read; a diary gone
// by then stops the run at the read, with the progress page in front.
TEST_F(AnalysisRunTest, ReadFailureStopsTheRunOnTheProgressPage) {
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    ASSERT_TRUE(prompts_.AllAnswered());
    prompts_.ExpectMessage([this] { QFile::remove(window_->MainFileName()); });
    prompts_.ExpectError();
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    EXPECT_TRUE(prompts_.AllAnswered());
    EXPECT_EQ(prompts_.last().text, QStringLiteral("File not found."));
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "Tabsheet4"));
    EXPECT_EQ(window_->ResultsGrid().Cell(2, 0), "RANDOM");  // reset, then nothing read
    EXPECT_EQ(window_->ResultsGrid().Cell(0, 2), "");
}

TEST_F(AnalysisRunTest, SaveFailureStopsTheRunBeforeTheRead) {
    window_->Record().SetMainFileName(Path(QStringLiteral("gone/diary.txt")));
    prompts_.ExpectError();
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    EXPECT_TRUE(prompts_.last().text.startsWith(QStringLiteral("Cannot create file ")));
    EXPECT_NE(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "Tabsheet4"));  // no read
}

}  // namespace
}  // namespace quorvane::testing
