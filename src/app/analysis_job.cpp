#include "app/analysis_job.h"

#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

#include "core/analysis/analysis.h"
#include "core/text/integer_text.h"
#include "ui/text_codec.h"

namespace quorvane {

namespace {

// Ends a run whose job is going away; never reaches the owner.
struct Abandoned {};

// From this many days on the bar stands at its end until the totals.
constexpr int kDaysTheBarShows = 99;

}  // namespace

AnalysisJob::AnalysisJob(Analysis& analysis, SuspectsFinder findSuspects, QObject* parent)
    : QObject(parent), analysis_(analysis), findSuspects_(std::move(findSuspects)) {}

AnalysisJob::~AnalysisJob() {
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    answered_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void AnalysisJob::Start(Plan plan) {
    // The previous worker has posted its last call already; this only reaps it.
    if (worker_.joinable()) {
        worker_.join();
    }
    running_ = true;
    worker_ = std::thread([this, plan = std::move(plan)] { Run(plan); });
}

// Calls posted to the job, not to a receiver: a job destroyed first drops them.
void AnalysisJob::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void AnalysisJob::Run(const Plan& plan) {
    try {
        auto result = std::make_shared<Result>(Steps(plan));
        Post([this, result] {
            running_ = false;
            emit finished(*result);
        });
    } catch (const Abandoned&) {
    } catch (...) {
        Post([this, error = std::current_exception()] {
            running_ = false;
            emit failed(error);
        });
    }
}

AnalysisJob::Result AnalysisJob::Steps(const Plan& plan) {
    analysis_.Reset();
    int days = 0;
    ReadHooks hooks;
    hooks.OnDayEnd = [this, &days] {
        if (abandoned_) {
            throw Abandoned();
        }
        if (++days <= kDaysTheBarShows) {
            Post([this, days] { emit progressed(1 + days); });
        }
    };
    hooks.OnTooManyItemsPerDay = [this] { AskTooManyItems(); };
    // The results' tooltips and the suspects page explain the cells with what
    // this same read gathers.
    hooks.GatherEvidence = true;
    try {
        analysis_.Read(PathBytes(plan.DiaryPath), hooks);
    } catch (...) {
        Post([this, days] { emit progressed(1 + days); });
        throw;
    }
    Post([this, days] { emit progressed(1 + days); });

    const int32_t minimumCount = StrToInt(plan.MinimumCountText);
    analysis_.ComputeTotals(minimumCount);
    Post([this] {
        emit progressed(50);
        emit totalsComputed();
    });
    analysis_.Correlate(minimumCount, plan.DecimalSeparator);
    Post([this] { emit progressed(60); });
    analysis_.SortColumns();
    Post([this] { emit progressed(75); });

    Result result;
    const std::vector<std::string> lines = analysis_.PrepareReport(plan.ColumnWidth);
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) {
        shown.append(FromDiskBytes(line));
    }
    result.Report = shown.join(QLatin1Char('\n'));
    Post([this, report = result.Report] { emit reportPrepared(report); });
    result.Suspects = findSuspects_(plan.DiaryPath);
    return result;
}

// The read waits while the box is up, as it would on the window's own thread.
void AnalysisJob::AskTooManyItems() {
    std::unique_lock lock(mutex_);
    const uint64_t ticket = ++boxesAsked_;
    Post([this, ticket] {
        emit tooManyItemsPerDay();
        {
            const std::lock_guard answer(mutex_);
            boxesAnswered_ = ticket;
        }
        answered_.notify_all();
    });
    answered_.wait(lock, [&] { return boxesAnswered_ >= ticket || abandoned_; });
    if (abandoned_) {
        throw Abandoned();
    }
}

}  // namespace quorvane
