#include "pages/suspects/suspects_painting.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "core/evidence/suspects_plain.h"
#include "ui/text_codec.h"

namespace quorvane {

namespace {

constexpr int kMargin = 6;
const QColor kOnsetColour(200, 30, 30);
const QColor kEpisodeColour(244, 166, 166);
const QColor kQuietColour(228, 228, 228);
const QColor kFoodColour(20, 60, 160);

QString Latin(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

int RowHeight(const QFontMetrics& metrics) {
    return metrics.height() + 4;
}

// The legend's entries in place: a mark and its words, wrapped onto lines.
struct LegendEntry {
    SuspectTier Tier;
    QString Text;
    QRect Box;  // the mark's square; the words follow it
};

std::vector<LegendEntry> LegendOf(const ForestPlot& plot, const QFontMetrics& metrics, int left,
                                  int top, int width) {
    std::vector<LegendEntry> entries;
    const int mark = metrics.height() - 4;
    int x = left;
    int y = top;
    for (const SuspectTier tier :
         {SuspectTier::Strong, SuspectTier::Suggestive, SuspectTier::NotEnoughData,
          SuspectTier::TooLittleData, SuspectTier::ProbablyTolerated,
          SuspectTier::PossiblyProtective}) {
        const bool shown =
            std::any_of(plot.Rows.begin(), plot.Rows.end(),
                        [&](const ForestPlot::Row& row) { return row.Tier == tier; });
        if (!shown) {
            continue;
        }
        const QString text = Latin(TierLabel(tier));
        const int needed = mark + 4 + metrics.horizontalAdvance(text);
        if (x > left && x + needed > left + width) {
            x = left;
            y += metrics.height();
        }
        entries.push_back({tier, text, QRect(x, y + 2, mark, mark)});
        x += needed + 3 * kMargin;
    }
    return entries;
}

int LegendHeight(const std::vector<LegendEntry>& entries, const QFontMetrics& metrics, int top) {
    return entries.empty() ? 0 : entries.back().Box.top() - 2 - top + metrics.height();
}

struct CalendarGrid {
    int Cell = 0;
    int Label = 0;  // the width of the "day N" labels left of the rows, 0 when too small
    int Columns = 7;
    int Rows = 0;
};

CalendarGrid GridFor(uint32_t days, const QFontMetrics& metrics, int width, int cell) {
    CalendarGrid grid;
    grid.Cell = cell;
    grid.Label = cell >= 8 ? metrics.horizontalAdvance(QStringLiteral("day 00000")) : 0;
    const int room = std::max(7 * cell, width - grid.Label);
    grid.Columns = std::max(7, room / cell / 7 * 7);
    grid.Rows = static_cast<int>((days + static_cast<uint32_t>(grid.Columns) - 1) /
                                 static_cast<uint32_t>(grid.Columns));
    return grid;
}

int PreferredCell(const QFontMetrics& metrics) {
    return std::clamp(metrics.height(), 10, 40);
}

bool Holds(const std::vector<uint32_t>& days, uint32_t day) {
    return std::binary_search(days.begin(), days.end(), day);
}

void DrawDay(QPainter& painter, const QRect& box, const SuspectTimeline& timeline, uint32_t day) {
    const QColor fill = Holds(timeline.Onsets, day)        ? kOnsetColour
                        : Holds(timeline.SymptomDays, day) ? kEpisodeColour
                                                           : kQuietColour;
    painter.fillRect(box.adjusted(0, 0, -1, -1), fill);
    if (Holds(timeline.Eaten, day)) {
        // A white ring keeps the dot clear on the red of an onset.
        const double radius = std::max(1.5, box.width() * 0.26);
        painter.setPen(box.width() >= 8 ? QPen(Qt::white, 1) : Qt::NoPen);
        painter.setBrush(kFoodColour);
        painter.drawEllipse(QRectF(box).adjusted(0, 0, -1, -1).center(), radius, radius);
        painter.setBrush(Qt::NoBrush);
    }
}

}  // namespace

ChartStyle ChartStyle::Of(const QWidget& widget) {
    const QPalette& palette = widget.palette();
    return {palette.color(QPalette::Base), palette.color(QPalette::Text),
            palette.color(QPalette::Mid), widget.font()};
}

ChartStyle ChartStyle::Paper(const QFont& font) {
    return {Qt::white, Qt::black, QColor(170, 170, 170), font};
}

QColor TierColour(SuspectTier tier) {
    switch (tier) {
        case SuspectTier::Strong:
            return {170, 0, 0};
        case SuspectTier::Suggestive:
            return {205, 105, 0};
        case SuspectTier::ProbablyTolerated:
        case SuspectTier::PossiblyProtective:
            return {30, 130, 60};
        default:
            return {110, 110, 110};
    }
}

QColor TierTint(SuspectTier tier) {
    switch (tier) {
        case SuspectTier::Strong:
            return {250, 215, 215};
        case SuspectTier::Suggestive:
            return {253, 233, 204};
        case SuspectTier::ProbablyTolerated:
        case SuspectTier::PossiblyProtective:
            return {222, 242, 226};
        default:
            return {};
    }
}

void DrawTierMark(QPainter& painter, const QRectF& box, SuspectTier tier) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = TierColour(tier);
    const QRectF r = box.adjusted(1, 1, -1, -1);
    QPainterPath up;
    up.moveTo(r.center().x(), r.top());
    up.lineTo(r.bottomRight());
    up.lineTo(r.bottomLeft());
    up.closeSubpath();
    QPainterPath down;
    down.moveTo(r.topLeft());
    down.lineTo(r.topRight());
    down.lineTo(r.center().x(), r.bottom());
    down.closeSubpath();
    const double pen = std::max(1.0, r.width() / 7);
    switch (tier) {
        case SuspectTier::Strong:
            painter.fillPath(up, colour);
            break;
        case SuspectTier::Suggestive:
            painter.setPen(QPen(colour, pen));
            painter.drawPath(up);
            break;
        case SuspectTier::NotEnoughData:
            painter.setPen(QPen(colour, pen));
            painter.drawEllipse(r.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));
            break;
        case SuspectTier::TooLittleData: {
            const double radius = r.width() / 6;
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(r.center(), radius, radius);
            break;
        }
        case SuspectTier::ProbablyTolerated:
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(r.adjusted(pen, pen, -pen, -pen));
            break;
        case SuspectTier::PossiblyProtective:
            painter.fillPath(down, colour);
            break;
    }
    painter.restore();
}

