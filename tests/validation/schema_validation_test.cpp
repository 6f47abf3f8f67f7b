#include "validation/schema_validation.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/program_folder.h"

namespace vat {
namespace {

namespace fs = std::filesystem;

const fs::path XsdFolder = VAT_SCHEMA_DIR;
const fs::path SampleFolder = fs::path(VAT_TEST_DATA_DIR) / "validation";

using Children = std::vector<std::pair<std::string, std::string>>;

Children ValidBill() {
    return {{"SelTin", "29412345678"},
            {"SelName", "SHREE RAMA AGENCIES "},
            {"InvNo", "4711"},
            {"InvDate", "2014-04-07"},
            {"NetVal", "1234.5"},
            {"TaxCh", "61.73"},
            {"OthCh", "0"},
            {"TotCh", "1296.23"}};
}

Children With(Children children, const std::string& name, const std::string& value) {
    for (auto& child : children) {
        if (child.first == name) {
            child.second = value;
        }
    }
    return children;
}

std::string Header(const std::string& tin = "29123456789", const std::string& period = "04") {
    return "   <Version>13.11</Version>\r\n   <TinNo>" + tin +
           "</TinNo>\r\n   <RetPerdEnd>2014</RetPerdEnd>\r\n   <FilingType>M</FilingType>\r\n"
           "   <Period>" +
           period + "</Period>\r\n";
}

// A local purchase file in the generator's line layout.
std::string PurchaseFile(const std::vector<Children>& bills, const std::string& header = Header()) {
    std::ostringstream text;
    text << "<?xml version=\"1.0\"?>\r\n   <PurchaseDetails>\r\n" << header;
    for (const auto& bill : bills) {
        text << "       <PurchaseInvoiceDetails>\r\n";
        for (const auto& [name, value] : bill) {
            text << "           <" << name << ">" << value << "</" << name << "> \r\n";
        }
        text << "       </PurchaseInvoiceDetails>\r\n";
    }
    text << "  </PurchaseDetails> \r\n";
    return text.str();
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Outcome {
    bool valid = false;
    std::vector<std::string> rows;  // the messages
    std::vector<ValidationFailure> failures;
};

const std::vector<std::string> DocumentElements = {"InvNo", "InvDate", "SelName"};

class ValidationTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) const {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    static Outcome Run(const std::string& xmlPath, const std::string& xsdPath,
                       const std::string& baseNode) {
        Outcome outcome;
        outcome.valid = Validate(xmlPath, xsdPath, baseNode, DocumentElements,
                                 [&](const ValidationFailure& failure) {
                                     outcome.rows.push_back(failure.message);
                                     outcome.failures.push_back(failure);
                                 });
        return outcome;
    }

    Outcome RunPurchase(const std::string& fileText) const {
        return Run(Write("efile_pur04.xml", fileText), (XsdFolder / "eval_pur.xsd").string(),
                   "PurchaseInvoiceDetails");
    }

