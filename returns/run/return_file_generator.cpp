#include "returns/run/return_file_generator.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
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

// A document's amounts as the file writes them, formatted once for its block and its digest.
struct AmountTexts {
    std::string basic;
    std::string tax;
    std::string total;
};

AmountTexts AmountTextsOf(const ReturnDocument& document) {
    return {AmountText(document.basic), AmountText(document.tax), AmountText(document.total)};
}

void AppendInteger(std::string& text, long long value) {
    char digits[24];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Appends what an element carries, escaped for the file. The invoice prefixes are ASCII, so
// escaping the prefix and the number apart is escaping them together.
void AppendElementText(std::string& block, const BlockElement& element, const VoucherList& list,
                       const std::string& number, const ReturnDocument& document,
                       const AmountTexts& amounts) {
    switch (element.value) {
        case ElementValue::Tin:
            return AppendXmlText(block, document.tin);
        case ElementValue::PartyName:
            return AppendXmlText(block, document.partyName);
        case ElementValue::Address:
            return AppendXmlText(block, document.address);
        case ElementValue::Number:
            AppendXmlText(block, list.invoicePrefix);
            return AppendXmlText(block, number);
        case ElementValue::Date:
            return AppendXmlText(block, document.date);
        case ElementValue::NetVal:
            block += amounts.basic;
            return;
        case ElementValue::TaxCh:
            block += amounts.tax;
            return;
        case ElementValue::OthCh:
            block += '0';
            return;
        case ElementValue::TotCh:
            block += amounts.total;
            return;
        case ElementValue::TranType:
            return AppendXmlText(block, document.tranType);
        case ElementValue::Qty:
            return AppendInteger(block, document.quantity);
        case ElementValue::Literal:
            return AppendXmlText(block, element.literal);
    }
}

// Builds a document's block, one line per element, in block (its room kept from the document
// before) and writes it at once.
void WriteBlock(AtomicFileWriter& file, std::string& block, const ReturnFileKind& kind,
                const VoucherList& list, const std::string& number, const ReturnDocument& document,
                const AmountTexts& amounts) {
    block.clear();
    block += "       <";
    block += kind.recordElement;
    block += ">\r\n";
    for (const BlockElement& element : kind.elements) {
        block += "           <";
        block += element.name;
        block += '>';
        AppendElementText(block, element, list, number, document, amounts);
        block += "</";
        block += element.name;
        block += element.trailingSpace ? "> \r\n" : ">\r\n";
    }
    block += "       </";
    block += kind.recordElement;
    block += ">\r\n";
    file.Write(block);
}

void AddToUrdTotals(UrdSide side, const ReturnDocument& document, UrdTotals& urd) {
    if (side == UrdSide::None || document.tin != kUrdMarkerTin) return;
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

// A row of a voucher list being accounted for, its voucher read once.
struct WalkedRow {
    explicit WalkedRow(const ListRow& row)
        : fields(row), voucherText(row.voucher.Text()), voucher(row.Voucher()) {}

    const ListRow& fields;
    std::string voucherText;           // as the list shows it; empty when NULL
    std::optional<long long> voucher;  // none when the row has none
};

// Where a row lies among a file's lists.
struct RowPlace {
    std::uint32_t list;
    std::uint32_t row;
};

bool Counted(DocumentFate fate) {
    return fate == DocumentFate::Written || fate == DocumentFate::BelowOneRupee;
}

DocumentNote NoteOf(const ReturnFileKind& kind, const std::string& fileName,
                    const std::string& number, const WalkedRow& at, const ShapedDocument& shaped) {
    return {.file = fileName,
            .document = RunRowDocument(kind.omissionPrefix, number, at.voucherText),
            .voucher = at.voucher,
            .fate = shaped.fate,
            .missing = shaped.missing,
            .partyMissing = shaped.partyMissing,
            .byReturnRule = shaped.byReturnRule,
            .partyAccount = shaped.partyAccount,
            .partyName = shaped.storedPartyName,
            .storedTin = shaped.storedTin,
            .writtenTin = shaped.document.tin,
            .basic = shaped.document.basic,
            .tax = Counted(shaped.fate) ? shaped.document.tax : shaped.leftOutTax,
            .purchases = kind.side == FigureSide::Input};
}

// What one file's walk adds up, and the rows it leaves for the user.
struct FileWalk {
    const ReturnFileKind& kind;
    ReturnContext& context;
    DocumentFacts& facts;
    AtomicFileWriter& file;
    // Bills of another file's lists: below one rupee here, they are accounted for there.
    const std::set<long long>& accountedElsewhere;
    const std::string fileName;
    TaxTotal taxTotal = {};
    FileAccount account = {};

    // Schema rows name their record by its number as written; the vouchers behind them.
    std::vector<std::pair<std::string, long long>> voucherOfNumber = {};
    // The written documents' rows by voucher: the few a schema row explains are shaped again,
    // rather than a note kept of every one.
    std::vector<std::pair<long long, RowPlace>> writtenRows = {};

    // A document's block and its digest text are built here, in room kept from the one before.
    std::string block = {};
    std::string digestText = {};

    DocumentNote Note(const std::string& number, const WalkedRow& at,
                      const ShapedDocument& shaped) const {
        return NoteOf(kind, fileName, number, at, shaped);
    }

    // Adds a row and the note of the document behind it.
    void AddRow(ErrorRow errorRow, DocumentNote note) {
        note.row = context.result.rows.size();
        context.result.rows.push_back(std::move(errorRow));
        context.result.notes.Add(note);
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

    void LeaveOut(const std::string& number, const WalkedRow& at, const ShapedDocument& shaped) {
        AddRow({std::string(kind.omissionType),
                std::string(kind.omissionPrefix) + number + " of voucher " + at.voucherText +
                    " left out: " + LeftOutBecause(shaped),
                RunRowDocument(kind.omissionPrefix, number, at.voucherText),
                {},
                {},
                at.voucher},
               Note(number, at, shaped));
    }

    void Walk(std::uint32_t listIndex, const BufferedRows& rows) {
        const auto total = static_cast<long long>(rows.Size());
        if (!rows.Empty()) {
            const ListColumns columns(kind, rows);
            for (std::size_t row = 0; row < rows.Size(); ++row) {
                if (context.cancel) context.cancel->ThrowIfRequested();
                context.observer.Progress(fileName, static_cast<long long>(row), total);
                const ListRow fields = columns.Row(row);
                Account({listIndex, static_cast<std::uint32_t>(row)}, WalkedRow(fields));
            }
        }
        context.observer.Progress(fileName, total, total);
    }

    // Writes a block, an omission row or a left-out row for one list row, and counts it.
    void Account(RowPlace place, const WalkedRow& at) {
        const VoucherList list = kind.lists[place.list].Chosen(context.interstateParties);
        ++account.listed;
        const std::string number = at.fields.DocumentNumber(kind);
        ShapedDocument shaped = ShapeDocument(kind, list, at.fields, facts);
        const ReturnDocument& document = shaped.document;
        const AmountTexts amounts = AmountTextsOf(document);
        if (Counted(shaped.fate) && !taxTotal.Add(document.tax)) {
            shaped.fate = DocumentFate::MissingData;
            shaped.missing = "the tax " + amounts.tax + " is beyond the file's total";
            shaped.leftOutTax = document.tax;
        }
        // A bill below one rupee that the interstate sales lists hold is theirs to account for.
        const bool interstate = shaped.fate == DocumentFate::BelowOneRupee && at.voucher &&
                                accountedElsewhere.contains(*at.voucher);
        switch (shaped.fate) {
            case DocumentFate::MissingData:
                ++account.missingData;
                LeaveOut(number, at, shaped);
                break;
            case DocumentFate::TinSkipped:
                ++account.tinSkipped;
                LeaveOut(number, at, shaped);
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
                                   document.partyName, at.voucherText, at.voucher),
                       Note(number, at, shaped));
                break;
            case DocumentFate::Written:
                ++account.written;
                AddToUrdTotals(kind.urd, document, context.urd);
                WriteBlock(file, block, kind, list, number, document, amounts);
                if (document.tin == kUrdMarkerTin)
                    context.result.notes.Add(Note(number, at, shaped));
                if (at.voucher) {
                    voucherOfNumber.emplace_back(std::string(list.invoicePrefix) + number,
                                                 *at.voucher);
                    writtenRows.emplace_back(*at.voucher, place);
                }
                break;
        }
        if (context.digest) Digest(at, number, shaped, amounts, interstate);
        if (at.voucher)
            context.listed.Add({.voucher = *at.voucher,
                                .document = std::string(kind.omissionPrefix) + number,
                                .leftOutBecause = LeftOutBecause(shaped),
                                .listDate = LedgerDate::Parse(at.fields.voucherDate.Text()),
                                .file = kind.figure,
                                .counted = Counted(shaped.fate)});
    }

    // Appends a value with its length, so that no two different rows read alike.
    void AddToDigest(std::string_view value) {
        AppendInteger(digestText, static_cast<long long>(value.size()));
        digestText += ':';
        digestText += value;
        digestText += ';';
    }

    // The list row and what the rules made of it and of the facts they looked up: all that
    // decides the document's block, row and share of the figures.
    void Digest(const WalkedRow& at, const std::string& number, const ShapedDocument& shaped,
                const AmountTexts& amounts, bool interstate) {
        digestText.clear();
        const ListRow& fields = at.fields;
        for (std::size_t column = 0; column < fields.list.Width(); ++column)
            if (const auto value = fields.list.Value(fields.row, column))
                AddToDigest(*value);
            else
                digestText += "NULL;";
        const ReturnDocument& document = shaped.document;
        const char fate = static_cast<char>('0' + static_cast<int>(shaped.fate));
        for (const std::string_view text :
             {std::string_view(&fate, 1), std::string_view(interstate ? "1" : "0"),
              std::string_view(shaped.missing), std::string_view(document.tin),
              std::string_view(document.partyName), std::string_view(document.address),
              std::string_view(document.date), std::string_view(amounts.basic),
              std::string_view(amounts.tax), std::string_view(amounts.total),
              std::string_view(document.tranType)})
            AddToDigest(text);
        char quantity[16];
        AddToDigest(std::string_view(
            quantity, std::to_chars(quantity, quantity + sizeof quantity, document.quantity).ptr));
        context.digest->AddDocument(
            fileName, RunRowDocument(kind.omissionPrefix, number, at.voucherText), digestText);
    }
};

// What a failing record child carries: the kind's element named by the schema row,
// "<SelTin> (checked element 2) is not valid. ...".
std::optional<ElementValue> FailingValue(const ReturnFileKind& kind, const std::string& message) {
    if (!message.starts_with('<')) return std::nullopt;
    const std::string name = message.substr(1, message.find('>') - 1);
    for (const BlockElement& element : kind.elements)
        if (element.name == name) return element.value;
    return std::nullopt;
}

// Notes the written document behind each schema row of a record, shaped again from its list row
// and the same facts.
void NoteSchemaRows(const ReturnFileKind& kind, const std::string& fileName,
                    const std::vector<BufferedRows>& lists, DocumentFacts& facts,
                    const SortedByKey<long long, RowPlace>& written, std::size_t firstRow,
                    InterstateParties parties, RunResult& result) {
    // Each list's columns are found once, when its first document is asked for: a file whose
    // every record fails has a row for each.
    std::vector<std::optional<ListColumns>> columns(lists.size());
    for (std::size_t at = firstRow; at < result.rows.size(); ++at) {
        const ErrorRow& row = result.rows[at];
        if (!row.voucher) continue;
        const RowPlace* place = written.Find(*row.voucher);
        if (!place) continue;
        std::optional<ListColumns>& listColumns = columns[place->list];
        if (!listColumns) listColumns.emplace(kind, lists[place->list]);
        const ListRow fields = listColumns->Row(place->row);
        const ShapedDocument shaped =
            ShapeDocument(kind, kind.lists[place->list].Chosen(parties), fields, facts);
        DocumentNote note =
            NoteOf(kind, fileName, fields.DocumentNumber(kind), WalkedRow(fields), shaped);
        note.row = at;
        note.failing = FailingValue(kind, row.error);
        result.notes.Add(note);
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
    SortedByKey<std::string, long long> voucherOfNumber;
    SortedByKey<long long, RowPlace> writtenRows;
    {
        AtomicFileWriter file(written);
        FileWalk walk{kind,
                      context,
                      *prepared.facts,
                      file,
                      prepared.accountedElsewhere,
                      written.filename().string()};
        WriteHeader(file, kind, context);
        for (std::uint32_t i = 0; i < kind.lists.size(); ++i)
            if (hasRows(lists[i])) walk.Walk(i, lists[i]);
        file.WriteLine(kind.closingLine);
        file.Commit();
        taxTotal = walk.taxTotal.TenThousandths();
        walk.account.file = account.file;
        account = std::move(walk.account);
        voucherOfNumber = SortedByKey(std::move(walk.voucherOfNumber));
        writtenRows = SortedByKey(std::move(walk.writtenRows));
    }
    SetFileTotal(context.result.figures, kind.figure, kind.side, taxTotal);

    std::vector<ErrorRow>& rows = context.result.rows;
    const std::size_t rowsBefore = rows.size();
    account.valid =
        CheckReturnFile(written, context.schemas.At(ReturnSchemaPath(kind, context)).compiled, kind,
                        voucherOfNumber, rows);
    account.schemaErrors = static_cast<long long>(rows.size() - rowsBefore);
    NoteSchemaRows(kind, account.file, lists, *prepared.facts, writtenRows, rowsBefore,
                   context.interstateParties, context.result);
    // Listed only once checked: a file whose check could not run is never listed as written.
    account.path = path.string();
    if (!*account.valid)
        context.result.messages.push_back({"Validation failed for file " + path.string(), true});
}

}  // namespace vat
