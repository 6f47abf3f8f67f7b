#pragma once

#include <unistd.h>

#include <ext/stdio_filebuf.h>
#include <ostream>

namespace vat {

// A stream on a copy of a file descriptor, which it closes when destroyed: the descriptor stays
// its owner's to sync and close.
class DescriptorStream : public std::ostream {
public:
    explicit DescriptorStream(int descriptor)
        : std::ostream(nullptr), buffer_(::dup(descriptor), std::ios::out | std::ios::binary) {
        rdbuf(buffer_.is_open() ? &buffer_ : nullptr);
    }

private:
    __gnu_cxx::stdio_filebuf<char> buffer_;
};

}  // namespace vat
