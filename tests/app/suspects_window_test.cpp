// The Suspects page inside the window: filled by each analysis from the same
// read, emptied when a run starts, and the run's own outputs untouched.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <sstream>

#include "app/window_fixture.h"
#include "core/analysis/analysis.h"
#include "core/evidence/suspects_text.h"
#include "core/settings/profile_file.h"
#include "pages/suspects/suspects_page.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

using SuspectsWindowTest = ExampleWindowTest;

TEST_F(SuspectsWindowTest, EachAnalysisFillsThePageAndAFailedRunEmptiesIt) {
    auto* page = Child<SuspectsPage>(*window_, "SuspectsPage");
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->indexOf(page), 7);
    EXPECT_FALSE(page->HasResults());
    EXPECT_FALSE(Child<QPushButton>(*page, "SuspectExportCsv")->isEnabled());

    // The user's Not Foods are read from the settings file at each run, which
    // the run leaves as it was.
    const std::string settings = window_->SettingsFilePath();
    ProfileFile(settings).WriteString("Not Foods", "1", "Coffee");
    const QString settingsBefore = SettingsText();
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    EXPECT_EQ(SettingsText(), settingsBefore);
    ASSERT_TRUE(page->HasResults());
    EXPECT_EQ(Child<QComboBox>(*page, "SuspectSymptom")->currentText(), QStringLiteral("HEADACHE"));
    // The run still ends on the Main page.
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "TabSheet1"));

    // What the page exports is what the engine finds in the same diary.
    SymptomTable symptoms;
    Analysis engine(symptoms);
    engine.Reset();
    ReadHooks hooks;
    hooks.GatherEvidence = true;
    engine.Read(Path(QStringLiteral("example.txt")).toStdString(), hooks);
    engine.ComputeTotals(3);
    const std::vector<std::string> notFoods = {"Coffee"};
    const SuspectsResult expected = FindSuspects(engine.Evidence(), engine.Items(), notFoods);
    std::ostringstream csv;
    WriteSuspectsTable(expected, TableFormat::Csv, csv);
    EXPECT_EQ(csv.str().find("COFFEE"), std::string::npos);
    prompts_.ExpectSave(Path(QStringLiteral("out.csv")));
    Child<QPushButton>(*page, "SuspectExportCsv")->click();
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("out.csv"))).toStdString(), csv.str());

    // A run that fails after its reset leaves no stale suspects behind.
    Child<SymptomListPage>(*window_, "TabSheet3")->SetMinimumCountText(QStringLiteral("x"));
    prompts_.ExpectMessage();  // the notice of a second run
    prompts_.ExpectError();
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    EXPECT_FALSE(page->HasResults());
    EXPECT_TRUE(Child<QLabel>(*page, "SuspectHint")->isVisibleTo(page));
    EXPECT_FALSE(Child<QPushButton>(*page, "SuspectSummary")->isEnabled());
}

}  // namespace
}  // namespace quorvane::testing
