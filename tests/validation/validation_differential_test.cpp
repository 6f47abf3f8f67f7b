// The streaming check against a check on a tree of the whole file, the way it replaced: the same
// rows, byte for byte, with the same lines and record texts, for files that fail in different
// places and for schemas under which a file valid as a whole can hold elements that fail on
// their own.

#include <gtest/gtest.h>
#include <libxml/xpath.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "support/program_folder.h"
#include "validation/document_loading.h"
#include "validation/libxml_errors.h"
#include "validation/record_child_checker.h"
#include "validation/schema_validation.h"
#include "validation/xml_nodes.h"

namespace vat {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    bool valid = true;
    std::vector<ValidationFailure> rows;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& outcome, std::ostream* out) {
    *out << (outcome.valid ? "valid" : "not valid");
    for (const auto& row : outcome.rows) {
        *out << "\n  line " << row.line.value_or(-1) << ": " << row.message;
        for (const auto& text : row.recordTexts) {
            *out << " [" << text << "]";
        }
    }
}

// The names of the children that identify records of either kind of file below.
const std::vector<std::string> IdentifyingChildren = {"InvNo", "SelName", "Code"};

bool IsRecord(const xmlNode* node, const std::string& baseNode) {
    return node != nullptr && node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
           xml::QualifiedName(node) == baseNode;
}

// The texts of the record's first child of each identifying name.
std::vector<std::string> RecordTexts(const xmlNode* record) {
    std::vector<std::string> texts;
    for (const std::string& name : IdentifyingChildren) {
        const xmlNode* child = record->children;
        while (child != nullptr && !IsRecord(child, name)) {
            child = child->next;
        }
        xmlChar* text = child != nullptr ? xmlNodeGetContent(child) : nullptr;
        texts.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
        xmlFree(text);
    }
    return texts;
}

// The former check, and the header beside it: the file loaded whole, "//" + baseNode + "/*"
// and the root's children that are not records selected by XPath, and each node checked on its
// own.
Outcome CheckOnTree(const std::string& xmlPath, const std::string& xsdPath,
                    const std::string& baseNode) {
    using XPathContextPtr = std::unique_ptr<xmlXPathContext, xml::FreeWith<xmlXPathFreeContext>>;
    using XPathObjectPtr = std::unique_ptr<xmlXPathObject, xml::FreeWith<xmlXPathFreeObject>>;
    xml::QuietLibxmlScope quiet;
    const xml::DocumentPtr schemaDocument = xml::ReadDocument(xsdPath, xml::kSchemaLoadFailure);
    std::string failure;
    const xml::SchemaPtr schema = xml::CompileSchema(schemaDocument.get(), failure);
    const xml::DocumentPtr document = xml::ReadDocument(xmlPath, xml::kReturnFileLoadFailure);
    // Without its file name libxml2 does not search every earlier node for XInclude
    // boundaries on each error, which takes quadratic time on a file with many failures.
    xmlFree(const_cast<xmlChar*>(document->URL));
    document->URL = nullptr;

    const XPathContextPtr context(xmlXPathNewContext(document.get()));
    const std::string notRecord = "[not(self::" + baseNode + ")]";
    const std::string expression = "//" + baseNode + "/* | /*" + notRecord + "/*" + notRecord;
    const XPathObjectPtr selection(xmlXPathEvalExpression(
        reinterpret_cast<const xmlChar*>(expression.c_str()), context.get()));
    xml::RecordChildChecker checker(schemaDocument.get(), schema.get());
    Outcome outcome;
    const xmlNodeSet* nodes = selection ? selection->nodesetval : nullptr;
    int recordChildren = 0;
    int headerElements = 0;
    for (int index = 0; nodes != nullptr && index < nodes->nodeNr; ++index) {
        xmlNode* node = nodes->nodeTab[index];
        const bool recordChild = IsRecord(node->parent, baseNode);
        const int number = recordChild ? ++recordChildren : ++headerElements;
        if (const auto reason = checker.Check(node)) {
            outcome.valid = false;
            std::string row = "<" + xml::QualifiedName(node);
            row += "> (checked element " + std::to_string(number) + ") is not valid. Reason: ";
            outcome.rows.push_back(
                {row + *reason, xmlGetLineNo(node),
                 recordChild ? RecordTexts(node->parent) : std::vector<std::string>{}});
        }
    }
    return outcome;
}