    test::ScratchFolder scratch_;
    const fs::path& folder_ = scratch_.Path();
};

// The number a row carries: "<Name> (checked element n) is not valid ...".
std::string RowHead(const std::string& row) { return row.substr(0, row.find(" is not valid")); }

TEST_F(ValidationTest, RecordNameThatIsNoXmlNameSelectsNothing) {
    const std::string xml =
        Write("bad.xml", PurchaseFile({With(ValidBill(), "SelTin", "12")}, Header("ABC", "13")));
    for (const std::string baseNode : {"", "Purchase Invoice", "a:b", "x]"}) {
        SCOPED_TRACE(baseNode);
        const Outcome outcome = Run(xml, (XsdFolder / "eval_pur.xsd").string(), baseNode);
        EXPECT_TRUE(outcome.valid);
        EXPECT_TRUE(outcome.rows.empty());
    }
}

TEST_F(ValidationTest, RecordNameMatchingNoElementLeavesEveryChildOfTheRootAHeaderElement) {
    const std::string xml = Write("bad.xml", PurchaseFile({With(ValidBill(), "SelTin", "12")}));
    const Outcome outcome = Run(xml, (XsdFolder / "eval_pur.xsd").string(), "NoSuchRecord");
    EXPECT_FALSE(outcome.valid);
    ASSERT_EQ(outcome.rows.size(), 1u);
    EXPECT_EQ(RowHead(outcome.rows[0]), "<PurchaseInvoiceDetails> (checked element 6)");
}

TEST_F(ValidationTest, HeaderElementsAreCheckedAndNumberedApartFromRecordChildren) {
    const std::string header = Header("29ABC&amp;&lt;&gt;12 ", "13") +
                               "   <Unexpected>1</Unexpected>\r\n   <RetPerdEnd>1</RetPerdEnd>\r\n";
    const Outcome outcome =
        RunPurchase(PurchaseFile({ValidBill(), With(ValidBill(), "TotCh", "x")}, header));

    EXPECT_FALSE(outcome.valid);
    std::vector<std::string> heads;
    for (const auto& row : outcome.rows) {
        heads.push_back(RowHead(row));
    }
    EXPECT_EQ(heads, (std::vector<std::string>{
                         "<TinNo> (checked element 2)", "<Period> (checked element 5)",
                         "<Unexpected> (checked element 6)", "<RetPerdEnd> (checked element 7)",
                         "<TotCh> (checked element 16)"}));
    ASSERT_EQ(outcome.failures.size(), 5u);
    EXPECT_EQ(outcome.failures[0],
              (ValidationFailure{
                  "<TinNo> (checked element 2) is not valid. Reason: Element 'TinNo': [facet "
                  "'pattern'] The value '29ABC&<>12 ' is not accepted by the "
                  "pattern '[0-9]{11}'.",
                  4,
                  {}}));
    EXPECT_EQ(outcome.failures[3].line, 9);
    EXPECT_TRUE(outcome.failures[3].recordTexts.empty()) << "no record names a header element";
    EXPECT_EQ(outcome.failures[4].line, 10 + 10 + 8);
}

TEST_F(ValidationTest, RecordsContentModelIsNotChecked) {
    Children reordered = ValidBill();
    std::swap(reordered[0], reordered[7]);
    Children incomplete = ValidBill();
    incomplete.erase(incomplete.begin() + 2);
    Children doubled = ValidBill();
    doubled.push_back(doubled.front());

    const Outcome outcome = RunPurchase(PurchaseFile({reordered, incomplete, doubled, {}}));
    EXPECT_TRUE(outcome.valid);
    EXPECT_TRUE(outcome.rows.empty());
}

TEST_F(ValidationTest, FailingChildrenOfThreeRecordsAreNumberedAcrossTheFile) {
    const Children bad = With(With(ValidBill(), "SelTin", "2941234"), "NetVal", "12,5");
    const Outcome outcome = RunPurchase(PurchaseFile({bad, bad, bad}));

    EXPECT_FALSE(outcome.valid);
    std::vector<std::string> heads;
    for (const auto& row : outcome.rows) {
        heads.push_back(RowHead(row));
    }
    EXPECT_EQ(heads, (std::vector<std::string>{
                         "<SelTin> (checked element 1)", "<NetVal> (checked element 5)",
                         "<SelTin> (checked element 9)", "<NetVal> (checked element 13)",
                         "<SelTin> (checked element 17)", "<NetVal> (checked element 21)"}));
    ASSERT_FALSE(outcome.rows.empty());
    EXPECT_EQ(outcome.rows[0],
              "<SelTin> (checked element 1) is not valid. Reason: Element 'SelTin': [facet "
              "'pattern'] The "
              "value '2941234' is not accepted by the pattern '[0-9]{11}'.");
    EXPECT_EQ(outcome.rows[1],
              "<NetVal> (checked element 5) is not valid. Reason: Element 'NetVal': '12,5' is not "
              "a valid "
              "value of the atomic type 'xs:decimal'.");
}

TEST_F(ValidationTest, UndeclaredChildGetsARowAndLaterNodesAreStillChecked) {
    Children withRemark = ValidBill();
    withRemark.insert(withRemark.begin() + 1, {"Remarks", "urgent"});
    const Outcome outcome = RunPurchase(PurchaseFile({withRemark, With(ValidBill(), "TotCh", "")}));

    EXPECT_FALSE(outcome.valid);
    ASSERT_EQ(outcome.rows.size(), 2u);
    EXPECT_EQ(outcome.rows[0],
              "<Remarks> (checked element 2) is not valid. Reason: Element 'Remarks' is not "
              "declared in the "
              "content of 'PurchaseInvoiceDetails'.");
    EXPECT_EQ(RowHead(outcome.rows[1]), "<TotCh> (checked element 17)");
}

// A failing child names the line of its start tag and its record's number, date and party, in
// the order asked for, whether they come before it, after it, or it is one of them.
TEST_F(ValidationTest, FailuresNameTheirLineAndTheirRecordsIdentifyingTexts) {
    Children withoutDate = With(ValidBill(), "SelTin", "1");
    withoutDate.erase(withoutDate.begin() + 3);
    const Outcome outcome = RunPurchase(PurchaseFile({
        With(With(ValidBill(), "SelTin", "2941"), "InvNo", "B&amp;7"),
        ValidBill(),
        With(With(ValidBill(), "InvDate", "07-04-2014"), "SelName", " RAMA MEDICALS  "),
        withoutDate,
    }));

    // Line 8 opens the first record; each complete record takes 10 lines.
    const std::vector<ValidationFailure> expected = {
        {"<SelTin> (checked element 1) is not valid. Reason: Element 'SelTin': [facet 'pattern'] "
         "The value "
         "'2941' is not accepted by the pattern '[0-9]{11}'.",
         9,
         {"B&7", "2014-04-07", "SHREE RAMA AGENCIES "}},
        {"<InvDate> (checked element 20) is not valid. Reason: Element 'InvDate': '07-04-2014' is "
         "not a valid "
         "value of the atomic type 'xs:date'.",
         32,
         {"4711", "07-04-2014", " RAMA MEDICALS  "}},
        {"<SelTin> (checked element 25) is not valid. Reason: Element 'SelTin': [facet 'pattern'] "
         "The value "
         "'1' is not accepted by the pattern '[0-9]{11}'.",
         39,
         {"4711", "", "SHREE RAMA AGENCIES "}},
    };
    EXPECT_EQ(outcome.failures, expected);
}

TEST_F(ValidationTest, NumbersAndLinesAreNotLimitedTo16Bits) {
    std::vector<Children> bills(7000, ValidBill());
    bills[6998] = With(ValidBill(), "TotCh", "");
    bills.back() = With(ValidBill(), "TotCh", "many");
    const Outcome outcome = RunPurchase(PurchaseFile(bills));

    ASSERT_EQ(outcome.failures.size(), 2u);
    EXPECT_EQ(RowHead(outcome.rows[0]), "<TotCh> (checked element 55992)");
    EXPECT_EQ(outcome.failures[0].line, 8 + 6998 * 10 + 8);
    EXPECT_EQ(RowHead(outcome.rows[1]), "<TotCh> (checked element 56000)");
    EXPECT_EQ(outcome.failures[1].line, 8 + 6999 * 10 + 8);
}

TEST_F(ValidationTest, FilesThatCannotBeLoadedRaiseTheLoadErrorWithoutRows) {
    const std::string goodXml = Write("good.xml", PurchaseFile({ValidBill()}));
    const std::string goodXsd = (XsdFolder / "eval_pur.xsd").string();
    const std::string schemaStart =
        "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
        "<xs:element name=\"PurchaseDetails\"";
    const fs::path fifo = folder_ / "fifo.xsd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::string xml;
        std::string xsd;
        const char* prefix;
    };
    const Case cases[] = {
        {"missing schema", goodXml, (folder_ / "missing.xsd").string(), "Load XSD failed: "},
        {"schema not well-formed", goodXml, Write("broken.xsd", schemaStart + ">"),
         "Load XSD failed: "},
        {"schema naming an undefined type", goodXml,
         Write("undefined.xsd", schemaStart + " type=\"Undefined\"/></xs:schema>"),
         "Load XSD failed: "},
        {"schema that is no schema", goodXml, Write("plain.xsd", "<PurchaseDetails/>"),
         "Load XSD failed: "},
        // Never waited on: a FIFO nobody writes would keep the check waiting for ever.
        {"schema that is a FIFO", goodXml, fifo.string(), "Load XSD failed: "},
        {"schema that is a device", goodXml, "/dev/zero", "Load XSD failed: "},
        {"missing return file", (folder_ / "missing.xml").string(), goodXsd, "Load XML failed: "},
        {"return file not well-formed",
         Write("broken.xml", "<?xml version=\"1.0\"?>\r\n<A><B></A>"), goodXsd,
         "Load XML failed: "},
        {"empty return file", Write("empty.xml", ""), goodXsd, "Load XML failed: "},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        std::vector<std::string> rows;
        try {
            Validate(test.xml, test.xsd, "PurchaseInvoiceDetails", {},
                     [&](const ValidationFailure& failure) { rows.push_back(failure.message); });
            ADD_FAILURE() << "no SchemaLoadError";
        } catch (const SchemaLoadError& error) {
            const std::string text = error.what();
            EXPECT_EQ(text.rfind(test.prefix, 0), 0u) << text;
            EXPECT_GT(text.size(), std::string(test.prefix).size()) << "no reason given";
        }
        EXPECT_TRUE(rows.empty());
    }
}

TEST_F(ValidationTest, LibxmlIsSilentDuringACheckAndItsHandlersComeBackAfter) {
    const std::string badXml = Write("bad.xml", PurchaseFile({With(ValidBill(), "SelTin", "1")}));
    const std::string brokenXml = Write("broken.xml", "<PurchaseDetails><SelTin>");
    const std::string xsd = (XsdFolder / "eval_pur.xsd").string();

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run(badXml, xsd, "PurchaseInvoiceDetails").rows.size(), 1u);
    EXPECT_THROW(Run(brokenXml, xsd, "PurchaseInvoiceDetails"), SchemaLoadError);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    ::testing::internal::CaptureStderr();
    xmlFreeDoc(xmlReadMemory("<a>", 3, "after.xml", nullptr, 0));
    EXPECT_NE(::testing::internal::GetCapturedStderr(), "");
}

