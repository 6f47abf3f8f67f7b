#include <string>

#include "returns/declarations/chart_of_accounts.h"
#include "returns/declarations/return_files.h"

namespace vat {

// Purchases from sellers outside the state.
const ReturnFileKind& InterstatePurchaseFileKind() {
    using enum ElementValue;
    using enum AccountRole;
    using enum PostedSide;
    static const ReturnFileKind kind{
        .baseName = "efile_is_pur",
        .rootElement = "ISPur",
        .extraHeaderLines = {},
        .closingLine = "  </ISPur> ",
        .recordElement = "ISPurInv",
        .documentElements = {"InvNo", "InvDate", "SelName"},
        .schemaFile = "eval_pur_is.xsd",
        .validationType = "Purchase Outside State",
        .omissionType = "Purchase Outside State",
        .omissionPrefix = "B No.",
        .lists = {{
            .sqlBeforeMonth =
                "select distinct(vno) as vn, max(vdate) as b_dt, max(pur_bill_no) as b_no, "
                "max(pur_act) as pur_act,max(bill_dt) as bill_date  from daybok "
                " where out_state=1 and unact= 0 and  v_type='PR' and extract(month from vdate)=",
            .sqlAfterMonth = "  group by vno, vdate, bill_no, cn_act order by b_dt",
            .tinRule = TinRule::InStateOnly,
        }},
        .partyColumn = PartyColumn::PurAct,
        .address = AddressRule::LinesOrDash,
        .sanitiseNumber = true,
        .voucherType = "PR",
        .dateColumn = "bill_date",
        .basicSums = {{"pur_amt", PostedOn(Debit, PurchasesOutsideState)}},
        .taxSum = {"tax_amt", PostedOn(Debit, CstOnPurchases)},
        .lines = LinesQuery{"sum(p_sqty+p_fqty) as qty,max(p_tax) as tax_rate", "inventory"},
        .elements = {{"SelTin", Tin},
                     {"SelName", PartyName, true},
                     {"SelAddr", Address, true},
                     {"InvNo", Number, true},
                     {"InvDate", Date},
                     {"NetVal", NetVal, true},
                     {"TaxCh", TaxCh},
                     {"OthCh", OthCh},
                     {"TotCh", TotCh},
                     {"TranType", TranType},
                     {"MainComm", Literal, false, "53"},
                     {"SubComm", Literal, false, "1"},
                     {"Qty", Qty},
                     {"Purpose", Literal, false, "1"}},
        .figure = TaxFigure::CstPurchases,
        .side = FigureSide::Input,
    };
    return kind;
}

}  // namespace vat
