// The run record as plain values: its text read back, two records compared, and the warning a
// changed month gives.
#include "returns/record/run_record.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "returns/check/books_check.h"
#include "support/disk_step_log.h"
#include "support/program_folder.h"

namespace vat {
namespace {

RunRecord April() {
    return RunRecord{
        .dataFile = "shop2014",
        .dealerTin = "29876543210",
        .yearStart = "2014-04-01",
        .yearEnd = "2015-03-31",
        .month = 4,
        .writtenAt = "2015-05-12 10:31:02",
        .programVersion = "1.0.0",
        .files = {{"efile_pur04.xml", "aa"}, {"efile_sal04.xml", "bb"}},
        .schemas = {{"eval_pur.xsd", "cc"}},
        .figures = {.taxPaise = {10050, 0, 200000},
                    .verdict = VatVerdict::Payable,
                    .vatPaise = 189950,
                    .urdSales = UrdFigures{.bills = 1, .basicPaise = 1000}},
        .accounts = {{.file = "efile_pur04.xml", .listed = 3, .written = 2, .valid = true}},
        .fingerprint = "ff",
        .documents = {{"efile_pur04.xml", "B No.1 · voucher 1", Sha256BytesOfText("d1")},
                      {"efile_sal04.xml", "B No.S/1 · voucher 3", Sha256BytesOfText("d3")},
                      {"efile_sal04.xml", "B No.S/1 · voucher 3", Sha256BytesOfText("d4")}},
    };
}

std::string Text(const RunRecord& record) {
    std::ostringstream text;
    PrintRunRecord(record, text);
    return text.str();
}

TEST(RunRecordText, ReadsBackWhatWasWritten) {
    RunRecord record = April();
    EXPECT_EQ(Text(ParseRunRecord(Text(record))), Text(record));
    // Lines without \u escapes, as a run writes them, are read without the JSON library's
    // lexer.
    RunRecord ascii = April();
    ascii.documents = {{"efile_pur04.xml", R"(B No."1"\/ voucher 1)", Sha256BytesOfText("d1")},
                       {"efile_sal04.xml", "B No.S/1\n", Sha256BytesOfText("d3")}};
    EXPECT_EQ(Text(ParseRunRecord(Text(ascii))), Text(ascii));
    record.documents = {};
    EXPECT_EQ(Text(ParseRunRecord(Text(record))), Text(record));
    EXPECT_TRUE(nlohmann::json::parse(Text(record))["documents"].empty());
    std::string noMonth = Text(record);
    noMonth.replace(noMonth.find("\"month\": 4"), 10, "\"month\": -21");
    std::string notHex = Text(April());
    notHex.replace(notHex.find(Sha256OfText("d1")), 64, std::string(64, 'g'));
    std::string twoLinesNoComma = Text(ascii), trailingComma = Text(ascii);
    twoLinesNoComma.erase(twoLinesNoComma.rfind("\",\n") + 1, 1);
    trailingComma.insert(trailingComma.rfind('"') + 1, ",");
    for (const std::string& broken :
         {std::string(), std::string("{}"), std::string("[1]"), std::string(R"({"dataFile": 3})"),
          noMonth, notHex, twoLinesNoComma, trailingComma})
        EXPECT_THROW(ParseRunRecord(broken), RunRecordError) << broken;
    EXPECT_EQ(RecordOwnerText(OwnerOf(record)),
              "shop2014 (financial year 01/04/2014 to 31/03/2015), written 12/05/2015 10:31:02");
}

// A record's documents are views of its own names: a copy outlives the record it was taken of.
TEST(RunRecordText, ACopyKeepsNamesOfItsOwn) {
    std::optional<RunRecord> original = April();
    RunRecord assigned;
    assigned = *original;
    const RunRecord copy = *original;
    const std::string text = Text(*original);
    original.reset();
    EXPECT_EQ(Text(copy), text);
    EXPECT_EQ(Text(assigned), text);
}

TEST(RunRecordText, WritesEachDocumentAsTheJsonLibraryWritesIt) {
    const std::string documents[] = {
        "B No.1 · voucher 1",
        "quote \" backslash \\ slash /",
        std::string("controls \b\f\n\r\t \x01\x1f\x7f and NUL ") + '\0',
        "four bytes \xF0\x9F\x98\x80 three \xE2\x82\xAC",
        "escapes right after a character of more bytes: \xE2\x82\xAC\" \xC3\xA9\n",
        "Latin-1 \xE9t\xE9",
        "a lone continuation \x80, an overlong \xC0\xAF, a surrogate \xED\xA0\x80",
        "cut short \xE2\x82",
    };
    for (const std::string& document : documents) {
        RunRecord record = April();
        record.documents = {{"efile_pur04.xml", document, Sha256BytesOfText("d1")}};
        const std::string line =
            nlohmann::json(Sha256OfText("d1") + " efile_pur04.xml\t" + document)
                .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        EXPECT_NE(Text(record).find("\"documents\": [\n  " + line + "\n ]"), std::string::npos)
            << document;
        const RunRecord read = ParseRunRecord(Text(record));
        EXPECT_EQ(Text(read), Text(record)) << document;
    }
}

// ---- The record on the disk ----

namespace fs = std::filesystem;

TEST(RunRecordFile, IsSyncedBeforeItTakesItsNameAndReadsBack) {
    test::ScratchFolder folder;
    {
        const test::DiskStepLog log;
        WriteRunRecord(April(), folder.Path());
        ASSERT_EQ(log.Steps().size(), 2u);
        const std::string temporary = log.Steps()[0].substr(5);
        EXPECT_TRUE(log.Steps()[0].starts_with("sync " + (folder / "run.json.").string()));
        EXPECT_EQ(log.Steps()[1], "rename " + temporary + " -> " + (folder / "run.json").string());
    }
    EXPECT_EQ(Text(ReadRunRecord(folder.Path()).value()), Text(April()));
    EXPECT_FALSE(ReadRunRecord(folder / "04"));
}

TEST(RunRecordFile, ItsDocumentsPrintedAheadMakeTheSameFileAndLeaveNothingBeside) {
    RunRecord many = April();
    many.documents = {};
    // More than one slice of the copy into the record.
    for (int voucher = 0; voucher < 20000; ++voucher)
        many.documents.Add({"efile_sal04.xml", "B No.S/" + std::to_string(voucher),
                            Sha256BytesOfText(std::to_string(voucher))});
    RunRecord none = April();
    none.documents = {};
    for (const RunRecord& record : {April(), many, none}) {
        test::ScratchFolder folder;
        {
            const RecordDocumentsAhead documents(record.documents, folder.Path());
            WriteRunRecord(record, folder.Path(), &documents);
        }
        std::ifstream file(folder / "run.json", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), Text(record));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 1);
    }
}

