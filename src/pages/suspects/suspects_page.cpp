#include "pages/suspects/suspects_page.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "core/analysis/analysis.h"
#include "core/evidence/not_foods.h"
#include "core/evidence/suspects_plain.h"
#include "core/evidence/suspects_text.h"
#include "core/foods/food_groups.h"
#include "core/settings/profile_file.h"
#include "pages/suspects/challenge_panel.h"
#include "pages/suspects/foods_pane.h"
#include "pages/suspects/suspects_charts.h"
#include "pages/suspects/suspects_table_model.h"
#include "ui/prompts.h"
#include "ui/text_file.h"

namespace quorvane {

namespace {

const QString kHint = QStringLiteral("Run File, Analysis to see suspects.");
const QString kNoSymptom =
    QStringLiteral("No monitored symptom began in this diary, so there is nothing to rank yet.");

// The interval plot shows this many of the ranked rows.
constexpr std::size_t kForestRows = 10;
// Below this width the details go under the table rather than beside it.
constexpr int kSideBySideWidth = 900;

template <typename T>
T* Named(T* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QString Latin(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A picture keeps its size and scrolls where the page is short (scaled up).
QScrollArea* Scrolled(QWidget* content) {
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    return area;
}

// Marks that read without colour: a tick, a warning sign, a bullet.
QString MarkOf(CheckMark mark) {
    switch (mark) {
        case CheckMark::Passed:
            return QStringLiteral("\u2713");
        case CheckMark::Doubt:
            return QStringLiteral("\u26A0");
        case CheckMark::Note:
            break;
    }
    return QStringLiteral("\u2022");
}

}  // namespace

SuspectsPage::SuspectsPage(WindowServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("SuspectsPage"));

    symptoms_ = Named(new QComboBox(this), "SuspectSymptom", QStringLiteral("Symptom"));
    symptoms_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    symptomLabel_ = Named(new QLabel(QStringLiteral("S&ymptom:"), this), "SuspectSymptomLabel",
                          QStringLiteral("Symptom"));
    symptomLabel_->setBuddy(symptoms_);
    exportCsv_ = Named(new QPushButton(QStringLiteral("&Export CSV..."), this), "SuspectExportCsv",
                       QStringLiteral("Export CSV"));
    summary_ = Named(new QPushButton(QStringLiteral("Doctor's &summary..."), this),
                     "SuspectSummary", QStringLiteral("Doctor's summary"));
    hint_ = Named(new QLabel(kHint, this), "SuspectHint", QStringLiteral("Hint"));
    hint_->setWordWrap(true);

    model_ = new SuspectsTableModel(this);
    table_ = Named(new QTableView(this), "SuspectTable", QStringLiteral("Suspects"));
    table_->setModel(model_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(kViewRank, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    table_->setFocusPolicy(Qt::StrongFocus);
    table_->setTextElideMode(Qt::ElideRight);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(
        std::max(table_->fontMetrics().height() + 4, 20));
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(false);
    table_->horizontalHeader()->setTextElideMode(Qt::ElideNone);

    // Rarely needed columns wait behind this menu; the header's own menu is the same.
    columns_ = Named(new QPushButton(QStringLiteral("Sho&w columns"), this), "SuspectColumns",
                     QStringLiteral("Columns shown"));
    columns_->setToolTip(QStringLiteral("Choose which columns the table shows."));
    auto* chooser = new QMenu(columns_);
    chooser->setObjectName(QStringLiteral("SuspectColumnsMenu"));
    chooser->setAccessibleName(QStringLiteral("Columns shown"));
    for (int column = 0; column < kViewColumnCount; ++column) {
        QAction* action = chooser->addAction(Latin(SuspectViewHeading(column)).replace('\n', ' '));
        action->setCheckable(true);
        action->setChecked(SuspectViewShownAtFirst(column));
        action->setToolTip(Latin(SuspectViewHeadingTip(column)));
        // The food names the row: it stays.
        action->setEnabled(column != kViewItem);
        table_->setColumnHidden(column, !SuspectViewShownAtFirst(column));
        connect(action, &QAction::toggled, this, [this, column](bool shown) {
            table_->setColumnHidden(column, !shown);
            if (shown) {
                FitColumns();
            }
        });
    }
    columns_->setMenu(chooser);
    table_->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table_->horizontalHeader(), &QWidget::customContextMenuRequested, this,
            [this, chooser](const QPoint& at) {
                chooser->popup(table_->horizontalHeader()->mapToGlobal(at));
            });

    details_ = Named(new QPlainTextEdit(this), "SuspectDetails", QStringLiteral("Suspect details"));
    details_->setReadOnly(true);
    details_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    details_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    details_->setTabChangesFocus(true);
    // The caret keys scroll and select the text, so the keyboard reads all of it.
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    timeline_ = Named(new TimelineChart(this), "SuspectTimeline", QStringLiteral("Days timeline"));
    calendar_ = Named(new CalendarChart(this), "SuspectCalendar", QStringLiteral("Diary calendar"));
    forest_ = Named(new ForestChart(this), "SuspectForest", QStringLiteral("Times as often chart"));

    auto* top = new QHBoxLayout;
    top->addWidget(symptomLabel_);
    top->addWidget(symptoms_);
    top->addStretch(1);
    top->addWidget(columns_);
    top->addWidget(exportCsv_);
    top->addWidget(summary_);

    beside_ = Named(new QSplitter(Qt::Horizontal, this), "SuspectSplitter",
                    QStringLiteral("Suspects and details"));
    beside_->addWidget(table_);
    beside_->addWidget(details_);
    beside_->setStretchFactor(0, 3);
    beside_->setStretchFactor(1, 2);
    beside_->setChildrenCollapsible(false);

    auto* days = new QWidget(this);
    auto* daysLayout = new QVBoxLayout(days);
    daysLayout->setContentsMargins(0, 0, 0, 0);
    daysLayout->addWidget(timeline_);
    daysLayout->addWidget(calendar_, 1);
    auto* ranges = new QWidget(this);
    auto* rangesLayout = new QVBoxLayout(ranges);
    rangesLayout->setContentsMargins(0, 0, 0, 0);
    rangesLayout->addWidget(forest_);
    rangesLayout->addStretch(1);

    panels_ = Named(new QTabWidget(this), "SuspectPanels", QStringLiteral("Pictures"));
    panels_->setDocumentMode(true);
    AddPanel(Scrolled(days), QStringLiteral("Days"));
    AddPanel(Scrolled(ranges), QStringLiteral("Times as often"));

    auto* above = Named(new QSplitter(Qt::Vertical, this), "SuspectChartsSplitter",
                        QStringLiteral("Suspects and pictures"));
    above->addWidget(beside_);
    above->addWidget(panels_);
    above->setStretchFactor(0, 3);
    above->setStretchFactor(1, 2);
    above->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(hint_);
    layout->addWidget(above, 1);
    // What the person means by a food: a tab beside the pictures, not room taken from the table.
    foods_ = new FoodsPane(services_, this);
    AddPanel(foods_, QStringLiteral("Same food?"));
    challenge_ =
        Named(new ChallengePanel(services_, this), "SuspectChallenge", QStringLiteral("Challenge"));
    AddPanel(challenge_, QStringLiteral("Challenge"));

    setTabOrder(symptoms_, table_);
    setTabOrder(table_, details_);
    setTabOrder(details_, exportCsv_);
    setTabOrder(exportCsv_, summary_);
    setTabOrder(summary_, columns_);
    setTabOrder(columns_, panels_->tabBar());
    setTabOrder(panels_->tabBar(), calendar_);
    setTabOrder(calendar_, forest_);

    connect(symptoms_, &QComboBox::currentIndexChanged, this,
            [this](int index) { services_.guard([&] { SymptomChosen(index); }); });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { services_.guard([this] { SelectionChanged(); }); });
    connect(exportCsv_, &QPushButton::clicked, this,
            [this] { services_.guard([this] { ExportCsvClick(); }); });
    connect(summary_, &QPushButton::clicked, this,
            [this] { services_.guard([this] { DoctorSummaryClick(); }); });
    connect(foods_, &FoodsPane::Changed, this,
            [this] { services_.guard([this] { FoodsChanged(); }); });

    Clear();
}

void SuspectsPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A planned test in progress speaks first: today's instruction before any food.
    services_.guard([this] {
        challenge_->Reread();
        if (challenge_->Plan()) {
            panels_->setCurrentWidget(challenge_);
        }
    });
}

void SuspectsPage::AddPanel(QWidget* panel, const QString& title) {
    panels_->addTab(panel, title);
}

void SuspectsPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Narrow (a small screen, or scaled up): the details go under the table so
    // that the table keeps the page's width for its columns.
    const Qt::Orientation wanted = width() < kSideBySideWidth ? Qt::Vertical : Qt::Horizontal;
    if (beside_->orientation() != wanted) {
        beside_->setOrientation(wanted);
    }
}

