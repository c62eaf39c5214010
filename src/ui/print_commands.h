#pragma once

#include <QString>
#include <memory>

class QPlainTextEdit;
class QPrinter;

namespace quorvane {

class Prompts;

inline constexpr const char* kReportJobTitle = "Food Correlation data, Quorvane Program Output";
inline constexpr const char* kRecordJobTitle = "Food Correlation data, Quorvane Input File";

// Printing and the report's export. The printer lives for the program run, so the
// choices made in either dialog stay for later jobs.
class PrintCommands {
  public:
    explicit PrintCommands(Prompts& prompts);
    ~PrintCommands();

    // The print dialog, then the control's whole text under the title; Cancel
    // prints nothing. Raises "There is no default printer currently selected"
    // before any dialog when the print service has none.
    void Print(const QPlainTextEdit& control, const QString& jobTitle);
    void PrinterSetUp();
    // The save dialog (starting empty, asking before replacing a file), then the
    // report's text with CR LF line ends. `recoveryPath`, where the record's
    // unsaved text is kept, is refused.
    void SaveReportAs(const QString& reportText, const QString& recoveryPath = QString());

    QPrinter& Printer();

  private:
    Prompts& prompts_;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace quorvane
