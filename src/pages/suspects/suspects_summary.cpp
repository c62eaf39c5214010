#include "pages/suspects/suspects_summary.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "core/text/quorvane_error.h"
#include "ui/text_codec.h"

namespace quorvane {

namespace {

QFont SummaryFont(double points, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Headings start with "# "; the first one is the page's title.
void DrawPage(QPainter& painter, const std::vector<std::string>& paragraphs, const QRectF& page) {
    double y = page.top();
    bool title = true;
    for (const std::string& paragraph : paragraphs) {
        const bool heading = paragraph.rfind("# ", 0) == 0;
        const QString text = FromDiskBytes(heading ? paragraph.substr(2) : paragraph);
        painter.setFont(heading ? SummaryFont(title ? 15 : 11.5, true) : SummaryFont(9.5, false));
        const double gap = painter.fontMetrics().height() * (heading ? 0.6 : 0.35);
        if (heading && !title) {
            y += gap;
        }
        QRectF used;
        painter.drawText(QRectF(page.left(), y, page.width(), page.bottom() - y),
                         Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text, &used);
        y += used.height() + gap;
        title = title && !heading;
    }
}

}  // namespace

std::string SummaryVersion() {
    return QUORVANE_VERSION;
}

QByteArray DoctorSummaryPdf(const SuspectsResult& result, const DiaryFacts& facts) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(18, 16, 18, 16), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("Food diary summary"));
        writer.setCreator(QStringLiteral("Quorvane ") + FromDiskBytes(facts.Version));
        QPainter painter;
        if (!painter.begin(&writer)) {
            throw QuorvaneError("Cannot make the summary");
        }
        const QRectF page(0, 0, writer.width(), writer.height());
        bool first = true;
        for (const SymptomSuspects& group : result.Symptoms) {
            if (!IsMonitoredSymptom(group.Symptom)) {
                continue;
            }
            if (!first) {
                writer.newPage();
            }
            first = false;
            DrawPage(painter, DoctorSummaryPage(result, group, facts), page);
        }
        painter.end();
    }
    return buffer.data();
}

}  // namespace quorvane
