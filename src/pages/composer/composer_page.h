#pragma once

#include <QWidget>
#include <functional>

#include "core/settings/settings_store.h"
#include "ui/window_services.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace quorvane {

// The "&Composer" page (TabSheet8): the word grid, the record editor and the
// auto-fill controls. The record file commands work on RichEdit2 from outside.
class ComposerPage : public QWidget {
    Q_OBJECT
  public:
    // `minimumCountText` reads Edit2 of the settings page, where "Auto" starts.
    ComposerPage(WindowServices services, std::function<QString()> minimumCountText,
                 QWidget* parent = nullptr);

    void SetWords(const ComposerWords& words);
    ComposerWords Words() const;
    // Shown at the end of the first analysis and kept for the program run.
    void ShowAutoFillControls();
    bool EditMode() const;  // Button6 reads "Stop"
    // The record editor, whose document the record file commands own.
    QPlainTextEdit& Editor() const { return *RichEdit2; }
    void FocusEditor();
    // A word written at the end of the diary as a click on the word grid writes it.
    void AppendWord(const QString& word);

    void StringGrid2Click();
    void Button6Click();  // "Edit" / "Stop"
    void Button4Click();  // "Load"
    void Button5Click();  // "Set"
    void TabSheet8Enter();
    void Edit6Change();
    void buttonNewClick();
    void Timer1Timer();

  private:
    // Tests and tools find these by their object names, which are these names.
    QTableWidget* StringGrid2;
    QPlainTextEdit* RichEdit2;
    QLineEdit* Edit6;
    QPushButton* buttonNew;
    QPushButton* Button4;
    QPushButton* Button6;
    QPushButton* Button5;
    QTimer* Timer1;

    WindowServices services_;
    std::function<QString()> minimumCountText_;
};

}  // namespace quorvane
