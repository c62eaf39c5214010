#include "ui/tab_stops.h"

#include <QFontMetricsF>
#include <algorithm>

namespace quorvane {

QList<qreal> FitTabStops(const QStringList& lines, const QFontMetricsF& metrics,
                         const QList<qreal>& wanted) {
    const qsizetype count = wanted.size();
    // The widest text of each field that ends at a tab.
    QList<qreal> widest(count, 0.0);
    for (const QString& line : lines) {
        qsizetype start = 0;
        for (qsizetype field = 0; field < count; ++field) {
            const qsizetype tab = line.indexOf(QLatin1Char('\t'), start);
            if (tab < 0) {
                break;
            }
            widest[field] =
                std::max(widest[field], metrics.horizontalAdvance(line.mid(start, tab - start)));
            start = tab + 1;
        }
    }
    const qreal blank = metrics.horizontalAdvance(QLatin1Char(' '));
    QList<qreal> stops;
    stops.reserve(count);
    qreal fieldStart = 0;
    for (qsizetype field = 0; field < count; ++field) {
        const qreal stop = std::max(wanted[field], fieldStart + widest[field] + blank);
        stops.append(stop);
        fieldStart = stop;
    }
    return stops;
}

}  // namespace quorvane
