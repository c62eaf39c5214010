#include "pages/suspects/suspects_page.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <sstream>

#include "core/analysis/analysis.h"
#include "core/evidence/not_foods.h"
#include "core/evidence/suspects_text.h"
#include "core/settings/profile_file.h"
#include "pages/suspects/challenge_panel.h"
#include "pages/suspects/suspects_charts.h"
#include "pages/suspects/suspects_summary.h"
#include "pages/suspects/suspects_table_model.h"
#include "ui/prompts.h"
#include "ui/record_document.h"
#include "ui/text_file.h"

namespace quorvane {

namespace {

const QString kHint = QStringLiteral("Run File, Analysis to see suspects.");
const QString kNoSymptom =
    QStringLiteral("No monitored symptom began in this diary, so there is nothing to rank yet.");

// The interval plot shows this many of the ranked rows.
constexpr std::size_t kForestRows = 10;

template <typename T>
T* Named(T* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QString NextTo(const QString& diaryPath, const QString& name) {
    const QFileInfo diary(diaryPath);
    return diaryPath.isEmpty() ? name : diary.dir().filePath(name);
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
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(true);

    details_ = Named(new QPlainTextEdit(this), "SuspectDetails", QStringLiteral("Suspect details"));
    details_->setReadOnly(true);
    details_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    details_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    details_->setTabChangesFocus(true);
    // The caret keys scroll and select the text, so the keyboard reads all of it.
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    timeline_ = Named(new TimelineChart(this), "SuspectTimeline", QStringLiteral("Days timeline"));
    forest_ = Named(new ForestChart(this), "SuspectForest", QStringLiteral("Risk ratio intervals"));

    auto* top = new QHBoxLayout;
    top->addWidget(symptomLabel_);
    top->addWidget(symptoms_);
    top->addStretch(1);
    top->addWidget(exportCsv_);
    top->addWidget(summary_);

    auto* beside = Named(new QSplitter(Qt::Horizontal, this), "SuspectSplitter",
                         QStringLiteral("Suspects and details"));
    beside->addWidget(table_);
    beside->addWidget(details_);
    beside->setStretchFactor(0, 3);
    beside->setStretchFactor(1, 2);
    beside->setChildrenCollapsible(false);

    auto* charts = new QWidget(this);
    auto* chartsLayout = new QVBoxLayout(charts);
    chartsLayout->setContentsMargins(0, 0, 0, 0);
    chartsLayout->addWidget(timeline_);
    chartsLayout->addWidget(forest_, 1);

    auto* above = Named(new QSplitter(Qt::Vertical, this), "SuspectChartsSplitter",
                        QStringLiteral("Suspects and pictures"));
    above->addWidget(beside);
    above->addWidget(charts);
    above->setStretchFactor(0, 3);
    above->setStretchFactor(1, 2);
    above->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(hint_);
    layout->addWidget(above, 1);
    challenge_ =
        Named(new ChallengePanel(services_, this), "SuspectChallenge", QStringLiteral("Challenge"));
    layout->addWidget(challenge_);

    setTabOrder(symptoms_, table_);
    setTabOrder(table_, details_);
    setTabOrder(details_, exportCsv_);
    setTabOrder(exportCsv_, summary_);

    connect(symptoms_, &QComboBox::currentIndexChanged, this,
            [this](int index) { services_.guard([&] { SymptomChosen(index); }); });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { services_.guard([this] { SelectionChanged(); }); });
    connect(exportCsv_, &QPushButton::clicked, this,
            [this] { services_.guard([this] { ExportCsvClick(); }); });
    connect(summary_, &QPushButton::clicked, this,
            [this] { services_.guard([this] { DoctorSummaryClick(); }); });

    Clear();
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
    forest_->SetPlot({}, QString());
    hint_->setText(kHint);
    hint_->show();
    challenge_->SetSuspect(nullptr);
    challenge_->Refresh(false);
    for (QWidget* control : {static_cast<QWidget*>(symptoms_), static_cast<QWidget*>(exportCsv_),
                             static_cast<QWidget*>(summary_)}) {
        control->setEnabled(false);
    }
}

SuspectsPage::Findings SuspectsPage::FindSuspectsOf(const QString& diaryPath) const {
    Findings findings;
    const Analysis& analysis = services_.analysis;
    if (!analysis.GatheredEvidence() || !analysis.Evidence().Finished()) {
        return findings;
    }
    const std::vector<std::string> notFoods = ReadNotFoods(ProfileFile(services_.settingsPath()));
    findings.Result = FindSuspects(analysis.Evidence(), analysis.Items(), notFoods);
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
    table_->resizeColumnsToContents();
    forest_->SetPlot(group != nullptr ? ForestOf(*group, kForestRows) : ForestPlot(), QString());
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
        return;
    }
    QString text = FromDiskBytes(SuspectSentence(*row, result_.PairsTested));
    text += QStringLiteral("\n");
    for (const std::string& line : SuspectChecks(*row)) {
        text += QStringLiteral("\n") + FromDiskBytes(line);
    }
    details_->setPlainText(text);
    const Analysis& analysis = services_.analysis;
    const QString item = FromDiskBytes(row->Item);
    timeline_->SetTimeline(
        TimelineOf(analysis.Evidence(), analysis.Items(), row->Item, row->Symptom), item,
        FromDiskBytes(row->SymptomName));
    const SymptomSuspects* group = ChosenSymptom();
    forest_->SetPlot(group != nullptr ? ForestOf(*group, kForestRows) : ForestPlot(), item);
}

void SuspectsPage::ExportCsvClick() {
    if (!hasResults_) {
        return;
    }
    const std::optional<QString> path = services_.prompts.SaveFileName(
        NextTo(diaryPath_, QStringLiteral("suspects.csv")), QStringLiteral("csv"), true);
    if (!path) {
        return;
    }
    RefuseRecoveryName(*path, RecoveryPathBeside(services_.settingsPath()));
    std::ostringstream out;
    WriteSuspectsTable(result_, TableFormat::Csv, out);
    const std::string bytes = out.str();
    WriteFileBytes(*path, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void SuspectsPage::DoctorSummaryClick() {
    if (!hasResults_ || shown_.empty()) {
        return;
    }
    const std::optional<QString> path = services_.prompts.SaveFileName(
        NextTo(diaryPath_, QStringLiteral("suspects-summary.pdf")), QStringLiteral("pdf"), true);
    if (!path) {
        return;
    }
    RefuseRecoveryName(*path, RecoveryPathBeside(services_.settingsPath()));
    const DiaryFacts facts =
        FactsOf(services_.analysis.Evidence(), SummaryVersion(), ToDiskBytes(diaryHash_));
    WriteFileBytes(*path, DoctorSummaryPdf(result_, facts));
}

}  // namespace quorvane
