#include "ledger/data_file_catalogue.h"

namespace vat {

bool IsDataFile(std::string_view name, bool isTemplate) {
    return name != "edb" && name != "mgmtsvr" && !isTemplate;
}

std::vector<std::string> ListDataFiles(LedgerConnection& ledger) {
    std::vector<std::string> names;
    Recordset& catalogue = ledger.postingRecordset;
    OpenQuery(catalogue, "select * from pg_database");
    for (; !catalogue.Eof(); catalogue.MoveNext()) {
        std::string name = catalogue["datname"].Text();
        // The driver gives a boolean as "1" or "0".
        if (IsDataFile(name, catalogue["datistemplate"].Text() == "1"))
            names.push_back(std::move(name));
    }
    return names;
}

bool HasCompanySettingsTable(LedgerConnection& ledger) {
    Recordset& found = ledger.lookupRecordset;
    OpenQuery(found, "select to_regclass('super')::text as settings_table");
    return !found.Eof() && !found["settings_table"].IsNull();
}

std::optional<CompanySettings> ReadCompanySettings(LedgerConnection& ledger) {
    Recordset& settings = ledger.lookupRecordset;
    OpenQuery(settings, "select * from super");
    if (settings.Eof()) return std::nullopt;
    return CompanySettings{settings["dt1"].Date(), settings["dt2"].Date(), settings["kst"].Text()};
}

}  // namespace vat
