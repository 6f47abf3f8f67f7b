#include "returns/run/return_file_generator.h"

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "disk/atomic_file_writer.h"
#include "disk/file_safety.h"
#include "returns/results/number_forms.h"
#include "returns/rules/document_rules.h"
#include "returns/rules/party.h"
#include "returns/rules/text_sanitiser.h"
#include "returns/run/error_rows.h"
#include "returns/run/files_ahead.h"
#include "returns/run/month_folder.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

void WriteHeader(AtomicFileWriter& file, const ReturnFileKind& kind, const ReturnContext& context) {
    const std::string root(kind.rootElement);
    file.WriteLine("<?xml version=\"1.0\"?>");
    file.WriteLine("   <" + root + ">");
    file.WriteLine("   <Version>13.11</Version>");
    file.WriteLine("   <TinNo>" + XmlText(context.books.dealerTin) + "</TinNo>");
    file.WriteLine("   <RetPerdEnd>" + std::to_string(context.period.returnYear) + "</RetPerdEnd>");
    file.WriteLine("   <FilingType>M</FilingType>");
    file.WriteLine("   <Period>" + context.period.MonthTag() + "</Period>");
    for (std::string_view line : kind.extraHeaderLines) file.WriteLine(line);
}

std::string ElementText(const BlockElement& element, const VoucherList& list,
                        const std::string& number, const ReturnDocument& document) {
    switch (element.value) {
        case ElementValue::Tin:
            return document.tin;
        case ElementValue::PartyName:
            return document.partyName;
        case ElementValue::Address:
            return document.address;
        case ElementValue::Number:
            return std::string(list.invoicePrefix) + number;
        case ElementValue::Date:
            return document.date;
        case ElementValue::NetVal:
            return AmountText(document.basic);
        case ElementValue::TaxCh:
            return AmountText(document.tax);
        case ElementValue::OthCh:
            return "0";
        case ElementValue::TotCh:
            return AmountText(document.total);
        case ElementValue::TranType:
            return document.tranType;
        case ElementValue::Qty:
            return std::to_string(document.quantity);
        case ElementValue::Literal:
            return std::string(element.literal);
    }
    return {};
}

void WriteBlock(AtomicFileWriter& file, const ReturnFileKind& kind, const VoucherList& list,
                const std::string& number, const ReturnDocument& document) {
    const std::string record(kind.recordElement);
    file.WriteLine("       <" + record + ">");
    for (const BlockElement& element : kind.elements) {
        const std::string name(element.name);
        file.WriteLine("           <" + name + ">" +
                       XmlText(ElementText(element, list, number, document)) + "</" + name + ">" +
                       (element.trailingSpace ? " " : ""));
    }
    file.WriteLine("       </" + record + ">");
}

void AddToUrdTotals(UrdSide side, const ReturnDocument& document, UrdTotals& urd) {
    if (side == UrdSide::None || document.tin != UrdMarkerTin) return;
    if (side == UrdSide::Purchases) {
        ++urd.purchaseBills;
        urd.purchaseBasic += document.basic;
        urd.purchaseVat += document.tax;
    } else {
        ++urd.salesBills;
        urd.salesBasic += document.basic;
        urd.salesVat += document.tax;
    }
}

// The voucher of a list row; none when the row has none.
std::optional<long long> VoucherOf(const BufferedRows& rows, std::size_t row) {
    const Field vn = rows.At(row, "vn");
    if (vn.IsNull()) return std::nullopt;
    return vn.Integer();
}

// What one file's walk adds up, and the rows it leaves for the user.
struct FileWalk {
    const ReturnFileKind& kind;
    ReturnContext& context;
    DocumentFacts& facts;
    AtomicFileWriter& file;
    // Bills of another file's lists: below one rupee here, they are accounted for there.
    const std::set<long long>& accountedElsewhere;
    TaxTotal taxTotal;
    FileAccount account;

    // Schema rows name their record by its number as written; the vouchers behind them.
    std::map<std::string, long long> voucherOfNumber;
    // The written documents by voucher, for the schema rows of their records.
    std::map<long long, DocumentNote> writtenNotes;

    DocumentNote Note(const std::string& number, const BufferedRows& rows, std::size_t row,
                      const ShapedDocument& shaped) const {
        const bool counted =
            shaped.fate == DocumentFate::Written || shaped.fate == DocumentFate::BelowOneRupee;
        return {.file = file.Path().filename().string(),
                .document = RunRowDocument(kind.omissionPrefix, number, rows.At(row, "vn").Text()),
                .voucher = VoucherOf(rows, row),
                .fate = shaped.fate,
                .missing = shaped.missing,
                .partyMissing = shaped.partyMissing,
                .partyAccount = shaped.partyAccount,
                .partyName = shaped.storedPartyName,
                .storedTin = shaped.storedTin,
                .writtenTin = shaped.document.tin,
                .basic = shaped.document.basic,
                .tax = counted ? shaped.document.tax : shaped.leftOutTax,
                .purchases = kind.side == FigureSide::Input};
    }