void SuspectsPage::FitColumns() {
    table_->resizeColumnsToContents();
    QHeaderView* header = table_->horizontalHeader();
    const QFontMetrics metrics = table_->fontMetrics();
    // Long names and lists of checks are elided, their cells' tooltips whole;
    // never narrower than the heading, so that no heading is cut.
    for (const int column : {static_cast<int>(kViewItem), static_cast<int>(kViewFlags)}) {
        const int widest = metrics.averageCharWidth() * (column == kViewItem ? 18 : 26);
        const int heading = header->sectionSizeHint(column);
        if (header->sectionSize(column) > std::max(widest, heading)) {
            header->resizeSection(column, std::max(widest, heading));
        }
    }
}

SuspectsPage::~SuspectsPage() = default;

void SuspectsPage::Clear() {
    hasResults_ = false;
    diaryPath_.clear();
    diaryHash_.clear();
    const QSignalBlocker blocker(symptoms_);
    symptoms_->clear();
    model_->SetSymptom(nullptr);
    result_ = SuspectsResult();
    shown_.clear();
    details_->clear();
    timeline_->SetTimeline({}, QString(), QString());
    calendar_->SetTimeline({}, QString(), QString());
    forest_->SetPlot({}, QString());
    hint_->setText(kHint);
    hint_->show();
    foods_->Clear();
    challenge_->SetSuspect(nullptr);
    challenge_->Refresh(false);
    for (QWidget* control : {static_cast<QWidget*>(symptoms_), static_cast<QWidget*>(exportCsv_),
                             static_cast<QWidget*>(summary_)}) {
        control->setEnabled(false);
    }
    emit SuspectChanged();
}

