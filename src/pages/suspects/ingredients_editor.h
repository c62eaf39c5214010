#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "ui/window_services.h"

class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QUndoStack;

namespace quorvane {

// Dishes and their ingredients, two columns, kept in the settings file's
// "Ingredients" section. Every change is written at once and can be undone.
class IngredientsEditor : public QWidget {
    Q_OBJECT
  public:
    explicit IngredientsEditor(WindowServices services, QWidget* parent = nullptr);

    // The table from the settings file; the undo history stays.
    void Load();
    void AddClick();
    void RemoveClick();
    QUndoStack& History() { return *history_; }

    // Writes a dish's ingredients (none: the dish goes) and shows them; the
    // undo commands call it too. An edit in the table shows them once its own
    // signal is over, as the reload replaces the edited cell.
    void Apply(const std::string& dish, const std::vector<std::string>& ingredients,
               bool showNow = true);

  signals:
    void Changed();

  private:
    void CellEdited(QTableWidgetItem* item);
    // Reloads the table and tells the page; later when the edited cell's own
    // signal is still running.
    void ShowChange(bool showNow);
    void Record(const std::string& dish, std::vector<std::string> before,
                std::vector<std::string> after, bool showNow = true);
    std::vector<std::string> StoredIngredients(const std::string& dish) const;

    WindowServices services_;
    QUndoStack* history_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* undo_ = nullptr;
    QPushButton* redo_ = nullptr;
};

}  // namespace quorvane
