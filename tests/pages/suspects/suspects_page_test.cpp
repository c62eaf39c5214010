// The Suspects page driven as a user would: choose, sort, select, export.
#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <cmath>
#include <fstream>
#include <sstream>

#include "core/evidence/not_foods.h"
#include "core/evidence/suspects_plain.h"
#include "core/evidence/suspects_text.h"
#include "core/settings/profile_file.h"
#include "pages/page_test_harness.h"
#include "pages/suspects/suspects_charts.h"
#include "pages/suspects/suspects_page.h"
#include "pages/suspects/suspects_page_fixture.h"
#include "pages/suspects/suspects_table_model.h"
#include "support/find_child.h"
#include "ui/print_pdf_support.h"
#include "ui/recovery_file.h"

namespace quorvane::testing {
namespace {

TEST_F(SuspectsPageTest, BeforeAnAnalysisItShowsTheHintWithEveryCommandOff) {
    const auto expectEmpty = [&] {
        EXPECT_FALSE(page.HasResults());
        EXPECT_TRUE(Child<QLabel>(page, "SuspectHint")->isVisibleTo(&page));
        EXPECT_EQ(Child<QLabel>(page, "SuspectHint")->text(),
                  QStringLiteral("Run File, Analysis to see suspects."));
        EXPECT_FALSE(Child<QPushButton>(page, "SuspectExportCsv")->isEnabled());
        EXPECT_FALSE(Child<QPushButton>(page, "SuspectSummary")->isEnabled());
        EXPECT_FALSE(Chooser()->isEnabled());
        EXPECT_EQ(Table()->model()->rowCount(), 0);
    };
    expectEmpty();
    // Pressed anyway (a shortcut, a script): no dialog opens.
    page.ExportCsvClick();
    page.DoctorSummaryClick();

    Analyse();
    EXPECT_TRUE(page.HasResults());
    EXPECT_FALSE(Child<QLabel>(page, "SuspectHint")->isVisibleTo(&page));
    EXPECT_TRUE(Child<QPushButton>(page, "SuspectExportCsv")->isEnabled());
    // The next run empties the evidence first, and the page with it.
    page.Clear();
    expectEmpty();
}

TEST_F(SuspectsPageTest, TheChooserHoldsTheSymptomsWithResultsAndTheTableTheirRankedRows) {
    Analyse();
    // RANDOM has suspects too, but is no monitored symptom.
    ASSERT_EQ(engine.Symptoms.size(), 3u);
    EXPECT_EQ(engine.Symptoms.front().Name, "RANDOM");
    ASSERT_EQ(Chooser()->count(), 2);
    EXPECT_EQ(Chooser()->itemText(0), QStringLiteral("HEADACHE"));
    EXPECT_EQ(Chooser()->itemText(1), QStringLiteral("IBS"));
    for (int choice = 0; choice < 2; ++choice) {
        Chooser()->setCurrentIndex(choice);
        const SymptomSuspects& group = Shown();
        ASSERT_EQ(Table()->model()->rowCount(), static_cast<int>(group.Rows.size()));
        for (int r = 0; r < Table()->model()->rowCount(); ++r) {
            const SuspectRow& row = group.Rows[static_cast<std::size_t>(r)];
            EXPECT_EQ(Cell(r, kViewRank), QString::number(row.Rank));
            EXPECT_EQ(Cell(r, kViewItem), QString::fromLatin1(row.Item));
            EXPECT_EQ(Cell(r, kViewTier), QString::fromLatin1(TierLabel(row.Tier)));
            EXPECT_EQ(Cell(r, kViewExposedDays), QString::number(row.Table.A + row.Table.B));
        }
        // The planted trigger comes first; the user's Not Foods never show.
        EXPECT_EQ(Cell(0, kViewItem), choice == 0 ? "WINE" : "COFFEE");
        EXPECT_EQ(Cell(0, kViewTier), "Strong");
        EXPECT_TRUE(Table()
                        ->model()
                        ->match(Table()->model()->index(0, kViewItem), Qt::DisplayRole, "VITAMIN",
                                1, Qt::MatchExactly)
                        .isEmpty());
    }
}

TEST_F(SuspectsPageTest, HeaderClicksSortByTheFiguresNotTheirText) {
    ShowActive(page);
    Analyse();
    QHeaderView* header = Table()->horizontalHeader();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4, 4));
    };
    // The exact figures: the shown ones are rounded ("< 0.001").
    const auto column = [&](int c) {
        std::vector<double> values;
        for (int r = 0; r < Table()->model()->rowCount(); ++r) {
            values.push_back(
                Table()->model()->index(r, c).data(SuspectsTableModel::FigureRole).toDouble());
        }
        return values;
    };

    clickHeader(kViewExposedDays);
    std::vector<double> exposed = column(kViewExposedDays);
    // Kiwi's few days and the daily foods' many: "6" would sort after "60" as text.
    ASSERT_LT(exposed.front(), 10);
    ASSERT_GE(exposed.back(), 10);
    EXPECT_TRUE(std::is_sorted(exposed.begin(), exposed.end()));
    clickHeader(kViewExposedDays);
    exposed = column(kViewExposedDays);
    EXPECT_TRUE(std::is_sorted(exposed.rbegin(), exposed.rend()));

    clickHeader(kViewP);
    std::vector<double> p = column(kViewP);
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
    EXPECT_LT(p.front(), 0.001);
    EXPECT_EQ(Cell(0, kViewP), QStringLiteral("< 0.001"));

    // Back to rank order: the tiers in the engine's order.
    clickHeader(kViewRank);
    const std::vector<double> ranks = column(kViewRank);
    EXPECT_TRUE(std::is_sorted(ranks.begin(), ranks.end()));
    EXPECT_EQ(ranks.front(), 1);
}

