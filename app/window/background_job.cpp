#include "app/window/background_job.h"

#include <QThread>
#include <filesystem>

#include "ledger/ledger_connection.h"
#include "returns/run/run_cancel.h"

struct BackgroundJob::Job {
    vat::LedgerConnection ledger;
    vat::RunCancel cancel{ledger};
    std::function<void()> done;
    std::unique_ptr<QThread> thread;
};

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob() {
    drop();
    wait();
}

void BackgroundJob::start(Work work, std::function<void()> done) {
    if (!current_) {
        launch(std::move(work), std::move(done));
        return;
    }
    current_->done = nullptr;
    current_->cancel.Request();
    next_.emplace(std::move(work), std::move(done));
}

void BackgroundJob::launch(Work work, std::function<void()> done) {
    current_ = std::make_unique<Job>();
    current_->done = std::move(done);
    Job& job = *current_;
    job.thread.reset(
        QThread::create([&job, work = std::move(work)] { work(job.ledger, job.cancel); }));
    // The serial tells this job's end from that of a job dropped and waited for before.
    connect(job.thread.get(), &QThread::finished, this,
            [this, serial = ++serial_] { finish(serial); });
    emit jobStarted();
    job.thread->start();
}

void BackgroundJob::finish(int serial) {
    if (!current_ || serial != serial_) return;
    const std::unique_ptr<Job> ended = std::move(current_);
    ended->thread->wait();
    emit jobEnded();
    if (next_) {
        auto [work, done] = std::move(*next_);
        next_.reset();
        launch(std::move(work), std::move(done));
    }
    if (ended->done) ended->done();
}

void BackgroundJob::cancel() {
    if (current_) current_->cancel.Request();
}

void BackgroundJob::drop() {
    next_.reset();
    if (!current_) return;
    current_->done = nullptr;
    current_->cancel.Request();
}

void BackgroundJob::wait() {
    next_.reset();
    if (!current_) return;
    const std::unique_ptr<Job> ended = std::move(current_);
    ended->thread->wait();
    emit jobEnded();
}

void BackgroundJob::post(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void PostedProgress::Progress(const std::string& file, long long done, long long total) {
    if (!throttle_.due(file, done, total)) return;
    job_.post([show = show_,
               name = QString::fromStdString(std::filesystem::path(file).filename().string()), done,
               total] { show(name, done, total); });
}
