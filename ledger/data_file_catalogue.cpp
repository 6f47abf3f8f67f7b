#include "ledger/data_file_catalogue.h"

namespace vat {

bool IsDataFileName(std::string_view name) {
    return name != "edb" && name != "mgmtsvr" && name.find("template") == std::string_view::npos;
}

std::vector<std::string> ListDataFiles(LedgerConnection& ledger) {
    std::vector<std::string> names;
    Recordset& catalogue = ledger.postingRecordset;
    OpenQuery(catalogue, "select * from pg_database");
    for (; !catalogue.Eof(); catalogue.MoveNext()) {
        std::string name = catalogue["datname"].Text();
        if (IsDataFileName(name)) names.push_back(std::move(name));
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
