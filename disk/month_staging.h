#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vat {

// What a reader says when a run died while putting its files in place: the month folder then
// holds the old month or the new one whole, but which the user meant is for a new run to say.
inline constexpr const char* kInterruptedMoveIn =
    "an earlier run was interrupted while putting its files in place; run the month again";

// Where a run builds the month's new folder until it is complete: a new folder of its own beside
// the month folder, "<program folder>/.<MM>.staging-XXXXXX", on the same file system. It takes
// the month folder's place in one rename, exchanged with the old one, which is then removed, so
// that the month folder is at every moment the old month whole or the new one whole.
// A run that fails, is cancelled or dies leaves the month's files as they were, but for one that
// dies after the exchange, which leaves the new month whole and the old folder beside it. The
// journal, an empty "<program folder>/.<MM>.moving-in" made just before the exchange and removed
// once all is tidy, tells readers that a run died there. The next run of the month removes what
// is left, even after a power cut. The run holds the month's lock (MonthLock) throughout.
class MonthStaging {
public:
    // Finishes or discards what earlier runs of the month left, then creates this run's folder.
    // Throws DiskError.
    MonthStaging(const std::filesystem::path& programFolder, const std::string& monthTag);
    MonthStaging(const MonthStaging&) = delete;
    MonthStaging& operator=(const MonthStaging&) = delete;
    // Removes the folder and what it holds, unless it took the month folder's place.
    ~MonthStaging();

    const std::filesystem::path& Folder() const { return folder_; }

    // Makes the folder the whole new month: refuses, before anything changes, what would stop
    // the exchange or the removal of the old month folder (a link or another device in its
    // place, a folder or an undeletable file at one of the run's names, a folder that cannot be
    // written); brings over everything else the old month folder holds (the user's own files)
    // and saves the folder to the disk. names are the run's file names: those the run did not
    // write leave the month with the old folder. Throws DiskError, leaving the month as it was.
    void Complete(const std::vector<std::string>& names);

    // Exchanges the folder with the month folder (or renames it there when there is none) and
    // removes the old one. Throws DiskError, leaving the month as it was, when the exchange
    // cannot be made; what fails after it is left for the next run to finish.
    void MoveIn();

private:
    std::filesystem::path programFolder_;
    std::string monthTag_;
    std::filesystem::path folder_;
    bool movedIn_ = false;
};

// Finishes a move-in of the month that a run left half-done: removes the old month folder when
// the new one took its place and the new one otherwise, as every other folder earlier runs of
// the month left, and the journal. Only the month's lock holder may call it. Throws DiskError.
void FinishLeftoverStaging(const std::filesystem::path& programFolder, const std::string& monthTag);

// True when a run of the month died while putting its files in place and no run finished it.
bool MoveInInterrupted(const std::filesystem::path& programFolder, const std::string& monthTag);

}  // namespace vat
