#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "core/foods/variants.h"

class QListWidget;
class QPushButton;

namespace quorvane {

// "Same food?": the names of the last read that are probably one food written
// two ways. Merge remembers an alias, "Not the same" the refusal, both in the
// settings file; nothing is merged without the person's word.
class SameFoodPanel : public QWidget {
    Q_OBJECT
  public:
    explicit SameFoodPanel(QWidget* parent = nullptr);

    void ShowSuggestions(std::vector<VariantSuggestion> suggestions);
    const std::vector<VariantSuggestion>& Suggestions() const { return suggestions_; }
    // The chosen suggestion, or null.
    const VariantSuggestion* Chosen() const;

  signals:
    void MergeAsked(const VariantSuggestion& suggestion);
    void NotSameAsked(const VariantSuggestion& suggestion);

  private:
    void UpdateButtons();

    std::vector<VariantSuggestion> suggestions_;
    QListWidget* list_ = nullptr;
    QPushButton* merge_ = nullptr;
    QPushButton* notSame_ = nullptr;
};

}  // namespace quorvane
