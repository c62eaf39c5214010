#pragma once

#include <QList>
#include <QStringList>

class QFontMetricsF;

namespace quorvane {

// Tab stops for lines whose fields are separated by tab characters, so that the
// n-th field of every line starts at the n-th stop: each stop is where it is
// wanted or, where the widest text before it (measured with `metrics`) would
// reach it, one blank past that text. Positions in the metrics' pixels; as many
// stops as are wanted.
QList<qreal> FitTabStops(const QStringList& lines, const QFontMetricsF& metrics,
                         const QList<qreal>& wanted);

}  // namespace quorvane
