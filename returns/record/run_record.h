#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "disk/scratch_file.h"
#include "returns/declarations/return_file_kind.h"
#include "returns/record/books_digest.h"
#include "returns/results/file_account.h"
#include "returns/results/reconciliation.h"
#include "returns/results/returns_errors.h"
#include "returns/results/summary_figures.h"

namespace vat {

// A file and the SHA-256 of its bytes.
struct HashedFile {
    std::string name;
    std::string sha256;
    friend bool operator==(const HashedFile&, const HashedFile&) = default;
};

// What a completed run leaves beside the month's files, as run.json: whose books the files
// were made from, when and by which program, the files' and the schemas' hashes, the figures
// and accounts the run showed, and the fingerprint of what it read.
struct RunRecord {
    std::string dataFile;
    std::string dealerTin;
    std::string yearStart;  // the financial year, "yyyy-mm-dd"
    std::string yearEnd;
    int month = 0;                                                     // 1 to 12
    InterstateParties interstateParties = InterstateParties::InState;  // none in older records
    std::string writtenAt;  // local time, as LocalTimeText gives it
    std::string programVersion;
    std::vector<HashedFile> files = {};    // the return files written, in run order
    std::vector<HashedFile> schemas = {};  // the schemas they were checked against
    SummaryFigures figures = {};
    std::vector<FileAccount> accounts = {};
    // None in a record written before runs were reconciled.
    std::optional<Reconciliation> reconciliation = {};
    std::string fingerprint = {};
    DocumentDigests documents = {};
};

inline constexpr const char* kRunRecordName = "run.json";

// The record as run.json holds it: one JSON object.
void PrintRunRecord(const RunRecord& record, std::ostream& out);
// Throws RunRecordError when the text is no run record.
RunRecord ParseRunRecord(std::string text);

// A record's documents printed ahead, into a scratch file of a folder: printing them is most of
// the time a month's record takes, and they are known before the reconciliation that comes
// ahead of them in the record.
class RecordDocumentsAhead {
public:
    // Throws DiskError.
    RecordDocumentsAhead(const DocumentDigests& documents, const std::filesystem::path& folder);

private:
    friend void WriteRunRecord(const RunRecord&, const std::filesystem::path&,
                               const RecordDocumentsAhead*);
    ScratchFile printed_;
};

// Writes the record into a folder as every return file is written (AtomicFileWriter), with its
// documents printed ahead when they were: they must be the record's. Throws DiskError.
void WriteRunRecord(const RunRecord& record, const std::filesystem::path& folder,
                    const RecordDocumentsAhead* documents = nullptr);
// The record of a month folder; nullopt when it has none. Throws RunRecordError when it cannot
// be read, is no regular file (a link is never followed) or is larger than any record.
std::optional<RunRecord> ReadRunRecord(const std::filesystem::path& monthFolder);
// The same without its documents, which run to megabytes: for the figures and accounts.
std::optional<RunRecord> ReadRunRecordHead(const std::filesystem::path& monthFolder);

// Whose books a record's files were made from, and when.
struct RecordOwner {
    std::string dataFile;
    std::string yearStart;  // "yyyy-mm-dd"
    std::string yearEnd;
    std::string writtenAt;
    // Which parties the interstate files list: a run of the other choice makes other files.
    InterstateParties interstateParties = InterstateParties::InState;
};
RecordOwner OwnerOf(const RunRecord& record);

// The owner of a month folder's record, read from the record's head alone (a month's documents
// after it run to megabytes); nullopt when it has none. Throws RunRecordError as ReadRunRecord
// does, and when the head names no owner.
std::optional<RecordOwner> ReadRecordOwner(const std::filesystem::path& monthFolder);

// "demo2014 (financial year 2014-04-01 to 2015-03-31), written 2015-05-12 10:31:02": whose
// files a record describes, for a question or a refusal.
std::string RecordOwnerText(const RecordOwner& owner);

}  // namespace vat
