#pragma once

#include <QString>
#include <optional>

class QPrinter;

namespace quorvane {

// Every box and dialog the program shows is asked through this seam, so each
// handler runs in a test with scripted answers and no modal loop.
// The answer to the save prompt that can also keep the program open.
enum class SaveChoice { Yes, No, Cancel };

class Prompts {
  public:
    virtual ~Prompts() = default;

    // A plain message box with one OK button.
    virtual void Message(const QString& text) = 0;
    // Title "Information", information icon, Yes (default) and No; true only for Yes.
    virtual bool Confirm(const QString& text) = 0;
    // Title "Information", information icon, Yes (default), No and Cancel; Esc
    // and the box's close button give Cancel.
    virtual SaveChoice AskSave(const QString& text) = 0;
    // Before a file changed on disk is replaced: title "Information", warning icon,
    // Yes and No, with No the default so that Enter by habit keeps the file; Esc
    // and the close button count as No. True only for Yes.
    virtual bool ConfirmReplace(const QString& text) = 0;
    // One edit line holding the pre-selected default, at most 255 characters.
    // Cancel returns the default.
    virtual QString InputBox(const QString& title, const QString& prompt,
                             const QString& defaultText) = 0;
    // OK (default) and Cancel, no icon; true for OK.
    virtual bool Agreement(const QString& title, const QString& text) = 0;
    // The program-wide error box: title "quorvane", error icon, OK.
    virtual void Error(const QString& text) = 0;

    // File dialogs; nullopt when cancelled.
    virtual std::optional<QString> OpenFileName(const QString& preset, const QString& filter,
                                                const QString& defaultSuffix) = 0;
    virtual std::optional<QString> SaveFileName(const QString& preset, const QString& defaultSuffix,
                                                bool confirmOverwrite) = 0;
    // A save dialog for an export: `filter` as "PDF files (*.pdf)". It never asks
    // about an existing file itself, so that the caller asks through this seam.
    virtual std::optional<QString> SaveFileAs(const QString& preset, const QString& filter,
                                              const QString& defaultSuffix) {
        (void)filter;
        return SaveFileName(preset, defaultSuffix, false);
    }

    // The print service: whether a default printer exists, and the two dialogs,
    // which work on the printer the window keeps for the program run.
    virtual bool HasDefaultPrinter() = 0;
    virtual bool PrintDialog(QPrinter& printer) = 0;
    virtual bool PrinterSetupDialog(QPrinter& printer) = 0;
};

}  // namespace quorvane
