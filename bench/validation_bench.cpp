// Times the element-by-element schema check of a large local purchase file against one
// whole-document libxml2 validation of the same file, for a valid file and for one in which
// every record has a bad TIN.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "validation/document_loading.h"
#include "validation/libxml_handles.h"
#include "validation/record_child_checker.h"
#include "validation/schema_validation.h"

namespace {

constexpr int Records = 5000;
constexpr int ChildrenPerRecord = 8;
constexpr int Repeats = 21;

const std::string SchemaPath = VAT_XSD_DIR "/eval_pur.xsd";
const std::string RecordName = "PurchaseInvoiceDetails";

void WriteReturnFile(const std::string& path, bool badTins) {
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\"?>\r\n   <PurchaseDetails>\r\n   <Version>13.11</Version>\r\n"
           "   <TinNo>29123456789</TinNo>\r\n   <RetPerdEnd>2014</RetPerdEnd>\r\n"
           "   <FilingType>M</FilingType>\r\n   <Period>04</Period>\r\n";
    for (int record = 1; record <= Records; ++record) {
        const int day = record % 28 + 1;
        out << "       <PurchaseInvoiceDetails>\r\n"
            << "           <SelTin>" << (badTins ? 29400 : 29400000000LL) + record
            << "</SelTin>\r\n"
            << "           <SelName>SUPPLIER " << record << " PUNE</SelName> \r\n"
            << "           <InvNo>B" << record << "</InvNo> \r\n"
            << "           <InvDate>2014-04-" << (day < 10 ? "0" : "") << day << "</InvDate>\r\n"
            << "           <NetVal>" << record << ".5</NetVal> \r\n"
            << "           <TaxCh>" << record % 97 << ".25</TaxCh>\r\n"
            << "           <OthCh>0</OthCh>\r\n"
            << "           <TotCh>" << record + record % 97 << ".75</TotCh>\r\n"
            << "       </PurchaseInvoiceDetails>\r\n";
    }
    out << "  </PurchaseDetails> \r\n";
}

// Median wall time of a piece of work, in milliseconds.
double MedianMs(const std::function<void()>& work) {
    std::vector<double> times;
    for (int run = 0; run < Repeats; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(times.begin(), times.begin() + Repeats / 2, times.end());
    return times[Repeats / 2];
}

struct Loaded {
    vat::xml::DocumentPtr schemaDocument;
    vat::xml::SchemaPtr schema;
    vat::xml::DocumentPtr returnDocument;
};

Loaded Load(const std::string& xmlPath) {
    Loaded loaded;
    loaded.schemaDocument = vat::xml::ReadDocument(SchemaPath, "Load XSD failed: ");
    std::string failure;
    loaded.schema = vat::xml::CompileSchema(loaded.schemaDocument.get(), failure);
    loaded.returnDocument = vat::xml::ReadDocument(xmlPath, "Load XML failed: ");
    vat::xml::ForgetFileName(loaded.returnDocument.get());
    return loaded;
}

// The per-node part of Validate on documents already loaded; returns the failing nodes.
long CheckEachNode(const Loaded& loaded) {
    vat::xml::XPathContextPtr context(xmlXPathNewContext(loaded.returnDocument.get()));
    const std::string expression = "//" + RecordName + "/*";
    vat::xml::XPathObjectPtr selection(xmlXPathEvalExpression(
        reinterpret_cast<const xmlChar*>(expression.c_str()), context.get()));
    vat::xml::RecordChildChecker checker(loaded.schemaDocument.get(), loaded.schema.get());
    long failures = 0;
    for (int index = 0; index < selection->nodesetval->nodeNr; ++index) {
        failures += checker.Check(selection->nodesetval->nodeTab[index]).has_value() ? 1 : 0;
    }
    return failures;
}

void CountError(void* count, xmlErrorPtr) { ++*static_cast<long*>(count); }

long ValidateWholeDocument(const Loaded& loaded) {
    vat::xml::SchemaValidContextPtr context(xmlSchemaNewValidCtxt(loaded.schema.get()));
    long errors = 0;
    xmlSchemaSetValidStructuredErrors(context.get(), CountError, &errors);
    xmlSchemaValidateDoc(context.get(), loaded.returnDocument.get());
    return errors;
}

void Measure(const std::string& title, const std::string& xmlPath) {
    long rows = 0;
    const double validate = MedianMs([&] {
        rows = 0;
        vat::Validate(xmlPath, SchemaPath, RecordName, [&](const std::string&) { ++rows; });
    });
    const double load = MedianMs([&] { Load(xmlPath); });

    const Loaded loaded = Load(xmlPath);
    long failingNodes = 0;
    const double perNode = MedianMs([&] { failingNodes = CheckEachNode(loaded); });
    long wholeErrors = 0;
    const double whole = MedianMs([&] { wholeErrors = ValidateWholeDocument(loaded); });

    std::printf("%s\n", title.c_str());
    std::printf("  load (schema, compile, return file):     %8.2f ms\n", load);
    std::printf("  per-node check, loaded documents:        %8.2f ms  (%ld failing nodes)\n",
                perNode, failingNodes);
    std::printf("  whole-document validation, loaded:       %8.2f ms  (%ld errors)\n", whole,
                wholeErrors);
    std::printf("  Validate end to end:                     %8.2f ms  (%ld rows)\n", validate,
                rows);
    std::printf("  ratio per-node / whole-document:          %7.2f\n", perNode / whole);
    std::printf("  ratio Validate / (load + whole-document): %7.2f\n\n", validate / (load + whole));
}

}  // namespace

int main() {
    const auto folder = std::filesystem::temp_directory_path() / "vat-validation-bench";
    std::filesystem::create_directories(folder);
    const std::string validPath = (folder / "efile_pur04.xml").string();
    const std::string badTinPath = (folder / "efile_pur05.xml").string();
    WriteReturnFile(validPath, false);
    WriteReturnFile(badTinPath, true);

    std::printf("%d records of %d children: %d selected nodes, %d elements in all\n\n", Records,
                ChildrenPerRecord, Records * ChildrenPerRecord,
                Records * (ChildrenPerRecord + 1) + 6);
    Measure("valid file", validPath);
    Measure("every record with a bad TIN", badTinPath);

    std::filesystem::remove_all(folder);
    return 0;
}
