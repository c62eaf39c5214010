#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyledItemDelegate>
#include <string>

#include "core/settings/profile_file.h"
#include "core/settings/settings_store.h"
#include "pages/composer/composer_page_fixture.h"

namespace quorvane::testing {
namespace {

// Editor texts show a line break as "\n"; cells hold CR LF as the settings file does.
struct InsertionCase {
    const char* label;
    QString before;
    QString word;
    QString after;
};

void PrintTo(const InsertionCase& c, std::ostream* os) {
    *os << c.label;
}

class WordInsertionTest : public ComposerPageTest,
                          public ::testing::WithParamInterface<InsertionCase> {};

TEST_P(WordInsertionTest, ClickOnACellAppendsItsWordAtTheEnd) {
    const InsertionCase& c = GetParam();
    Child<QPlainTextEdit>(*page, "RichEdit2")->setPlainText(c.before);
    Child<QPlainTextEdit>(*page, "RichEdit2")->moveCursor(QTextCursor::Start);
    SetCell(3, 2, c.word);
    QSignalSpy changes(Child<QPlainTextEdit>(*page, "RichEdit2"), &QPlainTextEdit::textChanged);

    ClickCell(3, 2);

    EXPECT_EQ(EditorText(), c.after);
    EXPECT_GE(changes.count(), 1);
    EXPECT_TRUE(CaretAtEndOfFocusedEditor());
    EXPECT_EQ(Cell(3, 2), c.word) << "a click outside edit mode leaves the cell alone";
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, WordInsertionTest,
    ::testing::Values(
        InsertionCase{"EmptyEditor", "", "fruit,", "fruit, "},
        InsertionCase{"TwoCharactersGetNoSeparator", "ab", "fruit,", "abfruit, "},
        InsertionCase{"CommaBeforeTheEndGetsABlank", "fruit, ", "beef", "fruit,  beef "},
        InsertionCase{"BlankAtTheEndGetsAComma", "fruit,  beef ", "milk", "fruit,  beef ,milk "},
        InsertionCase{"LetterAtTheEndGetsCommaAndBlank", "april 29, friday", "egg",
                      "april 29, friday, egg "},
        InsertionCase{"CommaAtTheVeryEnd", "egg,", "milk", "egg,, milk "},
        InsertionCase{"AfterADayEnd", "End of Day, #,\n\n ", "fruit,",
                      "End of Day, #,\n\n ,fruit, "},
        InsertionCase{"TokenWithLineBreaks", "", "End of Day, #,\r\n\r\n", "End of Day, #,\n\n "},
        InsertionCase{"NotEnteredIsAWordLikeAnyOther", "", "Not Entered", "Not Entered "}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ComposerPageTest, EveryClickCountsButADoubleClickCountsOnce) {
    SetCell(0, 1, "tea,");
    ClickCell(0, 1);
    ClickCell(0, 1);
    EXPECT_EQ(EditorText(), "tea,  tea, ");

    Child<QPlainTextEdit>(*page, "RichEdit2")->clear();
    DoubleClickCell(0, 1);
    EXPECT_EQ(EditorText(), "tea, ");
    ClickCell(0, 1);
    EXPECT_EQ(EditorText(), "tea,  tea, ");
}

TEST_F(ComposerPageTest, NavigationKeysThatMoveTheCurrentCellAppendItsWord) {
    ComposerWords words;
    for (int c = 0; c < kComposerColumns; ++c) {
        for (int r = 0; r < kComposerRows; ++r) {
            words[c][r] = std::string("w").append(std::to_string(c)).append(std::to_string(r));
        }
    }
    page->SetWords(words);
    QTableWidget* grid = Child<QTableWidget>(*page, "StringGrid2");
    grid->setCurrentCell(0, 0);

    struct Step {
        Qt::Key key;
        const char* appended;  // nullptr: the current cell cannot move
    };
    const Step steps[] = {
        {Qt::Key_Left, nullptr}, {Qt::Key_Up, nullptr},     {Qt::Key_Right, "w10"},
        {Qt::Key_Down, "w11"},   {Qt::Key_End, "w71"},      {Qt::Key_Right, nullptr},
        {Qt::Key_Home, "w01"},   {Qt::Key_PageDown, "w05"}, {Qt::Key_Down, nullptr},
        {Qt::Key_PageUp, "w00"}, {Qt::Key_A, nullptr}};
    QString expected;
    for (const Step& step : steps) {
        QTest::keyClick(grid, step.key);
        if (step.appended != nullptr) {
            // After "word " the rule adds a comma and no blank.
            expected = expected.isEmpty() ? QString(step.appended) + " "
                                          : expected + "," + step.appended + " ";
        }
        EXPECT_EQ(EditorText(), expected) << "after key " << step.key;
    }
}

TEST_F(ComposerPageTest, EditModeTurnsTheWindowRedWhicheverPageIsInFront) {
    // The window's own background, beside the pages.
    const QPoint besideThePages =
        tabs->parentWidget()->mapTo(&window, tabs->geometry().bottomLeft() + QPoint(-2, -40));
    const auto shownColour = [&](QWidget* front) {
        tabs->setCurrentWidget(front);
        return window.grab().toImage().pixelColor(besideThePages);
    };
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    ASSERT_EQ(shownColour(page), buttonFace);

    Child<QPushButton>(*page, "Button6")->click();
    EXPECT_TRUE(page->EditMode());
    EXPECT_EQ(Child<QPushButton>(*page, "Button6")->text(), "Stop");
    EXPECT_EQ(shownColour(otherPage), QColor(255, 0, 0));
    EXPECT_EQ(shownColour(page), QColor(255, 0, 0));

    Child<QPushButton>(*page, "Button6")->click();
    EXPECT_FALSE(page->EditMode());
    EXPECT_EQ(Child<QPushButton>(*page, "Button6")->text(), "Edit");
    EXPECT_EQ(shownColour(otherPage), buttonFace);
    EXPECT_EQ(shownColour(page), buttonFace);
}

// Where the grid draws each cell's text, and the text it draws there.
struct ShownCell {
    QRect area;
    QString text;
};

ShownCell Shown(const QTableWidget& grid, int column, int row) {
    const QModelIndex index = grid.model()->index(row, column);
    const auto* delegate = qobject_cast<const QStyledItemDelegate*>(grid.itemDelegate());
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    return {grid.visualRect(index).adjusted(margin, 0, -margin, 0),
            delegate != nullptr ? delegate->displayText(index.data(), QLocale()) : QString()};
}

TEST_F(ComposerPageTest, EveryWordShowsWholeOnOneLineWithEveryCellInView) {
    // The font the window gives its pages.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    page->setFont(font);
    ComposerWords words = DefaultComposerWords();
    PlaceFixedRowTokens(words);
    const struct {
        const char* label;
        int column;
        const char* word;
    } cases[] = {
        {"the default words", 0, nullptr},
        {"a long item name from the auto-fill", 5, "GRAPEFRUIT JUICE WITH ICE"},
        {"a second one", 7, "WHITE BREAD SANDWICH"},
    };
    for (const auto& c : cases) {
        for (int column = 0; column < kComposerColumns; ++column) {
            if (c.word != nullptr && c.column == column) {
                words[column][3] = c.word;
            }
        }
        page->SetWords(words);
        QApplication::processEvents();
        QTableWidget* grid = Child<QTableWidget>(*page, "StringGrid2");
        const QFontMetrics metrics(grid->font());
        for (int column = 0; column < kComposerColumns; ++column) {
            for (int row = 0; row < kComposerRows; ++row) {
                const ShownCell cell = Shown(*grid, column, row);
                const std::string where = std::string(c.label) + ", cell " +
                                          std::to_string(column) + "," + std::to_string(row) +
                                          " \"" + cell.text.toStdString() + "\"";
                EXPECT_TRUE(grid->viewport()->rect().contains(cell.area)) << where;
                EXPECT_FALSE(cell.text.contains('\n') || cell.text.contains('\r')) << where;
                if (grid->wordWrap()) {
                    const QRect needed =
                        metrics.boundingRect(cell.area, Qt::TextWordWrap, cell.text);
                    EXPECT_LE(needed.width(), cell.area.width()) << where;
                    EXPECT_LE(needed.height(), cell.area.height()) << where;
                } else {
                    EXPECT_GE(cell.area.width(), metrics.horizontalAdvance(cell.text)) << where;
                }
            }
        }
    }
    // Line breaks show as blanks; the cell keeps them for the editor and "Set".
    EXPECT_EQ(Shown(*Child<QTableWidget>(*page, "StringGrid2"), 1, 0).text, "End of Day, #,");
    EXPECT_EQ(Shown(*Child<QTableWidget>(*page, "StringGrid2"), 3, 0).text,
              "Quitting addiction, #, #, #,");
    EXPECT_EQ(Cell(1, 0), "End of Day, #,\r\n\r\n");
    Child<QPlainTextEdit>(*page, "RichEdit2")->clear();
    ClickCell(1, 0);
    EXPECT_EQ(EditorText(), "End of Day, #,\n\n ");
}

TEST_F(ComposerPageTest, EditModeClicksAskForTheCellTextAndNeverTouchTheEditor) {
    Child<QPlainTextEdit>(*page, "RichEdit2")->setPlainText("april 29");
    SetCell(2, 3, "rice,");
    SetCell(3, 3, "alcohol,");
    Child<QPushButton>(*page, "Button6")->click();

    prompts.ExpectInput(QString("brown rice,"));
    ClickCell(2, 3);
    EXPECT_EQ(prompts.last().title, "Edit Box");
    EXPECT_EQ(prompts.last().text, "Enter the new Entry (remember the \",\")");
    EXPECT_EQ(prompts.presets().back(), "rice,");
    EXPECT_EQ(Cell(2, 3), "brown rice,");

    prompts.ExpectInput(std::nullopt);  // Cancel
    QTest::keyClick(Child<QTableWidget>(*page, "StringGrid2"), Qt::Key_Right);
    EXPECT_EQ(prompts.presets().back(), "alcohol,");
    EXPECT_EQ(Cell(3, 3), "alcohol,");
    EXPECT_EQ(EditorText(), "april 29");

    Child<QPushButton>(*page, "Button6")->click();
    ClickCell(2, 3);
    EXPECT_EQ(EditorText(), "april 29, brown rice, ");
}

TEST_F(ComposerPageTest, SetAndLoadRoundTripThroughTheSettingsFile) {
    ComposerWords stored = DefaultComposerWords();
    PlaceFixedRowTokens(stored);  // row 0 carries line breaks into the file
    stored[7][5] = "kale,";
    page->SetWords(stored);

    prompts.ExpectConfirm(false);
    Child<QPushButton>(*page, "Button5")->click();
    EXPECT_EQ(prompts.last().text, "Continue to permanently change default settings?");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(SettingsFile())));