const std::string Xs = "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">";

// A schema of a Return root holding a Period and Bills of the given content.
std::string ReturnSchema(const std::string& billContent, const std::string& globals = "") {
    return Xs + globals +
           "<xs:element name=\"Return\"><xs:complexType><xs:sequence>"
           "<xs:element name=\"Period\" type=\"xs:integer\"/>"
           "<xs:element name=\"Bill\" maxOccurs=\"unbounded\"><xs:complexType>" +
           billContent +
           "</xs:complexType></xs:element></xs:sequence></xs:complexType></xs:element>"
           "</xs:schema>";
}

const std::string QtyAndCode =
    "<xs:sequence><xs:element name=\"Qty\" type=\"xs:integer\"/>"
    "<xs:element name=\"Code\" type=\"xs:string\" minOccurs=\"0\"/></xs:sequence>";

std::string Bill(const std::string& content) { return "<Bill>" + content + "</Bill>"; }

std::string ReturnFile(const std::string& bills, const std::string& prolog = "") {
    return "<?xml version=\"1.0\"?>\n" + prolog + "<Return>\n <Period>4</Period>\n" + bills +
           "\n</Return>\n";
}

std::string PurchaseBill(const std::string& tin, const std::string& total) {
    return "<PurchaseInvoiceDetails><SelTin>" + tin +
           "</SelTin><SelName>RAMA</SelName><InvNo>4</InvNo><InvDate>2014-04-07</InvDate>"
           "<NetVal>10</NetVal><TaxCh>1</TaxCh><OthCh>0</OthCh><TotCh>" +
           total + "</TotCh></PurchaseInvoiceDetails>\n";
}

std::string PurchaseFile(const std::string& bills, const std::string& tin = "29123456789") {
    return "<?xml version=\"1.0\"?>\n<PurchaseDetails><Version>13.11</Version><TinNo>" + tin +
           "</TinNo><RetPerdEnd>2014</RetPerdEnd><FilingType>M</FilingType>"
           "<Period>04</Period>\n" +
           bills + "</PurchaseDetails>\n";
}

const std::string GoodTin = "29412345678";

struct Case {
    const char* what;
    std::string xsd;  // a shipped schema's file name, or a schema's text
    std::string xml;
    std::string record = "Bill";
    bool valid = false;  // what the tree check says, so that no case passes for want of rows
};

void PrintTo(const Case& test, std::ostream* out) { *out << test.what; }

class ValidationDifferentialTest : public ::testing::TestWithParam<Case> {
protected:
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
        return (folder_ / name).string();
    }

    test::ScratchFolder scratch_;
    const fs::path& folder_ = scratch_.Path();
};

TEST_P(ValidationDifferentialTest, StreamingCheckGivesTheRowsOfTheTreeCheck) {
    const Case& test = GetParam();
    const std::string xsd = test.xsd.ends_with(".xsd")
                                ? (fs::path(VAT_SCHEMA_DIR) / test.xsd).string()
                                : Write("schema.xsd", test.xsd);
    const std::string xml = Write("return.xml", test.xml);

    Outcome streamed;
    streamed.valid = Validate(xml, xsd, test.record, IdentifyingChildren,
                              [&](const ValidationFailure& row) { streamed.rows.push_back(row); });
    const Outcome onTree = CheckOnTree(xml, xsd, test.record);
    EXPECT_EQ(onTree.valid, test.valid);
    EXPECT_EQ(streamed, onTree);
}

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    for (int time = 0; time < times; ++time) {
        repeated += text;
    }
    return repeated;
}

