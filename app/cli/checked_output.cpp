#include "app/cli/checked_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

CheckedStandardOutput::CheckedStandardOutput() : replaced_(std::cout.rdbuf(&buffer_)) {}

CheckedStandardOutput::~CheckedStandardOutput() {
    Finish();
    std::cout.rdbuf(replaced_);
}

std::optional<std::string> CheckedStandardOutput::Finish() {
    std::cout.flush();
    return buffer_.Failure();
}

CheckedStandardOutput::Buffer::int_type CheckedStandardOutput::Buffer::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize CheckedStandardOutput::Buffer::xsputn(const char* text, std::streamsize size) {
    const auto room = static_cast<std::streamsize>(epptr() - pptr());
    if (size <= room) {
        std::memcpy(pptr(), text, static_cast<std::size_t>(size));
        pbump(static_cast<int>(size));
        return size;
    }
    if (!Drain() || !WriteOut(text, static_cast<std::size_t>(size))) return 0;
    return size;
}

int CheckedStandardOutput::Buffer::sync() { return Drain() ? 0 : -1; }

bool CheckedStandardOutput::Buffer::Drain() {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(bytes_, bytes_ + kSize);
    return WriteOut(bytes_, size);
}

// Once a write failed nothing more is written: the report is already incomplete.
bool CheckedStandardOutput::Buffer::WriteOut(const char* text, std::size_t size) {
    while (size > 0 && !failure_) {
        const ssize_t written = ::write(STDOUT_FILENO, text, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            failure_ = written < 0 ? std::strerror(errno) : "nothing could be written";
            break;
        }
        text += written;
        size -= static_cast<std::size_t>(written);
    }
    return !failure_;
}

void KeepStandardDescriptorsTaken() {
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number, which is this one: those below it are taken by now.
        [[maybe_unused]] const int taken = ::open("/dev/null", O_RDONLY);
    }
}
