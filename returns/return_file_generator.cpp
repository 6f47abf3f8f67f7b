#include "returns/return_file_generator.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "returns/document_rules.h"
#include "returns/error_rows.h"
#include "returns/list_facts.h"
#include "returns/number_forms.h"
#include "returns/party.h"
#include "returns/per_voucher_facts.h"
#include "returns/return_file_writer.h"
#include "returns/text_sanitiser.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

// Each list query runs once, on its own: its grouping and order decide the order of blocks.
std::vector<BufferedRows> ReadLists(const ReturnFileKind& kind, const ReturnContext& context) {
    std::vector<BufferedRows> lists;
    for (const VoucherList& list : kind.lists) {
        OpenQuery(context.ledger.VoucherRecordset, list.Sql(context.period.MonthNumber));
        lists.push_back(ReadAllRows(context.ledger.VoucherRecordset));
    }
    return lists;
}

std::unique_ptr<DocumentFacts> FactsFor(const ReturnContext& context) {
    if (context.reading == FactReading::PerVoucher)
        return std::make_unique<PerVoucherFacts>(context.ledger);
    return std::make_unique<ListFacts>(context.ledger);
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
void WalkList(const ReturnFileKind& kind, const VoucherList& list, const BufferedRows& rows,
              DocumentFacts& facts, ReturnContext& context, ReturnFileWriter& file,
              TaxTotal& taxTotal) {
    const std::string fileName = file.Path().filename().string();
    const auto total = static_cast<long long>(rows.Size());
    for (std::size_t row = 0; row < rows.Size(); ++row) {
        context.form.ReportProgress(fileName, static_cast<long long>(row), total);
        const std::string number = DocumentNumber(kind, rows, row);
        const ShapedDocument shaped = ShapeDocument(kind, list, rows, row, facts);
        const ReturnDocument& document = shaped.document;
        switch (shaped.fate) {
            case DocumentFate::MissingData:
                context.form.AddErrorRow(std::string(kind.omissionType),
                                         std::string(kind.omissionPrefix) + number +
                                             " of voucher " + rows.At(row, "vn").Text() +
                                             " left out: " + shaped.missing);
                break;
            case DocumentFate::TinSkipped:
            case DocumentFate::NotGoods:
                break;
            case DocumentFate::BelowOneRupee:
                taxTotal.Add(document.tax);
                ReportOmission(context.form, kind.omissionType, kind.omissionPrefix, number,
                               document.date, document.partyName);
                break;
            case DocumentFate::Written:
                taxTotal.Add(document.tax);
                AddToUrdTotals(kind.urd, document, context.form.Urd);
                WriteBlock(file, kind, list, number, document);
                break;
        }
    }
    context.form.ReportProgress(fileName, total, total);
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

    const std::vector<BufferedRows> lists = ReadLists(kind, context);
    const auto hasRows = [](const BufferedRows& list) { return !list.Empty(); };
    if (std::none_of(lists.begin(), lists.end(), hasRows)) return;

    std::error_code error;
    fs::create_directory(folder, error);
    if (error)
        throw ReturnFileError("Cannot create the folder " + folder.string() + ": " +
                              error.message());

    const std::unique_ptr<DocumentFacts> facts = FactsFor(context);
    facts->PrepareFile(kind, lists);
    TaxTotal taxTotal;
    {
        ReturnFileWriter file(path);
        WriteHeader(file, kind, context);
        for (std::size_t i = 0; i < kind.lists.size(); ++i)
            if (hasRows(lists[i]))
                WalkList(kind, kind.lists[i], lists[i], *facts, context, file, taxTotal);
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
