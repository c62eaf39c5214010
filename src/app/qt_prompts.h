#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/prompts.h"

namespace quorvane {

// The program's boxes and dialogs, over Qt's standard ones.
class QtPrompts : public Prompts {
  public:
    // The boxes are centred on this window once it exists.
    void SetParentWidget(QWidget* parent) { parent_ = parent; }

    void Message(const QString& text) override;
    bool Confirm(const QString& text) override;
    SaveChoice AskSave(const QString& text) override;
    bool ConfirmReplace(const QString& text) override;
    QString InputBox(const QString& title, const QString& prompt,
                     const QString& defaultText) override;
    bool Agreement(const QString& title, const QString& text) override;
    void Error(const QString& text) override;
    std::optional<QString> OpenFileName(const QString& preset, const QString& filter,
                                        const QString& defaultSuffix) override;
    std::optional<QString> SaveFileName(const QString& preset, const QString& defaultSuffix,
                                        bool confirmOverwrite) override;
    std::optional<QString> SaveFileAs(const QString& preset, const QString& filter,
                                      const QString& defaultSuffix) override;
    bool HasDefaultPrinter() override;
    bool PrintDialog(QPrinter& printer) override;
    bool PrinterSetupDialog(QPrinter& printer) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace quorvane
