// The Challenge part inside the window: a plan stored in the settings file shows
// when the Suspects page does, and its day's word lands in the diary editor.
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include "app/window_fixture.h"
#include "core/challenge/challenge_date.h"
#include "core/challenge/challenge_store.h"
#include "core/settings/profile_file.h"
#include "pages/suspects/suspects_page.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

using ChallengeWindowTest = ExampleWindowTest;

TEST_F(ChallengeWindowTest, TheDaysWordIsWrittenInTheComposer) {
    ChallengePlan plan;
    plan.Food = "PEANUT";
    plan.Symptom = "HEADACHE";
    plan.StartDay = 2;
    plan.StartDate = FormatIsoDate(LocalToday());
    plan.PeriodDays = 7;
    plan.WashoutDays = 2;
    plan.Blocks = 5;
    plan.Order = "EAAEEAEAAE";
    ProfileFile profile(window_->SettingsFilePath());
    StoreChallengePlan(profile, plan);

    window_->show();  // the page reads the plan when it shows
    auto* pages = Child<QTabWidget>(*window_, "PageControl1");
    auto* suspects = Child<SuspectsPage>(*window_, "SuspectsPage");
    pages->setCurrentWidget(suspects);
    EXPECT_EQ(Child<QLabel>(*suspects, "ChallengeToday")->text(),
              QStringLiteral("Today: eat PEANUT"));
    const QString before = EditorText();
    Child<QPushButton>(*suspects, "ChallengeWord")->click();
    EXPECT_EQ(pages->currentWidget(), Child<QWidget>(*window_, "TabSheet8"));
    EXPECT_TRUE(EditorText().startsWith(before));
    EXPECT_TRUE(EditorText().endsWith(QStringLiteral("Challenge eat, ")))
        << EditorText().toStdString();
}

}  // namespace
}  // namespace quorvane::testing
