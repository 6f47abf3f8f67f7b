#include "returns/reconcile/books_postings.h"

#include "ledger/buffered_rows.h"
#include "returns/reconcile/reconciled_accounts.h"

namespace vat {

namespace {

constexpr std::string_view kHoldable = "abs(amount) < 1e14";

const ReconciledAccounts& AccountsOf(ReconciledFigure figure) {
    return ReconciledAccountsTable()[static_cast<std::size_t>(figure)];
}

// "(recact in (20,21,35) or payact in (20,21,35) or recact in (12,13) or ...)"
std::string OnAnyTaxAccount() {
    std::string condition;
    for (const ReconciledAccounts& accounts : ReconciledAccountsTable())
        condition += (condition.empty() ? "(" : " or ") + std::string("recact in ") +
                     accounts.SqlList() + " or payact in " + accounts.SqlList();
    return condition + ')';
}

// A name a statement gives each of a table's entries: f0, f1, ... for the figures' columns,
// once0, once1, ... for the sets of the vouchers each file counted once.
std::string NumberedName(std::string_view prefix, int number) {
    std::string name(prefix);
    name += std::to_string(number);
    return name;
}

std::string FigureColumn(int figure) { return NumberedName("f", figure); }

std::string OnceSet(TaxFigure file) { return NumberedName("once", static_cast<int>(file)); }

// A date no calendar holds ("infinity") reads as none: outside every month.
std::optional<LedgerDate> DateOf(const Field& field) {
    if (field.IsNull()) return std::nullopt;
    return LedgerDate::Parse(field.Text());
}

// A posting's leg on the account in column, debit or credit, is one the return holds as the
// books do: on no figure's accounts, or on the side a file sums for the voucher's type, in a
// file that counted the voucher once. NULL where a column is.
std::string LegAccounted(std::string_view column, bool debit) {
    std::string condition;
    for (const ReconciledAccounts& accounts : ReconciledAccountsTable()) {
        condition += (condition.empty() ? "(" : " and ") + std::string("(") + std::string(column) +
                     " not in " + accounts.SqlList();
        for (const TaxSumReader& reader : accounts.readers)
            if (reader.readsDebits == debit)
                condition += " or (v_type = '" + std::string(reader.voucherType) +
                             "' and vno in (select vno from " + OnceSet(reader.file) + "))";
        condition += ')';
    }
    return condition + ')';
}

std::vector<std::string> MonthBounds(const ReconciledMonth& month) {
    return {month.first.IsoText(), month.last.IsoText()};
}

// Converts a slice of the postings statement's rows.
void TakePostings(const BufferedRows& rows, const std::function<void(const TaxPosting&)>& take) {
    const auto column = [&rows](std::string_view name) { return rows.ColumnNamed(name); };
    const BufferedRows::Column vno = column("vno"), type = column("v_type"), date = column("vdate"),
                               recact = column("recact"), payact = column("payact"),
                               paise = column("paise"), unact = column("unact"),
                               outState = column("out_state"), cashSale = column("ca_sale"),
                               pAct = column("p_act"), cAct = column("c_act"),
                               cnAct = column("cn_act"), first = column("first_series"),
                               second = column("second_series");
    for (std::size_t row = 0; row < rows.Size(); ++row) {
        const Field voucher = rows.At(row, vno);
        take({voucher.IsNull() ? std::nullopt : std::optional(voucher.Integer()),
              rows.At(row, type).Text(), DateOf(rows.At(row, date)), rows.At(row, recact).Integer(),
              rows.At(row, payact).Integer(), rows.At(row, paise).Integer(),
              rows.At(row, unact).Integer(), rows.At(row, outState).Integer(),
              rows.At(row, cashSale).Integer(), rows.At(row, pAct).Integer(),
              rows.At(row, cAct).Integer(), rows.At(row, cnAct).Integer(),
              rows.At(row, first).Integer() != 0, rows.At(row, second).Integer() != 0});
    }
}

}  // namespace

BooksFigures ReadBooksFigures(LedgerConnection& ledger, const ReconciledMonth& month) {
    std::string sql = "select ";
    for (const ReconciledAccounts& accounts : ReconciledAccountsTable()) {
        const std::string debits =
            "coalesce(sum(amount) filter (where recact in " + accounts.SqlList() + "),0)";
        const std::string credits =
            "coalesce(sum(amount) filter (where payact in " + accounts.SqlList() + "),0)";
        sql += (sql.size() > 7 ? ", " : "") + std::string("round(100 * (") +
               (accounts.debitsAdd ? debits + " - " + credits : credits + " - " + debits) +
               "))::bigint as " + FigureColumn(static_cast<int>(accounts.figure));
    }
    sql += " from daybok where unact = 0 and vdate between ?::date and ?::date and " +
           std::string(kHoldable) + " and " + OnAnyTaxAccount();
    OpenQuery(ledger.lookupRecordset, sql, MonthBounds(month));
    const BufferedRows rows = ReadAllRows(ledger.lookupRecordset);
    BooksFigures figures{};
    for (int figure = 0; figure < kReconciledFigureCount; ++figure)
        figures[figure] = rows.At(0, FigureColumn(figure)).Integer();
    return figures;
}

void ReadTaxPostings(LedgerConnection& ledger, const ReconciledMonth& month,
                     const CountedVouchers& counted,
                     const std::function<void(const TaxPosting&)>& take) {
    const std::string cst = AccountsOf(ReconciledFigure::CstSales).SqlList();
    const auto interstate = [&cst](int series) {
        return "(v_type = 'SR' and (recact in " + cst + " or payact in " + cst +
               ") and exists (select 1 from bills where bills.vno = daybok.vno and "
               "bills.tax_type = 6 and bills.op = " +
               std::to_string(series) + "))::int";
    };
    std::string sets = "with counted as (select unnest(?::bigint[]) as vno)";
    std::vector<std::string> parameters{counted.all};
    for (int file = 0; file < kTaxFigureCount; ++file) {
        sets += ", " + OnceSet(static_cast<TaxFigure>(file)) +
                " as (select unnest(?::bigint[]) as vno)";
        parameters.push_back(counted.once[file]);
    }
    for (int bounds = 0; bounds < 2; ++bounds)
        for (std::string& day : MonthBounds(month)) parameters.push_back(std::move(day));
    // Where a column is NULL the posting is not known to be held alike, and comes to be
    // classified.
    const std::string heldAlike = "coalesce(unact = 0 and vdate between ?::date and ?::date and " +
                                  LegAccounted("recact", true) + " and " +
                                  LegAccounted("payact", false) + ", false)";
    // A posting live and dated in the month, as most are, is taken by its own columns before
    // the counted vouchers are searched for it: the server tries the alternatives in order.
    const std::string sql =
        sets +
        " select vno, v_type, vdate, coalesce(recact, 0) as recact, coalesce(payact, 0) as payact, "
        "round(amount * 100)::bigint as paise, coalesce(unact, -1) as unact, "
        "coalesce(out_state, -1) as out_state, coalesce(ca_sale, -1) as ca_sale, "
        "coalesce(p_act, -1) as p_act, coalesce(c_act, -1) as c_act, "
        "coalesce(cn_act, -1) as cn_act, " +
        interstate(2) + " as first_series, " + interstate(3) +
        " as second_series from daybok where " + std::string(kHoldable) + " and " +
        OnAnyTaxAccount() +
        " and ((unact = 0 and vdate between ?::date and ?::date) or vno in (select vno from "
        "counted)) and not " +
        heldAlike + " order by vno, vdate, recact, payact, paise";
    // A month's postings come through a cursor of the run's transaction, a slice at a time, and
    // are converted as they come: held whole as rows of text, in the driver and here, they
    // would weigh several times their converted form.
    // The cursor is read to its end: planned for its whole result, not for its first rows.
    OpenQuery(ledger.lookupRecordset, "set local cursor_tuple_fraction = 1");
    OpenQuery(ledger.lookupRecordset, "declare tax_postings no scroll cursor for " + sql,
              parameters);
    for (;;) {
        OpenQuery(ledger.lookupRecordset, "fetch forward 1024 from tax_postings");
        const BufferedRows rows = ReadAllRows(ledger.lookupRecordset);
        if (rows.Empty()) break;
        TakePostings(rows, take);
    }
    OpenQuery(ledger.lookupRecordset, "close tax_postings");
}

}  // namespace vat
