#include "pages/results/results_grid_model.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

#include "core/analysis/analysis.h"
#include "ui/text_file.h"

namespace quorvane {

ResultsGridModel::ResultsGridModel(const Analysis& analysis, QObject* parent)
    : QAbstractTableModel(parent), analysis_(analysis) {}

void ResultsGridModel::Refresh() {
    beginResetModel();
    suspended_ = false;
    shading_.Recompute(analysis_.Grid());
    endResetModel();
}

void ResultsGridModel::Suspend() {
    beginResetModel();
    suspended_ = true;
    endResetModel();
}

int ResultsGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || suspended_ ? 0 : analysis_.Grid().RowCount();
}

int ResultsGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || suspended_ ? 0 : analysis_.Grid().ColCount();
}

QVariant ResultsGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || suspended_) {
        return {};
    }
    const TextGrid& grid = analysis_.Grid();
    switch (role) {
        case Qt::DisplayRole:
            return FromDiskBytes(grid.Cell(index.column(), index.row()));
        case Qt::BackgroundRole:
            if (index.row() == 0) {
                return QApplication::palette().brush(QPalette::Button);
            }
            if (const auto shade = shading_.CellShade(grid, index.column(), index.row())) {
                return QColor(shade->Red, shade->Green, shade->Blue);
            }
            return {};
        case Qt::ToolTipRole: {
            const std::string text =
                ResultsCellTooltip(analysis_.Evidence(), grid, index.column(), index.row());
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
