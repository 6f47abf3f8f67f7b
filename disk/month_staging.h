#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vat {

// What a reader says when a run died while putting its files in place: the month folder then
// holds the old month or the new one whole, or, where no two folders can be exchanged in one
// step, is missing until the next run puts the old one back; which the user meant is for a new
// run to say.
inline constexpr const char* kInterruptedMoveIn =
    "an earlier run was interrupted while putting its files in place; run the month again";

// Where a run builds the month's new folder until it is complete: the folder "files" in a folder
// of the run's own beside the month folder, "<program folder>/.<MM>.staging-XXXXXX", on the same
// file system, which a marker file inside proves the program's. The new folder takes the month
// folder's place in one rename, exchanged with the old one, which is then removed, so that the
// month folder is at every moment the old month whole or the new one whole.
// Where the file system cannot exchange two folders (exFAT, NTFS, many network shares), the old
// folder is first renamed into the run's folder ("replaced") and the new one then into its place:
// a run that dies between the two leaves neither in place, and the next run puts the old one back.
// A run that fails, is cancelled or dies leaves the month's files as they were, but for one that
// dies after the new folder took its place, which leaves the new month whole and the run's folder
// beside it. The journal, an empty "<program folder>/.<MM>.moving-in" made just before the move
// and removed once all is tidy, tells readers that a run died there. The next run of the month
// finishes what is left, even after a power cut. The run holds the month's lock (MonthLock)
// throughout.
class MonthStaging {
public:
    // Finishes or discards what earlier runs of the month left, then creates this run's folder.
    // Throws DiskError.
    MonthStaging(const std::filesystem::path& programFolder, const std::string& monthTag);
    MonthStaging(const MonthStaging&) = delete;
    MonthStaging& operator=(const MonthStaging&) = delete;
    // Removes the run's folder and what it holds, unless the move began and it may hold the old
    // folder.
    ~MonthStaging();

    // The new folder, made as the umask says.
    const std::filesystem::path& Folder() const { return folder_; }

    // Makes the folder the whole new month: refuses, before anything changes, what would stop
    // the exchange or the removal of the old month folder (a link or another device in its
    // place, a folder or an undeletable file at one of the run's names, a folder that cannot be
    // written); brings over everything else the old month folder holds (the user's own files)
    // and its permissions, and saves the folder to the disk. names are the run's file names:
    // those the run did not write leave the month with the old folder. Throws DiskError, leaving
    // the month as it was.
    void Complete(const std::vector<std::string>& names);

    // Puts the folder in the month folder's place and removes the old one. Throws DiskError,
    // leaving the month as it was, or, when the old folder could not be put back, for the next
    // run to put back; what fails after the move is left for the next run to finish.
    void MoveIn();

private:
    std::filesystem::path programFolder_;
    std::string monthTag_;
    std::filesystem::path own_;     // the run's folder beside the month folder
    std::filesystem::path folder_;  // the new folder, in it
    bool kept_ = false;             // left for the next run to finish
};

// Finishes a move-in of the month that a run left half-done: puts the replaced folder back
// when a move that could not exchange the two died half-way, removes the runs' folders the
// program's marker proves its own (and empty ones of their names), and the journal. A folder
// that only has such a name is left alone. Only the month's lock holder may call it. Throws
// DiskError.
void FinishLeftoverStaging(const std::filesystem::path& programFolder, const std::string& monthTag);

// True when a run of the month died while putting its files in place and no run finished it.
bool MoveInInterrupted(const std::filesystem::path& programFolder, const std::string& monthTag);

}  // namespace vat
