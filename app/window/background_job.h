#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "app/window/progress_throttle.h"
#include "returns/run/run_result.h"

namespace vat {
class LedgerConnection;
class RunCancel;
}  // namespace vat

// The window's long work (a run, a books check, a year) on a thread of its own, one job at a
// time, so that the window repaints, resizes and scrolls while the server answers. Each job
// gets a ledger connection of its own, which no other thread touches, and a RunCancel on it:
// a cancel stops a statement waiting on a lock at once and ends the wait for a month's lock.
// What the job reports comes to this object's thread through post(); when the job has ended,
// its done runs there.
class BackgroundJob : public QObject {
    Q_OBJECT

public:
    using Work = std::function<void(vat::LedgerConnection& ledger, const vat::RunCancel& cancel)>;

    explicit BackgroundJob(QObject* parent);
    ~BackgroundJob() override;  // drops the job going on and waits for its thread

    // Starts the work, then done. A job going on is cancelled and dropped (its done never
    // runs); the new one starts when its thread has ended, so that two never run at once.
    void start(Work work, std::function<void()> done);
    bool running() const { return current_ != nullptr; }
    // Asks the job going on to stop; its done still runs, to say how it ended.
    void cancel();
    // Cancels the job going on and any waiting to start; neither's done runs.
    void drop();
    // Blocks until the job going on has ended, starting none waiting: for closing a window.
    void wait();
    // Runs the call on this object's thread, after what the job posted before.
    void post(std::function<void()> call);

signals:
    void jobStarted();
    void jobEnded();  // its thread has ended

private:
    struct Job;

    void launch(Work work, std::function<void()> done);
    void finish(int serial);

    std::unique_ptr<Job> current_;
    std::optional<std::pair<Work, std::function<void()>>> next_;
    int serial_ = 0;
};

// Follows a job's run on its thread and shows its progress on the window's, no more often
// than the throttle lets through.
class PostedProgress : public vat::RunObserver {
public:
    using Show = std::function<void(const QString& file, long long done, long long total)>;
    PostedProgress(BackgroundJob& job, Show show) : job_(job), show_(std::move(show)) {}
    void Progress(const std::string& file, long long done, long long total) override;

private:
    BackgroundJob& job_;
    Show show_;
    ProgressThrottle throttle_;
};
