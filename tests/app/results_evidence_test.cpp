// The results grid's tooltips and shading after File, Analysis.
#include <QAction>
#include <QColor>
#include <QLocale>
#include <QTableView>

#include "app/window_fixture.h"
#include "core/analysis/text_grid.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

class ResultsEvidenceTest : public ExampleWindowTest {
  protected:
    QVariant Data(int row, int column, int role) const {
        const QAbstractItemModel* model = Child<QTableView>(*window_, "StringGrid1")->model();
        return model->data(model->index(row, column), role);
    }
};

TEST_F(ResultsEvidenceTest, CorrelationCellsExplainThemselvesAndAreShaded) {
    EXPECT_FALSE(Data(1, 3, Qt::ToolTipRole).isValid());  // before any analysis
    Child<QAction>(*window_, "d1")->trigger();
    WaitForAnalysis();
    ASSERT_EQ(window_->ResultsGrid().Cell(3, 22), "006.0  COFFEE  3 times");

    const QString tooltip = Data(22, 3, Qt::ToolTipRole).toString();
    EXPECT_TRUE(tooltip.contains(
        QStringLiteral("HEADACHE followed COFFEE on 1 of 2 exposed days; on 0 of 0 other days")))
        << tooltip.toStdString();
    EXPECT_TRUE(tooltip.contains(QStringLiteral("Hits: 2 = 0 the same day + 2 a day later")));
    EXPECT_TRUE(tooltip.contains(QStringLiteral("april 30, saturday, bacon, egg, headache")));
    EXPECT_TRUE(Data(22, 23, Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("A monitored symptom followed COFFEE")));
    EXPECT_FALSE(Data(22, 0, Qt::ToolTipRole).isValid());  // an item name
    EXPECT_FALSE(Data(1, 3, Qt::ToolTipRole).isValid());   // a total
    EXPECT_FALSE(Data(2, 3, Qt::ToolTipRole).isValid());   // empty after the sort

    // The only cell of its column is its column's highest: the strongest shade.
    const QVariant shade = Data(22, 3, Qt::BackgroundRole);
    ASSERT_TRUE(shade.canConvert<QColor>());
    EXPECT_NE(shade.value<QColor>(), QColor(Qt::white));
    EXPECT_EQ(shade.value<QColor>(), Data(22, 23, Qt::BackgroundRole).value<QColor>());
    EXPECT_FALSE(Data(2, 3, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(Data(22, 1, Qt::BackgroundRole).isValid());
}

}  // namespace
}  // namespace quorvane::testing
