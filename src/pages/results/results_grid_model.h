#pragma once

#include <QAbstractTableModel>

#include "core/evidence/evidence_text.h"

namespace quorvane {

class Analysis;

// Shows the results grid's cells without copying them: the view asks for the
// visible cells only, so a grid of thousands of rows costs nothing to fill.
// Row 0 is the heading row, drawn like a fixed row. Correlation cells are shaded
// by their value within their column and, given the evidence of the last read,
// explain themselves in a tooltip.
class ResultsGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ResultsGridModel(const Analysis& analysis, QObject* parent = nullptr);

    // Connected to the analysis' grid-changed notification: the view reads the
    // grid afresh.
    void Refresh();
    // While the engine fills the grid on another thread the view shows no cells
    // and reads none, until the next Refresh.
    void Suspend();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    const Analysis& analysis_;
    ResultsShading shading_;
    bool suspended_ = false;
};

}  // namespace quorvane
