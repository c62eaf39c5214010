// The Challenge part of the Suspects page driven as a user would: the safety
// question, a plan kept in the settings file, today's instruction, the printed
// plan, the day's word, and the verdict after an analysis.
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <random>

#include "core/challenge/challenge_date.h"
#include "core/challenge/challenge_store.h"
#include "core/evidence/suspects.h"
#include "core/settings/profile_file.h"
#include "pages/page_test_harness.h"
#include "pages/suspects/challenge_calendar.h"
#include "pages/suspects/challenge_panel.h"
#include "support/find_child.h"
#include "ui/print_pdf_support.h"

namespace quorvane::testing {
namespace {

// Peanut on about a third of the days and a headache that often follows it.
std::string SuspiciousDiary() {
    std::mt19937 random(4);
    const std::vector<std::string> foods = {"tea", "bread", "egg", "rice", "apple", "ham"};
    std::string text;
    for (int day = 0; day < 200; ++day) {
        for (int i = 0; i < 3; ++i) {
            text += foods[random() % foods.size()] + ", ";
        }
        const bool peanut = random() % 3 == 0;
        text += peanut ? "peanut, " : "";
        text += random() % 100 < (peanut ? 50 : 12) ? "headache, " : "";
        text += "#,\r\n";
    }
    return text;
}

const int64_t kStart = *ParseIsoDate("2026-12-11");

class ChallengePanelTest : public PageTest {
  protected:
    ChallengePanelTest() : panel(Services()) {
        panel.resize(900, 220);
        panel.SetClock([this] { return today; });
        diaryPath = dir.filePath(QStringLiteral("diary.txt"));
        settingsBefore =
            "[Active]\r\nmain=motion2\r\n[Symptoms]\r\n2=HEADACHE\r\n"
            "[Not Foods]\r\n1=vitamin\r\n";
        QFile settings(QString::fromStdString(SettingsFile()));
        EXPECT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(settingsBefore.data(), static_cast<qint64>(settingsBefore.size()));
    }

    void Analyse(const std::string& text) {
        QFile diary(diaryPath);
        EXPECT_TRUE(diary.open(QIODevice::WriteOnly));
        diary.write(text.data(), static_cast<qint64>(text.size()));
        diary.close();
        analysis.Reset();
        ReadHooks hooks;
        hooks.GatherEvidence = true;
        analysis.Read(diaryPath.toStdString(), hooks);
        analysis.ComputeTotals(1);
        found = FindSuspects(analysis.Evidence(), analysis.Items(), {});
        for (const SymptomSuspects& group : found.Symptoms) {
            for (const SuspectRow& row : group.Rows) {
                if (row.Item == "PEANUT" && group.Name == "HEADACHE") {
                    panel.SetSuspect(&row);
                }
            }
        }
        panel.Refresh(true);
    }

    // The plan through the boxes: no severe reaction, the first day given.
    void Plan() {
        prompts.ExpectConfirm(false);
        prompts.ExpectInput(QStringLiteral("2026-12-11"));
        prompts.ExpectMessage();
        Child<QPushButton>(panel, "ChallengePlan")->click();
    }

    std::string SettingsBytes() const {
        QFile file(QString::fromStdString(SettingsFile()));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll().toStdString();
    }
    QString TodayText() { return Child<QLabel>(panel, "ChallengeToday")->text(); }
    QString VerdictText() {
        return Child<QPlainTextEdit>(panel, "ChallengeVerdict")->toPlainText();
    }

    int64_t today = kStart - 1;
    QString diaryPath;
    std::string settingsBefore;
    SuspectsResult found;
    ChallengePanel panel;
};

TEST_F(ChallengePanelTest, ASevereReactionPlansNothingAndAdvisesASupervisedChallenge) {
    Analyse(SuspiciousDiary());
    ASSERT_TRUE(Child<QPushButton>(panel, "ChallengePlan")->isEnabled());
    EXPECT_EQ(Child<QPushButton>(panel, "ChallengePlan")->text(),
              QStringLiteral("Plan a &test of PEANUT..."));
    prompts.ExpectConfirm(true);
    prompts.ExpectMessage();
    Child<QPushButton>(panel, "ChallengePlan")->click();
    EXPECT_TRUE(prompts.asked()[0].text.contains(QStringLiteral("severe reaction")));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("medical supervision")));
    EXPECT_FALSE(panel.Plan());
    EXPECT_EQ(SettingsBytes(), settingsBefore);
    EXPECT_EQ(TodayText(), QStringLiteral("No test planned"));
    EXPECT_FALSE(Child<QPushButton>(panel, "ChallengePrint")->isEnabled());
}

