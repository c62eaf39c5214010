#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <vector>

#include "core/evidence/suspects_view.h"

namespace quorvane {

// The ranked suspects of one symptom. The texts are made once per symptom
// chosen; a sort proxy orders by kSortRole, which holds the figure itself for
// the numeric columns, so that 10 follows 9 and 0.001 comes before 0.01.
class SuspectsTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kSortRole = Qt::UserRole;

    explicit SuspectsTableModel(QObject* parent = nullptr);

    // The group must outlive the model's use of it; null empties the table.
    void SetSymptom(const SymptomSuspects* suspects);
    const SuspectRow* Row(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    const SymptomSuspects* suspects_ = nullptr;
    std::vector<std::array<QString, kViewColumnCount>> texts_;
};

}  // namespace quorvane
