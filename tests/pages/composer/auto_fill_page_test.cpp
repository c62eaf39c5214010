#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "pages/composer/composer_page_fixture.h"

namespace quorvane::testing {
namespace {

class AutoFillPageTest : public ComposerPageTest {
  protected:
    AutoFillPageTest() {
        analysis.Items().SetUp();
        // ITEM0 to ITEM9 eaten three times each, JAM twice, KALE once.
        for (int n = 0; n < 3; ++n) {
            for (int i = 0; i < 10; ++i) {
                analysis.Items().AddOccurrence("ITEM" + std::to_string(i));
            }
        }
        analysis.Items().AddOccurrence("JAM");
        analysis.Items().AddOccurrence("JAM");
        analysis.Items().AddOccurrence("KALE");
        page->SetWords(DefaultComposerWords());
        page->ShowAutoFillControls();
    }

    // Types the threshold and leaves the box, as the user does.
    void EnterThreshold(const QString& text) {
        Child<QLineEdit>(*page, "Edit6")->setFocus();
        Child<QLineEdit>(*page, "Edit6")->setText(text);
        Child<QPlainTextEdit>(*page, "RichEdit2")->setFocus();
    }

    // Rows 1 to 5 read row by row.
    std::vector<std::string> FilledCells() const {
        const ComposerWords words = page->Words();
        std::vector<std::string> cells;
        for (int r = 1; r < kComposerRows; ++r) {
            for (int c = 0; c < kComposerColumns; ++c) {
                cells.push_back(words[c][r]);
            }
        }
        return cells;
    }

    static std::vector<std::string> Expected(std::vector<std::string> names) {
        for (std::string& name : names) {
            name += ", ";
        }
        names.resize(40);
        return names;
    }
};

TEST_F(AutoFillPageTest, LeavingTheBoxFillsTheItemsEatenAtLeastTTimesRowByRow) {
    EXPECT_EQ(Child<QLineEdit>(*page, "Edit6")->text(), "6");
    EnterThreshold("3");
    EXPECT_EQ(FilledCells(), Expected({"ITEM0", "ITEM1", "ITEM2", "ITEM3", "ITEM4", "ITEM5",
                                       "ITEM6", "ITEM7", "ITEM8", "ITEM9"}));
    const ComposerWords words = page->Words();
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(words[c][0], FixedRowTokens()[c]);
    }
    EXPECT_EQ(words[4][0], " ");
    for (int c = 5; c < kComposerColumns; ++c) {
        EXPECT_EQ(words[c][0], DefaultComposerWords()[c][0]) << "column " << c;
    }

