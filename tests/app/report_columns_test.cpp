// The report's columns line up and never run into each other, whatever column
// width "Set &Columns" is given; the report's text stays as written.
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <map>
#include <vector>

#include "app/window_fixture.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"
#include "ui/print_pdf_support.h"

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

// pdftotext writes its words as HTML text.
QString FromHtml(QString text) {
    text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

// A page's words line by line from the top, each line from the left: the order
// the text was written in.
std::vector<PdfWord> ReadingOrder(std::vector<PdfWord> words) {
    std::sort(words.begin(), words.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.yMin < b.yMin; });
    auto line = words.begin();
    while (line != words.end()) {
        const double top = line->yMin;
        const auto end =
            std::find_if(line, words.end(), [top](const PdfWord& w) { return w.yMin > top + 2.0; });
        std::sort(line, end, [](const PdfWord& a, const PdfWord& b) { return a.xMin < b.xMin; });
        line = end;
    }
    return words;
}

class ReportColumnsLayoutTest : public WindowTest {
  protected:
    // Two days of ham sandwiches, each followed by a headache and a weight gain
    // (two columns of the report's first block), with every item counted.
    void AnalyseHamSandwiches() {
        WriteBytes(Path("example.txt"),
                   "april 1, ham sandwich, weight gain, headache, $, #,\r\n"
                   "april 2, ham sandwich, tea, headache, weight gain, #,\r\n");
        StartAccepted();
        Child<QLineEdit>(*window_, "Edit2")->setText(QStringLiteral("1"));
        window_->RunAnalysis();
        WaitForAnalysis();
    }
    void SetColumns(const char* width) {
        Child<QLineEdit>(*window_, "Edit4")->setText(QString::fromLatin1(width));
        Child<QPushButton>(*window_, "Button1")->click();
    }
};

TEST_F(ReportColumnsLayoutTest, ColumnsNeverRunIntoEachOtherAtAnyColumnWidth) {
    AnalyseHamSandwiches();
    auto* report = Child<QPlainTextEdit>(*window_, "RichEdit1");
    const QString text = report->toPlainText();
    ASSERT_TRUE(text.contains(QRegularExpression(
        QStringLiteral("HAM SANDWICH  2 times\t[0-9.]+  HAM SANDWICH  2 times\t"))))
        << text.toStdString();

    for (const char* width : {"170", "160", "60", "20", "10", "1", "0", "-50"}) {
        SetColumns(width);
        EXPECT_EQ(report->toPlainText(), text) << width;
        const Columns columns = MeasureColumns(*report);
        ASSERT_EQ(columns.starts.size(), 2u) << width;
        for (const auto& [column, starts] : columns.starts) {
            const auto [first, last] = std::minmax_element(starts.begin(), starts.end());
            // Every line's column starts at the same place, past every text before it.
            EXPECT_NEAR(*first, *last, 0.5) << "column " << column << " at width " << width;
            EXPECT_GE(*first, columns.widestEnd.at(column - 1))
                << "column " << column << " at width " << width;
        }
    }
}

TEST_F(ReportColumnsLayoutTest, ColumnsNeverRunIntoEachOtherOnPaper) {
    AnalyseHamSandwiches();
    const QStringList lines =
        Child<QPlainTextEdit>(*window_, "RichEdit1")->toPlainText().split(QLatin1Char('\n'));
    for (const char* width : {"170", "10"}) {
        SetColumns(width);  // brings the report's page to the front
        const QString pdf = Path(QStringLiteral("report-%1.pdf").arg(QLatin1String(width)));
        prompts_.ExpectPrint([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        Child<QAction>(*window_, "Print1")->trigger();
        ASSERT_TRUE(prompts_.AllAnswered());

        // The printed words in order, matched to the report's fields.
        std::vector<PdfWord> words;
        for (const PdfPageWords& page : PdfWords(pdf)) {
            const std::vector<PdfWord> ordered = ReadingOrder(page.words);
            words.insert(words.end(), ordered.begin(), ordered.end());
        }
        std::map<int, std::vector<double>> starts;
        std::map<int, double> widestEnd;
        std::size_t next = 0;
        for (const QString& line : lines) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            for (int field = 0; field < fields.size(); ++field) {
                const QStringList fieldWords = fields[field].split(' ', Qt::SkipEmptyParts);
                for (int i = 0; i < fieldWords.size(); ++i, ++next) {
                    ASSERT_LT(next, words.size()) << "not printed: " << line.toStdString();
                    ASSERT_EQ(FromHtml(words[next].text), fieldWords[i]) << "at width " << width;
                    if (i == 0 && field > 0) {
                        starts[field].push_back(words[next].xMin);
                    }
                    if (field + 1 < fields.size()) {  // ended by a tab
                        widestEnd[field] = std::max(widestEnd[field], words[next].xMax);
                    }
                }
            }
        }
        ASSERT_FALSE(starts.empty()) << width;
        for (const auto& [field, at] : starts) {
            const auto [first, last] = std::minmax_element(at.begin(), at.end());
            EXPECT_NEAR(*first, *last, 1.0) << "column " << field << " at width " << width;
            EXPECT_GT(*first, widestEnd.at(field - 1))
                << "column " << field << " at width " << width;
        }
    }
}

}  // namespace
}  // namespace quorvane::testing
