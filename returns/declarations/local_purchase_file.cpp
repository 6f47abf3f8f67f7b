#include <string>

#include "returns/declarations/chart_of_accounts.h"
#include "returns/declarations/return_files.h"

namespace vat {

// Purchases from dealers within the state.
const ReturnFileKind& LocalPurchaseFileKind() {
    using enum ElementValue;
    using enum AccountRole;
    using enum PostedSide;
    static const ReturnFileKind kind{
        .baseName = "efile_pur",
        .rootElement = "PurchaseDetails",
        .extraHeaderLines = {},
        .closingLine = "  </PurchaseDetails> ",
        .recordElement = "PurchaseInvoiceDetails",
        .documentElements = {"InvNo", "InvDate", "SelName"},
        .schemaFile = "eval_pur.xsd",
        .validationType = "Purchase Within State",
        .omissionType = "Purchase Within State",
        .omissionPrefix = "B No.",
        .lists = {{
            .sqlBeforeMonth =
                "select distinct(vno) as vn, max(vdate) as b_dt, max(pur_bill_no) as b_no, "
                "max(pur_act) as pur_act,max(bill_dt) as bill_date  from daybok "
                " where out_state=0 and unact= 0 and  v_type='PR' and extract(month from vdate)=",
            .sqlAfterMonth = "  group by vno, vdate, bill_no, cn_act order by b_dt",
            .tinRule = TinRule::SkipOutsideState,
        }},
        .partyColumn = PartyColumn::PurAct,
        .sanitiseNumber = true,
        .voucherType = "PR",
        .dateColumn = "bill_date",
        .basicSums = {{"pur_amt", PostedOn(Debit, PurchasesWithinState)}},
        .taxSum = {"tax_amt", PostedOn(Debit, InputVat)},
        .elements = {{"SelTin", Tin},
                     {"SelName", PartyName, true},
                     {"InvNo", Number, true},
                     {"InvDate", Date},
                     {"NetVal", NetVal, true},
                     {"TaxCh", TaxCh},
                     {"OthCh", OthCh},
                     {"TotCh", TotCh}},
        .urd = UrdSide::Purchases,
        .figure = TaxFigure::InputVatPlus,
        .side = FigureSide::Input,
    };
    return kind;
}

}  // namespace vat
