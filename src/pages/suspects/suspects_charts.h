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

// The top suspects' ratios with their 95 % ranges on a log axis, the line at 1
// where a food makes no difference, the axis's title and a legend of the tiers.
// As tall as its rows need.
class ForestChart : public QWidget {
    Q_OBJECT
  public:
    explicit ForestChart(QWidget* parent = nullptr);
    void SetPlot(ForestPlot plot, const QString& selectedItem);
    const ForestPlot& Plot() const { return plot_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ForestPlot plot_;
    QString selected_;
};

// The diary as a calendar: a square per day, the symptom's onsets and episode
// days coloured, the selected food's days dotted. The arrow keys walk the days
// and the line under the legend says what the framed day holds.
class CalendarChart : public QWidget {
    Q_OBJECT
  public:
    explicit CalendarChart(QWidget* parent = nullptr);
    void SetTimeline(SuspectTimeline timeline, const QString& food, const QString& symptom);
    const SuspectTimeline& Timeline() const { return timeline_; }
    int Cursor() const { return cursor_; }
    QString CursorText() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void MoveCursor(int day);

    SuspectTimeline timeline_;
    QString food_;
    QString symptom_;
    int cursor_ = -1;  // -1 until the keyboard comes
};

}  // namespace quorvane
