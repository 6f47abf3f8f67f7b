#include "returns/declarations/return_file_kind.h"

namespace vat {

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
