#pragma once

#include <QString>
#include <QWidget>

#include "core/evidence/suspects_view.h"

namespace quorvane {

// The diary's days from left to right: a mark above the line for each day the
// food was written down, one below for each day an episode began.
class TimelineChart : public QWidget {
    Q_OBJECT
  public:
    explicit TimelineChart(QWidget* parent = nullptr);
    void SetTimeline(SuspectTimeline timeline, const QString& food, const QString& symptom);
    const SuspectTimeline& Timeline() const { return timeline_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    SuspectTimeline timeline_;
    QString food_;
    QString symptom_;
};

// The top suspects' risk ratios with their 95 % intervals on a log axis, with
// the line at 1 where a food makes no difference.
class ForestChart : public QWidget {
    Q_OBJECT
  public:
    explicit ForestChart(QWidget* parent = nullptr);
    void SetPlot(ForestPlot plot, const QString& selectedItem);
    const ForestPlot& Plot() const { return plot_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ForestPlot plot_;
    QString selected_;
};

}  // namespace quorvane