SuspectsResult SuspectsPage::SuspectsOfRead() const {
    const Analysis& analysis = services_.analysis;
    const ProfileFile profile(services_.settingsPath());
    return FindSuspects(analysis.Evidence(), analysis.Items(), ReadNotFoods(profile),
                        ReadFoodGroups(profile));
}

SuspectsPage::Findings SuspectsPage::FindSuspectsOf(const QString& diaryPath) const {
    Findings findings;
    const Analysis& analysis = services_.analysis;
    if (!analysis.GatheredEvidence() || !analysis.Evidence().Finished()) {
        return findings;
    }
    findings.Result = SuspectsOfRead();
    findings.DiaryPath = diaryPath;
    // The file was saved just before the read, so these are the bytes analysed.
    findings.DiaryHash = QString::fromLatin1(SnapshotOf(diaryPath).hash.toHex());
    findings.Found = true;
    return findings;
}

void SuspectsPage::ShowFindings(Findings findings) {
    Clear();
    if (!findings.Found) {
        return;
    }
    result_ = std::move(findings.Result);
    hasResults_ = true;
    diaryPath_ = std::move(findings.DiaryPath);
    diaryHash_ = std::move(findings.DiaryHash);

    {
        const QSignalBlocker blocker(symptoms_);
        for (std::size_t i = 0; i < result_.Symptoms.size(); ++i) {
            if (IsMonitoredSymptom(result_.Symptoms[i].Symptom)) {
                shown_.push_back(i);
                symptoms_->addItem(FromDiskBytes(result_.Symptoms[i].Name));
            }
        }
    }
    exportCsv_->setEnabled(true);
    const bool any = !shown_.empty();
    symptoms_->setEnabled(any);
    summary_->setEnabled(any);
    hint_->setText(kNoSymptom);
    hint_->setVisible(!any);
    if (any) {
        symptoms_->setCurrentIndex(0);
        SymptomChosen(0);
    }
    foods_->Refresh();
}

