#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ledger/ledger_connection.h"
#include "ledger/ledger_date.h"

namespace vat {

// Whether a database of the server's catalogue is a company data file: every database but
// "edb", "mgmtsvr" (case-sensitive) and the server's templates. A template is known by the
// catalogue's mark (datistemplate), never by its name: a company's "mytemplate" is its books.
bool IsDataFile(std::string_view name, bool isTemplate);

// The data files of the connected server, in the catalogue's own row order.
std::vector<std::string> ListDataFiles(LedgerConnection& ledger);

// The company settings row of a data file.
struct CompanySettings {
    std::optional<LedgerDate> yearStart;  // super.dt1
    std::optional<LedgerDate> yearEnd;    // super.dt2
    std::string dealerTin;                // super.kst, the dealer's own TIN as stored
};

// Whether the connected database has the company settings table (super) where a query finds it:
// a database of the server that holds no books of the accounting package has none.
bool HasCompanySettingsTable(LedgerConnection& ledger);

// Reads "select * from super"; nullopt when the table has no row.
std::optional<CompanySettings> ReadCompanySettings(LedgerConnection& ledger);

}  // namespace vat
