#include "pages/suspects/same_food_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/text_codec.h"

namespace quorvane {

SameFoodPanel::SameFoodPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SameFoodPanel"));
    setAccessibleName(QStringLiteral("Same food"));
    auto* title = new QLabel(QStringLiteral("Same f&ood?"), this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("SameFoodList"));
    list_->setAccessibleName(QStringLiteral("Same food suggestions"));
    title->setBuddy(list_);
    merge_ = new QPushButton(QStringLiteral("Mer&ge"), this);
    merge_->setObjectName(QStringLiteral("SameFoodMerge"));
    merge_->setAccessibleName(QStringLiteral("Merge"));
    notSame_ = new QPushButton(QStringLiteral("&Not the same"), this);
    notSame_->setObjectName(QStringLiteral("SameFoodNotSame"));
    notSame_->setAccessibleName(QStringLiteral("Not the same"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(merge_);
    buttons->addWidget(notSame_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(list_, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(merge_, &QPushButton::clicked, this, [this] {
        if (const VariantSuggestion* chosen = Chosen()) {
            emit MergeAsked(*chosen);
        }
    });
    connect(notSame_, &QPushButton::clicked, this, [this] {
        if (const VariantSuggestion* chosen = Chosen()) {
            emit NotSameAsked(*chosen);
        }
    });
    UpdateButtons();
}

void SameFoodPanel::ShowSuggestions(std::vector<VariantSuggestion> suggestions) {
    suggestions_ = std::move(suggestions);
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (const VariantSuggestion& s : suggestions_) {
        // "RAISEN (2) is RAISIN (40)? spelling"
        list_->addItem(QStringLiteral("%1 (%2) is %3 (%4)? %5")
                           .arg(FromDiskBytes(s.Rare))
                           .arg(s.RareCount)
                           .arg(FromDiskBytes(s.Common))
                           .arg(s.CommonCount)
                           .arg(QString::fromLatin1(VariantKindName(s.Kind))));
    }
    if (!suggestions_.empty()) {
        list_->setCurrentRow(0);
    }
    UpdateButtons();
}

const VariantSuggestion* SameFoodPanel::Chosen() const {
    const int row = list_->currentRow();
    return row >= 0 && row < static_cast<int>(suggestions_.size())
               ? &suggestions_[static_cast<std::size_t>(row)]
               : nullptr;
}

void SameFoodPanel::UpdateButtons() {
    const bool any = Chosen() != nullptr;
    merge_->setEnabled(any);
    notSame_->setEnabled(any);
}

}  // namespace quorvane