// The same small return against schemas that declare its records' children in different ways.
TEST_F(ValidationTest, SchemaStylesDeclaringTheSameElementsGiveTheSameRows) {
    const std::string xs = "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">";
    const std::string code =
        "<xs:simpleType name=\"Code\"><xs:restriction base=\"xs:string\">"
        "<xs:maxLength value=\"3\"/></xs:restriction></xs:simpleType>";
    const std::string localChildren =
        "<xs:element name=\"Qty\" type=\"xs:integer\" minOccurs=\"0\"/>"
        "<xs:element name=\"Code\" type=\"Code\" maxOccurs=\"2\" form=\"unqualified\"/>"
        "<xs:element name=\"Line\"><xs:complexType><xs:sequence>"
        "<xs:element name=\"Rate\" type=\"xs:decimal\"/></xs:sequence>"
        "<xs:attribute name=\"kind\" type=\"xs:integer\"/></xs:complexType></xs:element>";
    const std::string globalChildren =
        "<xs:element name=\"Qty\" type=\"xs:integer\"/>"
        "<xs:element name=\"Code\" type=\"Code\"/>"
        "<xs:element name=\"Line\"><xs:complexType><xs:sequence>"
        "<xs:element name=\"Rate\" type=\"xs:decimal\"/></xs:sequence>"
        "<xs:attribute name=\"kind\" type=\"xs:integer\"/></xs:complexType></xs:element>";
    const std::string refs =
        "<xs:element ref=\"Qty\"/><xs:element ref=\"Code\"/>"
        "<xs:element ref=\"Line\"/>";
    const std::string root =
        "<xs:element name=\"Return\"><xs:complexType><xs:sequence>"
        "<xs:element name=\"Period\" type=\"xs:integer\"/>";
    const std::string rootEnd = "</xs:sequence></xs:complexType></xs:element>";
    const std::string bills = " maxOccurs=\"unbounded\"";

    const std::pair<const char*, std::string> schemas[] = {
        {"nested", xs + code + root + "<xs:element name=\"Bill\"" + bills +
                       "><xs:complexType><xs:sequence>" + localChildren +
                       "</xs:sequence></xs:complexType></xs:element>" + rootEnd + "</xs:schema>"},
        {"flat", xs + code + globalChildren +
                     "<xs:element name=\"Bill\"><xs:complexType>"
                     "<xs:sequence>" +
                     refs + "</xs:sequence></xs:complexType></xs:element>" + root +
                     "<xs:element ref=\"Bill\"" + bills + "/>" + rootEnd + "</xs:schema>"},
        {"named type", xs + code + "<xs:complexType name=\"BillType\"><xs:choice maxOccurs=\"9\">" +
                           localChildren + "</xs:choice></xs:complexType>" + root +
                           "<xs:element name=\"Bill\" type=\"BillType\"" + bills + "/>" + rootEnd +
                           "</xs:schema>"},
        {"group", xs + code + "<xs:group name=\"BillLines\"><xs:sequence>" + localChildren +
                      "</xs:sequence></xs:group>" + root + "<xs:element name=\"Bill\"" + bills +
                      "><xs:complexType><xs:sequence><xs:group ref=\"BillLines\"/></xs:sequence>"
                      "</xs:complexType></xs:element>" +
                      rootEnd + "</xs:schema>"},
        {"extension", xs + code + globalChildren +
                          "<xs:complexType name=\"Base\"><xs:sequence><xs:element ref=\"Qty\"/>"
                          "</xs:sequence></xs:complexType>"
                          "<xs:complexType name=\"BillType\"><xs:complexContent>"
                          "<xs:extension base=\"Base\"><xs:sequence>"
                          "<xs:element name=\"Code\" type=\"Code\"/><xs:element ref=\"Line\"/>"
                          "</xs:sequence></xs:extension></xs:complexContent></xs:complexType>" +
                          root + "<xs:element name=\"Bill\" type=\"BillType\"" + bills + "/>" +
                          rootEnd + "</xs:schema>"},
    };
    const std::string xml = Write(
        "return.xml",
        "<?xml version=\"1.0\"?>\r\n<Return>\r\n  <Period>x</Period>\r\n"
        "  <Bill>\r\n    <Qty>5</Qty>\r\n    <Code>ABCD</Code>\r\n"
        "    <Line kind=\"1\">\r\n      <Rate>4</Rate>\r\n    </Line>\r\n  </Bill>\r\n"
        "  <Bill>\r\n    <Line kind=\"one\"><Rate>4</Rate></Line>\r\n"
        "    <Qty>5.5</Qty>\r\n    <Line><Rate>x</Rate></Line>\r\n"
        "    <Line><Rate>1</Rate><Rate>2</Rate></Line>\r\n    <Period>1</Period>\r\n  </Bill>\r\n"
        "</Return>\r\n");

    // The header's Period first, numbered apart.
    std::vector<std::string> expectedHeads = {
        "<Period> (checked element 1)", "<Code> (checked element 2)", "<Line> (checked element 4)",
        "<Qty> (checked element 5)",    "<Line> (checked element 6)", "<Line> (checked element 7)",
        "<Period> (checked element 8)"};
    std::vector<std::string> firstRows;
    for (const auto& [style, text] : schemas) {
        SCOPED_TRACE(style);
        const Outcome outcome = Run(xml, Write(std::string(style) + ".xsd", text), "Bill");
        std::vector<std::string> heads;
        for (const auto& row : outcome.rows) {
            heads.push_back(RowHead(row));
        }
        EXPECT_FALSE(outcome.valid);
        EXPECT_EQ(heads, expectedHeads);
        if (firstRows.empty()) {
            firstRows = outcome.rows;
        } else {
            EXPECT_EQ(outcome.rows, firstRows);
        }
    }
}