void SuspectsPage::FoodsChanged() {
    if (!hasResults_) {
        foods_->Refresh();
        return;
    }
    const int chosen = symptoms_->currentIndex();
    // The same read: neither the diary nor its hash is read again.
    ShowFindings({SuspectsOfRead(), diaryPath_, diaryHash_, true});
    if (chosen > 0 && chosen < symptoms_->count()) {
        symptoms_->setCurrentIndex(chosen);
    }
    challenge_->Refresh(true);
}

const SymptomSuspects* SuspectsPage::ChosenSymptom() const {
    const int index = symptoms_->currentIndex();
    if (!hasResults_ || index < 0 || index >= static_cast<int>(shown_.size())) {
        return nullptr;
    }
    return &result_.Symptoms[shown_[static_cast<std::size_t>(index)]];
}

const SuspectRow* SuspectsPage::SelectedRow() const {
    const QModelIndex current = table_->selectionModel()->currentIndex();
    return current.isValid() ? model_->Row(current.row()) : nullptr;
}

void SuspectsPage::SymptomChosen(int) {
    const SymptomSuspects* group = ChosenSymptom();
    model_->SetSymptom(group);
    FitColumns();
    forest_->SetPlot(group != nullptr ? ForestOf(*group, kForestRows, true) : ForestPlot(),
                     QString());
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(0, 0));
    }
    SelectionChanged();
}

void SuspectsPage::SelectionChanged() {
    const SuspectRow* row = SelectedRow();
    challenge_->SetSuspect(row);
    if (row == nullptr) {
        details_->clear();
        timeline_->SetTimeline({}, QString(), QString());
        const SymptomSuspects* group = ChosenSymptom();
        calendar_->SetTimeline(
            group != nullptr ? TimelineOf(services_.analysis.Evidence(), services_.analysis.Items(),
                                          {}, group->Symptom)
                             : SuspectTimeline(),
            QString(), group != nullptr ? FromDiskBytes(group->Name) : QString());
        emit SuspectChanged();
        return;
    }
    QString text = FromDiskBytes(SuspectSentence(*row, result_.PairsTested));
    text += QStringLiteral("\n");
    for (const CheckLine& line : SuspectCheckLines(*row)) {
        text += QStringLiteral("\n") + MarkOf(line.Mark) + QStringLiteral(" ") +
                FromDiskBytes(line.Text);
    }
    details_->setPlainText(text);
    const Analysis& analysis = services_.analysis;
    const QString item = FromDiskBytes(row->Item);
    const QString symptom = FromDiskBytes(row->SymptomName);
    SuspectTimeline days =
        TimelineOf(analysis.Evidence(), analysis.Items(), row->Item, row->Symptom);
    timeline_->SetTimeline(days, item, symptom);
    calendar_->SetTimeline(std::move(days), item, symptom);
    const SymptomSuspects* group = ChosenSymptom();
    forest_->SetPlot(group != nullptr ? ForestOf(*group, kForestRows, true) : ForestPlot(), item);
    emit SuspectChanged();
}

}  // namespace quorvane
