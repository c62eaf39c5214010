#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "app/analysis_job.h"
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
//
// The inherited names, for finding your way (the pages' own, such as
// Button4Click or TabSheet8Enter, are in their classes under src/pages/):
//   Form1 (TForm1)       this window; its objectName
//   FormActivate         start-up, once: settings, the record, the agreement box
//   FormResize           fits the pages, report and grid to the client area
//   FormClose            releases the analysis when the window closes
//   RichEdit2Change      the diary editor changed: modified state and caption
//   New1 / New1Click     File, New: an empty record
//   Open2 / Open2Click   File, Open...: a record file into the editor
//   Save2 / Save2Click   File, Save: the record to its file
//   SaveAs1 / SaveAs1Click  File, Save As...: the report or the record, by the page shown
//   SaveRecordAs         the record under a name the user chooses
//   PromptSaveRecord     asks to save unsaved record changes
//   N1, N2               the File menu's separators
//   d1 / RunAnalysis     File, Analysis: the whole run, read to suspects
//   PrinterSetUp1 / PrinterSetUp1Click  File, Printer SetUp...
//   Print1 / Print1Click File, Print...: the report or the record, by the page shown
//   Quit1 / Quit1Click   File, Quit: the save prompt, then close
//   File1                the File menu
//   Button1              "Set &Columns": runs Edit4Change
//   Edit4 / Edit4Change  the report's column width; applies it to grid and report
//   SetReportTabs        the report's tab stops from the column width
//   PageControl1         the pages (tabs)
//   TabSheet1, RichEdit1 "Main and Print Preview": the report text
//   TabSheet2, StringGrid1  "Spreadsheet": the results grid
//   StringGrid1MouseUp   notes the pressed results cell
//   StringGrid1DblClick  copies that cell into the minimum count box (Edit2)
//   TabSheet3            "Settings First": the symptom list page
//   Tabsheet4, ProgressBar1  "Progress": the analysis progress bar
//   TabSheet5, Memo3     "Agreement": its text
//   TabSheet6, Memo4     "Help": its text
//   TabSheet8            "Composer": the diary editor and word grid page
//   SuspectsPage1        "Suspects": the suspected foods page
//   StatusBar1           the notice line at the bottom
//   ResetAnalysis        empties the results' widgets before a run
class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm1(Prompts& prompts, QWidget* parent = nullptr);
    ~TForm1() override;

    // Runs a handler; an error ends it and is shown in the error box. While the
    // analysis engine works on its own thread, handlers are refused.
    void Guard(const std::function<void()>& handler);
    // From File, Analysis to its end (the window is disabled): the save, then
    // the engine at work in the analysis job.
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

    // The analysis and the results. RunAnalysis returns once the engine has
    // started; analysisEnded follows when its results or its error are shown.
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

  signals:
    void analysisEnded();

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
    void MeasureReport(const QString& text);
    void ConnectAnalysisJob();
    void ShowAnalysisResult(AnalysisJob::Result& result);
    void BeginEngineRun();
    void EndEngineRun();
    void SetCaption(const QString& caption);

    Prompts& prompts_;
    SymptomTable symptoms_;
    Analysis analysis_;  // after the symptom table it reads
    // The destructor ends its worker first: the worker reads other members.
    std::unique_ptr<AnalysisJob> job_;
    bool analysisDone_ = false;
    // The results cell last pressed with the mouse.
    int32_t pressedColumn_ = 0;
    int32_t pressedRow_ = 0;
    QString startDir_;
    int columnWidth_ = 160;
    // The widest field before each report tab stop, measured for this text.
    struct MeasuredReport {
        QString Text;
        QList<qreal> Widest;
    } measuredReport_;
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
