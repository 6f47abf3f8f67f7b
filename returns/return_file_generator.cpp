#include "returns/return_file_generator.h"

#include <optional>

#include "returns/error_rows.h"
#include "returns/missing_ledger_data.h"
#include "returns/number_forms.h"
#include "returns/party.h"
#include "returns/return_document.h"
#include "returns/return_file_writer.h"
#include "returns/text_sanitiser.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

std::string ListSql(const VoucherList& list, int monthNumber) {
    return std::string(list.sqlBeforeMonth) + std::to_string(monthNumber) +
           std::string(list.sqlAfterMonth);
}

bool OpenList(LedgerConnection& ledger, const VoucherList& list, int monthNumber) {
    OpenQuery(ledger.VoucherRecordset, ListSql(list, monthNumber));
    return !ledger.VoucherRecordset.Eof() && !ledger.VoucherRecordset.Bof();
}

void WriteHeader(ReturnFileWriter& file, const ReturnFileKind& kind, const ReturnContext& context) {
    const std::string root(kind.rootElement);
    file.WriteLine("<?xml version=\"1.0\"?>");
    file.WriteLine("   <" + root + ">");
    file.WriteLine("   <Version>13.11</Version>");
    file.WriteLine("   <TinNo>" + XmlText(context.form.DealerTin) + "</TinNo>");
    file.WriteLine("   <RetPerdEnd>" + std::to_string(context.period.ReturnYear) + "</RetPerdEnd>");
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

void WriteBlock(ReturnFileWriter& file, const ReturnFileKind& kind, const VoucherList& list,
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

// Walks one voucher list, writing a block, an omission row or a missing-data row per voucher.
void WalkList(const ReturnFileKind& kind, const VoucherList& list, ReturnContext& context,
              ReturnFileWriter& file, TaxTotal& taxTotal) {
    LedgerConnection& ledger = context.ledger;
    Recordset& vouchers = ledger.VoucherRecordset;
    const std::string fileName = file.Path().filename().string();
    const long long total = vouchers.RowCount();
    long long done = 0;
    for (vouchers.MoveFirst(); !vouchers.Eof(); vouchers.MoveNext()) {
        context.form.ReportProgress(fileName, done++, total);
        const std::string number = DocumentNumber(kind, ledger);
        std::optional<ReturnDocument> document;
        try {
            document = ReadDocument(kind, list, ledger);
        } catch (const MissingLedgerData& missing) {
            context.form.AddErrorRow(std::string(kind.omissionType),
                                     std::string(kind.omissionPrefix) + number + " of voucher " +
                                         vouchers["vn"].Text() + " left out: " + missing.what());
            continue;
        }
        if (!document) continue;
        taxTotal.Add(document->tax);
        if (document->basic < 1) {
            ReportOmission(context.form, kind.omissionType, kind.omissionPrefix, number,
                           document->date, document->partyName);
            continue;
        }
        AddToUrdTotals(kind.urd, *document, context.form.Urd);
        WriteBlock(file, kind, list, number, *document);
    }
    context.form.ReportProgress(fileName, done, total);
}

}  // namespace

fs::path ReturnFilePath(const ReturnFileKind& kind, const ReturnContext& context) {
    const std::string monthTag = context.period.MonthTag();
    return context.programFolder / monthTag / (std::string(kind.baseName) + monthTag + ".xml");
}

void GenerateReturnFile(const ReturnFileKind& kind, ReturnContext& context) {
    const fs::path path = ReturnFilePath(kind, context);
    const fs::path folder = path.parent_path();
    ForceRemove(path);

    std::optional<std::size_t> openList;
    for (std::size_t i = 0; i < kind.lists.size() && !openList; ++i)
        if (OpenList(context.ledger, kind.lists[i], context.period.MonthNumber)) openList = i;
    if (!openList) return;

    std::error_code error;
    fs::create_directory(folder, error);
    if (error)
        throw ReturnFileError("Cannot create the folder " + folder.string() + ": " +
                              error.message());

    TaxTotal taxTotal;
    {
        ReturnFileWriter file(path);
        WriteHeader(file, kind, context);
        for (std::size_t i = 0; i < kind.lists.size(); ++i) {
            // A list that was opened to find the first non-empty one is walked as it stands.
            bool hasRows = i == *openList ||
                           (i > *openList &&
                            OpenList(context.ledger, kind.lists[i], context.period.MonthNumber));
            if (hasRows) WalkList(kind, kind.lists[i], context, file, taxTotal);
        }
        file.WriteLine(kind.closingLine);
        file.Commit();
    }
    context.form.UpdateFigures([&](ReturnFigures& figures) {
        SetFileTotal(figures, kind.figure, kind.side, taxTotal.TenThousandths());
    });
    context.form.FilesWritten.push_back(path.string());

    context.form.ErrorTypeText = std::string(kind.validationType);
    const fs::path schema = context.programFolder / "XSD" / kind.schemaFile;
    if (!IsXMLValid(context.form, path.string(), schema.string(), std::string(kind.recordElement)))
        context.form.ShowMessage({"Validation failed for file " + path.string(), true});
}

}  // namespace vat
