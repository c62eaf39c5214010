// The analysis job alone: what reaches its owner, in which order and on which
// thread, and that it can be let go of in the middle of a run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/analysis_job.h"
#include "app/window_fixture.h"
#include "core/analysis/analysis.h"
#include "core/analysis/symptom_table.h"
#include "core/text/quorvane_error.h"

namespace quorvane::testing {
namespace {

// `days` days of tea and a headache now and then.
QByteArray DaysOfTea(int days) {
    QByteArray diary;
    for (int day = 0; day < days; ++day) {
        diary += "day " + QByteArray::number(day) + ", tea, $, ";
        diary += day % 3 == 0 ? "headache, #,\r\n" : "#,\r\n";
    }
    return diary;
}

QByteArray CrowdedDay() {
    QByteArray day = "crowded day, ";
    for (int i = 0; i < 210; ++i) {
        day += "food " + QByteArray(1, static_cast<char>('a' + i % 26)) +
               QByteArray(1, static_cast<char>('a' + i / 26)) + ", ";
    }
    return day + "#,\r\n";
}

// The positions and signals of a run over `days` days of tea that ends well.
std::vector<std::string> RunOverDays(int days) {
    std::vector<std::string> events;
    for (int day = 1; day <= std::min(days, 99); ++day) {
        events.push_back(std::to_string(1 + day));
    }
    events.push_back(std::to_string(1 + days));
    for (const char* event : {"50", "totals", "60", "75", "report", "finished"}) {
        events.emplace_back(event);
    }
    return events;
}

class AnalysisJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        analysis_.SetGridChanged([this] { gridThreads_.insert(QThread::currentThread()); });
        MakeJob();
    }

    // A new job whose every signal is noted as its receiver sees it.
    void MakeJob() {
        job_ = std::make_unique<AnalysisJob>(analysis_, [this](const QString& path) {
            suspectsThread_ = QThread::currentThread();
            SuspectsPage::Findings findings;
            findings.DiaryPath = path;
            return findings;
        });
        QObject::connect(job_.get(), &AnalysisJob::progressed,
                         [this](int position) { Note(std::to_string(position)); });
        QObject::connect(job_.get(), &AnalysisJob::totalsComputed, [this] { Note("totals"); });
        QObject::connect(job_.get(), &AnalysisJob::tooManyItemsPerDay, [this] { Note("box"); });
        QObject::connect(job_.get(), &AnalysisJob::reportPrepared, [this](const QString& report) {
            Note("report");
            preparedReport_ = report;
        });
        QObject::connect(job_.get(), &AnalysisJob::finished, [this](AnalysisJob::Result& result) {
            Note("finished");
            result_ = std::move(result);
        });
        QObject::connect(job_.get(), &AnalysisJob::failed, [this](const std::exception_ptr& error) {
            Note("failed");
            try {
                std::rethrow_exception(error);
            } catch (const QuorvaneError& raised) {
                error_ = raised.what();
            }
        });
    }

    QString Diary(const QByteArray& bytes) {
        const QString path = dir_.filePath(QStringLiteral("diary.txt"));
        WriteBytes(path, bytes);
        return path;
    }

    static AnalysisJob::Plan PlanFor(const QString& path, const char* minimumCount = "3") {
        AnalysisJob::Plan plan;
        plan.DiaryPath = path;
        plan.MinimumCountText = minimumCount;
        plan.ColumnWidth = 160;
        return plan;
    }

    // Waits, turning the event loop, for the run's last signal.
    void WaitForEnd() {
        QSignalSpy finished(job_.get(), &AnalysisJob::finished);
        QSignalSpy failed(job_.get(), &AnalysisJob::failed);
        for (int i = 0; i < 600 && finished.isEmpty() && failed.isEmpty(); ++i) {
            finished.wait(100);
        }
        ASSERT_EQ(finished.size() + failed.size(), 1);
        EXPECT_FALSE(job_->Running());
    }

    void Note(const std::string& what) {
        EXPECT_EQ(QThread::currentThread(), QApplication::instance()->thread()) << what;
        events_.push_back(what);
    }

