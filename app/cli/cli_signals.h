#pragma once

#include <thread>

#include "returns/run/run_cancel.h"

// While it lives, SIGINT and SIGTERM cancel the run instead of ending the program: the
// handler only writes a byte to a pipe, which is safe in a signal handler, and a thread
// waiting on the pipe requests the cancel. A second signal of the same kind ends the program
// at once; the next run of the month then removes what this one left.
class CancelOnSignals {
public:
    explicit CancelOnSignals(vat::RunCancel& cancel);
    CancelOnSignals(const CancelOnSignals&) = delete;
    CancelOnSignals& operator=(const CancelOnSignals&) = delete;
    // Gives the signals their default effect back and ends the thread.
    ~CancelOnSignals();

private:
    int pipe_[2] = {-1, -1};
    std::thread watcher_;
};
