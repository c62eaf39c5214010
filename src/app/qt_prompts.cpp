#include "app/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace quorvane {

namespace {

constexpr int kInputMaxLength = 255;
// What a title bar takes besides its text: the icon and the window buttons.
constexpr int kTitleBarExtras = 120;

// A window manager cuts a title wider than its box short in the middle; most
// draw it in a bold and somewhat larger font than the box's own.
int TitleWidth(const QWidget& box, const QString& title) {
    QFont font = box.font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) * 5 / 4 + kTitleBarExtras;
}

QString ApplicationTitle() {
    const QString name = QApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("quorvane") : name;
}

}  // namespace

void QtPrompts::Message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtPrompts::Confirm(const QString& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

SaveChoice QtPrompts::AskSave(const QString& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    // Esc and the box's close button both press the escape button.
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    if (box.clickedButton() == box.button(QMessageBox::Yes)) {
        return SaveChoice::Yes;
    }
    if (box.clickedButton() == box.button(QMessageBox::No)) {
        return SaveChoice::No;
    }
    return SaveChoice::Cancel;
}

bool QtPrompts::ConfirmReplace(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Information"), text,
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

QString QtPrompts::InputBox(const QString& title, const QString& prompt,
                            const QString& defaultText) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(defaultText.left(kInputMaxLength));
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(kInputMaxLength);
        edit->selectAll();
        // The dialog takes the size its contents ask for; the prompt's own width
        // is among them already.
        edit->setMinimumWidth(TitleWidth(dialog, title));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return defaultText;
    }
    return dialog.textValue();
}

bool QtPrompts::Agreement(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent_);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Ok);
}

void QtPrompts::Error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok, parent_);
    box.exec();
}

std::optional<QString> QtPrompts::OpenFileName(const QString& preset, const QString& filter,
                                               const QString& defaultSuffix) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name of a missing file is accepted; the load then reports it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filter.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtPrompts::SaveFileName(const QString& preset, const QString& defaultSuffix,
                                               bool confirmOverwrite) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtPrompts::SaveFileAs(const QString& preset, const QString& filter,
                                             const QString& defaultSuffix) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({filter, QStringLiteral("All files (*)")});
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

bool QtPrompts::HasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinterName().isEmpty();
}

bool QtPrompts::PrintDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrompts::PrinterSetupDialog(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quorvane
