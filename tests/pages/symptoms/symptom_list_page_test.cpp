#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <iterator>

#include "core/settings/profile_file.h"
#include "pages/page_test_harness.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

class SymptomListPageTest : public PageTest {
  protected:
    SymptomListPageTest() : page(Services(), [this] { ++headingRefreshes; }) {
        page.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&page));
    }

    QStringList Lines() const {
        QStringList lines;
        for (int i = 0; i < Child<QListWidget>(page, "ListBox2")->count(); ++i) {
            lines << Child<QListWidget>(page, "ListBox2")->item(i)->text();
        }
        return lines;
    }

    // A double-click on a line with the events a real one delivers: press,
    // release, press, double-click, release.
    void DoubleClickLine(int line) {
        QListWidget* list = Child<QListWidget>(page, "ListBox2");
        list->scrollToItem(list->item(line));
        QWidget* viewport = list->viewport();
        const QPoint centre = list->visualItemRect(list->item(line)).center();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, centre);
        QTest::mousePress(viewport, Qt::LeftButton, {}, centre);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, centre);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre);
    }

    std::string FileBytes() const {
        std::ifstream in(SettingsFile(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    int headingRefreshes = 0;
    SymptomListPage page;
};

TEST_F(SymptomListPageTest, ShowsTheTwentyUserSlotsAndTheMinimumCount) {
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 20);
    for (int slot = kFirstUserSymptom; slot <= kLastUserSymptom; ++slot) {
        EXPECT_EQ(lines[slot - 2].toLatin1().toStdString(), symptoms.Name(slot));
    }
    EXPECT_FALSE(lines.contains("RANDOM"));
    EXPECT_FALSE(lines.contains("TOTAL"));
    EXPECT_EQ(page.MinimumCountText(), "3");

    Child<QLineEdit>(page, "Edit2")->setText("12");
    EXPECT_EQ(page.MinimumCountText(), "12");
}

struct RenameCase {
    const char* label;
    std::string storedBefore;       // slot 4 (line 2) before the rename
    std::optional<QString> answer;  // nullopt: Cancel
    std::string storedAfter;
};

void PrintTo(const RenameCase& c, std::ostream* os) {
    *os << c.label;
}

class SymptomRenameTest : public SymptomListPageTest,
                          public ::testing::WithParamInterface<RenameCase> {};

TEST_P(SymptomRenameTest, DoubleClickRenamesTheLineAndRefreshesTheHeadings) {
    const RenameCase& c = GetParam();
    symptoms.SetName(4, c.storedBefore);
    page.RefillList();

    prompts.ExpectInput(c.answer);
    DoubleClickLine(2);

    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.last().title, "Enter New Symptom to monitor");
    EXPECT_EQ(prompts.last().text, "The Present Symptom is");
    EXPECT_EQ(prompts.presets().back().toLatin1().toStdString(), c.storedBefore);
    EXPECT_EQ(symptoms.Name(4), c.storedAfter);
    EXPECT_EQ(Lines()[2].toLatin1().toStdString(), c.storedAfter);
    EXPECT_TRUE(Child<QListWidget>(page, "ListBox2")->selectedItems().isEmpty());
    EXPECT_EQ(headingRefreshes, 1);
    EXPECT_EQ(symptoms.Name(3), SymptomTable::BuiltInName(3));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SymptomRenameTest,
    ::testing::Values(
        RenameCase{"LowerCase", "NAUSEA", QString("migraine"), "MIGRAINE"},
        RenameCase{"FortyCharacters", "NAUSEA", QString(40, QChar('x')), std::string(30, 'X')},
        RenameCase{"DigitKeepsItSilent", "NAUSEA", QString("Wheat 2"), "WHEAT 2"},
        RenameCase{"CancelKeepsTheName", "NAUSEA", std::nullopt, "NAUSEA"},
        RenameCase{"CancelRaisesAStoredLowerCaseName", "nausea", std::nullopt, "NAUSEA"},
        RenameCase{"OnlyAToZAreRaised", "NAUSEA", QString::fromLatin1("caf\xe9 \xb5-x_1"),
                   "CAF\xe9 \xb5-X_1"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SymptomListPageTest, TwoSlotsMayHoldTheSameName) {
    prompts.ExpectInput(QString("headache"));
    DoubleClickLine(1);
    EXPECT_EQ(symptoms.Name(3), "HEADACHE");
    EXPECT_EQ(Lines()[0], "HEADACHE");
    EXPECT_EQ(Lines()[1], "HEADACHE");
}

TEST_F(SymptomListPageTest, DoubleClickWithoutASelectedLineAsksNothing) {
    prompts.ExpectError();
    Services().guard([this] { page.ListBox1DblClick(); });
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.last().text, "List index out of bounds (-1)");
    EXPECT_EQ(headingRefreshes, 0);
    EXPECT_EQ(Lines()[0].toLatin1().toStdString(), SymptomTable::BuiltInName(2));
}

TEST_F(SymptomListPageTest, SetDefaultAndLoadDefaultRoundTrip) {
    prompts.ExpectConfirm(false);
    Child<QPushButton>(page, "Button2")->click();
    EXPECT_EQ(prompts.last().text, "Continue to permanently change default settings?");
    EXPECT_TRUE(FileBytes().empty()) << "No must write nothing";

    symptoms.SetName(2, "MIGRAINE");
    symptoms.SetName(21, "RASH");
    prompts.ExpectConfirm(true);
    Child<QPushButton>(page, "Button2")->click();

    symptoms.SetName(2, "CHANGED");
    symptoms.SetName(21, "CHANGED TOO");
    page.RefillList();
    Child<QPushButton>(page, "Button3")->click();  // no confirmation
    EXPECT_EQ(symptoms.Name(2), "MIGRAINE");
    EXPECT_EQ(symptoms.Name(21), "RASH");
    EXPECT_EQ(Lines().front(), "MIGRAINE");
    EXPECT_EQ(Lines().back(), "RASH");
    EXPECT_EQ(headingRefreshes, 0) << "Load Default leaves the results headings alone";
}

TEST_F(SymptomListPageTest, LoadDefaultWithoutAFileGivesNumberedPlaceholders) {
    Child<QPushButton>(page, "Button3")->click();
    EXPECT_EQ(Lines()[0], "2_________");
    EXPECT_EQ(Lines()[13], "15_________");
    EXPECT_EQ(Lines()[19], "21_________");
}

TEST_F(SymptomListPageTest, HostileNamesStoredWithSetDefaultKeepEveryOtherKey) {
    ProfileFile before(SettingsFile());
    before.WriteString("Configuration", "MainFile", "diary.txt");
    before.WriteString("Composer", "7", "beef");

    const QString hostile[] = {QString(255, QChar('[')), QString("a=b]\t[Composer"),
                               QString::fromLatin1("x\x01\x7f\x1b=y")};
    for (int line = 0; line < 3; ++line) {
        prompts.ExpectInput(hostile[line]);
        DoubleClickLine(line);
    }
    prompts.ExpectConfirm(true);
    Child<QPushButton>(page, "Button2")->click();

    const ProfileFile after(SettingsFile());
    EXPECT_EQ(after.ReadString("Configuration", "MainFile", "?"), "diary.txt");
    EXPECT_EQ(after.ReadString("Composer", "7", "?"), "beef");
    for (int slot = kFirstUserSymptom; slot <= kLastUserSymptom; ++slot) {
        EXPECT_EQ(after.ReadString("Symptoms", std::to_string(slot), "?"), symptoms.Name(slot))
            << "slot " << slot;
    }
}

}  // namespace
}  // namespace quorvane::testing
