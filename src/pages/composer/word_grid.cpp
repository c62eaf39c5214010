#include "pages/composer/word_grid.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <numeric>
#include <vector>

namespace quorvane {

namespace {

bool IsNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return false;
    }
}

constexpr int kDesignRowHeight = 24;

class ShownTextDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        if (value.typeId() == QMetaType::QString) {
            return WordGrid::ShownText(value.toString());
        }
        return QStyledItemDelegate::displayText(value, locale);
    }
};

// Splits `total` among the wishes: nobody gets more than they wish, and what the
// modest leave over goes in equal shares to the others.
std::vector<int> FairShares(const std::vector<int>& wishes, int total) {
    std::vector<std::size_t> order(wishes.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return wishes[a] < wishes[b]; });
    std::vector<int> shares(wishes.size(), 0);
    int left = std::max(0, total);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int share = left / static_cast<int>(order.size() - i);
        shares[order[i]] = std::min(wishes[order[i]], share);
        left -= shares[order[i]];
    }
    return shares;
}

// Spreads what is left of `total` over the sizes, so they fill it exactly.
void Spread(std::vector<int>& sizes, int total) {
    const int sum = std::accumulate(sizes.begin(), sizes.end(), 0);
    const int extra = total - sum;
    if (extra <= 0 || sizes.empty()) {
        return;
    }
    const int count = static_cast<int>(sizes.size());
    for (int i = 0; i < count; ++i) {
        sizes[static_cast<std::size_t>(i)] += extra / count + (i < extra % count ? 1 : 0);
    }
}

}  // namespace

QString WordGrid::ShownText(const QString& text) {
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    static const QRegularExpression lineBreak(QStringLiteral("[ \\t]*[\\r\\n]+[ \\t\\r\\n]*"));
    QString shown = text;
    shown.replace(lineBreak, QStringLiteral(" "));
    // The empty lines a day's end leaves behind show as nothing.
    while (shown.endsWith(QLatin1Char(' '))) {
        shown.chop(1);
    }
    return shown;
}

WordGrid::WordGrid(int columns, int rows, QWidget* parent) : QTableWidget(rows, columns, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(64);
    verticalHeader()->setDefaultSectionSize(kDesignRowHeight);
    // The sizes the cells' words ask for, not the style's minimum.
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Tab leaves the grid instead of walking its cells.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setShowGrid(true);
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < rows; ++row) {
            auto* cell = new QTableWidgetItem();
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            cell->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            setItem(row, column, cell);
        }
    }
    setItemDelegate(new ShownTextDelegate(this));
    connect(model(), &QAbstractItemModel::dataChanged, this, [this] { FitCells(); });
    setCurrentCell(0, 0);
}

int WordGrid::CellWidth(const QString& text) const {
    // The margins a cell keeps each side of its text, its grid line, and a pixel
    // for the rounding between measuring and drawing.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QFontMetrics metrics = fontMetrics();
    return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).width()) +
           2 * margin + (showGrid() ? 1 : 0) + 1;
}

int WordGrid::CellHeight(int row, int column, int width) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::WrapText;
    option.rect = QRect(0, 0, width, kDesignRowHeight);
    return itemDelegate()->sizeHint(option, model()->index(row, column)).height();
}