    QTemporaryDir dir_;
    SymptomTable symptoms_;
    Analysis analysis_{symptoms_};
    std::unique_ptr<AnalysisJob> job_;
    std::vector<std::string> events_;
    std::set<QThread*> gridThreads_;
    std::atomic<QThread*> suspectsThread_ = nullptr;
    QString preparedReport_;
    AnalysisJob::Result result_;
    std::string error_;
};

TEST_F(AnalysisJobTest, StepsRunOnOneWorkerAndReportInRunOrder) {
    const QString path = Diary(DaysOfTea(150));
    job_->Start(PlanFor(path));
    // Start returns at once: nothing has been delivered yet.
    EXPECT_TRUE(job_->Running());
    EXPECT_TRUE(events_.empty());
    WaitForEnd();
    // One position a day while the bar can still move, the whole count after
    // the read, then the later steps.
    EXPECT_EQ(events_, RunOverDays(150));

    ASSERT_NE(suspectsThread_.load(), nullptr);
    EXPECT_NE(suspectsThread_.load(), QApplication::instance()->thread());
    EXPECT_EQ(gridThreads_, std::set<QThread*>{suspectsThread_.load()});
    EXPECT_EQ(result_.Suspects.DiaryPath, path);
    EXPECT_TRUE(result_.Report.contains(QStringLiteral("TEA")));
    EXPECT_EQ(preparedReport_, result_.Report);

    // A second run on the same job reports the same.
    events_.clear();
    job_->Start(PlanFor(path));
    WaitForEnd();
    EXPECT_EQ(events_, RunOverDays(150));
}

TEST_F(AnalysisJobTest, EngineErrorsArriveOnceWithTheEnginesMessage) {
    job_->Start(PlanFor(dir_.filePath(QStringLiteral("missing.txt"))));
    WaitForEnd();
    EXPECT_EQ(events_, (std::vector<std::string>{"1", "failed"}));
    EXPECT_EQ(error_, "File not found");

    // The minimum count is parsed after the read, as the window always did.
    events_.clear();
    job_->Start(PlanFor(Diary(DaysOfTea(2)), "3x"));
    WaitForEnd();
    EXPECT_EQ(events_, (std::vector<std::string>{"2", "3", "3", "failed"}));
    EXPECT_EQ(error_, "'3x' is not a valid integer value");
    EXPECT_EQ(suspectsThread_.load(), nullptr);
}

TEST_F(AnalysisJobTest, TooManyItemsBoxHoldsTheReadUntilItReturns) {
    bool heldWhileUp = false;
    QObject::connect(job_.get(), &AnalysisJob::tooManyItemsPerDay, [&] {
        // Time enough for a worker that went on to reach its end.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        heldWhileUp = suspectsThread_ == nullptr;
    });
    job_->Start(PlanFor(Diary(CrowdedDay() + DaysOfTea(1))));
    WaitForEnd();
    EXPECT_TRUE(heldWhileUp);
    std::vector<std::string> expected = RunOverDays(2);
    expected.insert(expected.begin(), "box");
    EXPECT_EQ(events_, expected);
}

TEST_F(AnalysisJobTest, LettingGoMidRunEndsItsWorkerAndLeavesTheAnalysisUsable) {
    // Held by a box whose call cannot be delivered: the event loop does not turn
    // here. Destroying the job must wake the worker, not wait for it forever.
    job_->Start(PlanFor(Diary(CrowdedDay() + DaysOfTea(1000))));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    job_.reset();
    QApplication::processEvents();
    EXPECT_EQ(events_, std::vector<std::string>{});  // the pending calls went with it

    // Let go of in the middle of a long read.
    MakeJob();
    job_->Start(PlanFor(Diary(DaysOfTea(200000))));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    job_.reset();
    QApplication::processEvents();

    MakeJob();
    events_.clear();
    job_->Start(PlanFor(Diary(DaysOfTea(150))));
    WaitForEnd();
    EXPECT_EQ(events_, RunOverDays(150));
    EXPECT_TRUE(result_.Report.contains(QStringLiteral("TEA")));
}

}  // namespace
}  // namespace quorvane::testing