const Case Cases[] = {
    {"every record fails", "eval_pur.xsd", PurchaseFile(Repeat(PurchaseBill("2941", "1,5"), 3)),
     "PurchaseInvoiceDetails"},
    {"one record fails", "eval_pur.xsd",
     PurchaseFile(Repeat(PurchaseBill(GoodTin, "11"), 200) + PurchaseBill(GoodTin, "x") +
                  Repeat(PurchaseBill(GoodTin, "11"), 3)),
     "PurchaseInvoiceDetails"},
    {"header value fails, records valid", "eval_pur.xsd",
     PurchaseFile(Repeat(PurchaseBill(GoodTin, "11"), 2), "ABC"), "PurchaseInvoiceDetails"},
    {"header element unexpected", "eval_pur.xsd",
     "<PurchaseDetails><Version>1</Version><Extra>1</Extra><TinNo>1</TinNo>" +
         PurchaseBill(GoodTin, "x") + "<Period>13</Period></PurchaseDetails>",
     "PurchaseInvoiceDetails"},
    {"header element missing, records after it skipped by a whole validation", "eval_pur.xsd",
     "<PurchaseDetails><Version>1</Version>" + PurchaseBill("1", "11") +
         PurchaseBill(GoodTin, "x") + "</PurchaseDetails>",
     "PurchaseInvoiceDetails"},
    {"unexpected child, later siblings skipped by a whole validation", "eval_pur.xsd",
     PurchaseFile("<PurchaseInvoiceDetails><Extra/><SelTin>1</SelTin><TotCh>x</TotCh>"
                  "</PurchaseInvoiceDetails>" +
                  PurchaseBill("2", "1")),
     "PurchaseInvoiceDetails"},
    {"text in a record", "eval_pur.xsd",
     PurchaseFile("<PurchaseInvoiceDetails>note<SelTin>1</SelTin><TotCh>x</TotCh>"
                  "</PurchaseInvoiceDetails>"),
     "PurchaseInvoiceDetails"},
    {"undeclared root", "eval_pur.xsd",
     "<Purchases>" + PurchaseBill(GoodTin, "11") + "</Purchases>", "PurchaseInvoiceDetails"},
    {"lax wildcard in a record",
     ReturnSchema("<xs:sequence><xs:element name=\"Qty\" type=\"xs:integer\"/>"
                  "<xs:any processContents=\"lax\" minOccurs=\"0\" maxOccurs=\"unbounded\"/>"
                  "</xs:sequence>"),
     ReturnFile(Bill("<Qty>1</Qty><Note>x</Note>") + Bill("<Qty>2</Qty>"))},
    {"strict wildcard in a record",
     ReturnSchema("<xs:sequence><xs:element name=\"Qty\" type=\"xs:integer\"/>"
                  "<xs:any minOccurs=\"0\"/></xs:sequence>",
                  "<xs:element name=\"Note\" type=\"xs:string\"/>"),
     ReturnFile(Bill("<Qty>1</Qty><Note>x</Note>"))},
    {"records of no type",
     Xs + "<xs:element name=\"Return\"><xs:complexType><xs:sequence>"
          "<xs:element name=\"Bill\" maxOccurs=\"unbounded\"/>"
          "</xs:sequence></xs:complexType></xs:element></xs:schema>",
     "<Return>" + Bill("<Qty>1</Qty>") + "</Return>"},
    {"two declarations of one name in a record",
     ReturnSchema("<xs:sequence><xs:element name=\"Qty\" type=\"xs:integer\"/>"
                  "<xs:element name=\"Code\" type=\"xs:string\"/>"
                  "<xs:element name=\"Qty\" type=\"xs:string\"/></xs:sequence>"),
     ReturnFile(Bill("<Qty>1</Qty><Code>A</Code><Qty>many</Qty>"))},
    {"IDs repeated across records",
     ReturnSchema("<xs:sequence><xs:element name=\"Qty\"><xs:complexType><xs:simpleContent>"
                  "<xs:extension base=\"xs:integer\"><xs:attribute name=\"id\" type=\"xs:ID\"/>"
                  "</xs:extension></xs:simpleContent></xs:complexType></xs:element>"
                  "</xs:sequence>"),
     ReturnFile(Bill("<Qty id=\"a\">1</Qty>") + Bill("<Qty id=\"b\">1</Qty>") +
                Bill("<Qty id=\"a\">1</Qty>"))},
    {"identity constraint on a record child",
     ReturnSchema("<xs:sequence><xs:element name=\"Lines\"><xs:complexType><xs:sequence>"
                  "<xs:element name=\"No\" type=\"xs:integer\" maxOccurs=\"unbounded\"/>"
                  "</xs:sequence></xs:complexType><xs:unique name=\"OneNo\">"
                  "<xs:selector xpath=\"No\"/><xs:field xpath=\".\"/></xs:unique>"
                  "</xs:element></xs:sequence>"),
     ReturnFile(Bill("<Lines><No>1</No><No>2</No></Lines>"))},
    {"key on a record child, repeated in one record",
     ReturnSchema("<xs:sequence><xs:element name=\"Lines\"><xs:complexType><xs:sequence>"
                  "<xs:element name=\"No\" type=\"xs:integer\" maxOccurs=\"unbounded\"/>"
                  "</xs:sequence></xs:complexType><xs:key name=\"NoKey\">"
                  "<xs:selector xpath=\"No\"/><xs:field xpath=\".\"/></xs:key>"
                  "</xs:element></xs:sequence>"),
     ReturnFile(Bill("<Lines><No>1</No><No>2</No></Lines>") +
                Bill("<Lines><No>3</No><No>3</No></Lines>"))},
    {"substitution group member in a record",
     ReturnSchema("<xs:sequence><xs:element ref=\"Amount\"/></xs:sequence>",
                  "<xs:element name=\"Amount\" type=\"xs:decimal\"/>"
                  "<xs:element name=\"Tax\" type=\"xs:decimal\" substitutionGroup=\"Amount\"/>"),
     ReturnFile(Bill("<Tax>1.5</Tax>") + Bill("<Amount>x</Amount>"))},
    {"record given another type by xsi:type",
     Xs + "<xs:complexType name=\"BillType\">" + QtyAndCode +
         "</xs:complexType><xs:complexType name=\"LongBill\"><xs:complexContent>"
         "<xs:extension base=\"BillType\"><xs:sequence><xs:element name=\"Note\" "
         "type=\"xs:string\"/></xs:sequence></xs:extension></xs:complexContent>"
         "</xs:complexType><xs:element name=\"Return\"><xs:complexType><xs:sequence>"
         "<xs:element name=\"Bill\" type=\"BillType\" maxOccurs=\"unbounded\"/>"
         "</xs:sequence></xs:complexType></xs:element></xs:schema>",
     "<Return xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">" + Bill("<Qty>1</Qty>") +
         "<Bill xsi:type=\"LongBill\"><Qty>2</Qty><Code>C</Code><Note>n</Note></Bill></Return>"},
    {"entities of a document type declaration", ReturnSchema(QtyAndCode),
     ReturnFile(
         Bill("<Qty>&one;</Qty>") + Bill("<Qty>2</Qty><Code>&bad;</Code>") + Bill("<Qty>q</Qty>"),
         "<!DOCTYPE Return [<!ENTITY one \"1\"><!ENTITY bad \"<Qty>x</Qty>\">]>\n")},
    {"records inside record children",
     Xs + "<xs:element name=\"Return\"><xs:complexType><xs:sequence>"
          "<xs:element ref=\"Bill\" maxOccurs=\"unbounded\"/></xs:sequence></xs:complexType>"
          "</xs:element><xs:element name=\"Bill\"><xs:complexType><xs:sequence>"
          "<xs:element name=\"Qty\" type=\"xs:integer\"/>"
          "<xs:element name=\"Part\" minOccurs=\"0\"><xs:complexType><xs:sequence>"
          "<xs:element ref=\"Bill\"/></xs:sequence></xs:complexType></xs:element>"
          "</xs:sequence></xs:complexType></xs:element></xs:schema>",
     "<Return>" + Bill("<Qty>1</Qty><Part>" + Bill("<Qty>x</Qty>") + "</Part>") +
         Bill("<Qty>2</Qty><Part>" + Bill("<Qty>3</Qty>") + "</Part>") + Bill("<Qty>y</Qty>") +
         "</Return>"},
    {"identifying text after the failure, in pieces", ReturnSchema(QtyAndCode),
     ReturnFile(Bill("<Qty>x</Qty><Code>A<!--c-->B<![CDATA[C]]>&amp;<i>D</i>E</Code>") +
                Bill("<Qty>y</Qty><Code/><Code>second</Code>"))},
    {"record names with a prefix or a namespace are not records", ReturnSchema(QtyAndCode),
     "<Return xmlns:a=\"urn:a\">" + Bill("<Qty>x</Qty>") + "<a:Bill><Qty>y</Qty></a:Bill>" +
         "<Bill xmlns=\"urn:b\"><Qty>z</Qty></Bill>" + "</Return>"},
};

INSTANTIATE_TEST_SUITE_P(Files, ValidationDifferentialTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) {
                             std::string name;
                             for (const char c : std::string(info.param.what)) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) {
                                     name += c;
                                 }
                             }
                             return name;
                         });

}  // namespace
}  // namespace vat