TEST_F(ValidationTest, LocalDeclarationOutranksAGlobalOfTheSameName) {
    const std::string xsd =
        Write("shadow.xsd",
              "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
              "<xs:element name=\"Code\" type=\"xs:integer\"/>"
              "<xs:element name=\"Return\"><xs:complexType><xs:sequence>"
              "<xs:element ref=\"Code\"/>"
              "<xs:element name=\"Bill\" maxOccurs=\"unbounded\"><xs:complexType><xs:choice "
              "maxOccurs=\"unbounded\">"
              "<xs:element name=\"Code\"><xs:simpleType><xs:restriction base=\"xs:string\">"
              "<xs:maxLength value=\"2\"/></xs:restriction></xs:simpleType></xs:element>"
              "<xs:element name=\"Item\"><xs:complexType><xs:sequence><xs:element ref=\"Code\"/>"
              "</xs:sequence></xs:complexType></xs:element>"
              "</xs:choice></xs:complexType></xs:element>"
              "</xs:sequence></xs:complexType></xs:element></xs:schema>");
    const std::string xml =
        Write("shadow.xml",
              "<Return><Code>1</Code><Bill><Code>AB</Code><Code>ABC</Code>"
              "<Item><Code>X</Code></Item><Item><Code>7</Code></Item></Bill></Return>");

    const Outcome outcome = Run(xml, xsd, "Bill");
    ASSERT_EQ(outcome.rows.size(), 2u);
    EXPECT_EQ(RowHead(outcome.rows[0]), "<Code> (checked element 2)");
    EXPECT_NE(outcome.rows[0].find("maxLength"), std::string::npos) << outcome.rows[0];
    EXPECT_EQ(RowHead(outcome.rows[1]), "<Item> (checked element 3)");
    EXPECT_NE(outcome.rows[1].find("xs:integer"), std::string::npos) << outcome.rows[1];
}

