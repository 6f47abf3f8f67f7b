#include "returns/rules/document_rules.h"

#include <cmath>
#include <limits>

#include "returns/results/number_forms.h"
#include "returns/rules/party.h"
#include "returns/rules/text_sanitiser.h"

namespace vat {

namespace {

constexpr std::size_t kAddressLength = 150;
constexpr double kWholesaleRateThreshold = 4;  // a rate below this is a concessional "C" sale

// A fact the document cannot do without is missing: the document is left out with a row.
struct Missing {
    std::string what;
    bool ofParty = false;  // the party's ledger row or city
};

// The largest amount a document may carry: with four decimals it keeps within the fifteen
// significant digits a double holds exactly, and a month of such amounts within the totals.
constexpr double kLargestAmount = 1e10;

double Number(std::optional<std::string_view> text, std::string_view name) {
    return Field(name, text).Double();
}

// A number the document carries or counts: never NaN or infinite, never beyond the totals.
double UsableNumber(std::optional<std::string_view> text, std::string_view name,
                    std::string_view what) {
    const double value = Number(text, name);
    if (std::isfinite(value) && std::fabs(value) < kLargestAmount) return value;
    const std::string stated = "the " + std::string(what) + " " + std::string(text.value_or(""));
    if (std::isnan(value)) throw Missing{stated + " is not a number"};
    if (!std::isfinite(value)) throw Missing{stated + " is not a finite number"};
    throw Missing{stated + " is beyond what the totals hold"};
}

// The document's date as the server gave it. A date before year 1 (BC) or one the return's
// yyyy-MM-dd cannot carry leaves the document out; NULL is reported after the party.
std::optional<LedgerDate> DocumentDate(const Field& field) {
    if (field.IsNull()) return std::nullopt;
    const std::string_view stored = *field.Raw();
    // A timestamp carries its time after the date.
    const bool dateFirst =
        stored.size() == 10 || (stored.size() > 10 && (stored[10] == ' ' || stored[10] == 'T'));
    std::optional<LedgerDate> date;
    if (dateFirst && stored.find("BC") == std::string_view::npos)
        date = LedgerDate::Parse(stored.substr(0, 10));
    if (!date || date->year < 1)
        throw Missing{"the date " + std::string(stored) + " cannot be written in the return"};
    return date;
}

long long Integer(const std::optional<std::string>& text, std::string_view name) {
    return Field(name, text).Integer();
}

std::string Address(AddressRule rule, const PartyFacts& party, const std::string& cityName) {
    const std::string addr1 = party.addr1.value_or(""), addr2 = party.addr2.value_or("");
    switch (rule) {
        case AddressRule::None:
            return {};
        case AddressRule::LinesAndCity:
            return FirstCharacters(StripSpecialChars(addr1 + "," + addr2 + ", " + cityName),
                                   kAddressLength);
        case AddressRule::LinesOrDash: {
            std::string address =
                FirstCharacters(StripSpecialChars(addr1 + " " + addr2), kAddressLength);
            return address.find_first_not_of(' ') == std::string::npos ? "-" : address;
        }
    }
    return {};
}

void ApplyLines(const LineFacts& lines, ReturnDocument& document) {
    // A bill without lines sums to NULL: no quantity, no rate.
    const double quantity = UsableNumber(lines.quantity, "qty", "quantity");
    const double rate = UsableNumber(lines.rate, "tax_rate", "tax rate");
    const double rounded = std::nearbyint(quantity);
    if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()))
        throw Missing{"the quantity " + AmountText(quantity) + " is out of range"};
    document.quantity = static_cast<int>(rounded);
    document.tranType = rate < kWholesaleRateThreshold ? "C" : "WC";
}

double SumOf(const VoucherSum& sum, long long voucher, DocumentFacts& facts) {
    return UsableNumber(facts.Sum(sum, voucher), sum.alias, "amount");
}

