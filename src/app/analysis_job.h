#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "pages/suspects/suspects_page.h"

namespace quorvane {

class Analysis;

// One File, Analysis run, from the engine's reset to the suspects, on one
// worker thread. The worker never touches a widget or waits for the event loop:
// each signal is emitted on the thread that owns the job, in the order the run
// reached it, and exactly one of finished and failed ends a started run.
class AnalysisJob : public QObject {
    Q_OBJECT
  public:
    // What the run takes from the window, read before it starts: the window is
    // disabled meanwhile, so these cannot change under the run anyway.
    struct Plan {
        QString DiaryPath;
        // Parsed after the read, so a bad value stops the run where it always did.
        std::string MinimumCountText;
        char DecimalSeparator = '.';
        int32_t ColumnWidth = 0;
    };
    struct Result {
        QString Report;
        SuspectsPage::Findings Suspects;
    };

    // findSuspects runs on the worker, after the report.
    using SuspectsFinder = std::function<SuspectsPage::Findings(const QString& diaryPath)>;
    AnalysisJob(Analysis& analysis, SuspectsFinder findSuspects, QObject* parent = nullptr);
    // A run still going stops at its next diary day; returns once its worker has.
    ~AnalysisJob() override;
    AnalysisJob(const AnalysisJob&) = delete;
    AnalysisJob& operator=(const AnalysisJob&) = delete;

    // The analysis is the worker's until finished or failed arrives.
    void Start(Plan plan);
    bool Running() const { return running_; }

  signals:
    // The progress bar's position: 1 + the days read so far, then 50, 60, 75.
    void progressed(int position);
    void totalsComputed();
    // The report's text, ahead of the result: the owner may measure it while
    // the worker finds the suspects.
    void reportPrepared(const QString& report);
    // The worker waits for the receivers to return, as the box it stands for asks.
    void tooManyItemsPerDay();
    // A receiver may move from the result.
    void finished(quorvane::AnalysisJob::Result& result);
    // The engine's exception, to be raised again on this thread.
    void failed(std::exception_ptr error);

  private:
    void Run(const Plan& plan);
    Result Steps(const Plan& plan);
    void AskTooManyItems();
    void Post(std::function<void()> call);

    Analysis& analysis_;
    SuspectsFinder findSuspects_;
    std::thread worker_;
    bool running_ = false;  // on the owner's thread only

    std::mutex mutex_;
    std::condition_variable answered_;
    std::atomic<bool> abandoned_ = false;
    uint64_t boxesAsked_ = 0;
    uint64_t boxesAnswered_ = 0;
};

}  // namespace quorvane
