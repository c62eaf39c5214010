#include "ui/text_printer.h"

#include <QFont>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <string>

#include "core/text/quorvane_error.h"
#include "ui/text_file.h"

namespace quorvane {
namespace {

// A font sized in pixels would shrink to nothing at a printer's resolution, so
// it is carried over in points at the size it has on the control's screen.
QFont FontInPoints(const QPlainTextEdit& control) {
    QFont font = control.document()->defaultFont();
    if (font.pointSizeF() <= 0 && font.pixelSize() > 0) {
        font.setPointSizeF(font.pixelSize() * 72.0 / control.logicalDpiY());
    }
    return font;
}

// Paper keeps a border of at least 12 mm, wider where the printer cannot print
// that close to the edge. A PDF printer reports no unprintable border at all,
// and text right at the paper's edge is hard to read and gets cut when the file
// is printed later.
constexpr qreal kMinimumMarginMm = 12.0;

void KeepToPrintableArea(QPrinter& printer) {
    printer.setFullPage(false);
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF printable = layout.minimumMargins();
    const QMarginsF margins(std::max(printable.left(), kMinimumMarginMm),
                            std::max(printable.top(), kMinimumMarginMm),
                            std::max(printable.right(), kMinimumMarginMm),
                            std::max(printable.bottom(), kMinimumMarginMm));
    printer.setPageMargins(margins, QPageLayout::Millimeter);
}

std::string PrintFailure(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return "Cannot create file " + ToDiskBytes(printer.outputFileName());
    }
    return "Printing failed on " + ToDiskBytes(printer.printerName());
}

}  // namespace

void PrintControlText(const QPlainTextEdit& control, QPrinter& printer) {
    KeepToPrintableArea(printer);

    // The control's own option carries its tab stops; on paper every line wraps,
    // at a word boundary where it can and anywhere else where it must.
    QTextOption option = control.document()->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QFont font(FontInPoints(control), &printer);

    QPainter painter;
    if (!painter.begin(&printer)) {
        throw QuorvaneError(PrintFailure(printer));
    }
    const QSizeF area = printer.pageRect(QPrinter::DevicePixel).size();
    qreal pageY = 0;
    for (QTextBlock block = control.document()->begin(); block.isValid(); block = block.next()) {
        QTextLayout layout(block.text(), font, &printer);
        layout.setTextOption(option);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        qreal blockY = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(area.width());
            line.setPosition(QPointF(0, blockY));
            blockY += line.height();
        }
        layout.endLayout();

        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            // A line is never cut at the page's end: it goes whole onto the next
            // page, unless it is the first of its page and so fits nowhere.
            if (pageY > 0 && pageY + line.height() > area.height()) {
                if (!printer.newPage()) {
                    painter.end();
                    throw QuorvaneError(PrintFailure(printer));
                }
                pageY = 0;
            }
            line.draw(&painter, QPointF(0, pageY - line.y()));
            pageY += line.height();
        }
    }
    painter.end();
}

}  // namespace quorvane
