#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string_view>

#include "disk/disk_error.h"

namespace vat {

// Writes a file, in lines ended by CR LF or as bytes, into a temporary file of its own beside it
// (a new, uniquely named file: see CreateTemporaryFileBeside), and puts it in place only when
// complete and saved to the disk: a failed run never leaves a half-written file.
class AtomicFileWriter {
public:
    using StreamOpener = std::function<std::unique_ptr<std::ostream>(const std::filesystem::path&)>;

    // Creates the temporary file; its folder must exist. The opener, which then writes to the
    // temporary file by its path, is for tests that need a device that fails part-way.
    explicit AtomicFileWriter(std::filesystem::path path, const StreamOpener& opener = {});
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    // Removes the temporary file when Commit was not reached.
    ~AtomicFileWriter();

    void Write(std::string_view bytes);
    // The text and CR LF.
    void WriteLine(std::string_view text);
    // What print puts on the file's stream, checked as Write is: for text too long to build
    // first.
    void Print(const std::function<void(std::ostream&)>& print);
    // Flushes, saves to the disk, closes and renames the file into place.
    void Commit();

    const std::filesystem::path& Path() const { return path_; }

private:
    void Check(const char* doing) const;
    // Asks the system to begin saving what was written so far, without waiting: the sync of
    // Commit then waits for the last of the file only, not for the whole of it.
    void StartSaving();

    // Saving begins again after each slice this large written.
    static constexpr std::size_t kSavingSlice = std::size_t{1} << 20;

    std::filesystem::path path_;
    std::filesystem::path temporaryPath_;
    int descriptor_ = -1;  // the temporary file's, owned here; the stream writes through a copy
    std::unique_ptr<std::ostream> stream_;
    bool committed_ = false;
    std::size_t unsaved_ = 0;  // written since saving last began
    off_t savingFrom_ = 0;     // where the saving not yet begun starts
};

}  // namespace vat
