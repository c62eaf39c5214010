#include "pages/suspects/ingredients_editor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>

#include "core/foods/food_groups.h"
#include "core/settings/profile_file.h"
#include "ui/prompts.h"
#include "ui/text_codec.h"

namespace quorvane {

namespace {

const QString kTitle = QStringLiteral("Ingredients");

// One dish's list before and after. The change is written before the command
// is pushed, so the first redo, which the stack runs at once, does nothing.
class DishCommand : public QUndoCommand {
  public:
    DishCommand(IngredientsEditor& editor, std::string dish, std::vector<std::string> before,
                std::vector<std::string> after)
        : QUndoCommand(QStringLiteral("ingredients of %1").arg(FromDiskBytes(dish))),
          editor_(editor),
          dish_(std::move(dish)),
          before_(std::move(before)),
          after_(std::move(after)) {}
    void undo() override { editor_.Apply(dish_, before_); }
    void redo() override {
        if (written_) {
            written_ = false;
            return;
        }
        editor_.Apply(dish_, after_);
    }

  private:
    IngredientsEditor& editor_;
    std::string dish_;
    std::vector<std::string> before_;
    std::vector<std::string> after_;
    bool written_ = true;
};

}  // namespace

IngredientsEditor::IngredientsEditor(WindowServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("IngredientsEditor"));
    setAccessibleName(QStringLiteral("Ingredients"));
    history_ = new QUndoStack(this);
    auto* title = new QLabel(QStringLiteral("&Ingredients of dishes:"), this);
    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName(QStringLiteral("IngredientsTable"));
    table_->setAccessibleName(QStringLiteral("Ingredients of dishes"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Dish"), QStringLiteral("Ingredients")});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setTabKeyNavigation(false);
    title->setBuddy(table_);
    auto button = [this](const char* text, const char* name, const char* spoken) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(QString::fromLatin1(spoken));
        return b;
    };
    add_ = button("Add &dish...", "IngredientsAdd", "Add dish");
    remove_ = button("Remo&ve dish", "IngredientsRemove", "Remove dish");
    // The page's letters are taken: the usual keys instead, live only while
    // the page shows.
    undo_ = button("Undo", "IngredientsUndo", "Undo");
    undo_->setShortcut(QKeySequence::Undo);
    redo_ = button("Redo", "IngredientsRedo", "Redo");
    redo_->setShortcut(QKeySequence::Redo);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add_, remove_, undo_, redo_}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    auto guarded = [this](auto handler) {
        return [this, handler] { services_.guard([&] { handler(); }); };
    };
    connect(add_, &QPushButton::clicked, this, guarded([this] { AddClick(); }));
    connect(remove_, &QPushButton::clicked, this, guarded([this] { RemoveClick(); }));
    connect(undo_, &QPushButton::clicked, this, guarded([this] { history_->undo(); }));
    connect(redo_, &QPushButton::clicked, this, guarded([this] { history_->redo(); }));
    connect(table_, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { services_.guard([&] { CellEdited(item); }); });
    connect(history_, &QUndoStack::canUndoChanged, undo_, &QPushButton::setEnabled);
    connect(history_, &QUndoStack::canRedoChanged, redo_, &QPushButton::setEnabled);
    undo_->setEnabled(false);
    redo_->setEnabled(false);
}

void IngredientsEditor::Load() {
    const FoodGroups groups = ReadFoodGroups(ProfileFile(services_.settingsPath()));
    const QSignalBlocker blocker(table_);
    table_->setRowCount(0);
    for (const auto& [dish, ingredients] : groups.Ingredients) {
        const int row = table_->rowCount();
        table_->insertRow(row);
        auto* name = new QTableWidgetItem(FromDiskBytes(dish));
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        table_->setItem(row, 0, name);
        table_->setItem(row, 1, new QTableWidgetItem(FromDiskBytes(JoinFoodNames(ingredients))));
    }
    remove_->setEnabled(table_->rowCount() > 0);
}

std::vector<std::string> IngredientsEditor::StoredIngredients(const std::string& dish) const {
    const FoodGroups groups = ReadFoodGroups(ProfileFile(services_.settingsPath()));
    const auto at = groups.Ingredients.find(dish);
    return at == groups.Ingredients.end() ? std::vector<std::string>() : at->second;
}

void IngredientsEditor::Apply(const std::string& dish, const std::vector<std::string>& ingredients,
                              bool showNow) {
    ProfileFile file(services_.settingsPath());
    WriteIngredients(file, dish, ingredients);
    ShowChange(showNow);
}

void IngredientsEditor::ShowChange(bool showNow) {
    if (showNow) {
        Load();
        emit Changed();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            Load();
            emit Changed();
        },
        Qt::QueuedConnection);
}

void IngredientsEditor::Record(const std::string& dish, std::vector<std::string> before,
                               std::vector<std::string> after, bool showNow) {
    if (before == after) {
        if (!showNow) {
            QMetaObject::invokeMethod(
                this, [this] { Load(); }, Qt::QueuedConnection);
        }
        return;
    }
    Apply(dish, after, showNow);
    history_->push(new DishCommand(*this, dish, std::move(before), std::move(after)));
}

void IngredientsEditor::AddClick() {
    const std::string dish = ToDiskBytes(
        services_.prompts.InputBox(kTitle, QStringLiteral("Dish, as the diary writes it:"), {}));
    const std::vector<std::string> names = SplitFoodNames(dish);
    if (names.size() != 1) {
        return;  // cancelled, empty, or a list where one dish was asked for
    }
    std::vector<std::string> before = StoredIngredients(names.front());
    const QString list = services_.prompts.InputBox(
        kTitle,
        QStringLiteral("Ingredients of %1, commas between:").arg(FromDiskBytes(names.front())),
        FromDiskBytes(JoinFoodNames(before)));
    Record(names.front(), std::move(before), SplitFoodNames(ToDiskBytes(list)));
}

void IngredientsEditor::RemoveClick() {
    const int row = table_->currentRow();
    if (row < 0 || table_->item(row, 0) == nullptr) {
        return;
    }
    const std::string dish = ToDiskBytes(table_->item(row, 0)->text());
    Record(dish, StoredIngredients(dish), {});
}

void IngredientsEditor::CellEdited(QTableWidgetItem* item) {
    if (item == nullptr || item->column() != 1 || table_->item(item->row(), 0) == nullptr) {
        return;
    }
    const std::string dish = ToDiskBytes(table_->item(item->row(), 0)->text());
    Record(dish, StoredIngredients(dish), SplitFoodNames(ToDiskBytes(item->text())), false);
}

}  // namespace quorvane
