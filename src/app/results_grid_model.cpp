#include "app/results_grid_model.h"

#include <QApplication>
#include <QPalette>

#include "analysis/text_grid.h"
#include "documents/text_file.h"

namespace quorvane {

ResultsGridModel::ResultsGridModel(const TextGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

void ResultsGridModel::Refresh() {
    beginResetModel();
    endResetModel();
}

int ResultsGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.RowCount();
}

int ResultsGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.ColCount();
}

QVariant ResultsGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return FromDiskBytes(grid_.Cell(index.column(), index.row()));
        case Qt::BackgroundRole:
            if (index.row() == 0) {
                return QApplication::palette().brush(QPalette::Button);
            }
            return {};
        default:
            return {};
    }
}

Qt::ItemFlags ResultsGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace quorvane
