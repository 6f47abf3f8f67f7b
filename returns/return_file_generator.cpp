#include "return_file_generator.h"

#include <optional>

#include "error_rows.h"
#include "missing_ledger_data.h"
#include "number_forms.h"
#include "party.h"
#include "return_document.h"
#include "return_file_writer.h"
#include "text_sanitiser.h"

namespace vat {

namespace fs = std::filesystem;

namespace {

std::string ListSql(const VoucherListSpec& list, int monthNumber) {
    return std::string(list.sqlBeforeMonth) + std::to_string(monthNumber) +
           std::string(list.sqlAfterMonth);
}

bool OpenList(LedgerConnection& ledger, const VoucherListSpec& list, int monthNumber) {
    OpenQuery(ledger.VoucherRecordset, ListSql(list, monthNumber));
    return !ledger.VoucherRecordset.Eof() && !ledger.VoucherRecordset.Bof();
}

void WriteHeader(ReturnFileWriter& file, const ReturnFileSpec& spec, const ReturnContext& context) {
    const std::string root(spec.rootElement);
    file.WriteLine("<?xml version=\"1.0\"?>");
    file.WriteLine("   <" + root + ">");
    file.WriteLine("   <Version>13.11</Version>");
    file.WriteLine("   <TinNo>" + XmlText(context.form.DealerTin) + "</TinNo>");
    file.WriteLine("   <RetPerdEnd>" + std::to_string(context.period.ReturnYear) + "</RetPerdEnd>");
    file.WriteLine("   <FilingType>M</FilingType>");
    file.WriteLine("   <Period>" + context.period.MonthTag() + "</Period>");
    for (std::string_view line : spec.extraHeaderLines) file.WriteLine(line);
}

std::string ElementText(const ElementSpec& element, const VoucherListSpec& list,
                        const std::string& number, const ReturnDocument& document) {
    switch (element.value) {
        case ElementValue::Tin: return document.tin;
        case ElementValue::PartyName: return document.partyName;
        case ElementValue::Address: return document.address;
        case ElementValue::Number: return std::string(list.invoicePrefix) + number;
        case ElementValue::Date: return document.date;
        case ElementValue::NetVal: return AmountText(document.basic);
        case ElementValue::TaxCh: return AmountText(document.tax);
        case ElementValue::OthCh: return "0";
        case ElementValue::TotCh: return AmountText(document.total);
        case ElementValue::TranType: return document.tranType;
        case ElementValue::Qty: return std::to_string(document.quantity);
        case ElementValue::Literal: return std::string(element.literal);
    }
    return {};
}

void WriteBlock(ReturnFileWriter& file, const ReturnFileSpec& spec, const VoucherListSpec& list,
                const std::string& number, const ReturnDocument& document) {
    const std::string record(spec.recordElement);
    file.WriteLine("       <" + record + ">");
    for (const ElementSpec& element : spec.elements) {
        const std::string name(element.name);
        file.WriteLine("           <" + name + ">" + XmlText(ElementText(element, list, number, document)) +
                       "</" + name + ">" + (element.trailingSpace ? " " : ""));
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
void WalkList(const ReturnFileSpec& spec, const VoucherListSpec& list, ReturnContext& context,
              ReturnFileWriter& file, TaxTotal& taxTotal) {
    LedgerConnection& ledger = context.ledger;
    Recordset& vouchers = ledger.VoucherRecordset;
    const std::string fileName = file.Path().filename().string();
    const long long total = vouchers.RowCount();
    long long done = 0;
    for (vouchers.MoveFirst(); !vouchers.Eof(); vouchers.MoveNext()) {
        context.form.ReportProgress(fileName, done++, total);
        const std::string number = DocumentNumber(spec, ledger);
        std::optional<ReturnDocument> document;
        try {
            document = ReadDocument(spec, list, ledger);
        } catch (const MissingLedgerData& missing) {
            context.form.AddErrorRow(std::string(spec.omissionType),
                                     std::string(spec.omissionPrefix) + number + " of voucher " +
                                         vouchers["vn"].Text() + " left out: " + missing.what());
            continue;
        }
        if (!document) continue;
        taxTotal.Add(document->tax);
        if (document->basic < 1) {
            ReportOmission(context.form, spec.omissionType, spec.omissionPrefix, number,
                           document->date, document->partyName);
            continue;
        }
        AddToUrdTotals(spec.urd, *document, context.form.Urd);
        WriteBlock(file, spec, list, number, *document);
    }
    context.form.ReportProgress(fileName, done, total);
}

void SetSummaryLabels(const ReturnFileSpec& spec, FormState& form, const TaxTotal& taxTotal) {
    const std::string figure = PictureText(taxTotal.Value());
    const std::string side = spec.labelSide == LabelSide::Input ? "lbl_in_" : "lbl_out_";
    form.SetCaption(spec.summaryLabel, figure);
    form.SetCaption(side + "p", figure);
    form.SetCaption(side + "n", figure);
    form.SetCaption(side + "net",
                    PictureText(form.CaptionValue(side + "n") + form.CaptionValue(side + "p")));
}

}  // namespace

void GenerateReturnFile(const ReturnFileSpec& spec, ReturnContext& context) {
    const std::string monthTag = context.period.MonthTag();
    const fs::path folder = context.programFolder / monthTag;
    const fs::path path = folder / (std::string(spec.baseName) + monthTag + ".xml");
    ForceRemove(path);

    std::optional<std::size_t> openList;
    for (std::size_t i = 0; i < spec.lists.size() && !openList; ++i)
        if (OpenList(context.ledger, spec.lists[i], context.period.MonthNumber)) openList = i;
    if (!openList) return;

    std::error_code error;
    fs::create_directory(folder, error);
    if (error)
        throw ReturnFileError("Cannot create the folder " + folder.string() + ": " + error.message());

    TaxTotal taxTotal;
    {
        ReturnFileWriter file(path);
        WriteHeader(file, spec, context);
        for (std::size_t i = 0; i < spec.lists.size(); ++i) {
            // A list that was opened to find the first non-empty one is walked as it stands.
            bool hasRows = i == *openList || (i > *openList &&
                                               OpenList(context.ledger, spec.lists[i],
                                                        context.period.MonthNumber));
            if (hasRows) WalkList(spec, spec.lists[i], context, file, taxTotal);
        }
        file.WriteLine(spec.closingLine);
        file.Commit();
    }
    SetSummaryLabels(spec, context.form, taxTotal);
    context.form.FilesWritten.push_back(path.string());

    context.form.ErrorTypeText = std::string(spec.validationType);
    const fs::path schema = context.programFolder / "XSD" / spec.schemaFile;
    if (!IsXMLValid(context.form, path.string(), schema.string(), std::string(spec.recordElement)))
        context.form.ShowMessage({"Validation failed for file " + path.string(), true});
}

}  // namespace vat
