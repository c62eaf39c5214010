#include "pages/suspects/suspects_charts.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "core/evidence/suspects_view.h"
#include "pages/suspects/suspects_painting.h"
#include "ui/text_codec.h"

namespace quorvane {

namespace {

constexpr int kMargin = 6;
constexpr int kMark = 9;

// Told apart by place as well as colour: food above the line, onsets below.
const QColor kFoodColour(20, 90, 200);
const QColor kOnsetColour(200, 30, 30);

void DrawEmpty(QPainter& painter, const QRect& area, const QString& text) {
    painter.setPen(QPalette().color(QPalette::PlaceholderText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text);
}

}  // namespace

TimelineChart::TimelineChart(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TimelineChart::SetTimeline(SuspectTimeline timeline, const QString& food,
                                const QString& symptom) {
    timeline_ = std::move(timeline);
    food_ = food;
    symptom_ = symptom;
    setAccessibleDescription(food_.isEmpty()
                                 ? QString()
                                 : QStringLiteral("%1 on %2 of %3 days; %4 began on %5 days")
                                       .arg(food_)
                                       .arg(timeline_.Eaten.size())
                                       .arg(timeline_.Days)
                                       .arg(symptom_)
                                       .arg(timeline_.Onsets.size()));
    update();
}

QSize TimelineChart::sizeHint() const {
    return {400, minimumSizeHint().height()};
}

QSize TimelineChart::minimumSizeHint() const {
    const int line = fontMetrics().height();
    return {120, 2 * line + 2 * kMark + 3 * kMargin};
}

void TimelineChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (food_.isEmpty() || timeline_.Days == 0) {
        DrawEmpty(painter, area, QStringLiteral("Choose a suspect to see its days."));
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    painter.setPen(palette().color(QPalette::Text));
    const QString legend = QStringLiteral("%1 eaten (above) and %2 begun (below), %3 days")
                               .arg(food_, symptom_)
                               .arg(timeline_.Days);
    painter.drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignLeft,
                     metrics.elidedText(legend, Qt::ElideRight, area.width()));

    const int axis = area.top() + line + kMark + 2;
    painter.drawLine(area.left(), axis, area.right(), axis);
    const double perDay = static_cast<double>(area.width()) / timeline_.Days;
    const auto x = [&](uint32_t day) {
        return area.left() + static_cast<int>((day + 0.5) * perDay);
    };
    painter.setPen(QPen(kFoodColour, std::max(1.0, std::min(3.0, perDay - 1))));
    for (const uint32_t day : timeline_.Eaten) {
        painter.drawLine(x(day), axis - 1, x(day), axis - kMark);
    }
    painter.setPen(QPen(kOnsetColour, std::max(1.0, std::min(3.0, perDay - 1))));
    for (const uint32_t day : timeline_.Onsets) {
        painter.drawLine(x(day), axis + 1, x(day), axis + kMark);
    }
    painter.setPen(palette().color(QPalette::Text));
    const QRect scale(area.left(), axis + kMark + 2, area.width(), line);
    painter.drawText(scale, Qt::AlignLeft, QStringLiteral("day 1"));
    painter.drawText(scale, Qt::AlignRight, QStringLiteral("day %1").arg(timeline_.Days));
}

ForestChart::ForestChart(QWidget* parent) : QWidget(parent) {
    // Reached by Tab so that a keyboard user can have it read out.
    setFocusPolicy(Qt::TabFocus);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void ForestChart::SetPlot(ForestPlot plot, const QString& selectedItem) {
    plot_ = std::move(plot);
    selected_ = selectedItem;
    QStringList rows;
    for (const ForestPlot::Row& row : plot_.Rows) {
        rows.append(FromDiskBytes(row.Item) + QStringLiteral(" ") +
                    FromDiskBytes(RatioRangeText(row.Risk)));
    }
    setAccessibleDescription(rows.join(QStringLiteral("; ")));
    updateGeometry();
    update();
}

int ForestChart::heightForWidth(int width) const {
    return ForestHeight(plot_, font(), width);
}

QSize ForestChart::sizeHint() const {
    return {400, heightForWidth(400)};
}

QSize ForestChart::minimumSizeHint() const {
    // Every row readable: where the page is short, the panel scrolls instead.
    return {160, heightForWidth(400)};
}

void ForestChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintForest(painter, rect(), plot_, selected_, ChartStyle::Of(*this));
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

CalendarChart::CalendarChart(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void CalendarChart::SetTimeline(SuspectTimeline timeline, const QString& food,
                                const QString& symptom) {
    timeline_ = std::move(timeline);
    food_ = food;
    symptom_ = symptom;
    if (cursor_ >= static_cast<int>(timeline_.Days)) {
        cursor_ = -1;
    }
    setAccessibleDescription(CursorText());
    updateGeometry();
    update();
}

QString CalendarChart::CursorText() const {
    if (cursor_ < 0 || timeline_.Days == 0) {
        return QStringLiteral("%1 days; %2 began on %3 of them")
            .arg(timeline_.Days)
            .arg(symptom_)
            .arg(timeline_.Onsets.size());
    }
    return CalendarDayText(timeline_, food_, symptom_, static_cast<uint32_t>(cursor_));
}

int CalendarChart::heightForWidth(int width) const {
    return CalendarHeight(timeline_.Days, font(), width);
}

QSize CalendarChart::sizeHint() const {
    return {400, heightForWidth(400)};
}

QSize CalendarChart::minimumSizeHint() const {
    return {160, 4 * fontMetrics().height()};
}

void CalendarChart::MoveCursor(int day) {
    if (timeline_.Days == 0) {
        return;
    }
    cursor_ = std::clamp(day, 0, static_cast<int>(timeline_.Days) - 1);
    setAccessibleDescription(CursorText());
    update();
}

void CalendarChart::keyPressEvent(QKeyEvent* event) {
    const int at = std::max(cursor_, 0);
    switch (event->key()) {
        case Qt::Key_Left:
            MoveCursor(at - 1);
            break;
        case Qt::Key_Right:
            MoveCursor(at + 1);
            break;
        case Qt::Key_Up:
            MoveCursor(at - 7);
            break;
        case Qt::Key_Down:
            MoveCursor(at + 7);
            break;
        case Qt::Key_Home:
            MoveCursor(0);
            break;
        case Qt::Key_End:
            MoveCursor(static_cast<int>(timeline_.Days) - 1);
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CalendarChart::focusInEvent(QFocusEvent* event) {
    if (cursor_ < 0) {
        MoveCursor(0);
    }
    QWidget::focusInEvent(event);
    update();
}

void CalendarChart::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CalendarChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintCalendar(painter, rect(), timeline_, food_, symptom_, ChartStyle::Of(*this),
                  hasFocus() ? cursor_ : -1);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

}  // namespace quorvane