    ProfileFile(SettingsFile()).WriteString("Symptoms", "2", "MIGRAINE");
    prompts.ExpectConfirm(true);
    Child<QPushButton>(*page, "Button5")->click();
    prompts.ExpectConfirm(true);
    Child<QPushButton>(*page, "Button5")->click();  // every Set writes the token lines again

    page->SetWords(ComposerWords{});
    Child<QPushButton>(*page, "Button4")->click();  // no confirmation
    EXPECT_EQ(page->Words(), stored);
    const ProfileFile file(SettingsFile());
    EXPECT_EQ(file.ReadString("Symptoms", "2", "?"), "MIGRAINE");
    EXPECT_EQ(file.ReadString("Composer", "6", "?"), "End of Day, #,");
    EXPECT_EQ(file.ReadString("Composer", "47", "?"), "kale,");
    QFile raw(QString::fromStdString(SettingsFile()));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().contains("12=Missed Info, #, \r\n#,\r\n#,\r\n"))
        << "the lines after a line break stand as lines of their own";
}

TEST_F(ComposerPageTest, LoadWithoutAFileShowsNotEnteredBesideTheFixedTokens) {
    Child<QPushButton>(*page, "Button4")->click();
    const ComposerWords words = page->Words();
    for (int c = 0; c < kComposerColumns; ++c) {
        for (int r = 0; r < kComposerRows; ++r) {
            const std::string expected = r == 0 && c < 4 ? FixedRowTokens()[c] : "Not Entered";
            EXPECT_EQ(words[c][r], expected) << c << "," << r;
        }
    }
}

