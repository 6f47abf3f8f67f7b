#include "app/cli/cli_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace {

constexpr int kCancellingSignals[] = {SIGINT, SIGTERM};

// The pipe's writing end, for the handler, which can reach nothing else.
volatile sig_atomic_t signalPipe = -1;

void WakeWatcher(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe, &byte, 1);
    errno = saved;
}

void Handle(void (*handler)(int), int flags) {
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    for (int signal : kCancellingSignals) sigaction(signal, &action, nullptr);
}

}  // namespace

CancelOnSignals::CancelOnSignals(vat::RunCancel& cancel) {
    // The handler must never wait for the pipe.
    if (::pipe2(pipe_, O_CLOEXEC) != 0 || ::fcntl(pipe_[1], F_SETFL, O_NONBLOCK) != 0)
        throw std::runtime_error("Cannot create a pipe for the signals");
    watcher_ = std::thread([this, &cancel] {
        char byte = 0;
        ssize_t got = 0;
        while ((got = ::read(pipe_[0], &byte, 1)) < 0 && errno == EINTR) {
        }
        if (got == 1) cancel.Request();
    });
    signalPipe = pipe_[1];
    // SA_RESETHAND: the handler runs once per signal; a second of the kind ends the program.
    Handle(WakeWatcher, SA_RESETHAND | SA_RESTART);
}

CancelOnSignals::~CancelOnSignals() {
    Handle(SIG_DFL, 0);
    signalPipe = -1;
    ::close(pipe_[1]);  // the watcher reads the end of the pipe unless a signal came
    watcher_.join();
    ::close(pipe_[0]);
}