QIcon TierIcon(SuspectTier tier, int size) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        DrawTierMark(painter, QRectF(0, 0, size * scale, size * scale), tier);
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

int ForestHeight(const ForestPlot& plot, const QFont& font, int width) {
    const QFontMetrics metrics(font);
    const int rows = std::max<int>(1, static_cast<int>(plot.Rows.size()));
    const std::vector<LegendEntry> legend = LegendOf(plot, metrics, 0, 0, width - 2 * kMargin);
    return 2 * kMargin + rows * RowHeight(metrics) + 2 * metrics.height() + 6 +
           LegendHeight(legend, metrics, 0) + kMargin;
}

void PaintForest(QPainter& painter, const QRect& whole, const ForestPlot& plot,
                 const QString& selected, const ChartStyle& style) {
    painter.save();
    painter.setFont(style.Font);
    painter.fillRect(whole, style.Base);
    const QRect area = whole.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QFontMetrics metrics(style.Font);
    if (plot.Rows.empty()) {
        painter.setPen(style.Grid);
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No food was had on 3 days or more, so none is charted."));
        painter.restore();
        return;
    }
    const int line = metrics.height();
    const std::vector<LegendEntry> probe = LegendOf(plot, metrics, 0, 0, area.width());
    const int legendHeight = LegendHeight(probe, metrics, 0);
    const int bottom = area.bottom() - legendHeight - kMargin - 2 * line - 4;
    int labelWidth = 0;
    for (const ForestPlot::Row& row : plot.Rows) {
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(FromDiskBytes(row.Item)));
    }
    labelWidth = std::min(labelWidth + 4, area.width() / 3);
    const int markSize = line - 2;
    const int left = area.left() + labelWidth + markSize + 2 * kMargin;
    const int right =
        area.right() - metrics.horizontalAdvance(FromDiskBytes(AxisTickText(plot.AxisHigh))) / 2;
    // As many of the top rows as fit without their labels running together.
    const int count = static_cast<int>(plot.Rows.size());
    const int available = std::max(line, bottom - area.top());
    const int step = std::clamp(available / count, line, RowHeight(metrics));
    const int shown = std::clamp(available / step, 1, count);
    const auto x = [&](double value) {
        return left + static_cast<int>(AxisFraction(plot, value) * (right - left));
    };
    const int plotBottom = area.top() + shown * step;

    // The scale first, so that the intervals are drawn over its lines.
    painter.setPen(style.Grid);
    int labelsEnd = INT_MIN;  // a label that would touch the one before is left out
    for (const double tick : AxisTicks(plot)) {
        painter.drawLine(x(tick), area.top(), x(tick), plotBottom);
        const QString text = FromDiskBytes(AxisTickText(tick));
        const int width = metrics.horizontalAdvance(text);
        const QRect box(x(tick) - width / 2, plotBottom + 2, width, line);
        if (box.left() > labelsEnd + 4) {
            painter.setPen(style.Text);
            painter.drawText(box, Qt::AlignHCenter, text);
            painter.setPen(style.Grid);
            labelsEnd = box.right();
        }
    }
    painter.setPen(QPen(style.Text, 1, Qt::DashLine));
    painter.drawLine(x(1), area.top(), x(1), plotBottom);
    painter.setPen(style.Text);
    const QString title = QStringLiteral("times as often as on other days, 95 % range");
    painter.drawText(QRect(left, plotBottom + 2 + line, right - left, line), Qt::AlignHCenter,
                     metrics.elidedText(title, Qt::ElideRight, area.width()));

    for (int i = 0; i < shown; ++i) {
        const ForestPlot::Row& row = plot.Rows[static_cast<std::size_t>(i)];
        const int y = area.top() + i * step + step / 2;
        const QString item = FromDiskBytes(row.Item);
        QFont font = style.Font;
        font.setBold(item == selected);
        painter.setFont(font);
        painter.setPen(style.Text);
        painter.drawText(QRect(area.left(), y - step / 2, labelWidth, step),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetrics(font).elidedText(item, Qt::ElideRight, labelWidth));
        const QColor colour = TierColour(row.Tier);
        painter.setPen(QPen(colour, item == selected ? 3 : 1.5));
        const int high = std::isfinite(row.Risk.High) ? x(row.Risk.High) : right;
        painter.drawLine(x(row.Risk.Low), y, high, y);
        if (!std::isfinite(row.Risk.High)) {
            // No upper limit: the range runs off the axis.
            painter.drawLine(right, y, right - 5, y - 4);
            painter.drawLine(right, y, right - 5, y + 4);
        }
        const int point = std::isfinite(row.Risk.Ratio) ? x(row.Risk.Ratio) : right;
        painter.fillRect(
            QRect(point - markSize / 2 - 1, y - markSize / 2 - 1, markSize + 2, markSize + 2),
            style.Base);
        DrawTierMark(painter, QRectF(point - markSize / 2, y - markSize / 2, markSize, markSize),
                     row.Tier);
    }
    painter.setFont(style.Font);
    painter.setPen(style.Text);
    const int legendTop = area.bottom() - legendHeight + 1;
    for (const LegendEntry& entry : LegendOf(plot, metrics, area.left(), legendTop, area.width())) {
        DrawTierMark(painter, entry.Box, entry.Tier);
        painter.drawText(QRect(entry.Box.right() + 5, entry.Box.top() - 2, area.width(), line),
                         Qt::AlignLeft, entry.Text);
    }
    painter.restore();
}

