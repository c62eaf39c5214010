#include "pages/composer/word_grid.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>

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

}  // namespace

WordGrid::WordGrid(int columns, int rows, QWidget* parent) : QTableWidget(rows, columns, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(64);
    verticalHeader()->setDefaultSectionSize(24);
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
    setCurrentCell(0, 0);
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
