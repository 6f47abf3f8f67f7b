#include "returns/declarations/return_file_kind.h"

namespace vat {

std::string VoucherList::Sql(int monthNumber) const {
    return std::string(sqlBeforeMonth) + std::to_string(monthNumber) + std::string(sqlAfterMonth);
}

std::string_view VoucherSum::Condition() const {
    constexpr std::string_view kJoin = " and ";
    std::string_view condition = tail;
    if (condition.starts_with(kJoin)) condition.remove_prefix(kJoin.size());
    return condition;
}

}  // namespace vat
