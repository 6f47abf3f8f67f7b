#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "ledger/buffered_rows.h"
#include "ledger/ledger_connection.h"
#include "returns/declarations/return_file_kind.h"
#include "returns/rules/document_facts.h"
#include "returns/run/run_result.h"

namespace vat {

// Lists read ahead for a later file of the run (the interstate sales lists, which the local
// sales file reads first), kept for it so that both files see the same rows.
using ListsReadAhead = std::map<const ReturnFileKind*, std::vector<BufferedRows>>;

// What the walk of a file starts from: its voucher lists and the facts of their documents.
struct PreparedFile {
    std::vector<BufferedRows> lists;
    // The vouchers of the lists of the file that accounts for this file's bills below one rupee.
    std::set<long long> accountedElsewhere;
    // Prepared for the lists; none when no list has a row, and the file is not written.
    std::unique_ptr<DocumentFacts> facts;
};

// Reads the lists of the file that accounts for a file's bills below one rupee (the interstate
// sales lists, for the local sales file), in the place of the file's own connection.
using AccountingListsReader = std::function<std::vector<BufferedRows>(const ReturnFileKind&)>;

// One of a file's voucher lists, the one at index in the file's order, its query run on its own.
BufferedRows ReadFileList(const ReturnFileKind& kind, std::size_t index, int monthNumber,
                          LedgerConnection& ledger);

// Reads a file's voucher lists and prepares the facts of their documents, on the connection
// given. Each list query runs once a run, on its own: its grouping and order decide the order
// of blocks; lists an earlier file read ahead are taken from readAhead as that file saw them.
// The lists of the file that accounts for its bills are read last, by readAccounting when
// given, and kept in readAhead for that file.
PreparedFile PrepareFile(const ReturnFileKind& kind, int monthNumber, FactReading reading,
                         LedgerConnection& ledger, ListsReadAhead& readAhead,
                         const AccountingListsReader& readAccounting = {});

}  // namespace vat