TEST_F(ComposerPageTest, HostileWordsStoredWithSetKeepEveryOtherKey) {
    ProfileFile before(SettingsFile());
    before.WriteString("Configuration", "MainFile", "diary.txt");
    before.WriteString("Symptoms", "2", "MIGRAINE");
    page->SetWords(DefaultComposerWords());
    const QString hostile[] = {QString(255, QChar('x')), QString("[Symptoms]"), QString("2=HACKED"),
                               QString::fromLatin1("a\x01\x1b\x7f=b"),
                               QString("pie,\r\n[Symptoms]\r\n2=HACKED\r\nMainFile=evil")};
    Child<QPushButton>(*page, "Button6")->click();
    for (int i = 0; i < 5; ++i) {
        prompts.ExpectInput(hostile[i]);
        ClickCell(4, i + 1);
    }
    Child<QPushButton>(*page, "Button6")->click();
    prompts.ExpectConfirm(true);
    Child<QPushButton>(*page, "Button5")->click();

    const ProfileFile after(SettingsFile());
    EXPECT_EQ(after.ReadString("Configuration", "MainFile", "?"), "diary.txt");
    EXPECT_EQ(after.ReadString("Symptoms", "2", "?"), "MIGRAINE");
    const ComposerWords loaded = LoadComposerWords(SettingsFile());
    const ComposerWords shown = page->Words();
    for (int c = 0; c < kComposerColumns; ++c) {
        for (int r = 1; r < kComposerRows; ++r) {
            const std::string& word = shown[c][r];
            EXPECT_EQ(loaded[c][r], word.substr(0, word.find('\r'))) << c << "," << r;
        }
    }
}