    // Adds a row and the note of the document behind it.
    void AddRow(ErrorRow errorRow, DocumentNote note) {
        note.row = context.result.rows.size();
        context.result.rows.push_back(std::move(errorRow));
        context.result.notes.push_back(std::move(note));
    }

    // Why a document was left out, as its row says it.
    static std::string LeftOutBecause(const ShapedDocument& shaped) {
        switch (shaped.fate) {
            case DocumentFate::MissingData:
                return shaped.missing;
            case DocumentFate::TinSkipped:
                return "the party's TIN " + shaped.document.tin + " does not begin with 29";
            case DocumentFate::NotGoods:
                return "a debit note without goods (vat_dn 0 and no inventory lines)";
            case DocumentFate::Written:
            case DocumentFate::BelowOneRupee:
                break;
        }
        return {};
    }

    void LeaveOut(const std::string& number, const BufferedRows& rows, std::size_t row,
                  const ShapedDocument& shaped) {
        const std::string voucher = rows.At(row, "vn").Text();
        AddRow({std::string(kind.omissionType),
                std::string(kind.omissionPrefix) + number + " of voucher " + voucher +
                    " left out: " + LeftOutBecause(shaped),
                RunRowDocument(kind.omissionPrefix, number, voucher),
                {},
                {},
                VoucherOf(rows, row)},
               Note(number, rows, row, shaped));
    }

    void Walk(const VoucherList& list, const BufferedRows& rows) {
        const std::string fileName = file.Path().filename().string();
        const auto total = static_cast<long long>(rows.Size());
        for (std::size_t row = 0; row < rows.Size(); ++row) {
            if (context.cancel) context.cancel->ThrowIfRequested();
            context.observer.Progress(fileName, static_cast<long long>(row), total);
            Account(list, rows, row);
        }
        context.observer.Progress(fileName, total, total);
    }

    // Writes a block, an omission row or a left-out row for one list row, and counts it.
    void Account(const VoucherList& list, const BufferedRows& rows, std::size_t row) {
        ++account.listed;
        const std::string number = DocumentNumber(kind, rows, row);
        ShapedDocument shaped = ShapeDocument(kind, list, rows, row, facts);
        const ReturnDocument& document = shaped.document;
        const bool counted =
            shaped.fate == DocumentFate::Written || shaped.fate == DocumentFate::BelowOneRupee;
        if (counted && !taxTotal.Add(document.tax)) {
            shaped.fate = DocumentFate::MissingData;
            shaped.missing = "the tax " + AmountText(document.tax) + " is beyond the file's total";
            shaped.leftOutTax = document.tax;
        }
        // A bill below one rupee that the interstate sales lists hold is theirs to account for.
        const bool interstate = shaped.fate == DocumentFate::BelowOneRupee &&
                                accountedElsewhere.contains(rows.At(row, "vn").Integer());
        switch (shaped.fate) {
            case DocumentFate::MissingData:
                ++account.missingData;
                LeaveOut(number, rows, row, shaped);
                break;
            case DocumentFate::TinSkipped:
                ++account.tinSkipped;
                LeaveOut(number, rows, row, shaped);
                break;
            case DocumentFate::NotGoods:
                ++account.notGoods;
                break;
            case DocumentFate::BelowOneRupee:
                if (interstate) {
                    ++account.interstate;
                    break;
                }
                ++account.belowOneRupee;
                AddRow(OmissionRow(kind.omissionType, kind.omissionPrefix, number, document.date,
                                   document.partyName, rows.At(row, "vn").Text(),
                                   VoucherOf(rows, row)),
                       Note(number, rows, row, shaped));
                break;
            case DocumentFate::Written:
                ++account.written;
                AddToUrdTotals(kind.urd, document, context.urd);
                WriteBlock(file, kind, list, number, document);
                if (document.tin == UrdMarkerTin)
                    context.result.notes.push_back(Note(number, rows, row, shaped));
                if (auto voucher = VoucherOf(rows, row)) {
                    voucherOfNumber.emplace(std::string(list.invoicePrefix) + number, *voucher);
                    writtenNotes.emplace(*voucher, Note(number, rows, row, shaped));
                }
                break;
        }
        if (context.digest) Digest(rows, row, number, shaped, interstate);
        if (auto voucher = VoucherOf(rows, row))
            context.listed.push_back(
                {kind.figure, *voucher, LedgerDate::Parse(rows.At(row, "b_dt").Text()),
                 std::string(kind.omissionPrefix) + number,
                 shaped.fate == DocumentFate::Written || shaped.fate == DocumentFate::BelowOneRupee,
                 LeftOutBecause(shaped)});
    }

