#include "pages/symptoms/symptom_list_page.h"

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <algorithm>

#include "core/analysis/symptom_table.h"
#include "core/settings/settings_store.h"
#include "core/settings/symptom_rename.h"
#include "core/text/quorvane_error.h"
#include "ui/prompts.h"
#include "ui/text_file.h"

namespace quorvane {

namespace {

const QString kChangeHint = QStringLiteral("Double Click on the symptom to change");

// Runs its callback on the release that ends a double-click, once the list has
// finished with the mouse: a refill made earlier would see the release select a
// line again. Enter on a line is the keyboard's double-click.
class SymptomListWidget : public QListWidget {
  public:
    SymptomListWidget(std::function<void()> onDoubleClick, QWidget* parent)
        : QListWidget(parent), onDoubleClick_(std::move(onDoubleClick)) {}

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QListWidget::mouseDoubleClickEvent(event);
        doubleClicked_ = event->button() == Qt::LeftButton;
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QListWidget::mouseReleaseEvent(event);
        if (doubleClicked_ && event->button() == Qt::LeftButton) {
            doubleClicked_ = false;
            onDoubleClick_();
        }
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            onDoubleClick_();
            return;
        }
        QListWidget::keyPressEvent(event);
    }

  private:
    std::function<void()> onDoubleClick_;
    bool doubleClicked_ = false;
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, bool wrapped) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(text);
    label->setWordWrap(wrapped);
    return label;
}

// A label without a design size takes its text's; a wrapped one keeps its place
// and as many lines as its design height holds, widening until the text fits in
// them, and only then, should it reach twice its width, grows downwards.
void FitLabel(QLabel& label, const QRect& design) {
    if (design.size().isEmpty() || !label.wordWrap()) {
        label.move(design.topLeft());
        label.resize(label.sizeHint().expandedTo(design.size()));
        return;
    }
    int width = design.width();
    while (label.heightForWidth(width) > design.height() && width < 2 * design.width()) {
        ++width;
    }
    label.setGeometry(design.x(), design.y(), width,
                      std::max(design.height(), label.heightForWidth(width)));
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(text);
    button->setGeometry(geometry);
    return button;
}

}  // namespace

SymptomListPage::SymptomListPage(WindowServices services, std::function<void()> symptomsRenamed,
                                 QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      symptomsRenamed_(std::move(symptomsRenamed)) {
    setObjectName(QStringLiteral("TabSheet3"));

    Label7 = MakeLabel(this, "Label7", QStringLiteral("Enter Symptoms here"), false);
    labelDesigns_.emplace_back(Label7, QRect(248, 8, 0, 0));
    Label7->setToolTip(kChangeHint);

    ListBox2 =
        new SymptomListWidget([this] { services_.guard([this] { ListBox1DblClick(); }); }, this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setGeometry(248, 24, 145, 137);
    ListBox2->setToolTip(kChangeHint);
    ListBox2->setAccessibleName(QStringLiteral("Symptoms to monitor"));
    ListBox2->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox2->setSortingEnabled(false);

    Label10 = MakeLabel(
        this, "Label10",
        QStringLiteral("Double click on these symptoms Delete the ones you are not interested in"),
        true);
    labelDesigns_.emplace_back(Label10, QRect(400, 16, 155, 39));

    Button3 = MakeButton(this, "Button3", QStringLiteral("Load Default"), QRect(392, 56, 75, 25));
    Button2 = MakeButton(this, "Button2", QStringLiteral("Set Default"), QRect(392, 88, 73, 25));
    connect(Button3, &QPushButton::clicked, this,
            [this] { services_.guard([this] { Button3Click(); }); });
    connect(Button2, &QPushButton::clicked, this,
            [this] { services_.guard([this] { Button2Click(); }); });

    Label1 = MakeLabel(this, "Label1", QStringLiteral("Minimum times an item must occur"), true);
    labelDesigns_.emplace_back(Label1, QRect(0, 184, 108, 26));

    Edit2 = new QLineEdit(QStringLiteral("3"), this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setAccessibleName(Label1->text());
    Edit2->setGeometry(128, 208, 121, 24);
    // Liberation Mono has Courier New's metrics, so the box shows as many digits.
    QFont mono(QStringLiteral("Liberation Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(13);
    Edit2->setFont(mono);
    QPalette editPalette = Edit2->palette();
    editPalette.setColor(QPalette::Text, Qt::black);
    Edit2->setPalette(editPalette);

    Label6 = MakeLabel(
        this, "Label6",
        QStringLiteral("A smaller number shows more results with less accuracy. Example 1 to 5"),
        true);
    labelDesigns_.emplace_back(Label6, QRect(8, 240, 142, 39));
    Label8 = MakeLabel(
        this, "Label8",
        QStringLiteral("A large number shows fewer results with higher accuracy example 10 to 30"),
        true);
    labelDesigns_.emplace_back(Label8, QRect(88, 288, 182, 26));
    FitLabels();

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Sorted items"));
    ListBox1->setSortingEnabled(true);
    ListBox1->hide();

    RefillList();
}

void SymptomListPage::FitLabels() {
    for (const auto& [label, design] : labelDesigns_) {
        FitLabel(*label, design);
    }
}

void SymptomListPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitLabels();
    }
}

void SymptomListPage::RefillList() {
    ListBox2->clear();
    for (int slot = kFirstUserSymptom; slot <= kLastUserSymptom; ++slot) {
        ListBox2->addItem(FromDiskBytes(services_.symptoms.Name(slot)));
    }
}

void SymptomListPage::SetMinimumCountText(const QString& text) {
    Edit2->setText(text);
}

QString SymptomListPage::MinimumCountText() const {
    return Edit2->text();
}

void SymptomListPage::ListBox1DblClick() {
    const QList<QListWidgetItem*> selected = ListBox2->selectedItems();
    if (selected.isEmpty()) {
        throw QuorvaneError("List index out of bounds (-1)");
    }
    const int line = ListBox2->row(selected.front());
    const QString shown = selected.front()->text();
    const QString answer =
        services_.prompts.InputBox(QStringLiteral("Enter New Symptom to monitor"),
                                   QStringLiteral("The Present Symptom is"), shown);
    RenameSymptom(services_.symptoms, kFirstUserSymptom + line, ToDiskBytes(shown),
                  ToDiskBytes(answer));
    RefillList();
    if (symptomsRenamed_) {
        symptomsRenamed_();
    }
}

void SymptomListPage::Button2Click() {
    if (!services_.prompts.Confirm(
            QStringLiteral("Continue to permanently change default settings?"))) {
        return;
    }
    StoreSymptoms(services_.settingsPath(), services_.symptoms);
}

void SymptomListPage::Button3Click() {
    LoadSymptoms(services_.settingsPath(), services_.symptoms);
    RefillList();
}

}  // namespace quorvane
