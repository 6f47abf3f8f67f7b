#include "returns/declarations/return_file_kind.h"

namespace vat {

std::string_view InterstatePartiesCode(InterstateParties parties) {
    return parties == InterstateParties::All ? "all" : "in-state";
}

std::optional<InterstateParties> InterstatePartiesOfCode(std::string_view code) {
    if (code == "in-state") return InterstateParties::InState;
    if (code == "all") return InterstateParties::All;
    return std::nullopt;
}

std::string_view InterstatePartiesWords(InterstateParties parties) {
    return parties == InterstateParties::All
               ? "every party, each with its own TIN"
               : "parties whose TIN begins with 29 only, as the return's rule asks";
}

VoucherList VoucherList::Chosen(InterstateParties parties) const {
    VoucherList chosen = *this;
    if (parties == InterstateParties::All && tinRule == TinRule::InStateOnly)
        chosen.tinRule = TinRule::None;
    return chosen;
}

std::string VoucherList::Sql(int monthNumber) const {
    return std::string(sqlBeforeMonth) + std::to_string(monthNumber) + std::string(sqlAfterMonth);
}

std::string VoucherSum::VoucherSql(std::string_view voucherType, long long voucher) const {
    std::string sql = "select coalesce(sum(amount),0) as ";
    sql.append(alias).append(" from daybok where v_type='").append(voucherType);
    sql.append("' and vno=").append(std::to_string(voucher));
    return sql.append(" and (").append(condition).append(")");
}

}  // namespace vat