TEST_F(SuspectsPageTest, TheSentenceChecksAndDaysFollowTheSelection) {
    ShowActive(page);
    Analyse();
    // The first row is selected with the results.
    EXPECT_TRUE(DetailsText().startsWith(
        QString::fromLatin1(SuspectSentence(Shown().Rows.front(), engine.PairsTested))));
    // Each check one line, with its mark.
    EXPECT_TRUE(
        DetailsText().contains(QStringLiteral("\n\u2713 Eaten before episodes more than after")))
        << DetailsText().toStdString();

    Table()->setFocus();
    for (int r = 1; r < 4; ++r) {
        QTest::keyClick(Table(), Qt::Key_Down);
        const QString item = Cell(Table()->currentIndex().row(), kViewItem);
        ASSERT_EQ(Table()->currentIndex().row(), r);
        const SuspectRow& row = EngineRow(item);
        EXPECT_TRUE(
            DetailsText().startsWith(QString::fromLatin1(SuspectSentence(row, engine.PairsTested))))
            << item.toStdString();
        const auto* timeline = Child<TimelineChart>(page, "SuspectTimeline");
        EXPECT_EQ(timeline->Timeline().Days, 120u);
        EXPECT_EQ(Child<CalendarChart>(page, "SuspectCalendar")->Timeline().Eaten,
                  timeline->Timeline().Eaten);
        EXPECT_EQ(static_cast<int64_t>(timeline->Timeline().Onsets.size()), Shown().Episodes);
        if (item == "KIWI") {
            EXPECT_EQ(timeline->Timeline().Eaten, (std::vector<uint32_t>{3, 23, 43, 63, 83, 103}));
        }
    }
    // Selection follows the sorted view, not the model's order.
    Table()->sortByColumn(kViewItem, Qt::AscendingOrder);
    Table()->selectRow(0);
    EXPECT_TRUE(DetailsText().startsWith(
        QString::fromLatin1(SuspectSentence(EngineRow(Cell(0, kViewItem)), engine.PairsTested))));
    const auto* forest = Child<ForestChart>(page, "SuspectForest");
    ASSERT_FALSE(forest->Plot().Rows.empty());
    EXPECT_EQ(forest->Plot().Rows.front().Item, Shown().Rows.front().Item);
}

