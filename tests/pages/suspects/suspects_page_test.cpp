// The Suspects page driven as a user would: choose, sort, select, export.
#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <cmath>
#include <fstream>
#include <sstream>

#include "core/evidence/not_foods.h"
#include "core/evidence/suspects_text.h"
#include "core/settings/profile_file.h"
#include "pages/page_test_harness.h"
#include "pages/suspects/suspects_charts.h"
#include "pages/suspects/suspects_page.h"
#include "pages/suspects/suspects_table_model.h"
#include "support/find_child.h"
#include "ui/print_pdf_support.h"
#include "ui/recovery_file.h"

namespace quorvane::testing {
namespace {

// Wine every fifth day and a headache the day after; coffee every sixth day and
// IBS two days later; kiwi now and then; bread and tea alternate; the vitamin is
// one of the user's Not Foods; RANDOM, the symptom no one monitors, now and then.
QByteArray TwoSymptomDiary() {
    QByteArray text = "Monday March 1\r\n";
    for (int d = 0; d < 120; ++d) {
        QByteArray words = d % 2 == 0 ? "bread" : "tea";
        if (d % 5 == 0) {
            words += ", wine";
        }
        if (d % 5 == 1) {
            words += ", headache";
        }
        if (d % 6 == 0) {
            words += ", coffee";
        }
        if (d % 6 == 2) {
            words += ", ibs";
        }
        if (d % 20 == 3) {
            words += ", kiwi";
        }
        if (d % 3 == 0) {
            words += ", vitamin";
        }
        if (d % 9 == 4) {
            words += ", random";
        }
        text += words + ", #,\r\n";
    }
    return text;
}

class SuspectsPageTest : public PageTest {
  protected:
    SuspectsPageTest() : page(Services()) {
        page.resize(900, 640);
        diaryPath = dir.filePath(QStringLiteral("diary.txt"));
        QFile diary(diaryPath);
        EXPECT_TRUE(diary.open(QIODevice::WriteOnly));
        diary.write(TwoSymptomDiary());
        diary.close();
        ProfileFile(SettingsFile()).WriteString("Not Foods", "1", "Vitamin");
    }

    // The window's run, as far as the page needs it: one read gathering the
    // evidence, then the totals, which finish it.
    void Analyse() {
        analysis.Reset();
        ReadHooks hooks;
        hooks.GatherEvidence = true;
        analysis.Read(diaryPath.toStdString(), hooks);
        analysis.ComputeTotals(1);
        page.ShowAnalysis(diaryPath);
        engine = FindSuspects(analysis.Evidence(), analysis.Items(),
                              ReadNotFoods(ProfileFile(SettingsFile())));
    }

    QTableView* Table() { return Child<QTableView>(page, "SuspectTable"); }
    QComboBox* Chooser() { return Child<QComboBox>(page, "SuspectSymptom"); }
    QString Cell(int row, int column) {
        return Table()->model()->index(row, column).data().toString();
    }
    const SymptomSuspects& Shown() {
        for (const SymptomSuspects& group : engine.Symptoms) {
            if (QString::fromLatin1(group.Name) == Chooser()->currentText()) {
                return group;
            }
        }
        ADD_FAILURE() << "no symptom " << Chooser()->currentText().toStdString();
        return engine.Symptoms.front();
    }
    QString DetailsText() { return Child<QPlainTextEdit>(page, "SuspectDetails")->toPlainText(); }
    const SuspectRow& EngineRow(const QString& item) {
        for (const SuspectRow& row : Shown().Rows) {
            if (QString::fromLatin1(row.Item) == item) {
                return row;
            }
        }
        ADD_FAILURE() << "no row " << item.toStdString();
        return Shown().Rows.front();
    }

    std::string CsvBytes() const {
        std::ostringstream out;
        WriteSuspectsTable(engine, TableFormat::Csv, out);
        return out.str();
    }
    static std::string FileBytes(const QString& path) {
        std::ifstream in(path.toStdString(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    QString diaryPath;
    SuspectsResult engine;
    SuspectsPage page;
};

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
            EXPECT_EQ(Cell(r, kViewTier), QString::fromLatin1(TierName(row.Tier)));
            EXPECT_EQ(Cell(r, kViewExposedDays), QString::number(row.Table.A + row.Table.B));
        }
        // The planted trigger comes first; the user's Not Foods never show.
        EXPECT_EQ(Cell(0, kViewItem), choice == 0 ? "WINE" : "COFFEE");
        EXPECT_EQ(Cell(0, kViewTier), "strong");
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
    const auto column = [&](int c) {
        std::vector<double> values;
        for (int r = 0; r < Table()->model()->rowCount(); ++r) {
            values.push_back(Cell(r, c).toDouble());
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

    clickHeader(kViewQ);
    std::vector<double> q = column(kViewQ);
    EXPECT_TRUE(std::is_sorted(q.begin(), q.end()));
    EXPECT_LT(q.front(), 0.01);  // written with an exponent: text order would differ

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
    EXPECT_TRUE(DetailsText().contains("Episodes with it in the two days before"))
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
    EXPECT_EQ(prompts.presets().back(), dir.filePath(QStringLiteral("suspects.csv")));

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

TEST_F(SuspectsPageTest, TheSummaryHasAPagePerSymptomWithTheFingerprintAndVersion) {
    Analyse();
    const QString pdf = dir.filePath(QStringLiteral("summary.pdf"));
    prompts.ExpectSave(pdf);
    Child<QPushButton>(page, "SuspectSummary")->click();
    ASSERT_TRUE(QFile::exists(pdf));
    ASSERT_EQ(PdfPageCount(pdf), 2);

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

    const char* const symptomsShown[] = {"HEADACHE", "IBS"};
    for (int p = 1; p <= 2; ++p) {
        const QString text = PdfPageLines(pdf, p).join(' ');
        EXPECT_TRUE(text.contains(QStringLiteral("Food diary summary: ") + symptomsShown[p - 1]))
            << text.toStdString();
        EXPECT_TRUE(text.contains(sha)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Quorvane version ") + declared.captured(1)));
        EXPECT_TRUE(text.contains(QStringLiteral("Monday March 1"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("120 days written")));
        EXPECT_TRUE(text.contains(QStringLiteral("Benjamini-Hochberg")));
    }
    EXPECT_TRUE(PdfPageLines(pdf, 1).join(' ').contains(QStringLiteral("1. WINE - strong")));

    // Writing over a folder fails like any other write.
    prompts.ExpectSave(dir.path());
    prompts.ExpectError();
    Child<QPushButton>(page, "SuspectSummary")->click();
    EXPECT_EQ(prompts.last().text, QStringLiteral("Cannot create file ") + dir.path());
}

TEST_F(SuspectsPageTest, EveryControlIsReachedByTabAndTheMnemonics) {
    ShowActive(page);
    Analyse();
    Chooser()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), Chooser());
    const char* const order[] = {"SuspectTable", "SuspectDetails", "SuspectExportCsv",
                                 "SuspectSummary"};
    for (const char* name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Child<QWidget>(page, name)) << name;
    }
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
