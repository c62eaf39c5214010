#include "pages/suspects/suspects_table_model.h"

#include "ui/text_codec.h"

namespace quorvane {

SuspectsTableModel::SuspectsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void SuspectsTableModel::SetSymptom(const SymptomSuspects* suspects) {
    beginResetModel();
    suspects_ = suspects;
    texts_.clear();
    if (suspects_ != nullptr) {
        texts_.reserve(suspects_->Rows.size());
        for (const SuspectRow& row : suspects_->Rows) {
            const auto fields = SuspectViewFields(row);
            auto& texts = texts_.emplace_back();
            for (std::size_t i = 0; i < fields.size(); ++i) {
                texts[i] = FromDiskBytes(fields[i]);
            }
        }
    }
    endResetModel();
}

const SuspectRow* SuspectsTableModel::Row(int row) const {
    if (suspects_ == nullptr || row < 0 || row >= rowCount()) {
        return nullptr;
    }
    return &suspects_->Rows[static_cast<std::size_t>(row)];
}

int SuspectsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(texts_.size());
}

int SuspectsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kViewColumnCount;
}

QVariant SuspectsTableModel::data(const QModelIndex& index, int role) const {
    const SuspectRow* row = index.isValid() ? Row(index.row()) : nullptr;
    if (row == nullptr) {
        return {};
    }
    const auto& texts = texts_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return texts[static_cast<std::size_t>(index.column())];
        case kSortRole:
            if (SuspectViewNumeric(index.column())) {
                return SuspectViewSortKey(*row, index.column());
            }
            return texts[static_cast<std::size_t>(index.column())];
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