TEST_F(SuspectsPageTest, CsvExportWritesTheEnginesTableAndAFailedWriteIsReported) {
    Analyse();
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    prompts.ExpectSave(path);
    page.ExportCsvClick();
    EXPECT_EQ(FileBytes(path), CsvBytes());
    EXPECT_NE(FileBytes(path).find(",RANDOM,"), std::string::npos);  // every symptom
    EXPECT_EQ(prompts.presets().back(), dir.filePath(QStringLiteral("diary-suspects.csv")));
    EXPECT_EQ(prompts.last().title, QStringLiteral("CSV files (*.csv)"));

    // A folder that does not exist: the error box names the file, the old
    // export stays whole, and the page works on.
    const QString missing = dir.filePath(QStringLiteral("no such folder/out.csv"));
    prompts.ExpectSave(missing);
    prompts.ExpectError();
    Child<QPushButton>(page, "SuspectExportCsv")->click();
    EXPECT_EQ(prompts.last().kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.last().text, QStringLiteral("Cannot create file ") + missing);
    EXPECT_TRUE(page.HasResults());
    EXPECT_EQ(FileBytes(path), CsvBytes());

    // The recovery file's name is refused: a later save would remove the export.
    const QString recovery = dir.filePath(QString::fromLatin1(kRecoveryFileName));
    for (const char* button : {"SuspectExportCsv", "SuspectSummary"}) {
        prompts.ExpectSave(recovery);
        prompts.ExpectError();
        Child<QPushButton>(page, button)->click();
        EXPECT_TRUE(
            prompts.last().text.startsWith(QStringLiteral("Cannot create file ") + recovery))
            << button;
        EXPECT_FALSE(QFile::exists(recovery)) << button;
    }

    // Cancel writes nothing.
    prompts.ExpectSave(std::nullopt);
    page.ExportCsvClick();
}

TEST_F(SuspectsPageTest, TheSummaryHasAnOverviewAndAPagePerSymptomWithTheFingerprint) {
    Analyse();
    QSignalSpy status(&page, &SuspectsPage::StatusMessage);
    const QString pdf = dir.filePath(QStringLiteral("summary.pdf"));
    prompts.ExpectSave(pdf);
    Child<QPushButton>(page, "SuspectSummary")->click();
    ASSERT_TRUE(QFile::exists(pdf));
    // Proposed beside the diary under its name, as a PDF; the status bar is told.
    EXPECT_EQ(prompts.presets().back(), dir.filePath(QStringLiteral("diary-summary.pdf")));
    EXPECT_EQ(prompts.last().title, QStringLiteral("PDF files (*.pdf)"));
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status[0][0].toString().contains(QDir::toNativeSeparators(pdf)));

    QFile diary(diaryPath);
    ASSERT_TRUE(diary.open(QIODevice::ReadOnly));
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash(diary.readAll(), QCryptographicHash::Sha256).toHex());
    // The version the build declares for the project.
    QFile lists(QStringLiteral(QUORVANE_SOURCE_DIR "/CMakeLists.txt"));
    ASSERT_TRUE(lists.open(QIODevice::ReadOnly));
    const auto declared = QRegularExpression(QStringLiteral("project\\(Quorvane VERSION ([0-9.]+)"))
                              .match(QString::fromLatin1(lists.readAll()));
    ASSERT_TRUE(declared.hasMatch());

    const int pages = PdfPageCount(pdf);
    ASSERT_GE(pages, 3);
    const QString overview = PdfPageLines(pdf, 1).join(' ');
    EXPECT_TRUE(
        overview.contains(QStringLiteral("HEADACHE: 24 episodes. Top suspects: WINE (Strong)")))
        << overview.toStdString();
    EXPECT_TRUE(overview.contains(QStringLiteral("IBS: ")));
    // The last day's first line is a day's foods, so the range is in day numbers.
    EXPECT_TRUE(overview.contains(QStringLiteral("Diary from day 1 to day 120: 120 days written")))
        << overview.toStdString();
    for (const char* symptom : {"HEADACHE", "IBS"}) {
        QString text;
        for (int p = 2; p <= pages && text.isEmpty(); ++p) {
            const QString page = PdfPageLines(pdf, p).join(' ');
            if (page.contains(QStringLiteral("Food diary summary: ") + symptom)) {
                text = page;
            }
        }
        ASSERT_FALSE(text.isEmpty()) << symptom;
        EXPECT_TRUE(text.contains(QStringLiteral("times as often as on other days, 95 % range")))
            << text.toStdString();
    }
    const QString all = [&] {
        QStringList every;
        for (int p = 1; p <= pages; ++p) {
            every.append(PdfPageLines(pdf, p));
        }
        return every.join(' ');
    }();
    EXPECT_TRUE(all.contains(QStringLiteral("1. WINE - Strong")));
    EXPECT_TRUE(all.contains(sha));
    EXPECT_TRUE(all.contains(QStringLiteral("Quorvane version ") + declared.captured(1)));
    EXPECT_TRUE(all.contains(QStringLiteral("Benjamini-Hochberg")));

    // A diary named relative to the working folder: the proposal is still a full path.
    const QString working = QDir::currentPath();
    QDir::setCurrent(dir.path());
    page.ShowAnalysis(QStringLiteral("diary.txt"));
    prompts.ExpectSave(std::nullopt);
    Child<QPushButton>(page, "SuspectSummary")->click();
    QDir::setCurrent(working);
    EXPECT_EQ(prompts.presets().back(), dir.filePath(QStringLiteral("diary-summary.pdf")));
    page.ShowAnalysis(diaryPath);

    // An existing file is asked about, with No the default; No keeps it as it was.
    QFile::resize(pdf, 10);
    prompts.ExpectSave(pdf);
    prompts.ExpectReplace(false);
    Child<QPushButton>(page, "SuspectSummary")->click();
    EXPECT_TRUE(prompts.last().text.startsWith(QDir::toNativeSeparators(pdf)));
    EXPECT_EQ(QFileInfo(pdf).size(), 10);
    EXPECT_EQ(status.size(), 1);
    prompts.ExpectSave(pdf);
    prompts.ExpectReplace(true);
    Child<QPushButton>(page, "SuspectSummary")->click();
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_EQ(status.size(), 2);

    // Writing over a folder fails like any other write.
    prompts.ExpectSave(dir.path());
    prompts.ExpectReplace(true);
    prompts.ExpectError();
    Child<QPushButton>(page, "SuspectSummary")->click();
    EXPECT_EQ(prompts.last().text, QStringLiteral("Cannot create file ") + dir.path());
}

