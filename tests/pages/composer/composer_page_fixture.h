#pragma once

#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

#include "pages/composer/composer_page.h"
#include "pages/page_test_harness.h"
#include "support/find_child.h"

namespace quorvane::testing {

// The composer page on a tab of an active main window, beside another page and
// below a line edit standing for the controls above the pages.
class ComposerPageTest : public PageTest {
  protected:
    ComposerPageTest() {
        auto* central = new QWidget(&window);
        auto* layout = new QVBoxLayout(central);
        above = new QLineEdit("170", central);
        tabs = new QTabWidget(central);
        otherPage = new QWidget();
        otherPage->setObjectName("otherPage");
        new QLineEdit(otherPage);
        page = new ComposerPage(Services(), [this] { return minimumCount; });
        tabs->addTab(otherPage, "&Other");
        tabs->addTab(page, "&Composer");
        tabs->setCurrentWidget(page);
        layout->addWidget(above);
        layout->addWidget(tabs);
        window.setCentralWidget(central);
        window.resize(620, 460);
        ShowActive(window);
        Child<QPlainTextEdit>(*page, "RichEdit2")->setFocus();
    }

    QPoint CellCentre(int column, int row) const {
        QTableWidget* grid = Child<QTableWidget>(*page, "StringGrid2");
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    void SetCell(int column, int row, const QString& text) {
        Child<QTableWidget>(*page, "StringGrid2")->item(row, column)->setText(text);
    }
    QString Cell(int column, int row) const {
        return Child<QTableWidget>(*page, "StringGrid2")->item(row, column)->text();
    }
    QString EditorText() const { return Child<QPlainTextEdit>(*page, "RichEdit2")->toPlainText(); }

    void ClickCell(int column, int row) {
        QTest::mouseClick(Child<QTableWidget>(*page, "StringGrid2")->viewport(), Qt::LeftButton, {},
                          CellCentre(column, row));
    }
    // The events of a real double-click: press, release, press, double-click, release.
    void DoubleClickCell(int column, int row) {
        QWidget* viewport = Child<QTableWidget>(*page, "StringGrid2")->viewport();
        const QPoint centre = CellCentre(column, row);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, centre);
        QTest::mousePress(viewport, Qt::LeftButton, {}, centre);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, centre);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre);
    }

    bool CaretAtEndOfFocusedEditor() const {
        const QTextCursor caret = Child<QPlainTextEdit>(*page, "RichEdit2")->textCursor();
        return Child<QPlainTextEdit>(*page, "RichEdit2")->hasFocus() && !caret.hasSelection() &&
               caret.position() ==
                   Child<QPlainTextEdit>(*page, "RichEdit2")->document()->characterCount() - 1;
    }

    QString minimumCount = "3";
    QMainWindow window;
    QLineEdit* above = nullptr;
    QTabWidget* tabs = nullptr;
    QWidget* otherPage = nullptr;
    ComposerPage* page = nullptr;
};

}  // namespace quorvane::testing
