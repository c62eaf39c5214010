// The window's controls, menu, resize rule, fixed texts and error box.
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <stdexcept>

#include "app/handler_guard.h"
#include "app/window_fixture.h"
#include "core/text/quorvane_error.h"
#include "pages/composer/composer_page.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

using WindowLayoutTest = WindowTest;

TEST_F(WindowLayoutTest, ControlsCarryTheirNamesPlacesAndTexts) {
    struct Expected {
        const char* name;
        QRect geometry;
    };
    const Expected controls[] = {
        {"Button1", {224, 0, 81, 17}},    {"Edit4", {304, 0, 41, 21}},
        {"RichEdit1", {0, 8, 377, 249}},  {"StringGrid1", {0, 0, 433, 273}},
        {"ProgressBar1", {8, 8, 561, 9}}, {"Memo3", {0, 0, 561, 337}},
        {"Memo4", {16, 16, 505, 289}},
    };
    for (const Expected& control : controls) {
        auto* widget = window_->findChild<QWidget*>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr) << control.name;
        EXPECT_EQ(widget->geometry(), control.geometry) << control.name;
    }
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Form1"));
    EXPECT_EQ(Child<QLineEdit>(*window_, "Edit4")->text(), QStringLiteral("170"));
    EXPECT_EQ(Child<QProgressBar>(*window_, "ProgressBar1")->maximum(), 100);
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "TabSheet6"));
    EXPECT_TRUE(Child<QAction>(*window_, "Save2")->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(*window_, "Edit6")->isHidden());

    const QStringList pages = {QStringLiteral("&Main and Print Preview"),
                               QStringLiteral("S&preadsheet"),
                               QStringLiteral("Settings &First"),
                               QString(),
                               QStringLiteral("&Agreement"),
                               QStringLiteral("&Help"),
                               QStringLiteral("&Composer"),
                               QStringLiteral("S&uspects")};
    ASSERT_EQ(Child<QTabWidget>(*window_, "PageControl1")->count(), 8);
    for (int i = 0; i < 8; ++i) {
        if (!pages[i].isEmpty()) {
            EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->tabText(i), pages[i]);
        }
    }
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->widget(2)->objectName(),
              QStringLiteral("TabSheet3"));
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->widget(6)->objectName(),
              QStringLiteral("TabSheet8"));
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->widget(7)->objectName(),
              QStringLiteral("SuspectsPage"));
}

TEST_F(WindowLayoutTest, EveryPageCaptionShowsWholeAtTheDesignWidth) {
    SeedExample();
    StartAccepted();
    window_->show();
    QApplication::processEvents();
    ASSERT_EQ(window_->ClientWidth(), 606);
    QTabBar* bar = Child<QTabWidget>(*window_, "PageControl1")->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        const QRect tab = bar->tabRect(i);
        EXPECT_GE(tab.left(), 0) << i;
        EXPECT_LT(tab.right(), bar->width()) << bar->tabText(i).toStdString();
        QString shown = bar->tabText(i);
        shown.remove(QLatin1Char('&'));
        EXPECT_GT(tab.width(), bar->fontMetrics().horizontalAdvance(shown))
            << bar->tabText(i).toStdString();
    }
}

TEST_F(WindowLayoutTest, FileMenuInOrderWithStandardKeysOnlyAndHintsNeverShown) {
    const QStringList expected = {QStringLiteral("New1"),   QStringLiteral("Open2"),
                                  QStringLiteral("Save2"),  QStringLiteral("SaveAs1"),
                                  QStringLiteral("N1"),     QStringLiteral("d1"),
                                  QStringLiteral("N2"),     QStringLiteral("PrinterSetUp1"),
                                  QStringLiteral("Print1"), QStringLiteral("Quit1")};
    QStringList names;
    for (QAction* action : Child<QMenu>(*window_, "File1")->actions()) {
        names.append(action->objectName());
        // Only the five commands the desktop has standard keys for carry one.
        const bool standard = action == Child<QAction>(*window_, "New1") ||
                              action == Child<QAction>(*window_, "Open2") ||
                              action == Child<QAction>(*window_, "Save2") ||
                              action == Child<QAction>(*window_, "Print1") ||
                              action == Child<QAction>(*window_, "Quit1");
        EXPECT_EQ(action->shortcut().isEmpty(), !standard) << action->objectName().toStdString();
    }
    EXPECT_EQ(Child<QAction>(*window_, "Print1")->shortcut(), QKeySequence(QKeySequence::Print));
    EXPECT_EQ(names, expected);
    EXPECT_EQ(Child<QMenu>(*window_, "File1")->title(), QStringLiteral("&File"));
    EXPECT_TRUE(Child<QAction>(*window_, "N1")->isSeparator());
    EXPECT_EQ(Child<QAction>(*window_, "d1")->text(), QStringLiteral("&Analysis"));
    EXPECT_EQ(Child<QAction>(*window_, "d1")->statusTip(),
              QStringLiteral("Analyse the current file"));
    EXPECT_EQ(Child<QAction>(*window_, "PrinterSetUp1")->text(),
              QStringLiteral("Printer SetUp..."));

    Child<QStatusBar>(*window_, "StatusBar1")->showMessage(QStringLiteral("notice"));
    QStatusTipEvent tip(Child<QAction>(*window_, "d1")->statusTip());
    QApplication::sendEvent(Child<QMenu>(*window_, "File1"), &tip);
    EXPECT_EQ(Child<QStatusBar>(*window_, "StatusBar1")->currentMessage(),
              QStringLiteral("notice"));
}

