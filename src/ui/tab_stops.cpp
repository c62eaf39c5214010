#include "ui/tab_stops.h"

#include <QFontMetricsF>
#include <algorithm>

namespace quorvane {

QList<qreal> WidestFields(const QStringList& lines, const QFontMetricsF& metrics,
                          qsizetype fields) {
    QList<qreal> widest(fields, 0.0);
    for (const QString& line : lines) {
        qsizetype start = 0;
        for (qsizetype field = 0; field < fields; ++field) {
            const qsizetype tab = line.indexOf(QLatin1Char('\t'), start);
            if (tab < 0) {
                break;
            }
            widest[field] =
                std::max(widest[field], metrics.horizontalAdvance(line.mid(start, tab - start)));
            start = tab + 1;
        }
    }
    return widest;
}

QList<qreal> TabStopsFor(const QList<qreal>& widest, const QFontMetricsF& metrics,
                         const QList<qreal>& wanted) {
    const qreal blank = metrics.horizontalAdvance(QLatin1Char(' '));
    QList<qreal> stops;
    stops.reserve(wanted.size());
    qreal fieldStart = 0;
    for (qsizetype field = 0; field < wanted.size(); ++field) {
        const qreal stop = std::max(wanted[field], fieldStart + widest.value(field) + blank);
        stops.append(stop);
        fieldStart = stop;
    }
    return stops;
}

}  // namespace quorvane
