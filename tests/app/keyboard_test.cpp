// Every command and page within reach of the keyboard, and the accessible names
// a screen reader announces. Keys go through the window system's path, so the
// shortcut map, mnemonics and open menus see them as they see a real keyboard.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <vector>

#include "app/window_fixture.h"
#include "pages/composer/composer_page.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

class KeyboardTest : public WindowTest {
  protected:
    // Started with the agreement accepted, shown and active: the Composer page in
    // front and the focus in the diary editor.
    void StartShown() {
        SeedExample();
        StartAccepted();
        window_->show();
        QApplication::setActiveWindow(window_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        ASSERT_EQ(Page(), Child<ComposerPage>(*window_, "TabSheet8"));
        ASSERT_EQ(Focus(), Child<QPlainTextEdit>(*window_, "RichEdit2"));
    }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window_->windowHandle(), key, modifiers);
    }
    QWidget* Page() const { return Child<QTabWidget>(*window_, "PageControl1")->currentWidget(); }
    static QWidget* Focus() { return QApplication::focusWidget(); }
    bool FocusInsidePages() const {
        return Focus() != nullptr &&
               Child<QTabWidget>(*window_, "PageControl1")->isAncestorOf(Focus());
    }
};

TEST_F(KeyboardTest, AltWithAPageMnemonicBringsThatPage) {
    StartShown();
    const struct {
        Qt::Key key;
        QWidget* page;
    } rows[] = {
        {Qt::Key_M, Child<QWidget>(*window_, "TabSheet1")},
        {Qt::Key_P, Child<QWidget>(*window_, "TabSheet2")},
        {Qt::Key_R, Child<QWidget>(*window_, "Tabsheet4")},
        {Qt::Key_A, Child<QWidget>(*window_, "TabSheet5")},
        {Qt::Key_H, Child<QWidget>(*window_, "TabSheet6")},
        {Qt::Key_U, Child<QWidget>(*window_, "SuspectsPage")},
        {Qt::Key_M, Child<QWidget>(*window_, "TabSheet1")},
    };
    for (const auto& row : rows) {
        Press(row.key, Qt::AltModifier);
        EXPECT_EQ(Page(), row.page) << QTest::toString(QKeySequence(row.key));
    }
}

