#include <string>

#include "returns/declarations/chart_of_accounts.h"
#include "returns/declarations/return_files.h"

namespace vat {

namespace {

constexpr std::string_view kListHead =
    "select distinct(daybok.vno) as vn, max(vdate) as b_dt, max(bill_no) as b_no, max(p_act) as "
    "p_act, "
    "max(c_act) as c_act from daybok,bills";
constexpr std::string_view kListTail =
    " and bills.tax_type=6 group  by daybok.vno,vdate order by b_no";

}  // namespace

// Sales to buyers outside the state, both bill series: op 2 with p_act, then op 3 with c_act.
const ReturnFileKind& InterstateSalesFileKind() {
    using enum ElementValue;
    using enum AccountRole;
    using enum PostedSide;
    static const std::string firstSeries = std::string(kListHead) +
                                           " where bills.vno=daybok.vno and  p_act>0 and unact=0 "
                                           "and (bills.op=2) and daybok.ca_sale=0 "
                                           "and extract(month from vdate)=";
    static const std::string secondSeries = std::string(kListHead) +
                                            " where bills.vno=daybok.vno and  c_act>0 and unact=0 "
                                            "and (bills.op=3) and daybok.ca_sale=0 "
                                            "and extract(month from vdate)=";
    static const ReturnFileKind kind{
        .baseName = "efile_sal_iss_",
        .rootElement = "ISSale",
        .extraHeaderLines = {},
        .closingLine = "   </ISSale>",
        .recordElement = "ISSaleInv",
        .documentElements = {"InvNo", "InvDate", "PurName"},
        .schemaFile = "eval_sal_is.xsd",
        .validationType = "Sales Outside State",
        .omissionType = "Sales Outside State",
        .omissionPrefix = "Inv No.",
        .lists = {{firstSeries, kListTail, TinRule::InStateOnly, "C"},
                  {secondSeries, kListTail, TinRule::None, "CR"}},
        .partyColumn = PartyColumn::SalesParty,
        .address = AddressRule::LinesAndCity,
        .sanitiseNumber = false,
        .voucherType = "SR",
        .dateColumn = "b_dt",
        .basicSums = {{"sold_amt", PostedOn(Credit, SalesOutsideState)},
                      {"disc_amt", PostedOn(Debit, DiscountOutsideState)}},
        .taxSum = {"tax_amt", PostedOn(Credit, CstOnSales)},
        .lines = LinesQuery{"sum(sqty+fqty) as qty,max(tax_rate) as tax_rate", "bills"},
        .totalFromWrittenTexts = false,
        .elements = {{"PurTin", Tin},
                     {"PurName", PartyName, true},
                     {"PurAddr", Address, true},
                     {"InvNo", Number, true},
                     {"InvDate", Date},
                     {"NetVal", NetVal, true},
                     {"TaxCh", TaxCh},
                     {"OthCh", OthCh},
                     {"TotCh", TotCh},
                     {"TranType", TranType},
                     {"MainComm", Literal, false, "53"},
                     {"SubComm", Literal, false, "1"},
                     {"Qty", Qty}},
        .figure = TaxFigure::CstSales,
        .side = FigureSide::Output,
    };
    return kind;
}

}  // namespace vat
