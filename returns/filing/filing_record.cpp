#include "returns/filing/filing_record.h"

#include <nlohmann/json.hpp>

#include "disk/local_time.h"
#include "returns/results/returns_errors.h"

namespace vat {

using Json = nlohmann::ordered_json;

std::string FilingRecordText(const FilingRecord& record) {
    Json files = Json::array();
    for (const HashedFile& file : record.files)
        files.push_back({{"name", file.name}, {"sha256", file.sha256}});
    const Json json = {{"acknowledgement", record.acknowledgement},
                       {"filedOn", record.filedOn},
                       {"markedAt", record.markedAt},
                       {"dataFile", record.dataFile},
                       {"month", record.month},
                       {"files", files}};
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

FilingRecord ParseFilingRecord(const std::string& text) {
    try {
        const Json json = Json::parse(text);
        FilingRecord record{.acknowledgement = json.at("acknowledgement").get<std::string>(),
                            .filedOn = json.at("filedOn").get<std::string>(),
                            .markedAt = json.at("markedAt").get<std::string>(),
                            .dataFile = json.at("dataFile").get<std::string>(),
                            .month = json.at("month").get<int>()};
        for (const Json& file : json.at("files"))
            record.files.push_back(
                {file.at("name").get<std::string>(), file.at("sha256").get<std::string>()});
        return record;
    } catch (const Json::exception& error) {
        throw RunRecordError(std::string("not a filing record: ") + error.what());
    }
}

std::string FiledOnText(const FilingRecord& record) {
    return "filed on " + PersonsForm(record.filedOn) + " (acknowledgement " +
           record.acknowledgement + ")";
}

}  // namespace vat
