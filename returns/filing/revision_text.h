#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "returns/filing/revision.h"

namespace vat {

// "April 2014 was filed on 20/05/2014 (acknowledgement ACK); these files are a revision of it".
std::string RevisionHeading(const Revision& revision);

// What a person reads of a revision: the heading, then a line for each document added, removed
// or changed ("efile_sal04.xml: C301 of 15/04/2014, party 29200000001 changed: tax 800 -> 900"),
// then a line for each figure that changed ("VAT payable: 1,000.00 -> 1,100.00"), or one saying
// nothing changed. Amounts grouped the Indian way, dates as dd/MM/yyyy.
std::vector<std::string> RevisionLines(const Revision& revision);

// {"of": {"acknowledgement", "filedOn"}, "documents": [{"file", "document", "change",
// "fields": {"TaxCh": [old, new]}}], "figures": {"vatPayable": [old, new]}}: the fields as the
// files write them, null on the side without one; figures in rupees, or bills.
nlohmann::ordered_json RevisionJson(const Revision& revision);

}  // namespace vat
