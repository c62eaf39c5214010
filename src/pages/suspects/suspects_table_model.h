#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "core/evidence/suspects_view.h"

namespace quorvane {

// The ranked suspects of one symptom. A diary of random bytes gives a symptom
// a million foods, so the model sorts itself on the figures (10 follows 9, 0.001
// comes before 0.01) and makes a row's texts only when the view first asks for them.
class SuspectsTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit SuspectsTableModel(QObject* parent = nullptr);

    // The exact figure behind a rounded cell, for tests and for sorting elsewhere.
    static constexpr int FigureRole = Qt::UserRole + 1;

    // The group must outlive the model's use of it; null empties the table. The
    // rows come in the last sort's order.
    void SetSymptom(const SymptomSuspects* suspects);
    // The engine's row shown at this row of the table.
    const SuspectRow* Row(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  private:
    using RowTexts = std::array<QString, kViewColumnCount>;
    const RowTexts& TextsOf(std::size_t engineRow) const;
    void Order();

    const SymptomSuspects* suspects_ = nullptr;
    std::vector<std::size_t> order_;                        // table row -> engine row
    mutable std::vector<std::unique_ptr<RowTexts>> texts_;  // by engine row, made when asked
    mutable std::array<QIcon, 6> tierIcons_;  // by SuspectTier, drawn when first asked for
    int sortColumn_ = kViewRank;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace quorvane
