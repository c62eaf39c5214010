// The person's foods from the Suspects page: the "Same food?" list and the
// ingredients editor, with the suspects found again from the read held.
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "core/foods/food_groups.h"
#include "core/settings/profile_file.h"
#include "pages/page_test_harness.h"
#include "pages/suspects/suspects_page.h"
#include "pages/suspects/suspects_table_model.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

// Wheat in toast and pasta, a headache the day after; eggs written two ways and
// raisins misspelt once.
QByteArray WheatDiary() {
    QByteArray text;
    for (int d = 0; d < 120; ++d) {
        text += d % 2 == 0 ? "egg, " : "eggs, ";
        text += d % 4 == 0 ? (d % 8 == 0 ? "toast, " : "pasta, ") : "";
        text += d % 4 == 1 ? "headache, " : "";
        text += d % 3 == 0 ? (d == 33 ? "raisen, " : "raisin, ") : "";
        text += "#,\r\n";
    }
    return text;
}

class FoodsPaneTest : public PageTest {
  protected:
    FoodsPaneTest() : page(Services()) {
        diaryPath = dir.filePath(QStringLiteral("diary.txt"));
        QFile diary(diaryPath);
        EXPECT_TRUE(diary.open(QIODevice::WriteOnly));
        diary.write(WheatDiary());
        diary.close();
        analysis.Reset();
        ReadHooks hooks;
        hooks.GatherEvidence = true;
        analysis.Read(diaryPath.toStdString(), hooks);
        analysis.ComputeTotals(1);
        page.ShowAnalysis(diaryPath);
        // Nothing below may read the diary again.
        EXPECT_TRUE(QFile::remove(diaryPath));
    }

    QStringList Items() {
        QStringList items;
        QAbstractItemModel* model = Child<QTableView>(page, "SuspectTable")->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            items << model->index(r, kViewItem).data().toString();
        }
        return items;
    }
    QStringList Suggestions() {
        QStringList texts;
        QListWidget* list = Child<QListWidget>(page, "SameFoodList");
        for (int r = 0; r < list->count(); ++r) {
            texts << list->item(r)->text();
        }
        return texts;
    }
    std::string Setting(const char* section, const char* key) {
        return ProfileFile(SettingsFile()).ReadString(section, key, "<absent>");
    }
    void Click(const char* name) {
        QTest::mouseClick(Child<QPushButton>(page, name), Qt::LeftButton);
    }

    QString diaryPath;
    SuspectsPage page;
};

TEST_F(FoodsPaneTest, MergeAndNotTheSameAreRememberedAndTheSuspectsFollow) {
    EXPECT_EQ(Suggestions(), (QStringList{"EGGS (60) is EGG (60)? plural",
                                          "RAISEN (1) is RAISIN (39)? spelling"}));
    EXPECT_TRUE(Items().contains("RAISEN"));
    Child<QListWidget>(page, "SameFoodList")->setCurrentRow(1);
    Click("SameFoodMerge");
    EXPECT_EQ(Setting("Aliases", "RAISEN"), "RAISIN");
    EXPECT_FALSE(Items().contains("RAISEN"));
    EXPECT_TRUE(Items().contains("RAISIN"));
    EXPECT_EQ(Suggestions(), QStringList{"EGGS (60) is EGG (60)? plural"});

    Click("SameFoodNotSame");
    EXPECT_EQ(Setting("Not Same", "EGG"), "EGGS");
    EXPECT_TRUE(Suggestions().isEmpty());
    EXPECT_FALSE(Child<QPushButton>(page, "SameFoodMerge")->isEnabled());
    EXPECT_TRUE(Items().contains("EGGS"));
    EXPECT_TRUE(page.HasResults());
}

TEST_F(FoodsPaneTest, IngredientsAreEditedUndoneAndRedone) {
    auto* table = Child<QTableWidget>(page, "IngredientsTable");
    EXPECT_FALSE(Items().contains("WHEAT"));
    prompts.ExpectInput(QStringLiteral("toast"));
    prompts.ExpectInput(QStringLiteral("wheat, butter"));
    Click("IngredientsAdd");
    prompts.ExpectInput(QStringLiteral("Pasta"));
    prompts.ExpectInput(QStringLiteral("wheat"));
    Click("IngredientsAdd");
    EXPECT_EQ(Setting("Ingredients", "TOAST"), "WHEAT, BUTTER");
    EXPECT_EQ(Setting("Ingredients", "PASTA"), "WHEAT");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), "PASTA");
    EXPECT_EQ(Items().value(0), "WHEAT");  // the trigger behind both dishes
    EXPECT_TRUE(Items().contains("BUTTER"));

    table->item(0, 1)->setText(QStringLiteral("wheat, egg"));
    QCoreApplication::processEvents();
    EXPECT_EQ(Setting("Ingredients", "PASTA"), "WHEAT, EGG");
    EXPECT_EQ(table->item(0, 1)->text(), "WHEAT, EGG");

    table->setCurrentCell(1, 0);
    Click("IngredientsRemove");
    EXPECT_EQ(Setting("Ingredients", "TOAST"), "");
    EXPECT_FALSE(Items().contains("BUTTER"));

    Click("IngredientsUndo");  // the removal
    EXPECT_EQ(Setting("Ingredients", "TOAST"), "WHEAT, BUTTER");
    Click("IngredientsUndo");  // the edit
    EXPECT_EQ(Setting("Ingredients", "PASTA"), "WHEAT");
    Click("IngredientsUndo");
    Click("IngredientsUndo");
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_FALSE(Items().contains("WHEAT"));
    EXPECT_FALSE(Child<QPushButton>(page, "IngredientsUndo")->isEnabled());
    Click("IngredientsRedo");
    EXPECT_EQ(Setting("Ingredients", "TOAST"), "WHEAT, BUTTER");
    EXPECT_TRUE(Items().contains("WHEAT"));

    // Cancelled boxes change nothing.
    prompts.ExpectInput(std::nullopt);
    Click("IngredientsAdd");
    EXPECT_EQ(table->rowCount(), 1);
}

}  // namespace
}  // namespace quorvane::testing
