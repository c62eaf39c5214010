#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "core/analysis/analysis.h"
#include "core/analysis/symptom_table.h"
#include "core/analysis/text_grid.h"

class QAction;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTableView;

namespace quorvane {

class ComposerPage;
class PrintCommands;
class Prompts;
class RecordDocument;
class ResultsGridModel;
class SuspectsPage;
class SymptomListPage;

// The program's one window. It owns every piece of state that lives for the
// program run and enters every handler through Guard, so no error crosses the
// event loop.
class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm1(Prompts& prompts, QWidget* parent = nullptr);
    ~TForm1() override;

    // Runs a handler; an error ends it and is shown in the error box. While the
    // analysis engine works on its own thread, handlers are refused.
    void Guard(const std::function<void()>& handler);
    // The analysis engine is at work on its own thread (the window is disabled).
    bool AnalysisRunning() const { return engineBusy_; }

    // Start-up, once, on the first showing; later calls do nothing.
    void FormActivate();
    void FormResize();
    void FormClose();

    // Record file commands.
    void RichEdit2Change();
    void New1Click();
    void Open2Click();
    void Save2Click();
    void SaveAs1Click();
    void SaveRecordAs();
    void PromptSaveRecord();
    void Quit1Click();
    void Print1Click();
    void PrinterSetUp1Click();

    // The analysis and the results.
    void RunAnalysis();
    void ResetAnalysis();
    void Edit4Change();  // "Set &Columns"
    void SetReportTabs();
    void StringGrid1MouseUp(int column, int row);
    void StringGrid1DblClick();

    const QString& MainFileName() const;
    const QString& StartDir() const { return startDir_; }
    bool RecordModified() const;
    bool AnalysisDone() const { return analysisDone_; }
    int ColumnWidth() const { return columnWidth_; }
    const TextGrid& ResultsGrid() const { return analysis_.Grid(); }
    SymptomTable& Symptoms() { return symptoms_; }
    RecordDocument& Record() { return *record_; }
    std::string SettingsFilePath() const;
    // The area below the menu bar, status bar included.
    int ClientWidth() const;
    int ClientHeight() const;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildClientArea();
    void NameControls();
    void BuildPages();
    void BuildMenu();
    void LoadSettingsIntoWindow();
    void StepProgress(int position);
    // Runs one engine step on a worker thread while the event loop turns; its
    // error is raised here.
    void RunOffThread(const std::function<void()>& step);
    void BeginEngineRun();
    void EndEngineRun();
    void SetCaption(const QString& caption);

    Prompts& prompts_;
    SymptomTable symptoms_;
    Analysis analysis_;  // after the symptom table it reads
    bool analysisDone_ = false;
    // The results cell last pressed with the mouse.
    int32_t pressedColumn_ = 0;
    int32_t pressedRow_ = 0;
    QString startDir_;
    int columnWidth_ = 160;
    bool startupRan_ = false;
    bool startupScheduled_ = false;
    // Set by the routes that have settled the save prompt already (Quit, the
    // agreement's Cancel), so closing does not ask it again.
    bool closeApproved_ = false;
    // Nothing but the worker touches the analysis while this is set.
    bool engineBusy_ = false;
    // A close asked for during the run, done once it is over.
    bool closePending_ = false;
    QPointer<QWidget> focusBeforeRun_;

    ResultsGridModel* gridModel_ = nullptr;
    RecordDocument* record_ = nullptr;
    std::unique_ptr<PrintCommands> printing_;

    // Widgets carry these names as object names too; tests find them by name.
    QPushButton* Button1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QPlainTextEdit* RichEdit1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QTableView* StringGrid1 = nullptr;
    SymptomListPage* TabSheet3 = nullptr;
    QWidget* Tabsheet4 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QWidget* TabSheet5 = nullptr;
    QPlainTextEdit* Memo3 = nullptr;
    QWidget* TabSheet6 = nullptr;
    QPlainTextEdit* Memo4 = nullptr;
    ComposerPage* TabSheet8 = nullptr;
    SuspectsPage* SuspectsPage1 = nullptr;

    QMenu* File1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Open2 = nullptr;
    QAction* Save2 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* N1 = nullptr;
    QAction* d1 = nullptr;
    QAction* N2 = nullptr;
    QAction* PrinterSetUp1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Quit1 = nullptr;
};

}  // namespace quorvane
