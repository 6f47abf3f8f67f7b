#pragma once

#include <string>
#include <vector>

#include "returns/record/run_record.h"

namespace vat {

// What a filed set records of its filing, beside the copies of the month's files and run
// record: the acknowledgement the portal gave, the day filed, when it was marked and each file's
// SHA-256, the copied run record included.
struct FilingRecord {
    std::string acknowledgement;
    std::string filedOn;   // "yyyy-mm-dd"
    std::string markedAt;  // local time, as LocalTimeText gives it
    std::string dataFile;
    int month = 0;  // 1 to 12
    std::vector<HashedFile> files = {};
    friend bool operator==(const FilingRecord&, const FilingRecord&) = default;
};

inline constexpr const char* kFilingRecordName = "filing.json";

std::string FilingRecordText(const FilingRecord& record);
// Throws RunRecordError when the text is no filing record.
FilingRecord ParseFilingRecord(const std::string& text);

// "filed on 20/05/2014 (acknowledgement ACK)".
std::string FiledOnText(const FilingRecord& record);

}  // namespace vat