TEST_F(SuspectsPageTest, EveryControlIsReachedByTabAndTheMnemonics) {
    ShowActive(page);
    Analyse();
    Chooser()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), Chooser());
    const char* const order[] = {"SuspectTable",   "SuspectDetails", "SuspectExportCsv",
                                 "SuspectSummary", "SuspectColumns", "SuspectPanels",
                                 "SuspectCalendar"};
    for (const char* name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* expected = Child<QWidget>(page, name);
        if (auto* tabs = qobject_cast<QTabWidget*>(expected)) {
            expected = tabs->tabBar();
        }
        EXPECT_EQ(QApplication::focusWidget(), expected) << name;
    }
    // The calendar's days are walked with the arrow keys and told in words.
    auto* calendar = Child<CalendarChart>(page, "SuspectCalendar");
    EXPECT_EQ(calendar->Cursor(), 0);
    QTest::keyClick(calendar, Qt::Key_Right);
    EXPECT_EQ(calendar->Cursor(), 1);
    EXPECT_EQ(calendar->CursorText(), QStringLiteral("Day 2: HEADACHE began"));
    QTest::keyClick(calendar, Qt::Key_Down);
    EXPECT_EQ(calendar->Cursor(), 8);
    QTest::keyClick(calendar, Qt::Key_End);
    EXPECT_EQ(calendar->Cursor(), 119);
    // The other picture is a tab away, reached from the tab bar with the arrows.
    auto* panels = Child<QTabWidget>(page, "SuspectPanels");
    panels->tabBar()->setFocus();
    QTest::keyClick(panels->tabBar(), Qt::Key_Right);
    EXPECT_EQ(panels->currentWidget()->findChild<ForestChart*>(),
              Child<ForestChart>(page, "SuspectForest"));
    // Arrow keys in the table move the selection, and with it the sentence.
    Child<QTableView>(page, "SuspectTable")->setFocus();
    const QString before = DetailsText();
    QTest::keyClick(Table(), Qt::Key_Down);
    EXPECT_EQ(Table()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(Table()->selectionModel()->selectedRows().front().row(), 1);
    EXPECT_NE(DetailsText(), before);

    // Alt+Y reaches the chooser through its label; the keyboard then picks IBS.
    QTest::keyClick(page.windowHandle(), Qt::Key_Y, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Chooser());
    QTest::keyClick(Chooser(), Qt::Key_Down);
    EXPECT_EQ(Chooser()->currentText(), QStringLiteral("IBS"));
    EXPECT_EQ(Cell(0, kViewItem), QStringLiteral("COFFEE"));

    // Alt+E presses the export button (shown pressed for a moment first); here
    // the dialog is cancelled.
    prompts.ExpectSave(std::nullopt);
    QTest::keyClick(page.windowHandle(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !prompts.asked().empty(); }));
    EXPECT_EQ(prompts.asked().size(), 1u);

    // The page's own mnemonics are its own: none repeats.
    QString letters;
    for (const QString& caption : {Child<QLabel>(page, "SuspectSymptomLabel")->text(),
                                   Child<QPushButton>(page, "SuspectExportCsv")->text(),
                                   Child<QPushButton>(page, "SuspectSummary")->text()}) {
        const auto at = caption.indexOf('&');
        ASSERT_GE(at, 0) << caption.toStdString();
        const QChar letter = caption[at + 1].toLower();
        EXPECT_FALSE(letters.contains(letter)) << caption.toStdString();
        letters += letter;
    }
}

