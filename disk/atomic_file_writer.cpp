#include "disk/atomic_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "disk/descriptor_stream.h"
#include "disk/file_safety.h"

namespace vat {

namespace fs = std::filesystem;

AtomicFileWriter::AtomicFileWriter(fs::path path, const StreamOpener& opener)
    : path_(std::move(path)), descriptor_(CreateTemporaryFileBeside(path_, temporaryPath_)) {
    stream_ = opener ? opener(temporaryPath_) : std::make_unique<DescriptorStream>(descriptor_);
    if (!stream_ || !*stream_) {
        const int error = errno;
        ::close(descriptor_);
        std::error_code ignored;
        fs::remove(temporaryPath_, ignored);
        throw DiskError("Cannot create " + temporaryPath_.string() + ": " + std::strerror(error));
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (committed_) return;
    stream_.reset();
    if (descriptor_ >= 0) ::close(descriptor_);
    std::error_code ignored;
    fs::remove(temporaryPath_, ignored);
}

void AtomicFileWriter::Write(std::string_view bytes) {
    stream_->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check("write");
    if ((unsaved_ += bytes.size()) >= kSavingSlice) StartSaving();
}

void AtomicFileWriter::Print(const std::function<void(std::ostream&)>& print) {
    print(*stream_);
    Check("write");
    StartSaving();
}

void AtomicFileWriter::WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

void AtomicFileWriter::Commit() {
    stream_->flush();
    Check("write");
    stream_.reset();
    // The bytes reach the disk before the name does: after a power cut a file in place is whole.
    int error = ::fsync(descriptor_) == 0 ? 0 : errno;
    if (::close(descriptor_) != 0 && error == 0) error = errno;
    descriptor_ = -1;
    if (error != 0)
        throw DiskError("Cannot save " + path_.string() + " to the disk: " + std::strerror(error));
    std::error_code renameError;
    fs::rename(temporaryPath_, path_, renameError);
    if (renameError)
        throw DiskError("Cannot put " + path_.string() + " in place: " + renameError.message());
    committed_ = true;
}

void AtomicFileWriter::StartSaving() {
    unsaved_ = 0;
    stream_->flush();
    Check("write");
    // The stream writes through a copy of the descriptor, which shares its offset. A failure
    // here is the sync's to report.
    const off_t end = ::lseek(descriptor_, 0, SEEK_CUR);
    if (end <= savingFrom_) return;
    ::sync_file_range(descriptor_, savingFrom_, end - savingFrom_, SYNC_FILE_RANGE_WRITE);
    savingFrom_ = end;
}

void AtomicFileWriter::Check(const char* doing) const {
    if (!*stream_)
        throw DiskError(std::string("Cannot ") + doing + " " + path_.string() + ": " +
                        (errno ? std::strerror(errno) : "the device refused the data"));
}

}  // namespace vat
