#include "pages/suspects/suspects_summary.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "core/evidence/suspects_view.h"
#include "core/text/quorvane_error.h"
#include "pages/suspects/suspects_painting.h"
#include "ui/text_codec.h"

namespace quorvane {

namespace {

constexpr int kResolution = 300;
// The charts are drawn at screen size and scaled onto the page, so that their
// lines and marks keep the proportions they have in the window.
constexpr double kChartScale = kResolution / 96.0;
constexpr std::size_t kForestRows = 10;

QFont SummaryFont(double points, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont ChartFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    return font;
}

class PageFlow {
  public:
    PageFlow(QPdfWriter& writer, QPainter& painter)
        : writer_(writer), painter_(painter), page_(0, 0, writer.width(), writer.height()) {}

    void NewPage() {
        if (used_) {
            writer_.newPage();
        }
        y_ = page_.top();
        used_ = false;
    }

    void Words(const SummaryBlock& block) {
        const bool heading = block.Type != SummaryBlock::Text;
        const bool title = block.Type == SummaryBlock::Title;
        painter_.setFont(title     ? SummaryFont(15, true)
                         : heading ? SummaryFont(11.5, true)
                                   : SummaryFont(9.5, false));
        const double gap = painter_.fontMetrics().height() * (heading ? 0.6 : 0.35);
        const QString text = FromDiskBytes(block.Words);
        const int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
        const QRectF needed =
            painter_.boundingRect(QRectF(page_.left(), 0, page_.width(), 1e6), flags, text);
        // A heading keeps a line of what follows with it.
        Room(needed.height() + (heading ? 3 * gap : 0) + (heading && !title ? gap : 0));
        if (heading && !title && used_) {
            y_ += gap;
        }
        painter_.drawText(QRectF(page_.left(), y_, page_.width(), needed.height() + 1), flags,
                          text);
        y_ += needed.height() + gap;
        used_ = true;
    }

    // A chart `height` screen pixels tall across the page, drawn by `paint`
    // into its screen-sized rectangle.
    template <typename Paint>
    void Chart(int height, Paint paint) {
        const double tall = height * kChartScale;
        Room(tall);
        painter_.save();
        painter_.translate(page_.left(), y_);
        painter_.scale(kChartScale, kChartScale);
        paint(QRect(0, 0, static_cast<int>(page_.width() / kChartScale), height));
        painter_.restore();
        y_ += tall + painter_.fontMetrics().height() * 0.4;
        used_ = true;
    }

    int ChartWidth() const { return static_cast<int>(page_.width() / kChartScale); }

  private:
    void Room(double height) {
        if (used_ && y_ + height > page_.bottom()) {
            writer_.newPage();
            y_ = page_.top();
        }
    }

    QPdfWriter& writer_;
    QPainter& painter_;
    QRectF page_;
    double y_ = 0;
    bool used_ = false;
};

}  // namespace

std::string SummaryVersion() {
    return QUORVANE_VERSION;
}

QByteArray DoctorSummaryPdf(const SuspectsResult& result, const DiaryFacts& facts,
                            const DiaryEvidence& evidence, const ItemList& items) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(18, 16, 18, 16), QPageLayout::Millimeter);
        writer.setResolution(kResolution);
        writer.setTitle(QStringLiteral("Food diary summary"));
        writer.setCreator(QStringLiteral("Quorvane ") + FromDiskBytes(facts.Version));
        QPainter painter;
        if (!painter.begin(&writer)) {
            throw QuorvaneError("Cannot make the summary");
        }
        PageFlow flow(writer, painter);
        const ChartStyle style = ChartStyle::Paper(ChartFont());
        for (const SummaryBlock& block : SummaryOverview(result, facts)) {
            flow.Words(block);
        }
        for (const SymptomSuspects& group : result.Symptoms) {
            if (!IsMonitoredSymptom(group.Symptom)) {
                continue;
            }
            flow.NewPage();
            const QString symptom = FromDiskBytes(group.Name);
            for (const SummaryBlock& block : DoctorSummaryPage(result, group, facts)) {
                if (block.Type == SummaryBlock::Forest) {
                    const ForestPlot plot = ForestOf(group, kForestRows, true);
                    const QString top =
                        group.Rows.empty() ? QString() : FromDiskBytes(group.Rows[0].Item);
                    flow.Chart(
                        ForestHeight(plot, style.Font, flow.ChartWidth()),
                        [&](const QRect& area) { PaintForest(painter, area, plot, top, style); });
                } else if (block.Type == SummaryBlock::Calendar) {
                    const SuspectTimeline days =
                        TimelineOf(evidence, items, block.Words, group.Symptom);
                    const QString food = FromDiskBytes(block.Words);
                    flow.Chart(CalendarHeight(days.Days, style.Font, flow.ChartWidth()),
                               [&](const QRect& area) {
                                   PaintCalendar(painter, area, days, food, symptom, style, -1);
                               });
                } else {
                    flow.Words(block);
                }
            }
        }
        painter.end();
    }
    return buffer.data();
}

}  // namespace quorvane
