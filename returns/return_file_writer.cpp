#include "returns/return_file_writer.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace vat {

namespace fs = std::filesystem;

namespace {

std::unique_ptr<std::ostream> OpenFile(const fs::path& path) {
    return std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
}

}  // namespace

ReturnFileWriter::ReturnFileWriter(fs::path path, StreamOpener opener)
    : path_(std::move(path)), temporaryPath_(path_) {
    temporaryPath_ += ".part";
    stream_ = (opener ? opener : OpenFile)(temporaryPath_);
    if (!stream_ || !*stream_)
        throw ReturnFileError("Cannot create " + temporaryPath_.string() + ": " +
                              std::strerror(errno));
}

ReturnFileWriter::~ReturnFileWriter() {
    if (committed_) return;
    stream_.reset();
    std::error_code ignored;
    fs::remove(temporaryPath_, ignored);
}

void ReturnFileWriter::WriteLine(std::string_view text) {
    stream_->write(text.data(), static_cast<std::streamsize>(text.size()));
    stream_->write("\r\n", 2);
    Check("write");
}

void ReturnFileWriter::Commit() {
    stream_->flush();
    Check("write");
    if (auto* file = dynamic_cast<std::ofstream*>(stream_.get())) {
        file->close();
        Check("close");
    }
    stream_.reset();
    std::error_code error;
    fs::rename(temporaryPath_, path_, error);
    if (error)
        throw ReturnFileError("Cannot put " + path_.string() + " in place: " + error.message());
    committed_ = true;
}

void ReturnFileWriter::Check(const char* doing) const {
    if (!*stream_)
        throw ReturnFileError(std::string("Cannot ") + doing + " " + path_.string() + ": " +
                              (errno ? std::strerror(errno) : "the device refused the data"));
}

void ForceRemove(const fs::path& path) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) return;
    // On this platform a file's own write bit does not guard deletion, but the program may
    // run where it does: clear the read-only state first, as the accountant expects.
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
    if (!fs::remove(path, error) && error)
        throw ReturnFileError("Cannot delete the old file " + path.string() + ": " +
                              error.message());
}

}  // namespace vat
