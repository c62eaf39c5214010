#include "pages/suspects/challenge_calendar.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <array>

#include "core/challenge/challenge_date.h"
#include "core/challenge/challenge_text.h"
#include "core/text/quorvane_error.h"
#include "ui/text_codec.h"

namespace quorvane {

namespace {

const QColor kEat(0xF2, 0x9E, 0x4C);
const QColor kAvoid(0x6F, 0xA8, 0xDC);
const QColor kOutside(0xEE, 0xEE, 0xEE);

QColor Fill(const ChallengePlan& plan, int64_t planDay) {
    const char side = plan.Instruction(planDay);
    if (side == 0) {
        return kOutside;
    }
    QColor color = side == 'E' ? kEat : kAvoid;
    // Wash-out days: the same instruction, paler, since they are not counted.
    return plan.Counted(planDay) ? color : color.lighter(135);
}

struct Span {
    int64_t Start = 0;  // the plan's first date
    int64_t FirstMonday = 0;
    int Weeks = 0;
};

std::optional<Span> SpanOf(const ChallengePlan& plan) {
    const std::optional<int64_t> start = ParseIsoDate(plan.StartDate);
    if (!start || plan.TotalDays() <= 0) {
        return std::nullopt;
    }
    Span span;
    span.Start = *start;
    span.FirstMonday = *start - WeekdayOf(*start);
    const int64_t last = *start + plan.TotalDays() - 1;
    span.Weeks = static_cast<int>((last - span.FirstMonday) / 7 + 1);
    return span;
}

QFont Font(double points, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace

void DrawChallengeCalendar(QPainter& painter, const QRectF& area, const ChallengePlan& plan,
                           const CalendarLook& look) {
    const std::optional<Span> span = SpanOf(plan);
    if (!span) {
        return;
    }
    static constexpr std::array<const char*, 7> kDays = {"Mon", "Tue", "Wed", "Thu",
                                                         "Fri", "Sat", "Sun"};
    painter.save();
    const QFontMetricsF metrics(painter.font());
    const double heading = metrics.height() + 2;
    const int columns = look.WeeksAsRows ? 7 : span->Weeks;
    const int rows = look.WeeksAsRows ? span->Weeks : 7;
    const double labelWidth = look.WeeksAsRows
                                  ? metrics.horizontalAdvance(QStringLiteral("Week of 30 Sep")) + 8
                                  : metrics.horizontalAdvance(QStringLiteral("Wed")) + 6;
    const double cellWidth = (area.width() - labelWidth) / columns;
    const double cellHeight = (area.height() - heading) / rows;
    // Across the top: weekdays, or the month where a week column starts one.
    std::string month;
    for (int c = 0; c < columns; ++c) {
        const double left = area.left() + labelWidth + c * cellWidth;
        if (look.WeeksAsRows) {
            painter.drawText(QRectF(left, area.top(), cellWidth, heading),
                             Qt::AlignLeft | Qt::AlignBottom,
                             QString::fromLatin1(kDays[static_cast<std::size_t>(c)]));
            continue;
        }
        const std::string date = ShortDate(span->FirstMonday + 7 * c);
        const std::string name = date.substr(date.size() - 3);
        if (name != month) {
            month = name;
            painter.drawText(QRectF(left, area.top(), area.right() - left, heading),
                             Qt::AlignLeft | Qt::AlignBottom, QString::fromStdString(name));
        }
    }
    for (int r = 0; r < rows; ++r) {
        const QRectF box(area.left(), area.top() + heading + r * cellHeight, labelWidth - 4,
                         cellHeight);
        const QString text = look.WeeksAsRows
                                 ? QString::fromStdString(
                                       "Week of " + ShortDate(span->FirstMonday + 7 * r).substr(4))
                                 : QString::fromLatin1(kDays[static_cast<std::size_t>(r)]);
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, text);
    }
    for (int week = 0; week < span->Weeks; ++week) {
        for (int weekday = 0; weekday < 7; ++weekday) {
            const int64_t date = span->FirstMonday + 7 * week + weekday;
            const int64_t planDay = date - span->Start;
            const int c = look.WeeksAsRows ? weekday : week;
            const int r = look.WeeksAsRows ? week : weekday;
            const QRectF cell(area.left() + labelWidth + c * cellWidth + 1,
                              area.top() + heading + r * cellHeight + 1, cellWidth - 2,
                              cellHeight - 2);
            painter.fillRect(cell, Fill(plan, planDay));
            if (look.WeeksAsRows && plan.Instruction(planDay) != 0) {
                const std::string date_ = ShortDate(date);
                const QString text =
                    QString::fromStdString(date_.substr(4, date_.find(' ', 4) - 4)) +
                    (plan.Instruction(planDay) == 'E' ? QStringLiteral("  EAT")
                                                      : QStringLiteral("  NO"));
                painter.setPen(Qt::black);
                painter.drawText(cell.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                                 text);
            }
            if (look.Today && *look.Today == date) {
                painter.setPen(QPen(Qt::black, std::max(2.0, cellHeight / 8)));
                painter.drawRect(cell);
                painter.setPen(Qt::black);
            }
        }
    }
    painter.restore();
}

ChallengeCalendar::ChallengeCalendar(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Challenge calendar"));
}

void ChallengeCalendar::SetPlan(std::optional<ChallengePlan> plan, std::optional<int64_t> today) {
    plan_ = std::move(plan);
    today_ = today;
    updateGeometry();
    update();
}

QSize ChallengeCalendar::sizeHint() const {
    return {360, fontMetrics().height() * 9};
}

QSize ChallengeCalendar::minimumSizeHint() const {
    return {200, fontMetrics().height() * 8};
}

void ChallengeCalendar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (!plan_) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No challenge is planned."));
        return;
    }
    DrawChallengeCalendar(painter, QRectF(rect()).adjusted(4, 2, -4, -4), *plan_,
                          CalendarLook{false, today_});
}

QByteArray ChallengePlanPdf(const ChallengePlan& plan, const std::vector<std::string>& lines) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("Challenge plan"));
        writer.setCreator(QStringLiteral("Quorvane"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            throw QuorvaneError("Cannot make the plan");
        }
        const QRectF page(0, 0, writer.width(), writer.height());
        double y = 0;
        const auto paragraph = [&](const std::string& text, const QFont& font,
                                   const QColor& color) {
            painter.setFont(font);
            painter.setPen(color);
            QRectF used;
            painter.drawText(QRectF(0, y, page.width(), page.height() - y),
                             Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, FromDiskBytes(text),
                             &used);
            y += used.height() + painter.fontMetrics().height() * 0.35;
        };
        paragraph(lines.empty() ? std::string("Challenge plan") : lines.front(), Font(16, true),
                  Qt::black);
        paragraph(StopAndSeekCare(plan.Food), Font(11, true), QColor(0xB0, 0x00, 0x00));
        for (std::size_t i = 1; i < lines.size(); ++i) {
            if (lines[i] != StopAndSeekCare(plan.Food)) {
                paragraph(lines[i], Font(9, false), Qt::black);
            }
        }
        paragraph("Orange: eat " + plan.Food + " that day. Blue: no " + plan.Food +
                      " at all. Pale: the first days of a period, not counted, but keep to "
                      "them all the same.",
                  Font(9, true), Qt::black);
        painter.setFont(Font(8, false));
        painter.setPen(Qt::black);
        DrawChallengeCalendar(painter, QRectF(0, y, page.width(), page.height() - y), plan,
                              CalendarLook{true, std::nullopt});
        painter.end();
    }
    return buffer.data();
}

}  // namespace quorvane