    EnterThreshold("2");  // JAM, eaten exactly twice, now qualifies
    EXPECT_EQ(FilledCells(), Expected({"ITEM0", "ITEM1", "ITEM2", "ITEM3", "ITEM4", "ITEM5",
                                       "ITEM6", "ITEM7", "ITEM8", "ITEM9", "JAM"}));
    EnterThreshold("1");
    EXPECT_EQ(FilledCells().front(), "AAA, ");
    EXPECT_EQ(FilledCells()[12], "KALE, ");
    EnterThreshold("4");
    EXPECT_EQ(FilledCells(), Expected({}));
}

TEST_F(AutoFillPageTest, ThresholdsThatFillNothingLeaveTheGrid) {
    const ComposerWords before = page->Words();
    EnterThreshold("0");
    EnterThreshold("-5");
    EXPECT_EQ(page->Words(), before);

    prompts.ExpectError();
    EnterThreshold("three");
    EXPECT_EQ(prompts.last().text, "'three' is not a valid integer value");
    EXPECT_EQ(page->Words(), before);

    analysis.Items().Discard();  // an analysis run in progress
    EnterThreshold("1");
    EXPECT_EQ(page->Words(), before);
}

TEST_F(AutoFillPageTest, AutoRaisesTheThresholdByOneEachTickUntilStopped) {
    const ComposerWords before = page->Words();
    Child<QPushButton>(*page, "buttonNew")->click();
    EXPECT_EQ(Child<QLineEdit>(*page, "Edit6")->text(), "3");
    EXPECT_TRUE(Child<QTimer>(*page, "Timer1")->isActive());
    EXPECT_EQ(Child<QTimer>(*page, "Timer1")->interval(), 1000);
    EXPECT_EQ(Child<QPushButton>(*page, "buttonNew")->text(), "stop");
    EXPECT_EQ(page->Words(), before) << "the first fill comes with the first tick";

    Child<QLineEdit>(*page, "Edit6")->setText("1");
    page->Timer1Timer();
    EXPECT_EQ(Child<QLineEdit>(*page, "Edit6")->text(), "2");
    EXPECT_EQ(FilledCells()[10], "JAM, ");
    page->Timer1Timer();
    EXPECT_EQ(Child<QLineEdit>(*page, "Edit6")->text(), "3");
    EXPECT_EQ(FilledCells()[10], "");

    Child<QPushButton>(*page, "buttonNew")->click();
    EXPECT_FALSE(Child<QTimer>(*page, "Timer1")->isActive());
    EXPECT_EQ(Child<QPushButton>(*page, "buttonNew")->text(), "Auto");
    EXPECT_EQ(FilledCells()[9], "ITEM9, ") << "stop keeps the last fill";

    minimumCount = "7";
    Child<QPushButton>(*page, "buttonNew")->click();
    EXPECT_EQ(Child<QLineEdit>(*page, "Edit6")->text(), "7");
    Child<QPushButton>(*page, "buttonNew")->click();
}

TEST_F(AutoFillPageTest, AFailingTickStopsTheTimerBeforeItIsReported) {
    struct Case {
        QString edit6;
        QString message;
    };
    const Case cases[] = {{"x1", "'x1' is not a valid integer value"},
                          {"2147483647", "Integer overflow"}};
    // Quick ticks: any tick after the failing one would ask a box nobody expects.
    Child<QTimer>(*page, "Timer1")->setInterval(5);
    for (const Case& c : cases) {
        Child<QPushButton>(*page, "buttonNew")->click();
        Child<QLineEdit>(*page, "Edit6")->setText(c.edit6);
        bool runningAtReport = true;
        beforeErrorBox = [&] {
            runningAtReport = Child<QTimer>(*page, "Timer1")->isActive() ||
                              Child<QPushButton>(*page, "buttonNew")->text() != "Auto";
        };
        prompts.ExpectError();
        // A real tick, so it comes through the same connection as in the program.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !prompts.asked().empty(); }, 10000));
        EXPECT_EQ(prompts.last().text, c.message);
        EXPECT_FALSE(runningAtReport);
        EXPECT_FALSE(Child<QTimer>(*page, "Timer1")->isActive());
        EXPECT_EQ(Child<QLineEdit>(*page, "Edit6")->text(), c.edit6);
        QTest::qWait(50);
        EXPECT_EQ(prompts.asked().size(), 1u) << "reported once";
        prompts = ScriptedPrompts();
    }
}

TEST_F(AutoFillPageTest, ATickWhileTheItemListIsReleasedDoesNothing) {
    EnterThreshold("1");
    const ComposerWords before = page->Words();
    Child<QPushButton>(*page, "buttonNew")->click();
    Child<QLineEdit>(*page, "Edit6")->setText("1");
    analysis.Items().Discard();
    page->Timer1Timer();
    EXPECT_EQ(Child<QLineEdit>(*page, "Edit6")->text(), "1");
    EXPECT_EQ(page->Words(), before);
    EXPECT_TRUE(Child<QTimer>(*page, "Timer1")->isActive());

    analysis.Items().SetUp();  // the new read has begun
    analysis.Items().AddOccurrence("PEAR");
    page->Timer1Timer();
    EXPECT_EQ(Child<QLineEdit>(*page, "Edit6")->text(), "2");
    EXPECT_EQ(FilledCells().front(), "");
    Child<QPushButton>(*page, "buttonNew")->click();
}

}  // namespace
}  // namespace quorvane::testing
