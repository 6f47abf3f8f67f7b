#pragma once

#include <optional>
#include <streambuf>
#include <string>

// Standard output through a buffer that keeps the reason its first write failed (a full disk,
// /dev/full, a closed descriptor or pipe), so that a report that could not be written fails the
// run instead of reading as success. Installed into std::cout while it lives.
class CheckedStandardOutput {
public:
    CheckedStandardOutput();
    CheckedStandardOutput(const CheckedStandardOutput&) = delete;
    CheckedStandardOutput& operator=(const CheckedStandardOutput&) = delete;
    ~CheckedStandardOutput();

    // Writes out what is buffered; why the report could not be written, nullopt when it was.
    std::optional<std::string> Finish();

private:
    class Buffer : public std::streambuf {
    public:
        Buffer() { setp(bytes_, bytes_ + kSize); }
        const std::optional<std::string>& Failure() const { return failure_; }

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize size) override;
        int sync() override;

    private:
        bool WriteOut(const char* text, std::size_t size);
        bool Drain();

        static constexpr std::size_t kSize = 1 << 16;
        char bytes_[kSize];
        std::optional<std::string> failure_;
    };

    Buffer buffer_;
    std::streambuf* replaced_;
};

// Keeps the standard descriptors 0, 1 and 2 taken: when one was closed, a file the program opens
// would get its number, and the report would be written into it. A closed 1 or 2 is taken by a
// descriptor that refuses writes, so that the report's writes fail as they should.
void KeepStandardDescriptorsTaken();