int CalendarHeight(uint32_t days, const QFont& font, int width) {
    const QFontMetrics metrics(font);
    const CalendarGrid grid =
        GridFor(std::max<uint32_t>(days, 1), metrics, width - 2 * kMargin, PreferredCell(metrics));
    return 2 * kMargin + grid.Rows * grid.Cell + 2 * metrics.height() + 8;
}

QString CalendarDayText(const SuspectTimeline& timeline, const QString& food,
                        const QString& symptom, uint32_t day) {
    QStringList facts;
    if (!food.isEmpty() && Holds(timeline.Eaten, day)) {
        facts.append(QStringLiteral("%1 eaten").arg(food));
    }
    if (Holds(timeline.Onsets, day)) {
        facts.append(QStringLiteral("%1 began").arg(symptom));
    } else if (Holds(timeline.SymptomDays, day)) {
        facts.append(QStringLiteral("%1 went on").arg(symptom));
    }
    if (facts.isEmpty()) {
        facts.append(QStringLiteral("nothing marked"));
    }
    return QStringLiteral("Day %1: %2").arg(day + 1).arg(facts.join(QStringLiteral("; ")));
}

void PaintCalendar(QPainter& painter, const QRect& whole, const SuspectTimeline& timeline,
                   const QString& food, const QString& symptom, const ChartStyle& style,
                   int cursor) {
    painter.save();
    painter.setFont(style.Font);
    painter.fillRect(whole, style.Base);
    const QRect area = whole.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QFontMetrics metrics(style.Font);
    const int line = metrics.height();
    if (timeline.Days == 0) {
        painter.setPen(style.Grid);
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No diary days to show."));
        painter.restore();
        return;
    }
    // The largest squares, up to about two lines, that let every day fit above
    // the legend: a short diary fills the room it has.
    const int room = area.height() - 2 * line - 8;
    CalendarGrid grid = GridFor(timeline.Days, metrics, area.width(), 2 * line);
    while (grid.Cell > 2 && grid.Rows * grid.Cell > room) {
        grid = GridFor(timeline.Days, metrics, area.width(), grid.Cell - 1);
    }
    const int left = area.left() + grid.Label;
    painter.setPen(style.Text);
    for (int row = 0; row < grid.Rows; ++row) {
        const int top = area.top() + row * grid.Cell;
        if (grid.Label > 0) {
            painter.drawText(QRect(area.left(), top, grid.Label - 4, grid.Cell),
                             Qt::AlignRight | Qt::AlignVCenter,
                             QStringLiteral("day %1").arg(row * grid.Columns + 1));
        }
    }
    for (uint32_t day = 0; day < timeline.Days; ++day) {
        const int column = static_cast<int>(day % static_cast<uint32_t>(grid.Columns));
        const int row = static_cast<int>(day / static_cast<uint32_t>(grid.Columns));
        // A hair's gap after each week keeps the weeks apart.
        const QRect box(left + column * grid.Cell, area.top() + row * grid.Cell, grid.Cell,
                        grid.Cell);
        DrawDay(painter, box, timeline, day);
        if (static_cast<int>(day) == cursor) {
            painter.setPen(QPen(style.Text, 2));
            painter.drawRect(box.adjusted(1, 1, -2, -2));
        }
    }

    // The legend: each swatch drawn as the calendar draws such a day.
    int x = area.left();
    const int y = area.top() + grid.Rows * grid.Cell + 6;
    const int swatch = line - 2;
    const auto entry = [&](const QString& text, auto draw) {
        draw(QRect(x, y + 1, swatch, swatch));
        painter.setPen(style.Text);
        painter.drawText(QRect(x + swatch + 4, y, area.right() - x, line), Qt::AlignLeft, text);
        x += swatch + 4 + metrics.horizontalAdvance(text) + 3 * kMargin;
    };
    SuspectTimeline sample;
    sample.Days = 1;
    sample.Onsets = {0};
    entry(QStringLiteral("%1 began").arg(symptom),
          [&](const QRect& box) { DrawDay(painter, box, sample, 0); });
    sample.Onsets.clear();
    sample.SymptomDays = {0};
    entry(QStringLiteral("went on"), [&](const QRect& box) { DrawDay(painter, box, sample, 0); });
    if (!food.isEmpty()) {
        sample.SymptomDays.clear();
        sample.Eaten = {0};
        entry(QStringLiteral("%1 eaten").arg(food),
              [&](const QRect& box) { DrawDay(painter, box, sample, 0); });
    }
    if (cursor >= 0 && static_cast<uint32_t>(cursor) < timeline.Days) {
        painter.setPen(style.Text);
        painter.drawText(QRect(area.left(), y + line + 2, area.width(), line), Qt::AlignLeft,
                         metrics.elidedText(CalendarDayText(timeline, food, symptom,
                                                            static_cast<uint32_t>(cursor)),
                                            Qt::ElideRight, area.width()));
    }
    painter.restore();
}

}  // namespace quorvane
