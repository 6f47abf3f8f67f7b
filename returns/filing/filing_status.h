#pragma once

#include <optional>
#include <string>
#include <vector>

#include "returns/filing/filed_sets.h"

namespace vat {

// How a month stands against its filing: its latest filed set, whether the month's files now
// differ from it, and what in its filed sets was altered since they were kept.
struct FilingStatus {
    FilingRecord latest;
    bool revised = false;
    bool runSinceFiling = false;  // the month's run record is no longer the filed one
    // "filing-1: efile_pur04.xml was altered after filing", for every set.
    std::vector<std::string> altered = {};
};

// The month's filing; nullopt when it was never marked filed.
std::optional<FilingStatus> MonthFilingStatus(const ReturnFolders& folders,
                                              const SelectedBooks& books, int monthNumber);

// "filed on 20/05/2014 (acknowledgement ACK), revised since filing".
std::string FilingStatusText(const FilingStatus& status);

}  // namespace vat