TEST(RunRecordFile, ItsOwnerIsReadFromItsHeadAlone) {
    test::ScratchFolder folder;
    const std::string text = Text(April());
    const auto owner = [&folder](const std::string& record) {
        std::ofstream(folder / "run.json") << record;
        return RecordOwnerText(ReadRecordOwner(folder.Path()).value());
    };
    const std::string april = RecordOwnerText(OwnerOf(April()));
    EXPECT_EQ(owner(text), april);
    // Cut after its head, a record still names its owner: what follows is never read.
    EXPECT_EQ(owner(text.substr(0, text.find("\"files\""))), april);
    RunRecord endless = April();
    endless.yearEnd.clear();  // books whose year has no end
    EXPECT_EQ(owner(Text(endless)), RecordOwnerText(OwnerOf(endless)));
    for (const std::string broken : {"", "{}", R"({"dataFile": 3})", "[1]"})
        EXPECT_THROW(owner(broken), RunRecordError) << broken;
    EXPECT_FALSE(ReadRecordOwner(folder / "04"));
}

// Records the program never writes, refused with a reason a person reads, never a crash: by the
// reading of the whole record (--verify, the window's month), and by the reading of its owner
// (the guard before a run) where it meets what is wrong before it has the owner.
TEST(RunRecordText, WhatNoRunWritesIsRefusedWithAPlainReason) {
    const std::string april = Text(April());
    const auto ahead = [&april](const std::string& member) {
        return april.substr(0, 1) + member + april.substr(1);
    };
    std::string monthInWords = april;
    monthInWords.replace(monthInWords.find("\"month\": 4"), 10, "\"month\": \"APR\"");
    std::string noMonth = april;
    noMonth.erase(noMonth.find("\"month\": 4,"), 11);
    std::string deepObjects;
    for (int level = 0; level < 1'000'000; ++level) deepObjects += "{\"a\": ";
    deepObjects += "1" + std::string(1'000'000, '}');
    const struct {
        const char* name;
        std::string text;
        std::string reason;
        bool metBeforeTheOwner;
    } cases[] = {
        {"AMember100000ListsDeep",
         ahead("\"deep\": " + std::string(100'000, '[') + std::string(100'000, ']') + ", "),
         "its members nest deeper than 32 levels", true},
        {"AMember1000000ObjectsDeep", ahead("\"deep\": " + deepObjects + ", "),
         "its members nest deeper than 32 levels", true},
        {"TwoDataFiles", ahead(R"("dataFile": "shop2013", )"),
         "its member \"dataFile\" is given twice in one object", true},
        {"TwoFinancialYearStarts",
         ahead(R"("financialYear": {"start": "2013-04-01", "start": 1}, )"),
         "its member \"start\" is given twice in one object", true},
        {"AMonthInWords", monthInWords, "a value is a string where a number belongs", false},
        {"NoMonth", noMonth, "it has no member \"month\"", false},
        {"BrokenJson", R"({"dataFile": })", "its JSON breaks off or is malformed at byte 14", true},
    };
    test::ScratchFolder folder;
    const fs::path record = folder / "run.json";
    for (const auto& c : cases) {
        try {
            ParseRunRecord(c.text);
            ADD_FAILURE() << c.name << " read";
        } catch (const RunRecordError& error) {
            EXPECT_EQ(error.what(), "not a run record: " + c.reason) << c.name;
        }
        if (!c.metBeforeTheOwner) continue;
        std::ofstream(record, std::ios::trunc) << c.text;
        try {
            ReadRecordOwner(folder.Path());
            ADD_FAILURE() << c.name << " read";
        } catch (const RunRecordError& error) {
            EXPECT_EQ(error.what(), record.string() + " is not a run record: " + c.reason)
                << c.name;
        }
    }
}

// What may stand at a record's name instead of a record the program wrote.
struct StrangeRecord {
    const char* name;
    std::function<void(const fs::path& record)> plant;
    const char* reason;
};

void PrintTo(const StrangeRecord& strange, std::ostream* out) { *out << strange.name; }

const StrangeRecord kStrangeRecords[] = {
    {"AFifo", [](const fs::path& record) { ::mkfifo(record.c_str(), 0600); },
     "it is not a regular file"},
    {"AFolder", [](const fs::path& record) { fs::create_directory(record); },
     "it is not a regular file"},
    {"ALinkToARealRecord",
     [](const fs::path& record) {
         WriteRunRecord(April(), record.parent_path().parent_path());
         fs::create_symlink("../run.json", record);
     },
     "it is a symbolic link"},
    {"ALinkToAnEndlessDevice",
     [](const fs::path& record) { fs::create_symlink("/dev/zero", record); },
     "it is a symbolic link"},
    {"AFileLargerThanAnyRecord",
     [](const fs::path& record) {
         std::ofstream(record) << "{";
         fs::resize_file(record, std::uintmax_t{65} << 20);
     },
     "it is larger than the 64 MB such a file can be"},
};

class StrangeRecordTest : public testing::TestWithParam<StrangeRecord> {};

TEST_P(StrangeRecordTest, IsRefusedAtOnceWithTheReason) {
    test::ScratchFolder folder;
    fs::create_directory(folder / "04");
    const fs::path record = folder / "04" / "run.json";
    GetParam().plant(record);
    try {
        ReadRunRecord(folder / "04");
        ADD_FAILURE() << "read";
    } catch (const RunRecordError& error) {
        EXPECT_EQ(error.what(), "Cannot read " + record.string() + ": " + GetParam().reason);
    }
}

INSTANTIATE_TEST_SUITE_P(RunRecordFile, StrangeRecordTest, testing::ValuesIn(kStrangeRecords),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Records compared ----

struct Comparison {
    const char* name;
    std::function<void(RunRecord&)> change;
    std::vector<std::string> filesChanged, added, removed, altered;
    std::vector<std::string> figures;
    std::string warning;
};

void PrintTo(const Comparison& comparison, std::ostream* out) { *out << comparison.name; }

class CompareRunRecordsTest : public testing::TestWithParam<Comparison> {};

TEST_P(CompareRunRecordsTest, NamesFilesDocumentsAndFigures) {
    const Comparison& expected = GetParam();
    RunRecord now = April();
    expected.change(now);
    const BooksComparison found = CompareRunRecords(April(), now);
    EXPECT_EQ(found.filesChanged, expected.filesChanged);
    EXPECT_EQ(found.added, expected.added);
    EXPECT_EQ(found.removed, expected.removed);
    EXPECT_EQ(found.altered, expected.altered);
    std::vector<std::string> figures;
    for (const FigureChange& figure : found.figures) figures.push_back(figure.name);
    EXPECT_EQ(figures, expected.figures);
    EXPECT_EQ(BooksChangedWarning(found), expected.warning);
}

const Comparison kComparisons[] = {
    {"Same", [](RunRecord&) {}, {}, {}, {}, {}, {}, ""},
    {"AnAlteredDocumentAndItsFigures",
     [](RunRecord& now) {
         now.documents = {{"efile_pur04.xml", "B No.1 · voucher 1", Sha256BytesOfText("changed")},
                          now.documents[1],
                          now.documents[2]};
         now.files[0].sha256 = "changed";
         now.figures.taxPaise[0] = 134100;
         now.figures.vatPaise = 65900;
     },
     {"efile_pur04.xml"},
     {},
     {},
     {"efile_pur04.xml: B No.1 · voucher 1"},
     {"input VAT", "VAT payable"},
     "April's files were written on 12/05/2015; since then 1 voucher changed: input VAT "
     "+1,240.50, VAT payable -1,240.50"},
    // The second reading of a voucher on two dates is a document of its own.
    {"ADocumentReadTwiceLosesOneReading",
     [](RunRecord& now) {
         now.documents = {now.documents[0], now.documents[1]};
         now.files.pop_back();
         now.figures.urdSales->basicPaise = 125000000;
     },
     {"efile_sal04.xml"},
     {},
     {"efile_sal04.xml: B No.S/1 · voucher 3"},
     {},
     {"URD sales"},
     "April's files were written on 12/05/2015; since then 1 voucher changed: URD sales "
     "+12,49,990.00"},
    {"AnAddedDocumentAndFile",
     [](RunRecord& now) {
         now.documents.Add({"efile_is_pur04.xml", "B No.9 · voucher 9", Sha256BytesOfText("d9")});
         now.files.push_back({"efile_is_pur04.xml", "ee"});
     },
     {"efile_is_pur04.xml"},
     {"efile_is_pur04.xml: B No.9 · voucher 9"},
     {},
     {},
     {},
     "April's files were written on 12/05/2015; since then 1 voucher changed"},
};

INSTANTIATE_TEST_SUITE_P(RunRecord, CompareRunRecordsTest, testing::ValuesIn(kComparisons),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RunRecordText, TheWarningNamesFilesChangedByHand) {
    BooksComparison comparison{.recorded = April()};
    comparison.folderChanges = {"efile_pur04.xml is missing"};
    EXPECT_EQ(BooksChangedWarning(comparison),
              "April's files were written on 12/05/2015; efile_pur04.xml is missing");
}

}  // namespace
}  // namespace vat
