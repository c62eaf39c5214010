#pragma once

#include <QByteArray>
#include <QRectF>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/challenge/challenge_plan.h"

class QPainter;

namespace quorvane {

// The plan's days as a calendar: one cell per date from the Monday before the
// start to the Sunday after the end, eat days warm, no-food days cool, wash-out
// days pale (their onsets are not counted), today framed.
struct CalendarLook {
    bool WeeksAsRows = false;  // the printed plan reads down the weeks
    std::optional<int64_t> Today;
};
void DrawChallengeCalendar(QPainter& painter, const QRectF& area, const ChallengePlan& plan,
                           const CalendarLook& look);

class ChallengeCalendar : public QWidget {
    Q_OBJECT
  public:
    explicit ChallengeCalendar(QWidget* parent = nullptr);
    void SetPlan(std::optional<ChallengePlan> plan, std::optional<int64_t> today);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::optional<ChallengePlan> plan_;
    std::optional<int64_t> today_;
};

// The plan for the kitchen wall as a one-page A4 PDF: the safety note first, the
// plan's sentences, then the calendar with a line per week.
QByteArray ChallengePlanPdf(const ChallengePlan& plan, const std::vector<std::string>& lines);

}  // namespace quorvane
