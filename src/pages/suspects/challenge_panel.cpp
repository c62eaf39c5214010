#include "pages/suspects/challenge_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <random>

#include "core/analysis/analysis.h"
#include "core/challenge/challenge_analysis.h"
#include "core/challenge/challenge_date.h"
#include "core/challenge/challenge_store.h"
#include "core/challenge/challenge_text.h"
#include "core/settings/profile_file.h"
#include "core/text/quorvane_error.h"
#include "pages/suspects/challenge_calendar.h"
#include "ui/prompts.h"
#include "ui/record_document.h"
#include "ui/text_codec.h"
#include "ui/text_file.h"

namespace quorvane {

namespace {

QString Joined(const std::vector<std::string>& lines) {
    QString text;
    for (const std::string& line : lines) {
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + FromDiskBytes(line);
    }
    return text;
}

template <typename T>
T* Named(T* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

uint64_t FreshSeed() {
    std::random_device device;
    return (static_cast<uint64_t>(device()) << 32) ^ device();
}

}  // namespace

ChallengePanel::ChallengePanel(WindowServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), today_(LocalToday) {
    setObjectName(QStringLiteral("ChallengePanel"));
    todayLabel_ = Named(new QLabel(this), "ChallengeToday", QStringLiteral("Today"));
    QFont bigger = todayLabel_->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.3);
    bigger.setBold(true);
    todayLabel_->setFont(bigger);
    todayLabel_->setWordWrap(true);
    planButton_ = Named(new QPushButton(QStringLiteral("Plan a &test..."), this), "ChallengePlan",
                        QStringLiteral("Plan a test"));
    printButton_ = Named(new QPushButton(QStringLiteral("Print the pla&n..."), this),
                         "ChallengePrint", QStringLiteral("Print plan"));
    wordButton_ = Named(new QPushButton(QStringLiteral("Write today's &word"), this),
                        "ChallengeWord", QStringLiteral("Write today's word in the diary"));
    wordButton_->setToolTip(
        QStringLiteral("Writes \"Challenge eat\" or \"Challenge avoid\" in the diary"));
    auto* legend = Named(new QLabel(this), "ChallengeLegend", QStringLiteral("Calendar colours"));
    legend->setText(QStringLiteral("Orange: eat it. Blue: none.\nPale: first days, not counted."));
    calendar_ = Named(new ChallengeCalendar(this), "ChallengeCalendar",
                      QStringLiteral("Challenge calendar"));
    verdict_ =
        Named(new QPlainTextEdit(this), "ChallengeVerdict", QStringLiteral("Challenge result"));
    verdict_->setReadOnly(true);
    verdict_->setTabChangesFocus(true);
    verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(todayLabel_);
    buttons->addWidget(planButton_);
    buttons->addWidget(printButton_);
    buttons->addWidget(wordButton_);
    buttons->addWidget(legend);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons, 2);
    layout->addWidget(calendar_, 4);
    layout->addWidget(verdict_, 4);

    connect(planButton_, &QPushButton::clicked, this,
            [this] { services_.guard([this] { PlanClick(); }); });
    connect(printButton_, &QPushButton::clicked, this,
            [this] { services_.guard([this] { PrintClick(); }); });
    connect(wordButton_, &QPushButton::clicked, this,
            [this] { services_.guard([this] { WriteWordClick(); }); });
    SetSuspect(nullptr);
}

void ChallengePanel::SetSuspect(const SuspectRow* row) {
    hasSuspect_ = row != nullptr;
    if (row != nullptr) {
        row_ = *row;
    }
    planButton_->setEnabled(hasSuspect_);
    planButton_->setText(hasSuspect_ ? QStringLiteral("Plan a &test of ") +
                                           FromDiskBytes(row->Item) + QStringLiteral("...")
                                     : QStringLiteral("Plan a &test..."));
}

void ChallengePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    services_.guard([this] { Reread(); });
}