// The table sorts itself: a ratio that is no number goes after every number, ties
// keep the engine's rank, and the current row follows its food to its new place.
TEST(SuspectsTableModelTest, SortsByFiguresAndKeepsTheCurrentRowOnItsFood) {
    SymptomSuspects group;
    const auto add = [&](const char* item, double ratio, int64_t exposed) {
        SuspectRow& row = group.Rows.emplace_back();
        row.Item = item;
        row.Rank = static_cast<int>(group.Rows.size());
        row.Risk.Ratio = ratio;
        row.Table.A = 1;
        row.Table.B = exposed - 1;
    };
    add("WINE", 3.0, 9);
    add("BREAD", std::nan(""), 40);
    add("APPLE", 0.5, 9);
    add("CHEESE", 10.0, 100);
    SuspectsTableModel model;
    model.SetSymptom(&group);
    const auto items = [&] {
        std::vector<std::string> shown;
        for (int r = 0; r < model.rowCount(); ++r) {
            shown.push_back(model.index(r, kViewItem).data().toString().toStdString());
            EXPECT_EQ(model.Row(r)->Item, shown.back());
        }
        return shown;
    };
    using Items = std::vector<std::string>;
    EXPECT_EQ(items(), (Items{"WINE", "BREAD", "APPLE", "CHEESE"}));

    const QPersistentModelIndex wine = model.index(0, kViewRiskRatio);
    model.sort(kViewRiskRatio, Qt::AscendingOrder);
    EXPECT_EQ(items(), (Items{"APPLE", "WINE", "CHEESE", "BREAD"}));
    EXPECT_EQ(wine.row(), 1);
    model.sort(kViewRiskRatio, Qt::DescendingOrder);
    EXPECT_EQ(items(), (Items{"BREAD", "CHEESE", "WINE", "APPLE"}));
    EXPECT_EQ(wine.row(), 2);
    // Equal exposures keep rank order in both directions of the figure.
    model.sort(kViewExposedDays, Qt::AscendingOrder);
    EXPECT_EQ(items(), (Items{"WINE", "APPLE", "BREAD", "CHEESE"}));
    EXPECT_EQ(model.index(0, kViewExposedDays).data().toString(), QStringLiteral("9"));

    // A new group comes in the order last chosen.
    model.sort(kViewItem, Qt::AscendingOrder);
    model.SetSymptom(&group);
    EXPECT_EQ(items(), (Items{"APPLE", "BREAD", "CHEESE", "WINE"}));
    model.SetSymptom(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.Row(0), nullptr);
}

}  // namespace
}  // namespace quorvane::testing