// Shapes the document into shaped, noting its party as soon as it is read; throws Missing.
void Shape(const ReturnFileKind& kind, const VoucherList& list, const ListRow& row,
           DocumentFacts& facts, ShapedDocument& shaped) {
    const std::optional<long long> voucher = row.Voucher();
    if (!voucher) throw Missing{"the voucher number is empty"};
    if (row.goodsFlag && row.goodsFlag->Double() == 0 && !facts.HasInventoryLines(*voucher)) {
        shaped.fate = DocumentFate::NotGoods;
        return;
    }

    const std::optional<long long> account = row.PartyAccount();
    if (!account) throw Missing{"the party account is empty"};
    shaped.partyAccount = account;
    const std::optional<LedgerDate> date = DocumentDate(row.documentDate);

    const PartyFacts* party = facts.Party(*account);
    const std::string accountText = std::to_string(*account);
    if (!party)
        throw Missing{"the party account " + accountText + " has no row in ledger_acts", true};
    shaped.storedPartyName = party->name.value_or("");
    shaped.storedTin = party->tin.value_or("");
    if (!party->city) throw Missing{"the party account " + accountText + " has no city code", true};
    const long long cityCode = Integer(party->city, "city");

    ReturnDocument& document = shaped.document;
    document.tin = NormalizePartyTin(party->tin.value_or(""));
    if (!IsWithinStateTin(document.tin)) {
        if (list.tinRule == TinRule::SkipOutsideState || list.tinRule == TinRule::InStateOnly) {
            shaped.fate = DocumentFate::TinSkipped;
            shaped.byReturnRule = list.tinRule == TinRule::InStateOnly;
            return;
        }
        if (list.tinRule == TinRule::UrdOutsideState) document.tin = kUrdMarkerTin;
    }
    const CityFacts* city = facts.City(cityCode);
    if (!city)
        throw Missing{"the city code " + std::to_string(cityCode) + " of party account " +
                          accountText + " has no row in city",
                      true};
    const std::string cityName = city->name.value_or("");
    // Code 0 stands for no city: the party name carries none.
    const bool noCity = Integer(city->code, "code") == 0;
    document.partyName = BuildPartyName(party->name.value_or(""), noCity ? "" : cityName);
    document.address = Address(kind.address, *party, cityName);
    if (!date) throw Missing{"the document date is empty"};
    document.date = date->IsoText();

    document.basic = SumOf(kind.basicSums.front(), *voucher, facts);
    for (std::size_t i = 1; i < kind.basicSums.size(); ++i)
        document.basic -= SumOf(kind.basicSums[i], *voucher, facts);
    document.tax = SumOf(kind.taxSum, *voucher, facts);
    if (kind.lines) ApplyLines(facts.Lines(*voucher), document);

    document.total = kind.totalFromWrittenTexts ? LeadingNumber(AmountText(document.basic)) +
                                                      LeadingNumber(AmountText(document.tax))
                                                : document.basic + document.tax;
    if (document.basic < 1) shaped.fate = DocumentFate::BelowOneRupee;
}

// The tax of a voucher the return leaves out, for weighing what to fix first; 0 when the
// voucher or its tax cannot be read.
double LeftOutTax(const ReturnFileKind& kind, const ListRow& row, DocumentFacts& facts) {
    const std::optional<long long> voucher = row.Voucher();
    if (!voucher) return 0;
    try {
        return SumOf(kind.taxSum, *voucher, facts);
    } catch (const Missing&) {
        return 0;
    }
}

}  // namespace

ShapedDocument ShapeDocument(const ReturnFileKind& kind, const VoucherList& list,
                             const ListRow& row, DocumentFacts& facts) {
    ShapedDocument shaped;
    try {
        Shape(kind, list, row, facts, shaped);
    } catch (const Missing& missing) {
        shaped.fate = DocumentFate::MissingData;
        shaped.missing = missing.what;
        shaped.partyMissing = missing.ofParty;
    }
    if (shaped.fate == DocumentFate::TinSkipped || shaped.fate == DocumentFate::MissingData)
        shaped.leftOutTax = LeftOutTax(kind, row, facts);
    return shaped;
}

}  // namespace vat