void ChallengePanel::Refresh(bool analyse) {
    analysed_ = analyse;
    plan_.reset();
    verdict_->clear();
    try {
        plan_ = ReadChallengePlan(ProfileFile(services_.settingsPath()));
    } catch (const QuorvaneError& error) {
        verdict_->setPlainText(FromDiskBytes(error.what()));
    }
    const int64_t today = today_();
    calendar_->SetPlan(plan_, today);
    printButton_->setEnabled(plan_.has_value());
    wordButton_->setEnabled(plan_ && PlanDayOn(*plan_, today) &&
                            !MarkerWordFor(*plan_, *PlanDayOn(*plan_, today)).empty());
    if (!plan_) {
        todayLabel_->setText(QStringLiteral("No test planned"));
        if (verdict_->toPlainText().isEmpty()) {
            verdict_->setPlainText(
                QStringLiteral("A diary can only raise a suspicion. Select a suspect and plan "
                               "a test: days with and days without it, in random order."));
        }
        return;
    }
    todayLabel_->setText(FromDiskBytes(TodayInstruction(*plan_, today)));
    const Analysis& analysis = services_.analysis;
    if (analyse && analysis.GatheredEvidence() && analysis.Evidence().Finished()) {
        verdict_->setPlainText(Joined(ChallengeVerdictLines(
            *plan_, AnalyseChallenge(*plan_, analysis.Evidence(), analysis.Items()))));
    } else {
        verdict_->setPlainText(QStringLiteral("Run File, Analysis to see how the test is going."));
    }
}

void ChallengePanel::PlanClick() {
    const Analysis& analysis = services_.analysis;
    if (!hasSuspect_ || !analysis.GatheredEvidence() || !analysis.Evidence().Finished()) {
        return;
    }
    const std::string& food = row_.Item;
    // Safety before anything else: such a food is tested only under medical care.
    if (services_.prompts.Confirm(FromDiskBytes(SevereReactionQuestion(food)))) {
        services_.prompts.Message(FromDiskBytes(SupervisedChallengeAdvice(food)));
        return;
    }
    if (plan_ &&
        !services_.prompts.Confirm(QStringLiteral("A test of ") + FromDiskBytes(plan_->Food) +
                                   QStringLiteral(" is planned. Replace it?"))) {
        return;
    }
    const QString tomorrow = QString::fromStdString(FormatIsoDate(today_() + 1));
    const QString answer = services_.prompts.InputBox(
        QStringLiteral("Challenge"),
        QStringLiteral("First day of the test (YYYY-MM-DD), the day after the diary's last day:"),
        tomorrow);
    const std::string startDate = ToDiskBytes(answer.trimmed());
    if (!ParseIsoDate(startDate)) {
        throw QuorvaneError("'" + startDate + "' is not a date of the form YYYY-MM-DD");
    }
    const PlanOutcome outcome =
        PlanChallenge(FactsForChallenge(analysis.Evidence(), row_), FreshSeed(), startDate);
    if (outcome.Result == PlanOutcome::Kind::Planned) {
        ProfileFile profile(services_.settingsPath());
        StoreChallengePlan(profile, outcome.Plan);
        Refresh(true);
    }
    services_.prompts.Message(Joined(PlanOutcomeLines(outcome)));
}

void ChallengePanel::PrintClick() {
    if (!plan_) {
        return;
    }
    const std::optional<QString> path = services_.prompts.SaveFileName(
        QStringLiteral("challenge-plan.pdf"), QStringLiteral("pdf"), true);
    if (!path) {
        return;
    }
    RefuseRecoveryName(*path, RecoveryPathBeside(services_.settingsPath()));
    PlanOutcome outcome;
    outcome.Result = PlanOutcome::Kind::Planned;
    outcome.Plan = *plan_;
    WriteFileBytes(*path, ChallengePlanPdf(*plan_, PlanOutcomeLines(outcome)));
}

void ChallengePanel::WriteWordClick() {
    if (!plan_) {
        return;
    }
    const std::optional<int64_t> day = PlanDayOn(*plan_, today_());
    const std::string word = day ? MarkerWordFor(*plan_, *day) : std::string();
    if (!word.empty()) {
        emit DiaryWordRequested(QString::fromStdString(word));
    }
}

}  // namespace quorvane
