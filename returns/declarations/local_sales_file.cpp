#include <string>

#include "returns/declarations/chart_of_accounts.h"
#include "returns/declarations/return_files.h"

namespace vat {

namespace {

constexpr std::string_view kListHead =
    "select distinct(vno) as vn, max(vdate) as b_dt, max(bill_no) as b_no, max(p_act) as p_act, "
    "max(c_act) as c_act from daybok ";
constexpr std::string_view kListTail = " group by vno,vdate order by b_no";

}  // namespace

// Sales bills within the state, both series in one file: the p_act series first.
const ReturnFileKind& LocalSalesFileKind() {
    using enum ElementValue;
    using enum AccountRole;
    using enum PostedSide;
    static const std::string firstSeries =
        std::string(kListHead) +
        " where p_act>0 and unact=0 and v_type='SR' and ca_sale=0 and extract(month from vdate)=";
    static const std::string secondSeries =
        std::string(kListHead) +
        " where c_act>0 and unact=0 and v_type='SR' and ca_sale=0 and extract(month from vdate)=";
    static const ReturnFileKind kind{
        .baseName = "efile_sal",
        .rootElement = "SaleDetails",
        .extraHeaderLines = {},
        .closingLine = "   </SaleDetails>",
        .recordElement = "SaleInvoiceDetails",
        .documentElements = {"InvNo", "InvDate", "PurName"},
        .schemaFile = "eval_sal.xsd",
        .validationType = "Sales Within State",
        .omissionType = "Sales Within State",
        .omissionPrefix = "Inv No.",
        .lists = {{firstSeries, kListTail, TinRule::UrdOutsideState, "C"},
                  {secondSeries, kListTail, TinRule::None, "CR"}},
        .billsAccountedBy = InterstateSalesFileKind,
        .partyColumn = PartyColumn::SalesParty,
        .sanitiseNumber = false,
        .voucherType = "SR",
        .dateColumn = "b_dt",
        .basicSums = {{"sold_amt", PostedOn(Credit, SalesWithinState)},
                      {"disc_amt", PostedOn(Debit, DiscountWithinState)}},
        .taxSum = {"tax_amt", PostedOn(Credit, OutputVat)},
        .elements = {{"PurTin", Tin},
                     {"PurName", PartyName, true},
                     {"InvNo", Number, true},
                     {"InvDate", Date},
                     {"NetVal", NetVal, true},
                     {"TaxCh", TaxCh},
                     {"OthCh", OthCh},
                     {"TotCh", TotCh}},
        .urd = UrdSide::Sales,
        .figure = TaxFigure::OutputVatPlus,
        .side = FigureSide::Output,
    };
    return kind;
}

}  // namespace vat
