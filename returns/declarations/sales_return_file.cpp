#include <string>

#include "returns/declarations/chart_of_accounts.h"
#include "returns/declarations/return_files.h"

namespace vat {

// Credit notes issued to buyers within the state.
const ReturnFileKind& SalesReturnFileKind() {
    using enum ElementValue;
    using enum AccountRole;
    using enum PostedSide;
    static const ReturnFileKind kind{
        .baseName = "efile_sal_returns",
        .rootElement = "CreditDetails",
        .extraHeaderLines = {"   <TranCode>I</TranCode>"},
        .closingLine = "   </CreditDetails>",
        .recordElement = "CreditInvoiceDetails",
        .documentElements = {"CreditNo", "CreditDate", "PurName"},
        .schemaFile = "eval_cn.xsd",
        .validationType = "Credit Note Within State",
        .omissionType = "Credit Note Within State",
        .omissionPrefix = "Inv No.",
        .lists = {{
            .sqlBeforeMonth =
                "select distinct(vno) as vn, max(vdate) as b_dt, max(bill_no) as b_no, "
                "max(p_act) as p_act, max(c_act) as c_act,max(cn_act) as cn_act from daybok "
                " where cn_act>0 and unact=0 and v_type='CN' and ca_sale=0 and extract(month from "
                "vdate)=",
            .sqlAfterMonth = " group by vno,vdate order by b_no",
        }},
        .partyColumn = PartyColumn::CnAct,
        .sanitiseNumber = false,
        .voucherType = "CN",
        .dateColumn = "b_dt",
        .basicSums = {{"sold_amt", PostedOn(Debit, SalesWithinState)},
                      {"disc_amt", PostedOn(Credit, DiscountWithinState)}},
        .taxSum = {"tax_amt", PostedOn(Debit, OutputVat)},
        .elements = {{"CreditNo", Number, true},
                     {"CreditDate", Date},
                     {"PurTin", Tin},
                     {"PurName", PartyName, true},
                     {"NetVal", NetVal, true},
                     {"TaxCh", TaxCh},
                     {"OthCh", OthCh},
                     {"TotCh", TotCh},
                     {"OrgInvNo", Literal, false, "NA"},
                     {"OrgInvDate", Date}},
        .figure = TaxFigure::OutputVatMinus,
        .side = FigureSide::Output,
    };
    return kind;
}

}  // namespace vat
