#include "returns/rules/list_row.h"

#include "returns/rules/text_sanitiser.h"

namespace vat {

namespace {

std::optional<long long> IntegerOrNone(const Field& field) {
    return field.IsNull() ? std::nullopt : std::optional(field.Integer());
}

}  // namespace

std::string_view PartyColumnName(PartyColumn column) {
    switch (column) {
        case PartyColumn::PurAct:
            return "pur_act";
        case PartyColumn::DnAct:
            return "dn_act";
        case PartyColumn::CnAct:
            return "cn_act";
        case PartyColumn::SalesParty:
            return "p_act";
    }
    return {};
}

std::optional<std::string_view> OtherPartyColumnName(PartyColumn column) {
    return column == PartyColumn::SalesParty ? std::optional<std::string_view>("c_act")
                                             : std::nullopt;
}

std::optional<long long> PartyAccountOf(const Field& party,
                                        const std::optional<Field>& otherParty) {
    const std::optional<long long> first = IntegerOrNone(party);
    if (!otherParty || (first && *first > 0)) return first;
    return IntegerOrNone(*otherParty);
}

std::optional<long long> ListRow::Voucher() const { return IntegerOrNone(voucher); }

std::optional<long long> ListRow::PartyAccount() const { return PartyAccountOf(party, otherParty); }

std::string ListRow::DocumentNumber(const ReturnFileKind& kind) const {
    std::string text = number.Text();
    return kind.sanitiseNumber ? StripSpecialChars(text) : text;
}

ListColumns::ListColumns(const ReturnFileKind& kind, const BufferedRows& list)
    : list_(list),
      voucher_(list.ColumnNamed("vn")),
      number_(list.ColumnNamed("b_no")),
      voucherDate_(list.ColumnNamed("b_dt")),
      documentDate_(list.ColumnNamed(kind.dateColumn)),
      party_(list.ColumnNamed(PartyColumnName(kind.partyColumn))) {
    if (auto other = OtherPartyColumnName(kind.partyColumn)) otherParty_ = list.ColumnNamed(*other);
    if (kind.goodsTest) goodsFlag_ = list.ColumnNamed("vat_dn");
}

ListRow ListColumns::Row(std::size_t row) const {
    const auto field = [&](std::optional<BufferedRows::Column> column) -> std::optional<Field> {
        if (!column) return std::nullopt;
        return list_.At(row, *column);
    };
    return {list_.At(row, voucher_),
            list_.At(row, number_),
            list_.At(row, voucherDate_),
            list_.At(row, documentDate_),
            list_.At(row, party_),
            field(otherParty_),
            field(goodsFlag_),
            list_,
            row};
}

}  // namespace vat