TEST_F(WindowLayoutTest, ResizeRuleFollowsTheClientArea) {
    SeedExample();
    StartAccepted();
    window_->show();
    window_->resize(800, 600 + window_->menuBar()->height());
    QApplication::processEvents();
    ASSERT_EQ(window_->ClientWidth(), 800);
    ASSERT_EQ(window_->ClientHeight(), 600);

    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->size(), QSize(780, 560));
    EXPECT_EQ(Child<QPlainTextEdit>(*window_, "RichEdit1")->size(), QSize(760, 520));
    EXPECT_EQ(Child<QTableView>(*window_, "StringGrid1")->size(), QSize(760, 520));
    EXPECT_EQ(Child<QPlainTextEdit>(*window_, "RichEdit2")->size(), QSize(569, 177));
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->pos(), QPoint(0, 16));
    EXPECT_EQ(Child<QStatusBar>(*window_, "StatusBar1")->geometry().bottom(), 599);
    EXPECT_EQ(Child<QStatusBar>(*window_, "StatusBar1")->width(), 800);

    // A window too small for the rule gives empty controls, not negative sizes.
    window_->resize(10, 10 + window_->menuBar()->height());
    QApplication::processEvents();
    EXPECT_EQ(Child<QPlainTextEdit>(*window_, "RichEdit1")->size(), QSize(0, 0));
}

TEST_F(WindowLayoutTest, DesignClientAreaGivesDesignSizes) {
    SeedExample();
    StartAccepted();
    window_->show();
    QApplication::processEvents();
    ASSERT_EQ(window_->ClientWidth(), 606);
    ASSERT_EQ(window_->ClientHeight(), 420);
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->size(), QSize(586, 380));
    EXPECT_EQ(Child<QPlainTextEdit>(*window_, "RichEdit1")->size(), QSize(566, 340));
}

TEST_F(WindowLayoutTest, FixedTexts) {
    const QStringList help =
        Child<QPlainTextEdit>(*window_, "Memo4")->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(help.size(), 74);
    EXPECT_EQ(help[0], QStringLiteral("HELP"));
    EXPECT_EQ(help[4], QStringLiteral("A.    Writing the Environmental Conditions."));
    EXPECT_EQ(help[26], QStringLiteral("   a mouth ulcer may take 10 days to heal, just record "
                                       "the first time you see it."));
    EXPECT_EQ(help[43], QStringLiteral(" steak, potato, fruit salad,$, white wine, #,"));
    EXPECT_EQ(help[71],
              QStringLiteral("5. Double click on your Environmental Conditions file. example "
                             "c:\\Ambry\\myFile.txt"));
    EXPECT_EQ(help[73], QStringLiteral("7. Show your results to your Doctor."));

    const QStringList agreement =
        Child<QPlainTextEdit>(*window_, "Memo3")->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(agreement.size(), 16);  // empty, eleven disclaimer lines, empty, three notes
    EXPECT_EQ(agreement[0], QString());
    EXPECT_EQ(agreement[12], QString());
    EXPECT_EQ(agreement[13], QStringLiteral("1. This program produces Environmental Art."));
    EXPECT_EQ(agreement[14],
              QStringLiteral("2. If you need help making Environmental Art see the HELP page."));
    EXPECT_EQ(Child<QPlainTextEdit>(*window_, "Memo3")->verticalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOff);
}

TEST(ErrorBoxTest, FullStopOnlyAfterCharactersAboveTheFullStop) {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"Cannot open file notes.txt", "Cannot open file notes.txt."},
        {"Already ends.", "Already ends."},
        {"", ""},
        {"List index out of bounds (5)", "List index out of bounds (5)"},  // ')' is below '.'
        {"ends in a digit 7", "ends in a digit 7."},
        {"ends in a dash -", "ends in a dash -"},
        {"ends in a slash /", "ends in a slash /."},
        {"trailing blank ", "trailing blank "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorBoxText(QString::fromLatin1(c.message)), QString::fromLatin1(c.shown))
            << c.message;
    }
    EXPECT_EQ(ErrorBoxText(QStringLiteral("caf\u00e9")), QStringLiteral("caf\u00e9."));
}

TEST(ErrorBoxTest, MessagesDecodeAsUtf8OrBytes) {
    EXPECT_EQ(MessageFromBytes("Cannot open file d\xc3\xa9j\xc3\xa0.txt"),
              QStringLiteral("Cannot open file d\u00e9j\u00e0.txt"));
    EXPECT_EQ(MessageFromBytes("'caf\xe9' is not a valid integer value"),
              QStringLiteral("'caf\u00e9' is not a valid integer value"));
}

TEST(ErrorBoxTest, GuardShowsEveryErrorAndLetsNoneThrough) {
    ScriptedPrompts prompts;
    prompts.ExpectError();
    prompts.ExpectError();
    // A handler of three steps whose second fails: the first stays done.
    std::vector<std::string> done;
    const auto step = [&done](const char* name, bool fails) {
        done.emplace_back(name);
        if (fails) {
            throw QuorvaneError("File not found");
        }
    };
    EXPECT_NO_THROW(RunGuarded(prompts, [&] {
        step("save", false);
        step("read", true);
        step("report", false);
    }));
    EXPECT_EQ(done, (std::vector<std::string>{"save", "read"}));
    EXPECT_EQ(prompts.asked()[0].text, QStringLiteral("File not found."));
    EXPECT_NO_THROW(RunGuarded(prompts, [] { throw std::out_of_range("index 9"); }));
    EXPECT_EQ(prompts.asked()[1].text, QStringLiteral("index 9."));
    EXPECT_NO_THROW(RunGuarded(prompts, [] {}));
    EXPECT_TRUE(prompts.AllAnswered());
}

}  // namespace
}  // namespace quorvane::testing
