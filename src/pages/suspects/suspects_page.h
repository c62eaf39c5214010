#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "core/evidence/suspects.h"
#include "core/evidence/suspects_view.h"
#include "ui/window_services.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;

namespace quorvane {

class FoodsPane;
class CalendarChart;
class ChallengePanel;
class ForestChart;
class SuspectsTableModel;
class TimelineChart;

// The "S&uspects" page: the foods that may bring on each monitored symptom,
// found from the evidence of the last analysis, with the days behind the
// selected one, an interval plot of the top suspects, and the exports.
class SuspectsPage : public QWidget {
    Q_OBJECT
  public:
    explicit SuspectsPage(WindowServices services, QWidget* parent = nullptr);
    ~SuspectsPage() override;

    // What an analysis whose read gathered the evidence gives the page: the
    // suspects, without the settings file's Not Foods, and the diary's fingerprint
    // for the summary. Touches no widget, so the window runs it off its thread (a
    // huge diary takes seconds); the analysis must stay unchanged meanwhile.
    struct Findings {
        SuspectsResult Result;
        QString DiaryPath;
        QString DiaryHash;
        bool Found = false;  // false: the read gathered no evidence
    };
    Findings FindSuspectsOf(const QString& diaryPath) const;
    void ShowFindings(Findings findings);
    void ShowAnalysis(const QString& diaryPath) { ShowFindings(FindSuspectsOf(diaryPath)); }
    // Back to the hint, as before any analysis: the evidence is about to go.
    void Clear();
    bool HasResults() const { return hasResults_; }
    ChallengePanel* Challenge() const { return challenge_; }

    void SymptomChosen(int index);
    void SelectionChanged();
    void ExportCsvClick();
    void DoctorSummaryClick();
    // The person's foods changed: the suspects again from the read already held.
    void FoodsChanged();

    // The pictures and any further panel about the selected food sit in one
    // row of tabs below the table; a panel added here follows SuspectChanged.
    void AddPanel(QWidget* panel, const QString& title);

  private:
    SuspectsResult SuspectsOfRead() const;  // with the settings file's Not Foods and groups
    const SymptomSuspects* ChosenSymptom() const;
    const SuspectRow* SelectedRow() const;

  signals:
    // Another food, another symptom or none: the selection the panels show.
    void SuspectChanged();
    // Where an export was written, for the window's status bar.
    void StatusMessage(const QString& text);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void FitColumns();
    // Asks before an existing file is replaced; false keeps it.
    bool MayWrite(const QString& path);

    WindowServices services_;
    SuspectsResult result_;
    std::vector<std::size_t> shown_;  // the chooser's groups: the monitored symptoms
    bool hasResults_ = false;
    QString diaryPath_;
    QString diaryHash_;

    QLabel* hint_ = nullptr;
    QLabel* symptomLabel_ = nullptr;
    QComboBox* symptoms_ = nullptr;
    QPushButton* exportCsv_ = nullptr;
    QPushButton* summary_ = nullptr;
    QPushButton* columns_ = nullptr;
    SuspectsTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QPlainTextEdit* details_ = nullptr;
    QSplitter* beside_ = nullptr;
    QTabWidget* panels_ = nullptr;
    TimelineChart* timeline_ = nullptr;
    CalendarChart* calendar_ = nullptr;
    ForestChart* forest_ = nullptr;
    FoodsPane* foods_ = nullptr;
    ChallengePanel* challenge_ = nullptr;
};

}  // namespace quorvane
