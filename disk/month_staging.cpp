#include "disk/month_staging.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "disk/atomic_file_writer.h"
#include "disk/file_safety.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

// The journal of a sealed staging folder: one line per file name, "put <name>" for a file the
// run wrote, "remove <name>" for one it did not write.
constexpr const char* kJournal = "moving-in";
constexpr std::string_view kPut = "put ";
constexpr std::string_view kRemove = "remove ";

std::string StagingPrefix(const std::string& monthTag) { return "." + monthTag + ".staging-"; }

bool IsRegularFile(const fs::path& path) {
    std::error_code ignored;
    return fs::is_regular_file(fs::symlink_status(path, ignored));
}

// A name the journal may carry: a file of the month folder itself, never a path elsewhere.
bool IsPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

struct JournalEntry {
    bool put;
    std::string name;
};

std::vector<JournalEntry> ReadJournal(const fs::path& journal) {
    std::ifstream in(journal, std::ios::binary);
    std::vector<JournalEntry> entries;
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) line.pop_back();
        const bool put = line.starts_with(kPut);
        const std::string_view name =
            std::string_view(line).substr(put ? kPut.size() : kRemove.size());
        if ((!put && !line.starts_with(kRemove)) || !IsPlainName(name))
            throw DiskError("The journal " + journal.string() +
                            " of an earlier run cannot be read: \"" + line + "\"");
        entries.push_back({put, std::string(name)});
    }
    if (in.bad() || !in.eof())
        throw DiskError("The journal " + journal.string() + " of an earlier run cannot be read");
    return entries;
}

// Moves the sealed folder's files in as its journal says, then removes the folder. Repeated
// after an interruption it does only what was left: a file moved in already is not in the
// folder any more.
void MoveInAsJournalSays(const fs::path& staging, const fs::path& monthFolder) {
    for (const JournalEntry& entry : ReadJournal(staging / kJournal)) {
        const fs::path target = monthFolder / entry.name;
        if (!entry.put) {
            ForceRemove(target);
        } else if (IsRegularFile(staging / entry.name)) {
            std::error_code error;
            fs::rename(staging / entry.name, target, error);
            if (error)
                throw DiskError("Cannot put " + target.string() + " in place: " + error.message());
        }
    }
    std::error_code error;
    if (fs::is_directory(monthFolder, error)) SyncFolder(monthFolder);
    fs::remove_all(staging, error);
    if (error)
        throw DiskError("Cannot remove the folder " + staging.string() + ": " + error.message());
    SyncFolder(staging.parent_path());
}

}  // namespace

MonthStaging::MonthStaging(const fs::path& programFolder, const std::string& monthTag)
    : monthFolder_(programFolder / monthTag) {
    FinishLeftoverStaging(programFolder, monthTag);
    const auto folder = CreateUniqueFolder(programFolder / StagingPrefix(monthTag));
    if (!folder)
        throw DiskError("Cannot create a folder for the new files beside " + monthFolder_.string() +
                        ": " + std::strerror(errno));
    folder_ = *folder;
}

MonthStaging::~MonthStaging() {
    if (sealed_) return;
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void MonthStaging::Seal(const std::vector<std::string>& names) {
    bool anyPut = false;
    for (const std::string& name : names) anyPut = anyPut || IsRegularFile(folder_ / name);
    std::error_code error;
    if (anyPut && fs::create_directory(monthFolder_, error)) SyncFolder(monthFolder_.parent_path());
    if (error)
        throw DiskError("Cannot create the folder " + monthFolder_.string() + ": " +
                        error.message());
    // Found now rather than half-way through the moves, which only the next run could finish.
    if (fs::exists(monthFolder_) && ::access(monthFolder_.c_str(), W_OK | X_OK) != 0)
        throw DiskError("Cannot write in the folder " + monthFolder_.string() + ": " +
                        std::strerror(errno));

    SyncFolder(folder_);  // the staged files are all on the disk before the journal says so
    {
        AtomicFileWriter journal(folder_ / kJournal);
        for (const std::string& name : names)
            journal.WriteLine(std::string(IsRegularFile(folder_ / name) ? kPut : kRemove) + name);
        journal.Commit();
    }
    SyncFolder(folder_);
    sealed_ = true;
}

void MonthStaging::MoveIn() { MoveInAsJournalSays(folder_, monthFolder_); }

void FinishLeftoverStaging(const fs::path& programFolder, const std::string& monthTag) {
    const std::string prefix = StagingPrefix(monthTag);
    std::vector<fs::path> leftovers;
    std::error_code error;
    // A link of such a name is none of them: it is neither followed nor removed.
    for (const auto& entry : fs::directory_iterator(programFolder, error))
        if (entry.path().filename().string().starts_with(prefix) &&
            fs::is_directory(entry.symlink_status(error)))
            leftovers.push_back(entry.path());
    if (error)
        throw DiskError("Cannot read the folder " + programFolder.string() + ": " +
                        error.message());
    for (const fs::path& leftover : leftovers) {
        if (IsRegularFile(leftover / kJournal)) {
            MoveInAsJournalSays(leftover, programFolder / monthTag);
        } else {
            fs::remove_all(leftover, error);
            if (error)
                throw DiskError("Cannot remove the folder " + leftover.string() +
                                " an earlier run left: " + error.message());
        }
    }
}

}  // namespace vat
