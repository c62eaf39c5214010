#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/challenge/challenge_plan.h"
#include "core/evidence/suspects.h"
#include "ui/window_services.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quorvane {

class ChallengeCalendar;

// The "Challenge" part of the Suspects page: plans a randomized eat/avoid test of
// the selected suspect, keeps it in the settings file, shows today's instruction
// and the calendar, prints the plan, and gives the verdict after each analysis.
class ChallengePanel : public QWidget {
    Q_OBJECT
  public:
    explicit ChallengePanel(WindowServices services, QWidget* parent = nullptr);

    // The suspect a plan would test; nullptr for none.
    void SetSuspect(const SuspectRow* row);
    // Reads the stored plan again and, when asked and the last analysis gathered
    // the evidence, analyses it.
    void Refresh(bool analyse);
    // The plan read again, keeping whether the last analysis is shown.
    void Reread() { Refresh(analysed_); }
    // For tests: the date taken as today (days since 1970-01-01).
    void SetClock(std::function<int64_t()> today) { today_ = std::move(today); }

    void PlanClick();
    void PrintClick();
    void WriteWordClick();

    const std::optional<ChallengePlan>& Plan() const { return plan_; }

  protected:
    // Another day may have come since the page was last shown.
    void showEvent(QShowEvent* event) override;

  signals:
    // The day's marker word for the diary ("Challenge eat,"); the window hands it
    // to the composer.
    void DiaryWordRequested(const QString& word);

  private:
    WindowServices services_;
    std::function<int64_t()> today_;
    std::optional<ChallengePlan> plan_;
    bool hasSuspect_ = false;
    bool analysed_ = false;  // the last Refresh analysed: the evidence is still there
    SuspectRow row_;

    QLabel* todayLabel_ = nullptr;
    QPushButton* planButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* wordButton_ = nullptr;
    ChallengeCalendar* calendar_ = nullptr;
    QPlainTextEdit* verdict_ = nullptr;
};

}  // namespace quorvane
