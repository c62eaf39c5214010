#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

#include "core/evidence/suspects_view.h"

class QPainter;
class QWidget;

namespace quorvane {

// The suspects' pictures drawn on any painter, so that the page and the
// doctor's summary show the same charts.

struct ChartStyle {
    QColor Base;
    QColor Text;
    QColor Grid;
    QFont Font;
    static ChartStyle Of(const QWidget& widget);
    static ChartStyle Paper(const QFont& font);  // black on white, for the PDF
};

// A tier's colour and a shape of its own, so that the tier never rests on
// colour alone: a filled triangle, an open one, a ring, a dot, a filled circle,
// a triangle pointing down.
QColor TierColour(SuspectTier tier);
// A light tint of the colour for a table row; invalid for the tiers left plain.
QColor TierTint(SuspectTier tier);
void DrawTierMark(QPainter& painter, const QRectF& box, SuspectTier tier);
QIcon TierIcon(SuspectTier tier, int size);

// The interval chart: one row per food, its ratio and range on a log axis with
// the line at 1, the axis's title, and a legend of the tiers shown.
int ForestHeight(const ForestPlot& plot, const QFont& font, int width);
void PaintForest(QPainter& painter, const QRect& area, const ForestPlot& plot,
                 const QString& selected, const ChartStyle& style);

// The calendar: a square per diary day in rows of whole weeks, the symptom's
// onsets and other episode days coloured, the food's days dotted, a legend.
// `cursor` frames one day (the keyboard's), or -1.
int CalendarHeight(uint32_t days, const QFont& font, int width);
void PaintCalendar(QPainter& painter, const QRect& area, const SuspectTimeline& timeline,
                   const QString& food, const QString& symptom, const ChartStyle& style,
                   int cursor);
// What one day of the calendar holds, in words: "Day 14: WINE eaten; HEADACHE began".
QString CalendarDayText(const SuspectTimeline& timeline, const QString& food,
                        const QString& symptom, uint32_t day);

}  // namespace quorvane
