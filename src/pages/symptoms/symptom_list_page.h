#pragma once

#include <QRect>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "ui/window_services.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quorvane {

// The "Settings &First" page (TabSheet3): the twenty monitored symptoms and the
// minimum count box.
class SymptomListPage : public QWidget {
    Q_OBJECT
  public:
    // `symptomsRenamed` refreshes the results grid's symptom headings and zeroes
    // the totals after a rename.
    SymptomListPage(WindowServices services, std::function<void()> symptomsRenamed,
                    QWidget* parent = nullptr);

    // Empties ListBox2 and refills it from slots 2 to 21 of the symptom table.
    void RefillList();
    QString MinimumCountText() const;  // the text of Edit2
    void SetMinimumCountText(const QString& text);

    void ListBox1DblClick();
    void Button2Click();  // "Set Default"
    void Button3Click();  // "Load Default"

  protected:
    void changeEvent(QEvent* event) override;

  private:
    // Tests and tools find these by their object names, which are these names.
    QLabel* Label7;
    QListWidget* ListBox2;
    QLabel* Label10;
    QPushButton* Button3;
    QPushButton* Button2;
    QLabel* Label1;
    QLineEdit* Edit2;
    QLabel* Label6;
    QLabel* Label8;
    QListWidget* ListBox1;  // never shown

    // Sizes every label to its text in the font it has now, at its design place.
    void FitLabels();

    WindowServices services_;
    std::vector<std::pair<QLabel*, QRect>> labelDesigns_;
    std::function<void()> symptomsRenamed_;
};

}  // namespace quorvane