TEST_F(ChallengePanelTest, APlanIsKeptShownPrintedAndAnalysed) {
    Analyse(SuspiciousDiary());
    Plan();
    EXPECT_TRUE(
        prompts.last().text.startsWith(QStringLiteral("Challenge plan: PEANUT and HEADACHE")));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("Power: ")));
    ASSERT_TRUE(panel.Plan());
    const ChallengePlan plan = *panel.Plan();
    EXPECT_EQ(plan.StartDate, "2026-12-11");
    EXPECT_EQ(plan.StartDay, 200U);
    // The file keeps every line it had, the plan in a section of its own after them.
    const std::string stored = SettingsBytes();
    ASSERT_EQ(stored.substr(0, settingsBefore.size()), settingsBefore);
    EXPECT_EQ(ReadChallengePlan(ProfileFile(SettingsFile()))->Order, plan.Order);

    // Today's instruction follows the calendar date.
    const QString first = plan.Order[0] == 'E' ? QStringLiteral("Today: eat PEANUT")
                                               : QStringLiteral("Today: no PEANUT");
    EXPECT_TRUE(TodayText().startsWith(QStringLiteral("The challenge starts Fri 11 Dec")));
    today = kStart;
    panel.Refresh(false);
    EXPECT_EQ(TodayText(), first);
    today = kStart + plan.PeriodDays;
    panel.Refresh(false);
    EXPECT_EQ(TodayText(), plan.Order[1] == 'E' ? QStringLiteral("Today: eat PEANUT")
                                                : QStringLiteral("Today: no PEANUT"));

    // The day's word goes to the composer through the window.
    QSignalSpy words(&panel, &ChallengePanel::DiaryWordRequested);
    Child<QPushButton>(panel, "ChallengeWord")->click();
    ASSERT_EQ(words.count(), 1);
    EXPECT_EQ(words[0][0].toString(), plan.Order[1] == 'E' ? QStringLiteral("Challenge eat,")
                                                           : QStringLiteral("Challenge avoid,"));

    // The printed plan: one page, the safety note and the plan's own figures.
    const QString pdf = dir.filePath(QStringLiteral("plan.pdf"));
    prompts.ExpectSave(pdf);
    Child<QPushButton>(panel, "ChallengePrint")->click();
    EXPECT_EQ(PdfPageCount(pdf), 1);
    const QString text = PdfPageLines(pdf, 1).join(QLatin1Char(' '));
    EXPECT_TRUE(text.contains(QStringLiteral("Challenge plan: PEANUT and HEADACHE")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("stop the test at once and seek urgent care")));
    EXPECT_TRUE(text.contains(QStringLiteral("seed ") + QString::number(plan.Seed)));
    EXPECT_TRUE(text.contains(QStringLiteral("Week of 7 Dec"))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("EAT")), plan.TotalDays() / 2);

    // Lived as planned, with a headache on most eat days: the verdict comes with
    // the next analysis, and the settings file is not touched by it.
    std::string lived = SuspiciousDiary();
    for (int p = 0; p < plan.TotalDays(); ++p) {
        const bool eat = plan.Instruction(p) == 'E';
        lived += eat ? "Challenge eat, tea, peanut, " : "Challenge avoid, tea, ";
        lived += eat && p % 3 != 0 ? "headache, " : "";
        lived += "#,\r\n";
    }
    today = kStart + plan.TotalDays();
    Analyse(lived);
    EXPECT_TRUE(VerdictText().startsWith(
        QStringLiteral("Planned test of PEANUT for HEADACHE\nVerdict: Confirmed.")))
        << VerdictText().toStdString();
    EXPECT_EQ(TodayText(), QStringLiteral("The challenge is over: see its result."));
    EXPECT_EQ(SettingsBytes(), stored);
}

TEST_F(ChallengePanelTest, ANewPlanReplacesTheOldOnlyWhenTheUserSaysSo) {
    Analyse(SuspiciousDiary());
    Plan();
    const std::string stored = SettingsBytes();
    prompts.ExpectConfirm(false);  // no severe reaction
    prompts.ExpectConfirm(false);  // keep the plan
    Child<QPushButton>(panel, "ChallengePlan")->click();
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("Replace it?")));
    EXPECT_EQ(SettingsBytes(), stored);

    // A start that is no date ends the handler with the error box.
    prompts.ExpectConfirm(false);
    prompts.ExpectConfirm(true);
    prompts.ExpectInput(QStringLiteral("next week"));
    prompts.ExpectError();
    Child<QPushButton>(panel, "ChallengePlan")->click();
    EXPECT_EQ(SettingsBytes(), stored);
}

TEST(ChallengeCalendar, PaintsEachPlanDayWithItsSide) {
    EnsureApplication();
    ChallengePlan plan;
    plan.Food = "PEANUT";
    plan.StartDate = "2026-12-14";  // a Monday: week columns start on it
    plan.PeriodDays = 7;
    plan.WashoutDays = 2;
    plan.Blocks = 1;
    plan.Order = "EA";
    ChallengeCalendar calendar;
    calendar.resize(300, 140);
    calendar.SetPlan(plan, std::nullopt);
    const QImage image = calendar.grab().toImage();
    // Two week columns after the weekday labels; sample the middle of each day.
    const auto colourAt = [&](int week, int weekday) {
        const double label = QFontMetricsF(calendar.font()).horizontalAdvance("Wed") + 6;
        const double heading = QFontMetricsF(calendar.font()).height() + 2;
        const double width = (292 - label) / 2;
        const double height = (134 - heading) / 7;
        return image.pixelColor(static_cast<int>(4 + label + week * width + width / 2),
                                static_cast<int>(2 + heading + weekday * height + height / 2));
    };
    const QColor eatCounted = colourAt(0, 3);
    const QColor eatWashout = colourAt(0, 0);
    const QColor avoidCounted = colourAt(1, 3);
    EXPECT_GT(eatCounted.red(), eatCounted.blue());
    EXPECT_GT(avoidCounted.blue(), avoidCounted.red());
    EXPECT_GT(eatWashout.lightness(), eatCounted.lightness());
    EXPECT_EQ(colourAt(0, 6), eatCounted);
}

}  // namespace
}  // namespace quorvane::testing
