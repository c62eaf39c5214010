#include "pages/suspects/suspects_table_model.h"

#include <string>

#include "pages/suspects/suspects_painting.h"
#include "ui/text_codec.h"

namespace quorvane {

SuspectsTableModel::SuspectsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void SuspectsTableModel::SetSymptom(const SymptomSuspects* suspects) {
    beginResetModel();
    suspects_ = suspects;
    const std::size_t rows = suspects_ != nullptr ? suspects_->Rows.size() : 0;
    texts_.clear();
    texts_.resize(rows);
    Order();
    endResetModel();
}

void SuspectsTableModel::Order() {
    order_ = suspects_ != nullptr
                 ? SuspectViewOrder(suspects_->Rows, sortColumn_, sortOrder_ == Qt::DescendingOrder)
                 : std::vector<std::size_t>();
}

void SuspectsTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kViewColumnCount) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selection and the current row follow their engine row to its new place.
    const QModelIndexList before = persistentIndexList();
    std::vector<std::size_t> engineRows;
    engineRows.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) {
        engineRows.push_back(order_[static_cast<std::size_t>(index.row())]);
    }
    sortColumn_ = column;
    sortOrder_ = order;
    Order();
    std::vector<int> placeOf(order_.size());
    for (std::size_t row = 0; row < order_.size(); ++row) {
        placeOf[order_[row]] = static_cast<int>(row);
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        after.append(index(placeOf[engineRows[static_cast<std::size_t>(i)]], before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

const SuspectsTableModel::RowTexts& SuspectsTableModel::TextsOf(std::size_t engineRow) const {
    std::unique_ptr<RowTexts>& texts = texts_[engineRow];
    if (texts == nullptr) {
        texts = std::make_unique<RowTexts>();
        const auto fields = SuspectViewFields(suspects_->Rows[engineRow]);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            (*texts)[i] = FromDiskBytes(fields[i]);
        }
    }
    return *texts;
}

const SuspectRow* SuspectsTableModel::Row(int row) const {
    if (suspects_ == nullptr || row < 0 || row >= rowCount()) {
        return nullptr;
    }
    return &suspects_->Rows[order_[static_cast<std::size_t>(row)]];
}

int SuspectsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int SuspectsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kViewColumnCount;
}

QVariant SuspectsTableModel::data(const QModelIndex& index, int role) const {
    const SuspectRow* row = Row(index.isValid() ? index.row() : -1);
    if (row == nullptr) {
        return {};
    }
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return TextsOf(
                order_[static_cast<std::size_t>(index.row())])[static_cast<std::size_t>(column)];
        case Qt::ToolTipRole:
            return FromDiskBytes(SuspectViewTip(*row, column));
        case FigureRole:
            if (SuspectViewNumeric(column)) {
                return SuspectViewSortKey(*row, column);
            }
            return {};
        case Qt::DecorationRole:
            if (column == kViewTier) {
                // Drawn when first shown: a pixmap needs the GUI application.
                QIcon& icon = tierIcons_[static_cast<std::size_t>(row->Tier)];
                if (icon.isNull()) {
                    icon = TierIcon(row->Tier, 16);
                }
                return icon;
            }
            return {};
        case Qt::BackgroundRole:
            if (const QColor tint = TierTint(row->Tier); tint.isValid()) {
                return tint;
            }
            return {};
        case Qt::ForegroundRole:
            // Dark text on the light tint, whatever the desktop's colours.
            if (TierTint(row->Tier).isValid()) {
                return QColor(Qt::black);
            }
            return {};
        case Qt::TextAlignmentRole:
            if (SuspectViewNumeric(column) && column != kViewTier) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant SuspectsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    const std::string_view text = role == Qt::DisplayRole   ? SuspectViewHeading(section)
                                  : role == Qt::ToolTipRole ? SuspectViewHeadingTip(section)
                                                            : std::string_view();
    if (text.empty()) {
        return {};
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace quorvane