    // The list row and what the rules made of it and of the facts they looked up: all that
    // decides the document's block, row and share of the figures. Each value goes in with its
    // length, so that no two different rows read alike.
    void Digest(const BufferedRows& rows, std::size_t row, const std::string& number,
                const ShapedDocument& shaped, bool interstate) {
        std::string read;
        const auto add = [&read](const std::optional<std::string>& value) {
            read += value ? std::to_string(value->size()) + ":" + *value + ";" : "NULL;";
        };
        for (const std::optional<std::string>& value : rows.Values(row)) add(value);
        const ReturnDocument& document = shaped.document;
        for (const std::string& text :
             {std::to_string(static_cast<int>(shaped.fate)), std::to_string(interstate),
              shaped.missing, document.tin, document.partyName, document.address, document.date,
              AmountText(document.basic), AmountText(document.tax), AmountText(document.total),
              document.tranType, std::to_string(document.quantity)})
            add(text);
        const std::string voucher = rows.At(row, "vn").Text();
        context.digest->AddDocument(file.Path().filename().string(),
                                    RunRowDocument(kind.omissionPrefix, number, voucher), read);
    }
};

// What a failing record child carries: the kind's element named by the schema row,
// "<SelTin> (2) is not valid : ...".
std::optional<ElementValue> FailingValue(const ReturnFileKind& kind, const std::string& message) {
    if (!message.starts_with('<')) return std::nullopt;
    const std::string name = message.substr(1, message.find('>') - 1);
    for (const BlockElement& element : kind.elements)
        if (element.name == name) return element.value;
    return std::nullopt;
}

// Notes the written document behind each schema row of a record.
void NoteSchemaRows(const ReturnFileKind& kind, const std::map<long long, DocumentNote>& written,
                    std::size_t firstRow, RunResult& result) {
    for (std::size_t at = firstRow; at < result.rows.size(); ++at) {
        const ErrorRow& row = result.rows[at];
        if (!row.voucher) continue;
        const auto found = written.find(*row.voucher);
        if (found == written.end()) continue;
        DocumentNote note = found->second;
        note.row = at;
        note.failing = FailingValue(kind, row.error);
        result.notes.push_back(std::move(note));
    }
}

}  // namespace

fs::path ReturnFilePath(const ReturnFileKind& kind, const ReturnContext& context) {
    return MonthFolder(context.folders, context.books, context.period.monthNumber) /
           (std::string(kind.baseName) + context.period.MonthTag() + ".xml");
}

fs::path ReturnSchemaPath(const ReturnFileKind& kind, const ReturnContext& context) {
    return context.folders.schemas / kind.schemaFile;
}

void GenerateReturnFile(const ReturnFileKind& kind, ReturnContext& context) {
    const fs::path path = ReturnFilePath(kind, context);
    const fs::path written =
        context.writeFolder.empty() ? path : context.writeFolder / path.filename();
    const fs::path folder = written.parent_path();
    ForceRemove(written);

    FileAccount& account = context.result.accounts.emplace_back();
    account.file = path.filename().string();
    const PreparedFile prepared =
        context.filesAhead ? context.filesAhead->Take(kind)
                           : PrepareFile(kind, context.period.monthNumber, context.reading,
                                         context.ledger, context.listsReadAhead);
    if (!prepared.facts) return;
    const std::vector<BufferedRows>& lists = prepared.lists;
    const auto hasRows = [](const BufferedRows& list) { return !list.Empty(); };

    std::error_code error;
    fs::create_directory(folder, error);
    if (error)
        throw DiskError("Cannot create the folder " + folder.string() + ": " + error.message());

    std::int64_t taxTotal = 0;
    std::map<std::string, long long> voucherOfNumber;
    std::map<long long, DocumentNote> writtenNotes;
    {
        AtomicFileWriter file(written);
        FileWalk walk{kind, context, *prepared.facts, file, prepared.accountedElsewhere, {}, {},
                      {},   {}};
        WriteHeader(file, kind, context);
        for (std::size_t i = 0; i < kind.lists.size(); ++i)
            if (hasRows(lists[i])) walk.Walk(kind.lists[i], lists[i]);
        file.WriteLine(kind.closingLine);
        file.Commit();
        taxTotal = walk.taxTotal.TenThousandths();
        walk.account.file = account.file;
        account = walk.account;
        voucherOfNumber = std::move(walk.voucherOfNumber);
        writtenNotes = std::move(walk.writtenNotes);
    }
    SetFileTotal(context.result.figures, kind.figure, kind.side, taxTotal);

    std::vector<ErrorRow>& rows = context.result.rows;
    const std::size_t rowsBefore = rows.size();
    account.valid =
        CheckReturnFile(written, ReturnSchemaPath(kind, context), kind, voucherOfNumber, rows);
    account.schemaErrors = static_cast<long long>(rows.size() - rowsBefore);
    NoteSchemaRows(kind, writtenNotes, rowsBefore, context.result);
    // Listed only once checked: a file whose check could not run is never listed as written.
    account.path = path.string();
    if (!*account.valid)
        context.result.messages.push_back({"Validation failed for file " + path.string(), true});
}

}  // namespace vat
