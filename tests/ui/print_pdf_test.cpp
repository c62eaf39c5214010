#include <gtest/gtest.h>

#include <QFile>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextOption>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/text/quorvane_error.h"
#include "support/scripted_prompts.h"
#include "ui/print_commands.h"
#include "ui/print_pdf_support.h"

namespace quorvane {
namespace {

using testing::PdfInfo;
using testing::PdfPageCount;
using testing::PdfPageLines;
using testing::PdfWords;

// 12 mm in PDF points: a PDF printer reports no unprintable border of its own.
constexpr double kMarginPt = 12.0 * 72.0 / 25.4;

// Every printed word lies within the margins on every page.
void ExpectWithinMargins(const std::vector<testing::PdfPageWords>& pages, double left, double top,
                         double right, double bottom) {
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const auto& p = pages[page];
        for (const auto& word : p.words) {
            const std::string where =
                word.text.toStdString() + " on page " + std::to_string(page + 1);
            EXPECT_GE(word.xMin, left - 0.5) << where;
            EXPECT_GE(word.yMin, top - 0.5) << where;
            EXPECT_LE(word.xMax, p.width - right + 0.5) << where;
            EXPECT_LE(word.yMax, p.height - bottom + 0.5) << where;
        }
    }
}

class PrintToPdfTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        control_.setFont(QFont("Liberation Mono", 10));
    }

    QString PdfPath(const QString& name) const { return dir_.filePath(name + ".pdf"); }

    // Plays a user who sends the job to a PDF file and presses OK.
    void ExpectPrintTo(const QString& pdf) {
        prompts_.ExpectPrint([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
    }

    QString Print(const QString& text, const QString& name = "out") {
        control_.setPlainText(text);
        const QString pdf = PdfPath(name);
        ExpectPrintTo(pdf);
        commands_.Print(control_, kReportJobTitle);
        EXPECT_TRUE(prompts_.AllAnswered());
        return pdf;
    }

    // Tab stops in points, placed on the control as the report view carries them.
    void SetTabStops(std::initializer_list<double> points) {
        QTextOption option = control_.document()->defaultTextOption();
        QList<QTextOption::Tab> tabs;
        for (double point : points) {
            tabs.append(
                QTextOption::Tab(point * control_.logicalDpiX() / 72.0, QTextOption::LeftTab));
        }
        option.setTabs(tabs);
        control_.document()->setDefaultTextOption(option);
    }

    QTemporaryDir dir_;
    testing::ScriptedPrompts prompts_;
    PrintCommands commands_{prompts_};
    QPlainTextEdit control_;
};

TEST_F(PrintToPdfTest, JobCarriesTheTitleItWasGiven) {
    for (const char* title : {kReportJobTitle, kRecordJobTitle}) {
        control_.setPlainText("Monday\ncoffee, bread");
        const QString pdf = PdfPath(title);
        ExpectPrintTo(pdf);
        commands_.Print(control_, title);
        EXPECT_EQ(PdfInfo(pdf, "Title"), title);
        EXPECT_EQ(PdfPageLines(pdf, 1), QStringList({"Monday", "coffee, bread"}));
    }
}

TEST_F(PrintToPdfTest, EmptyControlPrintsOneEmptyPage) {
    const QString pdf = Print("");
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_TRUE(PdfPageLines(pdf, 1).isEmpty());
}

TEST_F(PrintToPdfTest, LongTextGoesOnPageAfterPageInOrderWithNothingAdded) {
    QStringList lines;
    for (int i = 1; i <= 250; ++i) {
        lines.append(QString("%1 coffee, toast, marmalade").arg(i, 3, 10, QChar('0')));
    }
    const QString pdf = Print(lines.join('\n'));

    const int pages = PdfPageCount(pdf);
    ASSERT_GE(pages, 2);
    QStringList printed;
    int firstPageLines = 0;
    for (int page = 1; page <= pages; ++page) {
        const QStringList onPage = PdfPageLines(pdf, page);
        if (page == 1) {
            firstPageLines = static_cast<int>(onPage.size());
        } else if (page < pages) {
            // Every full page holds as many lines as the first.
            EXPECT_EQ(onPage.size(), firstPageLines) << "page " << page;
        }
        printed.append(onPage);
    }
    // Each line once, in order: no header, footer or page number among them.
    EXPECT_EQ(printed, lines);
    ASSERT_GT(firstPageLines, 0);
    EXPECT_EQ(pages, (250 + firstPageLines - 1) / firstPageLines);

    // A full page ends less than one line above the bottom margin.
    const auto words = PdfWords(pdf);
    ExpectWithinMargins(words, kMarginPt, kMarginPt, kMarginPt, kMarginPt);
    double lowest = 0;
    for (const auto& word : words[0].words) {
        lowest = std::max(lowest, word.yMax);
    }
    EXPECT_GT(lowest, words[0].height - kMarginPt - 20);
}

TEST_F(PrintToPdfTest, LinesWiderThanThePageWrapWithinIt) {
    QStringList words;
    for (int i = 0; i < 60; ++i) {
        words.append(QString("word%1").arg(i));
    }
    const QString sentence = words.join(' ');
    const QString unbroken = QString("x").repeated(300) + "END";
    const QString pdf = Print(sentence + "\n" + unbroken + "\nlast");

    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QStringList printed = PdfPageLines(pdf, 1);
    ASSERT_GE(printed.size(), 5);  // each long line took more than one printed line
    EXPECT_EQ(printed.back(), "last");
    const QStringList wrappedLines = printed.mid(0, printed.size() - 1);
    const QString joined = wrappedLines.join(' ');
    EXPECT_TRUE(joined.startsWith(sentence)) << joined.toStdString();
    EXPECT_EQ(QString(joined).remove(' ').remove(QString(words.join(""))), unbroken);

    const auto pages = PdfWords(pdf);
    ASSERT_EQ(pages.size(), 1u);
    ExpectWithinMargins(pages, kMarginPt, kMarginPt, kMarginPt, kMarginPt);
    // The wrapped sentence fills the line up to the right margin, not short of it.
    double widest = 0;
    for (const auto& word : pages[0].words) {
        widest = std::max(widest, word.xMax);
    }
    EXPECT_GT(widest, pages[0].width - kMarginPt - 40);
}

TEST_F(PrintToPdfTest, TextStartsTwelveMillimetresInAndKeepsTheTabStops) {
    SetTabStops({173, 343, 513, 683});
    const QString pdf = Print(" HEADACHE\tNAUSEA\tTOTAL\n 1\t2\t3");

    const auto pages = PdfWords(pdf);
    ASSERT_EQ(pages.size(), 1u);
    const auto left = [&](const QString& text) {
        for (const auto& word : pages[0].words) {
            if (word.text == text) {
                return word.xMin;
            }
        }
        ADD_FAILURE() << text.toStdString() << " not printed";
        return -1.0;
    };
    // A PDF has no unprintable border, so the 12 mm margin holds: the text begins
    // one blank in from it, the first line at it, and the tab stops count from it.
    EXPECT_GT(left("HEADACHE"), kMarginPt);
    EXPECT_LT(left("HEADACHE"), kMarginPt + 10.0);
    EXPECT_LT(left("1"), kMarginPt + 10.0);
    EXPECT_NEAR(pages[0].words.front().yMin, kMarginPt, 3.0);
    EXPECT_NEAR(left("NAUSEA"), kMarginPt + 173, 1.0);
    EXPECT_NEAR(left("2"), kMarginPt + 173, 1.0);
    EXPECT_NEAR(left("TOTAL"), kMarginPt + 343, 1.0);
    EXPECT_NEAR(left("3"), kMarginPt + 343, 1.0);
}

TEST_F(PrintToPdfTest, PrinterBorderWiderThanTwelveMillimetresIsKept) {
    // A printer that cannot print within 20 mm of the left and 15 mm of the top
    // edge; the other sides fall back to the 12 mm margin.
    const QString pdf = PdfPath("border");
    prompts_.ExpectPrint([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        const QPageLayout paper = printer.pageLayout();
        const QMarginsF border(20, 15, 5, 5);
        printer.setPageLayout(QPageLayout(paper.pageSize(), paper.orientation(), border,
                                          QPageLayout::Millimeter, border));
        return true;
    });
    control_.setPlainText(QString("wide ").repeated(60) + "\nlast");
    commands_.Print(control_, kRecordJobTitle);
    ASSERT_TRUE(prompts_.AllAnswered());

    const auto pages = PdfWords(pdf);
    ASSERT_EQ(pages.size(), 1u);
    const double mm = 72.0 / 25.4;
    ExpectWithinMargins(pages, 20 * mm, 15 * mm, kMarginPt, kMarginPt);
    ASSERT_FALSE(pages[0].words.empty());
    EXPECT_NEAR(pages[0].words.front().xMin, 20 * mm, 1.0);
    EXPECT_NEAR(pages[0].words.front().yMin, 15 * mm, 3.0);
}

TEST_F(PrintToPdfTest, DiaryAndReportPrintAtThePointSizeTheyShow) {
    // Set up as the window does: the diary editor takes the window's 11 pixel
    // font from its parent, the report view has its own 13 pixel font.
    QWidget window;
    QFont windowFont("Liberation Sans");
    windowFont.setPixelSize(11);
    window.setFont(windowFont);
    auto* diary = new QPlainTextEdit(&window);
    QPlainTextEdit report;
    QFont reportFont("Liberation Mono");
    reportFont.setPixelSize(13);
    report.setFont(reportFont);

    struct Case {
        QPlainTextEdit* control;
        const char* title;
        int pixels;
    };
    for (const Case& c : {Case{diary, kRecordJobTitle, 11}, Case{&report, kReportJobTitle, 13}}) {
        SCOPED_TRACE(c.title);
        c.control->setPlainText("april 29, friday, tea\nHEADACHE");
        const QString pdf = PdfPath(c.title);
        ExpectPrintTo(pdf);
        commands_.Print(*c.control, c.title);
        const auto pages = PdfWords(pdf);
        ASSERT_EQ(pages.size(), 1u);
        ASSERT_FALSE(pages[0].words.empty());
        // The screen shows the font at pixels * 72 / dpi points; a word's box is
        // the font's ascent plus descent, 1.1 to 1.2 times its size for these fonts.
        const double points = c.pixels * 72.0 / c.control->logicalDpiY();
        for (const auto& word : pages[0].words) {
            const double height = word.yMax - word.yMin;
            EXPECT_GT(height, points * 1.05) << word.text.toStdString();
            EXPECT_LT(height, points * 1.25) << word.text.toStdString();
        }
    }
}

TEST_F(PrintToPdfTest, KeepsTheControlsFontAlsoWhenSizedInPixels) {
    struct Case {
        QFont font;
        const char* embedded;
    };
    QFont pixelSized("Liberation Mono");
    pixelSized.setPixelSize(20);
    QFont sameInPoints("Liberation Mono");
    sameInPoints.setPointSizeF(20 * 72.0 / control_.logicalDpiY());
    const Case cases[] = {{QFont("Liberation Sans", 10), "LiberationSans"},
                          {pixelSized, "LiberationMono"},
                          {sameInPoints, "LiberationMono"}};
    std::vector<double> heights;
    int index = 0;
    for (const auto& c : cases) {
        control_.setFont(c.font);
        const QString pdf = Print("Headache", QString("font%1").arg(index++));
        EXPECT_TRUE(testing::RunTool("pdffonts", {pdf}).contains(c.embedded)) << c.embedded;
        const auto pages = PdfWords(pdf);
        ASSERT_EQ(pages.size(), 1u);
        ASSERT_EQ(pages[0].words.size(), 1u);
        heights.push_back(pages[0].words[0].yMax - pages[0].words[0].yMin);
    }
    // A font sized in pixels prints as large as it shows on the screen.
    EXPECT_GT(heights[1], 10.0);
    EXPECT_NEAR(heights[1], heights[2], 0.5);
}

}  // namespace
}  // namespace quorvane
