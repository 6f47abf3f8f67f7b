#include "returns/return_document.h"

#include <cmath>
#include <limits>

#include "returns/missing_ledger_data.h"
#include "returns/number_forms.h"
#include "returns/party.h"
#include "returns/text_sanitiser.h"

namespace vat {

namespace {

constexpr std::size_t kAddressLength = 150;
constexpr double kWholesaleRateThreshold = 4;  // a rate below this is a concessional "C" sale

long long VoucherNumber(Recordset& voucher) {
    Field vn = voucher["vn"];
    if (vn.IsNull()) throw MissingLedgerData("the voucher number is empty");
    return vn.Integer();
}

long long PartyAccount(PartyColumn column, Recordset& voucher) {
    auto account = [&](const char* name) -> std::optional<long long> {
        Field field = voucher[name];
        return field.IsNull() ? std::nullopt : std::optional(field.Integer());
    };
    std::optional<long long> party;
    switch (column) {
        case PartyColumn::PurAct:
            party = account("pur_act");
            break;
        case PartyColumn::DnAct:
            party = account("dn_act");
            break;
        case PartyColumn::CnAct:
            party = account("cn_act");
            break;
        case PartyColumn::SalesParty: {
            std::optional<long long> first = account("p_act");
            party = first && *first > 0 ? first : account("c_act");
            break;
        }
    }
    if (!party) throw MissingLedgerData("the party account is empty");
    return *party;
}

double Sum(LedgerConnection& ledger, const VoucherSum& sum, long long vn) {
    Recordset& row = ledger.LookupRecordset;
    OpenQuery(row, std::string(sum.head) + std::to_string(vn) + std::string(sum.tail));
    return row.Eof() ? 0.0 : row[sum.field].Double();
}

bool HasInventoryLines(LedgerConnection& ledger, long long vn) {
    OpenQuery(ledger.LookupRecordset, "select vno from inventory where vno=" + std::to_string(vn));
    return !ledger.LookupRecordset.Eof();
}

std::string Address(AddressRule rule, const PartyRow& party, const CityRow& city) {
    switch (rule) {
        case AddressRule::None:
            return {};
        case AddressRule::LinesAndCity:
            return FirstCharacters(
                StripSpecialChars(party.addr1 + "," + party.addr2 + ", " + city.name),
                kAddressLength);
        case AddressRule::LinesOrDash: {
            std::string address =
                FirstCharacters(StripSpecialChars(party.addr1 + " " + party.addr2), kAddressLength);
            return address.find_first_not_of(' ') == std::string::npos ? "-" : address;
        }
    }
    return {};
}

void ReadLines(LedgerConnection& ledger, std::string_view query, long long vn,
               ReturnDocument& document) {
    Recordset& row = ledger.LookupRecordset;
    OpenQuery(row, std::string(query) + std::to_string(vn));
    // A bill without lines sums to NULL: no quantity, no rate.
    const double quantity = row.Eof() ? 0.0 : row["qty"].Double();
    const double rate = row.Eof() ? 0.0 : row["tax_rate"].Double();
    const double rounded = std::nearbyint(quantity);
    if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()))
        throw MissingLedgerData("the quantity " + AmountText(quantity) + " is out of range");
    document.quantity = static_cast<int>(rounded);
    document.tranType = rate < kWholesaleRateThreshold ? "C" : "WC";
}

}  // namespace

std::string DocumentNumber(const ReturnFileKind& kind, LedgerConnection& ledger) {
    std::string number = ledger.VoucherRecordset["b_no"].Text();
    return kind.sanitiseNumber ? StripSpecialChars(number) : number;
}

std::optional<ReturnDocument> ReadDocument(const ReturnFileKind& kind, const VoucherList& list,
                                           LedgerConnection& ledger) {
    Recordset& voucher = ledger.VoucherRecordset;
    const long long vn = VoucherNumber(voucher);
    if (kind.goodsTest && voucher["vat_dn"].Double() == 0 && !HasInventoryLines(ledger, vn))
        return std::nullopt;

    const long long account = PartyAccount(kind.partyColumn, voucher);
    // Read the list's own fields before the look-ups move on.
    const std::optional<LedgerDate> date = voucher[kind.dateColumn].Date();

    const PartyRow party = ReadParty(ledger, account, kind.address != AddressRule::None);
    ReturnDocument document;
    document.tin = NormalizePartyTin(party.tin);
    if (!IsWithinStateTin(document.tin)) {
        if (list.tinRule == TinRule::SkipOutsideState) return std::nullopt;
        if (list.tinRule == TinRule::UrdOutsideState) document.tin = UrdMarkerTin;
    }
    const CityRow city = ReadCity(ledger, party.city, account);
    document.partyName = BuildPartyName(party.name, city.PartyCityName());
    document.address = Address(kind.address, party, city);
    if (!date) throw MissingLedgerData("the document date is empty");
    document.date = date->IsoText();

    document.basic = Sum(ledger, kind.basicSums.front(), vn);
    for (std::size_t i = 1; i < kind.basicSums.size(); ++i)
        document.basic -= Sum(ledger, kind.basicSums[i], vn);
    document.tax = Sum(ledger, kind.taxSum, vn);
    if (!kind.linesQuery.empty()) ReadLines(ledger, kind.linesQuery, vn, document);

    document.total = kind.totalFromWrittenTexts ? LeadingNumber(AmountText(document.basic)) +
                                                      LeadingNumber(AmountText(document.tax))
                                                : document.basic + document.tax;
    return document;
}

}  // namespace vat
