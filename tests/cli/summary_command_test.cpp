// quorvane-report --summary: the doctor's summary PDF of a diary with planted
// triggers, read back with poppler's tools as a person would see it.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QImage>
#include <QString>

#include "cli/report_process.h"
#include "core/analysis/analysis_test_support.h"
#include "ui/print_pdf_support.h"

namespace quorvane::testing {
namespace {

// 120 dated days: cheese with a headache the next day (most times), beans with
// IBS two days later; other foods by a fixed pattern.
std::string PlantedDiary() {
    const char* const months[] = {"January", "February", "March", "April"};
    const int lengths[] = {31, 28, 31, 30};
    const char* const foods[] = {"bread", "tea", "apple", "rice", "milk", "egg", "pasta"};
    std::string text;
    int day = 0;
    for (int m = 0; m < 4; ++m) {
        for (int d = 1; d <= lengths[m]; ++d, ++day) {
            text += std::string(months[m]) + " " + std::to_string(d) + ", 2026\r\n";
            for (int f = 0; f < 7; ++f) {
                if ((day * 7 + f * 3) % 5 < 2) {
                    text += std::string(foods[f]) + ", ";
                }
            }
            text += day % 6 == 0 ? "cheese, " : "";
            text += day % 6 == 1 && day % 24 != 1 ? "headache, " : "";
            text += day % 9 == 3 ? "beans, " : "";
            text += day % 9 == 5 ? "ibs, " : "";
            text += "#,\r\n";
        }
    }
    return text;
}

class SummaryCommandTest : public ::testing::Test {
  protected:
    SummaryCommandTest() {
        EnsureApplication();
        diary = dir.Write("planted.txt", PlantedDiary());
        pdf = QString::fromStdString(dir.File("planted-summary.pdf"));
    }

    QString AllText() {
        QStringList lines;
        for (int p = 1; p <= PdfPageCount(pdf); ++p) {
            lines.append(PdfPageLines(pdf, p));
        }
        return lines.join(' ');
    }

    TempDir dir;
    std::string diary;
    QString pdf;
};

TEST_F(SummaryCommandTest, WritesTheOverviewAPagePerSymptomAndTheFingerprint) {
    const Outcome run = RunReport(dir, {diary, "--summary", pdf.toStdString()});
    ASSERT_EQ(run.status, 0) << run.err;
    // Only the summary was asked for: nothing on the terminal.
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");

    const int pages = PdfPageCount(pdf);
    ASSERT_GE(pages, 3);
    const QString overview = PdfPageLines(pdf, 1).join(' ');
    EXPECT_TRUE(overview.startsWith(QStringLiteral("Food diary summary ")));
    EXPECT_TRUE(overview.contains(
        QStringLiteral("Diary from January 1, 2026 to April 30, 2026: 120 days written.")))
        << overview.toStdString();
    EXPECT_TRUE(
        overview.contains(QStringLiteral("HEADACHE: 15 episodes. Top suspects: CHEESE (Strong)")))
        << overview.toStdString();
    EXPECT_TRUE(overview.contains(QStringLiteral("IBS: 13 episodes. Top suspects: BEANS (Strong)")))
        << overview.toStdString();

    // Each symptom starts a page of its own.
    QStringList titles;
    for (int p = 2; p <= pages; ++p) {
        const QStringList lines = PdfPageLines(pdf, p);
        if (!lines.isEmpty() && lines.front().startsWith(QStringLiteral("Food diary summary: "))) {
            titles.append(lines.front());
        }
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Food diary summary: HEADACHE"),
                                   QStringLiteral("Food diary summary: IBS")}));

    const QString all = AllText();
    EXPECT_TRUE(all.contains(QStringLiteral("1. CHEESE - Strong: HEADACHE began the day after")))
        << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("1. BEANS - Strong: IBS began two days after")));
    const QByteArray sha = QCryptographicHash::hash(QByteArray::fromStdString(PlantedDiary()),
                                                    QCryptographicHash::Sha256)
                               .toHex();
    EXPECT_EQ(all.count(QStringLiteral("SHA-256 of the diary file: ") + QString::fromLatin1(sha)),
              3)
        << all.toStdString();
}

TEST_F(SummaryCommandTest, TheChartsAreDrawnWhereThePageLeavesThemRoom) {
    ASSERT_EQ(RunReport(dir, {diary, "--summary", pdf.toStdString()}).status, 0);
    // The HEADACHE page: its charts lie between their headings.
    const std::vector<PdfPageWords> words = PdfWords(pdf);
    ASSERT_GE(words.size(), 2u);
    const PdfPageWords& page = words[1];
    const auto top = [&](const QString& word) {
        for (const PdfWord& w : page.words) {
            if (w.text == word) {
                return w.yMax;
            }
        }
        ADD_FAILURE() << "no " << word.toStdString();
        return 0.0;
    };
    const double forestTop = top(QStringLiteral("range"));  // the forest's heading
    const double calendarTop = top(QStringLiteral("Calendar:"));
    const double toleratedTop = top(QStringLiteral("tolerated"));
    ASSERT_LT(forestTop, calendarTop);
    ASSERT_LT(calendarTop, toleratedTop);

    const QString prefix = QString::fromStdString(dir.File("page"));
    RunTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"), QStringLiteral("2"),
             QStringLiteral("-l"), QStringLiteral("2"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, prefix});
    const QImage image(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(image.isNull());
    ASSERT_NEAR(image.height(), page.height, 2);  // 72 dpi: a pixel a point
    // Ink and colour in a band: the charts' lines, marks and days.
    const auto count = [&](double from, double to, auto pick) {
        int found = 0;
        for (int y = static_cast<int>(from) + 2; y < static_cast<int>(to) - 2; ++y) {
            for (int x = 0; x < image.width(); ++x) {
                found += pick(image.pixelColor(x, y)) ? 1 : 0;
            }
        }
        return found;
    };
    const auto ink = [](const QColor& c) { return c.lightness() < 200; };
    const auto red = [](const QColor& c) {
        return c.red() > 150 && c.green() < 90 && c.blue() < 90;
    };
    EXPECT_GT(count(forestTop, calendarTop, ink), 1500);
    EXPECT_GT(count(forestTop, calendarTop, red), 30);         // the strong suspect's range
    EXPECT_GT(count(calendarTop, toleratedTop, red), 15 * 9);  // the onsets
}

TEST_F(SummaryCommandTest, TakesTheSameNotFoodsAsTheTable) {
    const std::string notFoods = dir.Write("not-foods.txt", "cheese\r\n");
    const Outcome run =
        RunReport(dir, {diary, "--not-foods", notFoods, "--summary", pdf.toStdString()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(AllText().contains(QStringLiteral("CHEESE")));
    // A dump asked for besides is still written.
    const Outcome both =
        RunReport(dir, {diary, "--dump", "suspects", "--summary", pdf.toStdString()});
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(both.out.rfind("item\tsymptom\trank", 0), 0u);

    // A folder that is not there: the command fails with the file's name.
    const std::string missing = dir.File("no such folder/out.pdf");
    const Outcome failed = RunReport(dir, {diary, "--summary", missing});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("Cannot create file " + missing), std::string::npos) << failed.err;
}

}  // namespace
}  // namespace quorvane::testing
