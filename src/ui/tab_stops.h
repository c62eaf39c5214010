#pragma once

#include <QList>
#include <QStringList>

class QFontMetricsF;

namespace quorvane {

// Tab stops for lines whose fields are separated by tab characters, so that the
// n-th field of every line starts at the n-th stop: each stop is where it is
// wanted or, where the widest text before it would reach it, one blank past that
// text. Positions in the metrics' pixels. In two halves, so that the costly one,
// measuring, is done once for a text whatever the stops wanted.
QList<qreal> WidestFields(const QStringList& lines, const QFontMetricsF& metrics, qsizetype fields);
// As many stops as are wanted.
QList<qreal> TabStopsFor(const QList<qreal>& widest, const QFontMetricsF& metrics,
                         const QList<qreal>& wanted);

}  // namespace quorvane
