#include "pages/results/results_grid_model.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

#include "core/analysis/text_grid.h"
#include "ui/text_file.h"

namespace quorvane {

ResultsGridModel::ResultsGridModel(const TextGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

void ResultsGridModel::Refresh() {
    beginResetModel();
    shading_.Recompute(grid_);
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
            if (const auto shade = shading_.CellShade(grid_, index.column(), index.row())) {
                return QColor(shade->Red, shade->Green, shade->Blue);
            }
            return {};
        case Qt::ToolTipRole: {
            if (evidence_ == nullptr) {
                return {};
            }
            const std::string text =
                ResultsCellTooltip(*evidence_, grid_, index.column(), index.row());
            if (text.empty()) {
                return {};
            }
            // Shown as escaped rich text, so a diary line holding "<" stays text and
            // the indented evidence days keep their spaces.
            return QStringLiteral("<p style='white-space:pre'>") +
                   FromDiskBytes(text).toHtmlEscaped().replace(QLatin1Char('\n'),
                                                               QStringLiteral("<br>")) +
                   QStringLiteral("</p>");
        }
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