TEST_F(KeyboardTest, AltFOpensTheFileMenuNotTheSettingsPage) {
    StartShown();
    Press(Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), Child<QMenu>(*window_, "File1"));
    EXPECT_EQ(Page(), Child<ComposerPage>(*window_, "TabSheet8"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(KeyboardTest, AltCTakesTurnsBetweenSetColumnsAndTheComposerPage) {
    StartShown();
    Press(Qt::Key_H, Qt::AltModifier);
    ASSERT_EQ(Page(), Child<QWidget>(*window_, "TabSheet6"));

    // First the button takes the focus without being pressed...
    Press(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(Focus(), Child<QPushButton>(*window_, "Button1"));
    EXPECT_EQ(Page(), Child<QWidget>(*window_, "TabSheet6"));
    EXPECT_EQ(window_->ColumnWidth(), 160);
    // ...then the page comes to the front.
    Press(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(Page(), Child<ComposerPage>(*window_, "TabSheet8"));

    // Space presses the focused button: "Set Columns" takes the width from Edit4.
    Child<QPushButton>(*window_, "Button1")->setFocus();
    Press(Qt::Key_Space);
    EXPECT_EQ(window_->ColumnWidth(), 170);
}

TEST_F(KeyboardTest, CtrlTabStepsThroughEveryPageKeepingTheFocusInside) {
    StartShown();
    QTabWidget& pages = *Child<QTabWidget>(*window_, "PageControl1");
    const int count = pages.count();
    for (int step = 1; step <= count; ++step) {
        Press(Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(pages.currentIndex(),
                  (pages.indexOf(Child<ComposerPage>(*window_, "TabSheet8")) + step) % count)
            << "step " << step;
        EXPECT_TRUE(FocusInsidePages()) << "step " << step;
    }
    // Back on the Composer page, the focus entered it and went to the editor.
    EXPECT_EQ(Page(), Child<ComposerPage>(*window_, "TabSheet8"));
    EXPECT_EQ(Focus(), Child<QPlainTextEdit>(*window_, "RichEdit2"));

    for (int step = 1; step <= count; ++step) {
        Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(pages.currentIndex(), (pages.indexOf(Child<ComposerPage>(*window_, "TabSheet8")) -
                                         step % count + count) %
                                            count)
            << "step back " << step;
        EXPECT_TRUE(FocusInsidePages()) << "step back " << step;
    }
    EXPECT_EQ(Focus(), Child<QPlainTextEdit>(*window_, "RichEdit2"));
}

TEST_F(KeyboardTest, CtrlTabOutsideThePagesLeavesThePageInFront) {
    StartShown();
    Child<QLineEdit>(*window_, "Edit4")->setFocus();
    Press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Page(), Child<ComposerPage>(*window_, "TabSheet8"));
    EXPECT_EQ(Focus(), Child<QLineEdit>(*window_, "Edit4"));
}

TEST_F(KeyboardTest, EveryFileMenuItemRunsFromTheKeyboard) {
    StartShown();
    QAction* const actions[] = {
        Child<QAction>(*window_, "New1"),   Child<QAction>(*window_, "Open2"),
        Child<QAction>(*window_, "Save2"),  Child<QAction>(*window_, "SaveAs1"),
        Child<QAction>(*window_, "d1"),     Child<QAction>(*window_, "PrinterSetUp1"),
        Child<QAction>(*window_, "Print1"), Child<QAction>(*window_, "Quit1")};
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QAction* action : actions) {
        spies.push_back(std::make_unique<QSignalSpy>(action, &QAction::triggered));
    }
    struct Row {
        std::vector<Qt::Key> keys;  // after Alt+F
        QAction* expected;
        std::function<void()> before;
    };
    const std::vector<Row> rows = {
        // "Save &As..." and "&Analysis" share A: A moves between them, Enter runs.
        {{Qt::Key_A, Qt::Key_A, Qt::Key_Return}, Child<QAction>(*window_, "d1"), [] {}},
        {{Qt::Key_A, Qt::Key_Return},
         Child<QAction>(*window_, "SaveAs1"),
         [this] { prompts_.ExpectSave(std::nullopt); }},
        {{Qt::Key_O},
         Child<QAction>(*window_, "Open2"),
         [this] { prompts_.ExpectOpen(std::nullopt); }},
        {{Qt::Key_P},
         Child<QAction>(*window_, "Print1"),
         [this] { prompts_.ExpectPrint(nullptr); }},
        // "Printer SetUp..." has no mnemonic; the arrows reach it from the top.
        {{Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Return},
         Child<QAction>(*window_, "PrinterSetUp1"),
         [this] { prompts_.ExpectPrinterSetup(nullptr); }},
        {{Qt::Key_S}, Child<QAction>(*window_, "Save2"), [this] { Type(QStringLiteral("x")); }},
        {{Qt::Key_N}, Child<QAction>(*window_, "New1"), [] {}},
        {{Qt::Key_Q},
         Child<QAction>(*window_, "Quit1"),
         [this] { prompts_.ExpectSaveChoice(SaveChoice::No); }},
    };
    for (const Row& row : rows) {
        const QString name = row.expected->objectName();
        row.before();
        std::vector<qsizetype> counts;
        for (const auto& spy : spies) {
            counts.push_back(spy->count());
        }
        Press(Qt::Key_F, Qt::AltModifier);
        ASSERT_EQ(QApplication::activePopupWidget(), Child<QMenu>(*window_, "File1"))
            << name.toStdString();
        for (Qt::Key key : row.keys) {
            Press(key);
        }
        WaitForAnalysis();
        for (std::size_t i = 0; i < spies.size(); ++i) {
            const qsizetype runs = actions[i] == row.expected ? 1 : 0;
            EXPECT_EQ(spies[i]->count() - counts[i], runs)
                << name.toStdString() << " ran " << actions[i]->objectName().toStdString();
        }
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << name.toStdString();
        // Back to the diary for the next row, as the record commands expect.
        Child<QTabWidget>(*window_, "PageControl1")
            ->setCurrentWidget(Child<ComposerPage>(*window_, "TabSheet8"));
    }
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(KeyboardTest, StandardShortcutsRunTheirCommandsAndF1ShowsTheHelp) {
    StartShown();
    // The captions and mnemonics stay as they were.
    EXPECT_EQ(Child<QAction>(*window_, "New1")->text(), QStringLiteral("&New"));
    EXPECT_EQ(Child<QAction>(*window_, "Open2")->text(), QStringLiteral("&Open..."));
    EXPECT_EQ(Child<QAction>(*window_, "Save2")->text(), QStringLiteral("&Save"));
    EXPECT_EQ(Child<QAction>(*window_, "Print1")->text(), QStringLiteral("&Print..."));
    EXPECT_EQ(Child<QAction>(*window_, "Quit1")->text(), QStringLiteral("&Quit"));

    QAction* const actions[] = {
        Child<QAction>(*window_, "New1"),   Child<QAction>(*window_, "Open2"),
        Child<QAction>(*window_, "Save2"),  Child<QAction>(*window_, "SaveAs1"),
        Child<QAction>(*window_, "d1"),     Child<QAction>(*window_, "PrinterSetUp1"),
        Child<QAction>(*window_, "Print1"), Child<QAction>(*window_, "Quit1")};
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QAction* action : actions) {
        spies.push_back(std::make_unique<QSignalSpy>(action, &QAction::triggered));
    }
    struct Row {
        QKeySequence::StandardKey key;
        QAction* expected;
        std::function<void()> before;
    };
    const std::vector<Row> rows = {
        {QKeySequence::Open, Child<QAction>(*window_, "Open2"),
         [this] { prompts_.ExpectOpen(std::nullopt); }},
        {QKeySequence::Print, Child<QAction>(*window_, "Print1"),
         [this] { prompts_.ExpectPrint(nullptr); }},
        {QKeySequence::Save, Child<QAction>(*window_, "Save2"),
         [this] { Type(QStringLiteral("x")); }},
        {QKeySequence::New, Child<QAction>(*window_, "New1"), [] {}},
        {QKeySequence::Quit, Child<QAction>(*window_, "Quit1"),
         [this] { prompts_.ExpectSaveChoice(SaveChoice::No); }},
    };
    for (const Row& row : rows) {
        const std::string name = row.expected->objectName().toStdString();
        // The platform's key; Ctrl+Q where a platform has none for quitting.
        QKeySequence sequence = QKeySequence::keyBindings(row.key).value(0);
        if (sequence.isEmpty() && row.key == QKeySequence::Quit) {
            sequence = QKeySequence(Qt::CTRL | Qt::Key_Q);
        }
        ASSERT_FALSE(sequence.isEmpty()) << name;
        EXPECT_EQ(row.expected->shortcut(), sequence) << name;
        row.before();
        std::vector<qsizetype> counts;
        for (const auto& spy : spies) {
            counts.push_back(spy->count());
        }
        const QKeyCombination combination = sequence[0];
        Press(combination.key(), combination.keyboardModifiers());
        for (std::size_t i = 0; i < spies.size(); ++i) {
            EXPECT_EQ(spies[i]->count() - counts[i], actions[i] == row.expected ? 1 : 0)
                << name << " ran " << actions[i]->objectName().toStdString();
        }
        if (row.expected == Child<QAction>(*window_, "Save2")) {
            EXPECT_TRUE(ReadBytes(Path("example.txt")).contains("x")) << "not saved";
        }
        if (row.expected != Child<QAction>(*window_, "Quit1")) {
            EXPECT_TRUE(window_->isVisible()) << name;
            Child<QTabWidget>(*window_, "PageControl1")
                ->setCurrentWidget(Child<ComposerPage>(*window_, "TabSheet8"));
            Child<QPlainTextEdit>(*window_, "RichEdit2")->setFocus();
        }
        if (row.expected == Child<QAction>(*window_, "New1")) {
            // F1 from the editor, and from a page without a focusable control.
            Press(Qt::Key_F1);
            EXPECT_EQ(Page(), Child<QWidget>(*window_, "TabSheet6"));
            Child<QTabWidget>(*window_, "PageControl1")
                ->setCurrentWidget(Child<QWidget>(*window_, "Tabsheet4"));
            Press(Qt::Key_F1);
            EXPECT_EQ(Page(), Child<QWidget>(*window_, "TabSheet6"));
            Child<QTabWidget>(*window_, "PageControl1")
                ->setCurrentWidget(Child<ComposerPage>(*window_, "TabSheet8"));
            Child<QPlainTextEdit>(*window_, "RichEdit2")->setFocus();
        }
    }
    EXPECT_TRUE(prompts_.AllAnswered());
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(KeyboardTest, TabLeavesTheEditorForTheComposerButtons) {
    StartShown();
    const QString diary = EditorText();
    ComposerPage& page = *Child<ComposerPage>(*window_, "TabSheet8");
    const QWidget* const forward[] = {Child<QPushButton>(page, "Button4"),
                                      Child<QPushButton>(page, "Button6"),
                                      Child<QPushButton>(page, "Button5")};
    for (const QWidget* expected : forward) {
        Press(Qt::Key_Tab);
        EXPECT_EQ(Focus(), expected) << expected->objectName().toStdString();
    }
    const QWidget* const back[] = {
        Child<QPushButton>(page, "Button6"), Child<QPushButton>(page, "Button4"),
        Child<QPlainTextEdit>(page, "RichEdit2"), Child<QTableWidget>(page, "StringGrid2")};
    for (const QWidget* expected : back) {
        Press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(Focus(), expected) << expected->objectName().toStdString();
    }
    // Neither a tab character nor a word reached the diary on the way.
    EXPECT_EQ(EditorText(), diary);

    // Space presses a focused button: "Edit" turns into "Stop".
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focus(), Child<QPushButton>(page, "Button6"));
    Press(Qt::Key_Space);
    EXPECT_TRUE(page.EditMode());

    // Once the auto-fill controls show, they come first after the editor.
    page.ShowAutoFillControls();
    Child<QPlainTextEdit>(page, "RichEdit2")->setFocus();
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focus(), Child<QLineEdit>(page, "Edit6"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focus(), Child<QPushButton>(page, "buttonNew"));
}

TEST_F(KeyboardTest, EnterIsTheKeyboardsDoubleClickOnTheListAndTheResults) {
    StartShown();
    SymptomListPage& settings = *Child<SymptomListPage>(*window_, "TabSheet3");

    // Alt+P, then one step on: the settings page, its list focused.
    Press(Qt::Key_P, Qt::AltModifier);
    Press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(Page(), Child<SymptomListPage>(*window_, "TabSheet3"));
    ASSERT_EQ(Focus(), Child<QListWidget>(settings, "ListBox2"));
    Press(Qt::Key_Home);
    Press(Qt::Key_Down);
    prompts_.ExpectInput(QStringLiteral("migraine"));
    Press(Qt::Key_Return);
    EXPECT_EQ(prompts_.last().title, QStringLiteral("Enter New Symptom to monitor"));
    EXPECT_EQ(Child<QListWidget>(settings, "ListBox2")->item(1)->text(),
              QStringLiteral("MIGRAINE"));

    window_->Guard([this] { window_->RunAnalysis(); });
    WaitForAnalysis();
    Press(Qt::Key_P, Qt::AltModifier);
    ASSERT_EQ(Focus(), Child<QTableView>(*window_, "StringGrid1"));
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    Press(Qt::Key_Right);
    const QModelIndex cell = Child<QTableView>(*window_, "StringGrid1")->currentIndex();
    ASSERT_TRUE(cell.isValid());
    const std::string text = window_->ResultsGrid().Cell(cell.column(), cell.row());
    ASSERT_FALSE(text.empty()) << cell.column() << "," << cell.row();
    Press(Qt::Key_Return);
    EXPECT_EQ(Child<QLineEdit>(settings, "Edit2")->text(),
              QStringLiteral("hit ") + QString::fromStdString(text));
}

TEST_F(KeyboardTest, EveryControlCarriesAnAccessibleName) {
    StartShown();
    int named = 0;
    for (QWidget* widget : window_->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_"))) {
            continue;  // the toolkit's own parts of a control
        }
        ++named;
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << name.toStdString();
    }
    // The controls, pages and menu the window builds.
    EXPECT_GE(named, 35);

    // Captions are announced as shown, without their mnemonic marks.
    EXPECT_EQ(Child<QPushButton>(*window_, "Button1")->accessibleName(),
              QStringLiteral("Set Columns"));
    EXPECT_EQ(Child<QWidget>(*window_, "TabSheet2")->accessibleName(),
              QStringLiteral("Spreadsheet"));
    EXPECT_EQ(Child<QMenu>(*window_, "File1")->accessibleName(), QStringLiteral("File"));
    EXPECT_EQ(Child<QLineEdit>(*window_, "Edit2")->accessibleName(),
              QStringLiteral("Minimum times an item must occur"));
    // A caption that holds a state is announced in the state it shows.
    ComposerPage& page = *Child<ComposerPage>(*window_, "TabSheet8");
    page.Button6Click();
    EXPECT_EQ(Child<QPushButton>(page, "Button6")->accessibleName(), QStringLiteral("Stop"));
    page.Button6Click();
    EXPECT_EQ(Child<QPushButton>(page, "Button6")->accessibleName(), QStringLiteral("Edit"));
    page.buttonNewClick();
    EXPECT_EQ(Child<QPushButton>(page, "buttonNew")->accessibleName(), QStringLiteral("stop"));
    page.buttonNewClick();
    EXPECT_EQ(Child<QPushButton>(page, "buttonNew")->accessibleName(), QStringLiteral("Auto"));
}

}  // namespace
}  // namespace quorvane::testing
