// Prints a text file through the program's own print path on the print
// service's default printer, as the window does, with a print dialog that is
// answered OK without showing. The print service test drives it.
//
//   print_service_client <text file> report|record
//
// Exit 0: handed to the printer (its name on stdout). Exit 3: the program's
// error (its text on stdout). Exit 2: wrong use or unreadable input.

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>
#include <cstdlib>

#include "core/text/quorvane_error.h"
#include "ui/print_commands.h"
#include "ui/prompts.h"

namespace {

// The print service answers whether there is a default printer; the dialogs
// are OK at once. Any other box would be a fault of the print path.
class ServicePrompts : public quorvane::Prompts {
  public:
    void Message(const QString&) override { Unexpected("message"); }
    bool Confirm(const QString&) override { return Unexpected("confirmation"); }
    bool ConfirmReplace(const QString&) override { return Unexpected("replace question"); }
    quorvane::SaveChoice AskSave(const QString&) override {
        Unexpected("save prompt");
        return quorvane::SaveChoice::Cancel;
    }
    QString InputBox(const QString&, const QString&, const QString&) override {
        Unexpected("input box");
        return {};
    }
    bool Agreement(const QString&, const QString&) override { return Unexpected("agreement"); }
    void Error(const QString&) override { Unexpected("error box"); }
    std::optional<QString> OpenFileName(const QString&, const QString&, const QString&) override {
        Unexpected("open dialog");
        return std::nullopt;
    }
    std::optional<QString> SaveFileName(const QString&, const QString&, bool) override {
        Unexpected("save dialog");
        return std::nullopt;
    }
    bool HasDefaultPrinter() override { return !QPrinterInfo::defaultPrinter().isNull(); }
    bool PrintDialog(QPrinter& printer) override {
        std::fprintf(stderr, "print dialog asked for printer %s\n",
                     qPrintable(printer.printerName()));
        return true;
    }
    bool PrinterSetupDialog(QPrinter&) override { return Unexpected("printer set-up dialog"); }

  private:
    static bool Unexpected(const char* box) {
        std::fprintf(stderr, "unexpected %s\n", box);
        std::exit(2);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3 || (QString(argv[2]) != "report" && QString(argv[2]) != "record")) {
        std::fprintf(stderr, "usage: print_service_client <text file> report|record\n");
        return 2;
    }
    QFile file(argv[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    QPlainTextEdit control;
    control.setFont(QFont("Liberation Mono", 10));
    control.setPlainText(QString::fromLatin1(file.readAll()));

    ServicePrompts prompts;
    quorvane::PrintCommands commands(prompts);
    const bool report = QString(argv[2]) == "report";
    try {
        commands.Print(control, report ? quorvane::kReportJobTitle : quorvane::kRecordJobTitle);
    } catch (const quorvane::QuorvaneError& error) {
        std::printf("%s\n", error.what());
        return 3;
    }
    std::printf("%s\n", qPrintable(commands.Printer().printerName()));
    return 0;
}
