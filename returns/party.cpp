#include "returns/party.h"

#include "returns/missing_ledger_data.h"
#include "returns/text_sanitiser.h"

namespace vat {

namespace {

constexpr std::size_t kTinLength = 11;
constexpr std::size_t kNameAndCityLength = 29;
constexpr std::size_t kShortName = 20;
constexpr std::size_t kShortCity = 9;

}  // namespace

std::string NormalizePartyTin(std::string_view storedTin) {
    return std::string(storedTin.size() == kTinLength ? storedTin : UrdMarkerTin);
}

bool IsWithinStateTin(std::string_view tin) { return tin.starts_with("29"); }

std::string BuildPartyName(std::string_view name, std::string_view cityName) {
    std::string party = StripSpecialChars(name);
    std::string city = StripSpecialChars(cityName);
    if (CharacterCount(party) + CharacterCount(city) > kNameAndCityLength) {
        party = FirstCharacters(party, kShortName);
        city = FirstCharacters(city, kShortCity);
    }
    return party + " " + city;
}

PartyRow ReadParty(LedgerConnection& ledger, long long account, bool withAddress) {
    Recordset& row = ledger.LookupRecordset;
    OpenQuery(row, std::string(withAddress
                                   ? "select name,city,tin,addr1,addr2 from ledger_acts where code="
                                   : "select name,city,tin from ledger_acts where code=") +
                       std::to_string(account));
    if (row.Eof())
        throw MissingLedgerData("the party account " + std::to_string(account) +
                                " has no row in ledger_acts");
    if (row["city"].IsNull())
        throw MissingLedgerData("the party account " + std::to_string(account) +
                                " has no city code");
    PartyRow party{row["Name"].Text(), row["tin"].Text(), row["city"].Integer(), {}, {}};
    if (withAddress) {
        party.addr1 = row["addr1"].Text();
        party.addr2 = row["addr2"].Text();
    }
    return party;
}

CityRow ReadCity(LedgerConnection& ledger, long long cityCode, long long partyAccount) {
    Recordset& row = ledger.LookupRecordset;
    OpenQuery(row, "select * from city where code=" + std::to_string(cityCode));
    if (row.Eof())
        throw MissingLedgerData("the city code " + std::to_string(cityCode) + " of party account " +
                                std::to_string(partyAccount) + " has no row in city");
    return CityRow{row["CODE"].Integer(), row["Name"].Text()};
}

}  // namespace vat