void WordGrid::FitCells() {
    const int columns = columnCount();
    const int rows = rowCount();
    if (columns == 0 || rows == 0) {
        return;
    }
    // One pixel of each column and row is its grid line.
    const int line = showGrid() ? 1 : 0;
    std::vector<int> widths(static_cast<std::size_t>(columns), 0);
    // The widest word of each column: where the words wrap, the least it can have.
    std::vector<int> wordWidths(static_cast<std::size_t>(columns), CellWidth(QString()));
    for (int column = 0; column < columns; ++column) {
        auto& width = widths[static_cast<std::size_t>(column)];
        auto& wordWidth = wordWidths[static_cast<std::size_t>(column)];
        for (int row = 0; row < rows; ++row) {
            const QTableWidgetItem* cell = item(row, column);
            const QString shown = ShownText(cell != nullptr ? cell->text() : QString());
            width = std::max(width, CellWidth(shown));
            for (const QString& word : shown.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                wordWidth = std::max(wordWidth, CellWidth(word));
            }
        }
    }
    const int room = viewport()->width();
    const bool wrap = std::accumulate(widths.begin(), widths.end(), 0) > room;
    if (wrap) {
        // Every column as wide as its widest word, and what is left given where
        // it saves the most lines: to the columns that still wrap, in fair shares.
        const int words = std::accumulate(wordWidths.begin(), wordWidths.end(), 0);
        std::vector<int> wishes(widths.size());
        for (std::size_t i = 0; i < widths.size(); ++i) {
            wishes[i] = widths[i] - wordWidths[i];
        }
        const std::vector<int> extra = FairShares(wishes, room - words);
        const std::vector<int> squeezed = FairShares(wordWidths, room);
        for (std::size_t i = 0; i < widths.size(); ++i) {
            widths[i] = words > room ? squeezed[i] : wordWidths[i] + extra[i];
        }
    }
    Spread(widths, room);
    setWordWrap(wrap);

    std::vector<int> heights(static_cast<std::size_t>(rows), kDesignRowHeight);
    if (wrap) {
        // Each row as high as its most wrapped word needs, the rest spread out.
        for (int row = 0; row < rows; ++row) {
            auto& height = heights[static_cast<std::size_t>(row)];
            height = 0;
            for (int column = 0; column < columns; ++column) {
                height = std::max(
                    height,
                    CellHeight(row, column, widths[static_cast<std::size_t>(column)] - line) +
                        line);
            }
        }
        heights = FairShares(heights, viewport()->height());
        Spread(heights, std::min(viewport()->height(), rows * kDesignRowHeight));
    }
    for (int column = 0; column < columns; ++column) {
        setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
    }
    for (int row = 0; row < rows; ++row) {
        setRowHeight(row, heights[static_cast<std::size_t>(row)]);
    }
}

void WordGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    FitCells();
}

void WordGrid::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitCells();
    }
}

void WordGrid::IgnoreCurrentPress() {
    ignorePress_ = true;
    // Should the press land elsewhere after all, the next one must work normally.
    QMetaObject::invokeMethod(
        this, [this] { ignorePress_ = false; }, Qt::QueuedConnection);
}

void WordGrid::mousePressEvent(QMouseEvent* event) {
    if (ignorePress_) {
        ignorePress_ = false;
        ignoringPress_ = true;
        pressedOnCell_ = false;
        event->accept();
        return;
    }
    pressedOnCell_ =
        event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid();
    QTableWidget::mousePressEvent(event);
}

void WordGrid::mouseMoveEvent(QMouseEvent* event) {
    if (ignoringPress_) {
        event->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

void WordGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (ignoringPress_) {
        event->accept();
        return;
    }
    // The second press of a double-click has already selected the cell; its
    // release must not count as a second click.
    inDoubleClick_ = true;
    QTableWidget::mouseDoubleClickEvent(event);
}

void WordGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (ignoringPress_) {
        if (event->buttons() == Qt::NoButton) {
            ignoringPress_ = false;
        }
        event->accept();
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
    const bool clicked = event->button() == Qt::LeftButton && pressedOnCell_ &&
                         indexAt(event->position().toPoint()).isValid();
    const bool secondOfDouble = inDoubleClick_;
    if (event->button() == Qt::LeftButton) {
        pressedOnCell_ = false;
        inDoubleClick_ = false;
    }
    if (clicked && !secondOfDouble && onSelect_) {
        onSelect_();
    }
}

void WordGrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    QTableWidget::keyPressEvent(event);
    if (IsNavigationKey(event->key()) && currentIndex().isValid() && currentIndex() != before &&
        onSelect_) {
        onSelect_();
    }
}

void WordGrid::focusInEvent(QFocusEvent* event) {
    focusReason_ = event->reason();
    QTableWidget::focusInEvent(event);
}

}  // namespace quorvane
