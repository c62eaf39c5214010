#include "pages/suspects/foods_pane.h"

#include <QHBoxLayout>

#include "core/analysis/analysis.h"
#include "core/evidence/not_foods.h"
#include "core/foods/food_groups.h"
#include "core/foods/variants.h"
#include "core/settings/profile_file.h"
#include "pages/suspects/ingredients_editor.h"
#include "pages/suspects/same_food_panel.h"

namespace quorvane {

FoodsPane::FoodsPane(WindowServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("FoodsPane"));
    setAccessibleName(QStringLiteral("Foods"));
    sameFood_ = new SameFoodPanel(this);
    ingredients_ = new IngredientsEditor(services_, this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sameFood_, 1);
    layout->addWidget(ingredients_, 1);

    connect(sameFood_, &SameFoodPanel::MergeAsked, this, [this](const VariantSuggestion& s) {
        const VariantSuggestion chosen = s;  // the list is rebuilt meanwhile
        services_.guard([&] { MergeClick(chosen); });
    });
    connect(sameFood_, &SameFoodPanel::NotSameAsked, this, [this](const VariantSuggestion& s) {
        const VariantSuggestion chosen = s;
        services_.guard([&] { NotSameClick(chosen); });
    });
    connect(ingredients_, &IngredientsEditor::Changed, this, &FoodsPane::Changed);
    Clear();
}

void FoodsPane::Refresh() {
    const ProfileFile profile(services_.settingsPath());
    const Analysis& analysis = services_.analysis;
    if (analysis.GatheredEvidence() && analysis.Evidence().Finished()) {
        sameFood_->ShowSuggestions(SuggestVariants(analysis.Evidence(), analysis.Items(),
                                                   ReadNotFoods(profile), ReadFoodGroups(profile)));
    } else {
        sameFood_->ShowSuggestions({});
    }
    ingredients_->Load();
}

void FoodsPane::Clear() {
    sameFood_->ShowSuggestions({});
    ingredients_->Load();
}

void FoodsPane::MergeClick(const VariantSuggestion& suggestion) {
    ProfileFile file(services_.settingsPath());
    WriteAlias(file, suggestion.Rare, suggestion.Common);
    emit Changed();
}

void FoodsPane::NotSameClick(const VariantSuggestion& suggestion) {
    ProfileFile file(services_.settingsPath());
    WriteNotSame(file, suggestion.Rare, suggestion.Common);
    Refresh();
}

}  // namespace quorvane
