#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vat {

// Where a run writes a month's files until it is complete: a new folder of its own beside the
// month folder, "<program folder>/.<MM>.staging-XXXXXX", on the same file system, so that the
// files then move into the month folder by rename and the month never mixes two runs.
// A run that fails, is cancelled or dies leaves the month's files as they were; one that dies
// while its files move in is finished by the next run of the month (FinishLeftoverStaging),
// even after a power cut. The run holds the month's lock (MonthLock) throughout.
class MonthStaging {
public:
    // Finishes or discards what earlier runs of the month left, then creates this run's folder.
    // Throws DiskError.
    MonthStaging(const std::filesystem::path& programFolder, const std::string& monthTag);
    MonthStaging(const MonthStaging&) = delete;
    MonthStaging& operator=(const MonthStaging&) = delete;
    // Removes the folder and what it holds, unless it was sealed: then the next run finishes it.
    ~MonthStaging();

    const std::filesystem::path& Folder() const { return folder_; }

    // Marks the run complete: writes to the disk, in a journal in the folder, which of the
    // month's file names the run wrote (those found in the folder), to replace the month's,
    // and which it did not, to be removed from the month folder, as a run without vouchers of
    // a kind leaves no file of that kind. Creates the month folder when a file will move in.
    // Throws DiskError, leaving the month as it was, when that cannot be done or the
    // month folder cannot be written.
    void Seal(const std::vector<std::string>& names);

    // Does what the journal says and removes the folder. Throws DiskError; the journal
    // then stays for the next run, which finishes the moves.
    void MoveIn();

private:
    std::filesystem::path monthFolder_;
    std::filesystem::path folder_;
    bool sealed_ = false;
};

// For each folder earlier runs of the month left beside the month folder: when sealed, moves
// its files into the month folder as its journal says; otherwise removes it. Only the month's
// lock holder may call it. Throws DiskError.
void FinishLeftoverStaging(const std::filesystem::path& programFolder, const std::string& monthTag);

}  // namespace vat
