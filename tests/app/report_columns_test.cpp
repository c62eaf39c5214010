// The report's columns line up and never run into each other, whatever column
// width "Set &Columns" is given; the report's text stays as written.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <map>
#include <vector>

#include "app/window_fixture.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

// Where each tab-separated column of every report line starts and where its text
// ends, as the report view lays the line out.
struct Columns {
    std::map<int, std::vector<qreal>> starts;  // column 1 onwards
    std::map<int, qreal> widestEnd;            // of column 0 onwards
};

Columns MeasureColumns(const QPlainTextEdit& view) {
    Columns columns;
    QTextOption option = view.document()->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
        QTextLayout layout(block.text(), view.document()->defaultFont(), view.viewport());
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        int column = 0;
        for (qsizetype tab = block.text().indexOf('\t'); tab >= 0;
             tab = block.text().indexOf('\t', tab + 1), ++column) {
            const qreal end = line.cursorToX(static_cast<int>(tab));
            columns.widestEnd[column] = std::max(columns.widestEnd[column], end);
            columns.starts[column + 1].push_back(line.cursorToX(static_cast<int>(tab + 1)));
        }
    }
    return columns;
}

using ReportColumnsLayoutTest = WindowTest;

TEST_F(ReportColumnsLayoutTest, ColumnsNeverRunIntoEachOtherAtAnyColumnWidth) {
    WriteBytes(Path("example.txt"),
               "april 1, ham sandwich, nausea, headache, $, #,\r\n"
               "april 2, ham sandwich, tea, headache, nausea, #,\r\n");
    StartAccepted();
    Child<SymptomListPage>(*window_, "TabSheet3")->Edit2->setText(QStringLiteral("1"));
    window_->RunAnalysis();
    auto* report = Child<QPlainTextEdit>(*window_, "RichEdit1");
    const QString text = report->toPlainText();
    ASSERT_TRUE(text.contains(QStringLiteral("HAM SANDWICH  2 times\t"))) << text.toStdString();

    for (const char* width : {"170", "160", "60", "20", "10", "1", "0", "-50"}) {
        Child<QLineEdit>(*window_, "Edit4")->setText(QString::fromLatin1(width));
        Child<QPushButton>(*window_, "Button1")->click();
        EXPECT_EQ(report->toPlainText(), text) << width;
        const Columns columns = MeasureColumns(*report);
        ASSERT_FALSE(columns.starts.empty()) << width;
        for (const auto& [column, starts] : columns.starts) {
            const auto [first, last] = std::minmax_element(starts.begin(), starts.end());
            // Every line's column starts at the same place, past every text before it.
            EXPECT_NEAR(*first, *last, 0.5) << "column " << column << " at width " << width;
            EXPECT_GE(*first, columns.widestEnd.at(column - 1))
                << "column " << column << " at width " << width;
        }
    }
}

}  // namespace
}  // namespace quorvane::testing
