#include "pages/suspects/suspects_charts.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <climits>

#include "ui/text_codec.h"

namespace quorvane {

namespace {

constexpr int kMargin = 6;
constexpr int kMark = 9;
constexpr int kForestRowHeight = 16;
constexpr int kMinimumRow = 12;
constexpr int kForestLabelWidth = 110;

// Told apart by place as well as colour: food above the line, onsets below.
const QColor kFoodColour(20, 90, 200);
const QColor kOnsetColour(200, 30, 30);

QColor TierColour(SuspectTier tier) {
    switch (tier) {
        case SuspectTier::Strong:
            return {170, 0, 0};
        case SuspectTier::Suggestive:
            return {220, 120, 0};
        case SuspectTier::ProbablyTolerated:
        case SuspectTier::PossiblyProtective:
            return {30, 130, 60};
        default:
            return {110, 110, 110};
    }
}

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
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ForestChart::SetPlot(ForestPlot plot, const QString& selectedItem) {
    plot_ = std::move(plot);
    selected_ = selectedItem;
    updateGeometry();
    update();
}

QSize ForestChart::sizeHint() const {
    const int rows = std::max<int>(1, static_cast<int>(plot_.Rows.size()));
    return {400, rows * kForestRowHeight + fontMetrics().height() + 3 * kMargin + 6};
}

QSize ForestChart::minimumSizeHint() const {
    return {160, 3 * kForestRowHeight + fontMetrics().height() + 3 * kMargin};
}

void ForestChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (plot_.Rows.empty()) {
        DrawEmpty(painter, area, QStringLiteral("No suspects to show."));
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const int labelWidth = std::min(kForestLabelWidth, area.width() / 3);
    const int left = area.left() + labelWidth + kMargin;
    const int right =
        area.right() - metrics.horizontalAdvance(FromDiskBytes(AxisTickText(plot_.AxisHigh))) / 2;
    const int bottom = area.bottom() - metrics.height() - 4;
    // As many of the top rows as fit without their labels running together.
    const int room = std::max(1, bottom - area.top());
    const int rowHeight =
        std::clamp(room / static_cast<int>(plot_.Rows.size()), kMinimumRow, kForestRowHeight);
    const int rows = std::clamp(room / rowHeight, 1, static_cast<int>(plot_.Rows.size()));
    const auto x = [&](double value) {
        return left + static_cast<int>(AxisFraction(plot_, value) * (right - left));
    };

    // The scale first, so that the intervals are drawn over its lines.
    painter.setPen(palette().color(QPalette::Mid));
    int labelsEnd = INT_MIN;  // a label that would touch the one before is left out
    for (const double tick : AxisTicks(plot_)) {
        painter.drawLine(x(tick), area.top(), x(tick), bottom);
        const QString text = FromDiskBytes(AxisTickText(tick));
        const int width = metrics.horizontalAdvance(text);
        const QRect box(x(tick) - width / 2, bottom + 2, width, metrics.height());
        if (box.left() > labelsEnd + 4) {
            painter.save();
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(box, Qt::AlignHCenter, text);
            painter.restore();
            labelsEnd = box.right();
        }
    }
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DashLine));
    painter.drawLine(x(1), area.top(), x(1), bottom);

    for (int i = 0; i < rows; ++i) {
        const ForestPlot::Row& row = plot_.Rows[static_cast<std::size_t>(i)];
        const int y = area.top() + i * rowHeight + rowHeight / 2;
        const QString item = FromDiskBytes(row.Item);
        QFont font = painter.font();
        font.setBold(item == selected_);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRect(area.left(), y - rowHeight / 2, labelWidth, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetrics(font).elidedText(item, Qt::ElideRight, labelWidth));
        const QColor colour = TierColour(row.Tier);
        painter.setPen(QPen(colour, item == selected_ ? 2 : 1));
        painter.drawLine(x(row.Risk.Low), y, x(row.Risk.High), y);
        const int half = std::max(2, rowHeight / 4);
        painter.fillRect(QRect(x(row.Risk.Ratio) - half, y - half, 2 * half, 2 * half), colour);
    }
}

}  // namespace quorvane
