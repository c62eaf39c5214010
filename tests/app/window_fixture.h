#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "support/scripted_prompts.h"
#include "ui/record_document.h"

namespace quorvane::testing {

// The Help page's two example days, as the program ships them.
QByteArray ExampleDiary();
QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);

// Each test runs in a fresh empty working folder with a new window whose boxes
// are answered from a script.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Puts the example diary in the folder under `name`.
    void SeedExample(const QString& name = QStringLiteral("example.txt"));
    // The start-up sequence with the agreement accepted.
    void StartAccepted();
    QString SettingsText() const;
    QString Path(const QString& name) const { return dir_->filePath(name); }
    // File, Analysis runs on after its handler returns: waits here, turning the
    // event loop, until its results or its error are shown.
    void WaitForAnalysis();
    // The editor's text as the user types it: one change at a time.
    void Type(const QString& text);
    QString EditorText() const;

    ScriptedPrompts prompts_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TForm1> window_;

  private:
    QString previousDir_;
};

// A window started on the example diary with the agreement accepted, under the C
// locale so that frustration values print with ".".
class ExampleWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        QLocale::setDefault(QLocale::c());
        SeedExample();
        StartAccepted();
    }
    void TearDown() override {
        QLocale::setDefault(QLocale::system());
        WindowTest::TearDown();
    }
};

// Every cell of the grid, row by row.
inline std::vector<std::string> GridCells(const TextGrid& grid) {
    std::vector<std::string> cells;
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        for (int32_t column = 0; column < grid.ColCount(); ++column) {
            cells.push_back(grid.Cell(column, row));
        }
    }
    return cells;
}

}  // namespace quorvane::testing
