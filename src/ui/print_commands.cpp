#include "ui/print_commands.h"

#include <QPlainTextEdit>
#include <QPrinter>

#include "core/text/quorvane_error.h"
#include "ui/prompts.h"
#include "ui/recovery_file.h"
#include "ui/text_file.h"
#include "ui/text_printer.h"

namespace quorvane {
namespace {

constexpr const char* kNoDefaultPrinter = "There is no default printer currently selected";

// What the print and set-up dialogs may change. A dialog answered with Cancel
// must leave the printer as it was, whatever the dialog did to it meanwhile.
class PrinterChoices {
  public:
    explicit PrinterChoices(const QPrinter& printer)
        : format_(printer.outputFormat()),
          name_(printer.printerName()),
          file_(printer.outputFileName()),
          layout_(printer.pageLayout()),
          copies_(printer.copyCount()),
          collate_(printer.collateCopies()),
          duplex_(printer.duplex()),
          color_(printer.colorMode()),
          range_(printer.printRange()) {}

    // Only what differs is set back: choosing a printer again resets its page
    // and copies, so the printer comes first and the rest after it.
    void RestoreTo(QPrinter& printer) const {
        if (printer.outputFormat() != format_) {
            printer.setOutputFormat(format_);
        }
        if (printer.printerName() != name_) {
            printer.setPrinterName(name_);
        }
        if (printer.outputFileName() != file_) {
            printer.setOutputFileName(file_);
        }
        if (printer.pageLayout() != layout_) {
            printer.setPageLayout(layout_);
        }
        if (printer.copyCount() != copies_) {
            printer.setCopyCount(copies_);
        }
        if (printer.collateCopies() != collate_) {
            printer.setCollateCopies(collate_);
        }
        if (printer.duplex() != duplex_) {
            printer.setDuplex(duplex_);
        }
        if (printer.colorMode() != color_) {
            printer.setColorMode(color_);
        }
        if (printer.printRange() != range_) {
            printer.setPrintRange(range_);
        }
    }

  private:
    QPrinter::OutputFormat format_;
    QString name_;
    QString file_;
    QPageLayout layout_;
    int copies_;
    bool collate_;
    QPrinter::DuplexMode duplex_;
    QPrinter::ColorMode color_;
    QPrinter::PrintRange range_;
};

}  // namespace

PrintCommands::PrintCommands(Prompts& prompts) : prompts_(prompts) {}

PrintCommands::~PrintCommands() = default;

QPrinter& PrintCommands::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

void PrintCommands::Print(const QPlainTextEdit& control, const QString& jobTitle) {
    if (!prompts_.HasDefaultPrinter()) {
        throw QuorvaneError(kNoDefaultPrinter);
    }
    QPrinter& printer = Printer();
    const PrinterChoices before(printer);
    if (!prompts_.PrintDialog(printer)) {
        before.RestoreTo(printer);
        return;
    }
    // The whole text always: a page range or selection is not offered.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setDocName(jobTitle);
    PrintControlText(control, printer);
}

void PrintCommands::PrinterSetUp() {
    if (!prompts_.HasDefaultPrinter()) {
        throw QuorvaneError(kNoDefaultPrinter);
    }
    QPrinter& printer = Printer();
    const PrinterChoices before(printer);
    if (!prompts_.PrinterSetupDialog(printer)) {
        before.RestoreTo(printer);
    }
}

void PrintCommands::SaveReportAs(const QString& reportText, const QString& recoveryPath) {
    // Never preset, and always asking before a file is replaced: the dialog is
    // the record's too, and the report must not silently take the diary's place.
    const auto path = AskSavePath(prompts_, QString(), QStringLiteral("txt"), recoveryPath);
    if (!path) {
        return;
    }
    WriteTextFile(*path, reportText);
}

}  // namespace quorvane
