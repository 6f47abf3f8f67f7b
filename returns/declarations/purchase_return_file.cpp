#include <string>

#include "returns/declarations/chart_of_accounts.h"
#include "returns/declarations/return_files.h"

namespace vat {

// Debit notes raised on suppliers within the state.
const ReturnFileKind& PurchaseReturnFileKind() {
    using enum ElementValue;
    using enum AccountRole;
    using enum PostedSide;
    static const ReturnFileKind kind{
        .baseName = "efile_pur_rtn",
        .rootElement = "DebitDetails",
        .extraHeaderLines = {"   <FilingType>M</FilingType>", "   <TranCode>I</TranCode>"},
        .closingLine = "  </DebitDetails> ",
        .recordElement = "DebitInvoiceDetails",
        .documentElements = {"DebitNo", "DebitDate", "SelName"},
        .schemaFile = "eval_dn.xsd",
        .validationType = "Debit Notes Within State",
        .omissionType = "Debit Note Within State",
        .omissionPrefix = "DN No.",
        .lists = {{
            .sqlBeforeMonth =
                "select distinct(vno) as vn, max(vdate) as b_dt, max(pur_bill_no) as b_no, "
                "max(dn_act) as dn_act,max(vdate) as bill_date, max(vat_dn) as vat_dn  from daybok "
                " where unact= 0 and  v_type='DN'  and extract(month from vdate)=",
            .sqlAfterMonth = "  group by vno, vdate, bill_no, cn_act order by b_dt",
            .tinRule = TinRule::SkipOutsideState,
        }},
        .goodsTest = true,
        .partyColumn = PartyColumn::DnAct,
        .sanitiseNumber = true,
        .voucherType = "DN",
        .dateColumn = "bill_date",
        .basicSums = {{"pur_amt", PostedOn(Credit, PurchasesWithinState)}},
        .taxSum = {"tax_amt", PostedOn(Credit, InputVat)},
        .totalFromWrittenTexts = false,
        .elements = {{"DebitNo", Number, true},
                     {"DebitDate", Date},
                     {"SelTin", Tin},
                     {"SelName", PartyName, true},
                     {"NetVal", NetVal, true},
                     {"TaxCh", TaxCh},
                     {"OthCh", OthCh},
                     {"TotCh", TotCh},
                     {"OrgInvNo", Literal, false, "NA1"},
                     {"OrgInvDate", Date}},
        .figure = TaxFigure::InputVatMinus,
        .side = FigureSide::Input,
    };
    return kind;
}

}  // namespace vat