TEST_F(ComposerPageTest, FocusEnteringThePageGoesToTheEndOfTheEditor) {
    Child<QPlainTextEdit>(*page, "RichEdit2")->setPlainText("tea, \ncoffee, ");
    Child<QPlainTextEdit>(*page, "RichEdit2")->moveCursor(QTextCursor::Start);
    above->setFocus();
    ASSERT_TRUE(above->hasFocus());

    SetCell(1, 1, "beef");
    const int currentRow = Child<QTableWidget>(*page, "StringGrid2")->currentRow();
    const int currentColumn = Child<QTableWidget>(*page, "StringGrid2")->currentColumn();
    ClickCell(1, 1);  // this press only brings the focus in
    EXPECT_EQ(EditorText(), "tea, \ncoffee, ");
    EXPECT_TRUE(CaretAtEndOfFocusedEditor());
    EXPECT_EQ(Child<QTableWidget>(*page, "StringGrid2")->currentRow(), currentRow);
    EXPECT_EQ(Child<QTableWidget>(*page, "StringGrid2")->currentColumn(), currentColumn);
    EXPECT_TRUE(Child<QTableWidget>(*page, "StringGrid2")->selectedItems().isEmpty() ||
                Child<QTableWidget>(*page, "StringGrid2")->selectedItems().front() !=
                    Child<QTableWidget>(*page, "StringGrid2")->item(1, 1));

    ClickCell(1, 1);
    EXPECT_EQ(EditorText(), "tea, \ncoffee,  beef ");

    // Tabbing in from above the pages: the editor takes the focus all the same.
    above->setFocus();
    Child<QPlainTextEdit>(*page, "RichEdit2")->moveCursor(QTextCursor::Start);
    Child<QTableWidget>(*page, "StringGrid2")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(CaretAtEndOfFocusedEditor());
    EXPECT_EQ(EditorText(), "tea, \ncoffee,  beef ");
}

TEST_F(ComposerPageTest, FocusComingBackFromAnotherWindowEntersOnlyFromOutsideThePage) {
    QLineEdit otherWindow;
    Child<QPlainTextEdit>(*page, "RichEdit2")->setPlainText("tea, ");
    const auto caretAtStart = [&] {
        Child<QPlainTextEdit>(*page, "RichEdit2")->moveCursor(QTextCursor::Start);
        ASSERT_FALSE(CaretAtEndOfFocusedEditor());
    };

    // Away from the editor and back, as around a box: no entry, the caret stays.
    Child<QPlainTextEdit>(*page, "RichEdit2")->setFocus();
    caretAtStart();
    ShowActive(otherWindow);
    ShowActive(window);
    EXPECT_TRUE(Child<QPlainTextEdit>(*page, "RichEdit2")->hasFocus());
    EXPECT_EQ(Child<QPlainTextEdit>(*page, "RichEdit2")->textCursor().position(), 0);

    // Focus outside the page, the editor chosen while the window was inactive (as
    // start-up does after its box): an entry once the window is back.
    above->setFocus();
    ShowActive(otherWindow);
    caretAtStart();
    Child<QPlainTextEdit>(*page, "RichEdit2")->setFocus();
    ShowActive(window);
    EXPECT_TRUE(CaretAtEndOfFocusedEditor());
}

}  // namespace
}  // namespace quorvane::testing