TEST_F(ValidationTest, RecordsUnderAnUndeclaredRootFailWithoutCrashing) {
    std::string text = PurchaseFile({ValidBill()});
    text = std::regex_replace(text, std::regex("PurchaseDetails"), "Purchases");
    const Outcome outcome = RunPurchase(text);
    EXPECT_FALSE(outcome.valid);
    EXPECT_EQ(outcome.rows.size(), 5 + ValidBill().size()) << "the header's and the record's";
}

// Each shipped schema with a sample of its return in the generators' exact layout.
TEST_F(ValidationTest, ShippedSchemasAcceptTheirSampleAndRejectABadTinOrALongName) {
    struct Case {
        const char* schema;
        const char* sample;
        const char* record;
        const char* tinElement;
        int tinPosition;
        const char* nameElement;
        int namePosition;
    };
    const Case cases[] = {
        {"eval_pur.xsd", "efile_pur04.xml", "PurchaseInvoiceDetails", "SelTin", 1, "SelName", 2},
        {"eval_dn.xsd", "efile_pur_rtn04.xml", "DebitInvoiceDetails", "SelTin", 3, "SelName", 4},
        {"eval_sal.xsd", "efile_sal04.xml", "SaleInvoiceDetails", "PurTin", 1, "PurName", 2},
        {"eval_cn.xsd", "efile_sal_returns04.xml", "CreditInvoiceDetails", "PurTin", 3, "PurName",
         4},
        {"eval_sal_is.xsd", "efile_sal_iss_04.xml", "ISSaleInv", "PurTin", 1, "PurName", 2},
        {"eval_pur_is.xsd", "efile_is_pur04.xml", "ISPurInv", "SelTin", 1, "SelName", 2},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.schema);
        const std::string xsd = (XsdFolder / test.schema).string();
        const std::string sample = ReadFile(SampleFolder / test.sample);
        ASSERT_FALSE(sample.empty());

        const Outcome valid = Run(Write(test.sample, sample), xsd, test.record);
        EXPECT_TRUE(valid.valid);
        EXPECT_TRUE(valid.rows.empty()) << valid.rows.front();

        const auto replaceFirst = [&](const std::string& element, const std::string& value) {
            const std::regex first("<" + element + ">[^<]*</" + element + ">");
            return std::regex_replace(sample, first,
                                      "<" + element + ">" + value + "</" + element + ">",
                                      std::regex_constants::format_first_only);
        };
        const auto expectOneRow = [&](const std::string& text, const std::string& element,
                                      int position) {
            const Outcome outcome = Run(Write(test.sample, text), xsd, test.record);
            EXPECT_FALSE(outcome.valid);
            ASSERT_EQ(outcome.rows.size(), 1u);
            EXPECT_EQ(RowHead(outcome.rows[0]),
                      "<" + element + "> (checked element " + std::to_string(position) + ")");
        };
        expectOneRow(replaceFirst(test.tinElement, "2941234567"), test.tinElement,
                     test.tinPosition);
        expectOneRow(replaceFirst(test.tinElement, "29A12345678"), test.tinElement,
                     test.tinPosition);
        expectOneRow(replaceFirst(test.nameElement, std::string(31, 'N')), test.nameElement,
                     test.namePosition);

        const Outcome longest =
            Run(Write(test.sample, replaceFirst(test.nameElement, std::string(30, 'N'))), xsd,
                test.record);
        EXPECT_TRUE(longest.rows.empty());
    }
}

}  // namespace
}  // namespace vat
