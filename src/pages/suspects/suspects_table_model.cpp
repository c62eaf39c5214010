#include "pages/suspects/suspects_table_model.h"

#include <string>

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
    if (Row(index.isValid() ? index.row() : -1) == nullptr) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return TextsOf(order_[static_cast<std::size_t>(index.row())])[static_cast<std::size_t>(
                index.column())];
        case Qt::TextAlignmentRole:
            if (SuspectViewNumeric(index.column()) && index.column() != kViewTier) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant SuspectsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return {};
    }
    const std::string_view heading = SuspectViewHeading(section);
    return QString::fromLatin1(heading.data(), static_cast<qsizetype>(heading.size()));
}

}  // namespace quorvane
