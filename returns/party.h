#pragma once

#include <string>
#include <string_view>

#include "ledger/ledger_connection.h"

namespace vat {

// The TIN written for an unregistered dealer (URD): "29" and nine zeros.
inline constexpr std::string_view UrdMarkerTin = "29000000000";

// A stored TIN of any length but 11 marks an unregistered dealer.
std::string NormalizePartyTin(std::string_view storedTin);

// A dealer within the state: a TIN beginning with "29".
bool IsWithinStateTin(std::string_view tin);

// The party name written in a return: the sanitised name, one space, the sanitised city,
// cut so that the whole never exceeds 30 characters (the 29/20/9 rule).
std::string BuildPartyName(std::string_view name, std::string_view cityName);

// A party's ledger_acts row as the return files read it.
struct PartyRow {
    std::string name;
    std::string tin;
    long long city = 0;
    std::string addr1;
    std::string addr2;
};

// Reads the party's row; withAddress adds addr1 and addr2 to the query. Throws
// MissingLedgerData when the account has no row or the row has no city code.
PartyRow ReadParty(LedgerConnection& ledger, long long account, bool withAddress);

// A city row: the code and the name as stored.
struct CityRow {
    long long code = 0;
    std::string name;

    // The name a party name carries: empty for code 0, which stands for no city.
    std::string PartyCityName() const { return code == 0 ? std::string() : name; }
};

// Reads the city row of a party; throws MissingLedgerData when there is none.
CityRow ReadCity(LedgerConnection& ledger, long long cityCode, long long partyAccount);

}  // namespace vat
