#pragma once

#include <QWidget>

#include "ui/window_services.h"

namespace quorvane {

class IngredientsEditor;
class SameFoodPanel;
struct VariantSuggestion;

// What the person means by a food, beside the suspects: the "Same food?"
// suggestions and the ingredients of dishes. Every decision goes to the
// settings file, and Changed asks for the suspects of the read already held.
class FoodsPane : public QWidget {
    Q_OBJECT
  public:
    explicit FoodsPane(WindowServices services, QWidget* parent = nullptr);

    // The suggestions of the analysis's read and the dishes of the settings file.
    void Refresh();
    void Clear();
    SameFoodPanel& SameFood() { return *sameFood_; }
    IngredientsEditor& Ingredients() { return *ingredients_; }

    void MergeClick(const VariantSuggestion& suggestion);
    void NotSameClick(const VariantSuggestion& suggestion);

  signals:
    void Changed();

  private:
    WindowServices services_;
    SameFoodPanel* sameFood_ = nullptr;
    IngredientsEditor* ingredients_ = nullptr;
};

}  // namespace quorvane
