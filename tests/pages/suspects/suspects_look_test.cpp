// How the Suspects page reads on a 1280-pixel-wide screen; ctest runs these at
// 1x and again at QT_SCALE_FACTOR=2.
#include <QAction>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>

#include "core/evidence/suspects_plain.h"
#include "pages/suspects/suspects_charts.h"
#include "pages/suspects/suspects_page_fixture.h"
#include "pages/suspects/suspects_painting.h"
#include "pages/suspects/suspects_table_model.h"
#include "support/text_fit.h"

namespace quorvane::testing {
namespace {

class SuspectsLookTest : public SuspectsPageTest {
  protected:
    void SetUp() override {
        // The window fills such a screen; the page gets its width, less a frame.
        const double scale = QGuiApplication::primaryScreen()->devicePixelRatio();
        page.resize(static_cast<int>(1260 / scale), static_cast<int>(760 / scale));
        ShowActive(page);
        Analyse();
        QApplication::processEvents();
    }

    QHeaderView* Header() { return Table()->horizontalHeader(); }

    // How many pixels of the widget's picture are near `colour`.
    static int PixelsOf(QWidget& widget, const QColor& colour) {
        const QImage image = widget.grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (std::abs(pixel.red() - colour.red()) < 12 &&
                    std::abs(pixel.green() - colour.green()) < 12 &&
                    std::abs(pixel.blue() - colour.blue()) < 12) {
                    ++count;
                }
            }
        }
        return count;
    }
};

TEST_F(SuspectsLookTest, NoHeadingOrCaptionIsCutAndEveryColumnIsReachable) {
    EXPECT_TRUE(ClippedCaptionsOnEveryPage(page).isEmpty())
        << ClippedCaptionsOnEveryPage(page).join('\n').toStdString();

    // Every column the chooser offers, shown at once.
    auto* chooser = Child<QPushButton>(page, "SuspectColumns");
    ASSERT_NE(chooser->menu(), nullptr);
    ASSERT_EQ(chooser->menu()->actions().size(), kViewColumnCount);
    for (QAction* action : chooser->menu()->actions()) {
        action->setChecked(true);
    }
    QApplication::processEvents();
    for (int column = 0; column < kViewColumnCount; ++column) {
        ASSERT_FALSE(Table()->isColumnHidden(column)) << column;
        const QString heading = Table()->model()->headerData(column, Qt::Horizontal).toString();
        EXPECT_GE(Header()->sectionSize(column), Header()->sectionSizeHint(column))
            << heading.toStdString() << " is cut";
        // Scrolled to, it comes into the table's view.
        const QModelIndex cell = Table()->model()->index(0, column);
        Table()->scrollTo(cell);
        const QRect place = Table()->visualRect(cell);
        if (place.width() <= Table()->viewport()->width()) {
            EXPECT_TRUE(Table()->viewport()->rect().contains(place)) << heading.toStdString();
        }
    }
    // The food always stays; the rarely needed columns start hidden.
    EXPECT_FALSE(chooser->menu()->actions()[kViewItem]->isEnabled());
}

TEST_F(SuspectsLookTest, AtFirstTheMainColumnsFitTheTableWithoutScrolling) {
    int used = 0;
    for (int column = 0; column < kViewColumnCount; ++column) {
        if (!Table()->isColumnHidden(column)) {
            used += Header()->sectionSize(column);
        }
    }
    // Rank to p: the columns a person reads first, side by side.
    int first = 0;
    for (const int column :
         {kViewRank, kViewItem, kViewTier, kViewExposedDays, kViewRiskRatio, kViewP}) {
        first += Header()->sectionSize(column);
    }
    EXPECT_LE(first, Table()->viewport()->width()) << "of " << used;
    // Scaled up, the page is narrow: the details go under the table.
    const auto* splitter = Child<QSplitter>(page, "SuspectSplitter");
    EXPECT_EQ(splitter->orientation(), page.width() < 900 ? Qt::Vertical : Qt::Horizontal)
        << page.width();
    EXPECT_TRUE(Table()->isColumnHidden(kViewQ));
    EXPECT_TRUE(Table()->isColumnHidden(kViewLag));
}

TEST_F(SuspectsLookTest, RowsShowTheirTierByWordShapeAndTintAndFiguresForPeople) {
    const SuspectRow& wine = Shown().Rows.front();
    ASSERT_EQ(wine.Tier, SuspectTier::Strong);
    QAbstractItemModel* model = Table()->model();
    const QModelIndex tier = model->index(0, kViewTier);
    EXPECT_EQ(tier.data().toString(), QStringLiteral("Strong"));
    EXPECT_FALSE(tier.data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(tier.data(Qt::BackgroundRole).value<QColor>(), TierTint(SuspectTier::Strong));
    // A row of no tier in particular stays plain.
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->index(r, kViewTier).data().toString() == QStringLiteral("Not enough data")) {
            EXPECT_FALSE(model->index(r, kViewItem).data(Qt::BackgroundRole).isValid());
            break;
        }
    }
    // Rounded for reading, exact in the tooltip.
    const QModelIndex p = model->index(0, kViewP);
    EXPECT_EQ(p.data().toString(), QString::fromLatin1(PlainProbability(wine.PValue)));
    EXPECT_TRUE(
        p.data(Qt::ToolTipRole)
            .toString()
            .startsWith(QStringLiteral("p = ") + QString::fromLatin1(ExactFigure(wine.PValue))));
    EXPECT_EQ(p.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    for (int column = 0; column < kViewColumnCount; ++column) {
        EXPECT_FALSE(
            model->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString().isEmpty())
            << column;
    }
}

TEST_F(SuspectsLookTest, TheChartsFitTheirRowsAndDrawTheDays) {
    auto* panels = Child<QTabWidget>(page, "SuspectPanels");
    auto* forest = Child<ForestChart>(page, "SuspectForest");
    panels->setCurrentWidget(forest->parentWidget());
    QApplication::processEvents();
    const std::size_t rows = forest->Plot().Rows.size();
    ASSERT_GE(rows, 3u);
    // Tall enough for every row, and not much more: a short diary leaves no void.
    const int line = forest->fontMetrics().height();
    EXPECT_GE(forest->height(), static_cast<int>(rows) * line);
    EXPECT_LE(forest->height(), static_cast<int>(rows) * (line + 4) + 8 * line);
    EXPECT_GT(PixelsOf(*forest, TierColour(SuspectTier::Strong)), 10);

    auto* calendar = Child<CalendarChart>(page, "SuspectCalendar");
    panels->setCurrentWidget(calendar->parentWidget());
    QApplication::processEvents();
    ASSERT_GT(calendar->height(), 0);
    // The onsets in red and the food's days as dots are both drawn.
    EXPECT_GT(PixelsOf(*calendar, QColor(200, 30, 30)), 24 * 9);
    EXPECT_GT(PixelsOf(*calendar, QColor(20, 60, 160)), 24);
}

}  // namespace
}  // namespace quorvane::testing
