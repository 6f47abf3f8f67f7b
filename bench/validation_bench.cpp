// Times the schema check of a local purchase file against one whole-document libxml2
// validation of the same file (the schema read and compiled, the file validated in a stream),
// for a valid file, one whose last record fails and one in which every record fails; then
// measures the check's peak memory at two file sizes, each measurement in a process of its own.
//   validation-bench                                   the whole report
//   validation-bench --peak-memory FILE check|whole    one run; prints ru_maxrss in kB

#include <libxml/xmlschemas.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "validation/document_loading.h"
#include "validation/libxml_errors.h"
#include "validation/libxml_handles.h"
#include "validation/schema_validation.h"

namespace {

constexpr int TimedRecords = 5000;
constexpr int MemoryRecords[] = {5000, 50000};
constexpr int ChildrenPerRecord = 8;
constexpr int Repeats = 21;

const std::string SchemaPath = VAT_SCHEMA_DIR "/eval_pur.xsd";
const std::string RecordName = "PurchaseInvoiceDetails";
const std::vector<std::string> DocumentElements = {"InvNo", "InvDate", "SelName"};

enum class Failing { None, LastRecord, EveryRecord };

struct Case {
    const char* title;
    Failing failing;
};

const Case Cases[] = {
    {"valid file", Failing::None},
    {"last record failing", Failing::LastRecord},
    {"every record failing", Failing::EveryRecord},
};

void WriteReturnFile(const std::string& path, int records, Failing failing) {
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\"?>\r\n   <PurchaseDetails>\r\n   <Version>13.11</Version>\r\n"
           "   <TinNo>29123456789</TinNo>\r\n   <RetPerdEnd>2014</RetPerdEnd>\r\n"
           "   <FilingType>M</FilingType>\r\n   <Period>04</Period>\r\n";
    for (int record = 1; record <= records; ++record) {
        const bool badTin = failing == Failing::EveryRecord ||
                            (failing == Failing::LastRecord && record == records);
        const int day = record % 28 + 1;
        out << "       <PurchaseInvoiceDetails>\r\n"
            << "           <SelTin>" << (badTin ? 29400 : 29400000000LL) + record << "</SelTin>\r\n"
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

std::string FilePath(const std::filesystem::path& folder, int records, Failing failing) {
    return (folder / ("efile_pur_" + std::to_string(records) + "_" +
                      std::to_string(static_cast<int>(failing)) + ".xml"))
        .string();
}

void CountError(void* count, xmlErrorPtr) { ++*static_cast<long*>(count); }

// The yardstick: one validation of the whole file, read and compiled schema included.
long ValidateWholeDocument(const std::string& xmlPath) {
    vat::xml::QuietLibxmlScope quiet;
    const vat::xml::DocumentPtr schemaDocument =
        vat::xml::ReadDocument(SchemaPath, vat::xml::kSchemaLoadFailure);
    std::string failure;
    const vat::xml::SchemaPtr schema = vat::xml::CompileSchema(schemaDocument.get(), failure);
    const vat::xml::SchemaValidContextPtr context(xmlSchemaNewValidCtxt(schema.get()));
    long errors = 0;
    xmlSchemaSetValidStructuredErrors(context.get(), CountError, &errors);
    xmlSchemaValidateFile(context.get(), xmlPath.c_str(), 0);
    return errors;
}

long Check(const std::string& xmlPath) {
    long rows = 0;
    vat::Validate(xmlPath, SchemaPath, RecordName, DocumentElements,
                  [&](const vat::ValidationFailure&) { ++rows; });
    return rows;
}

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// Runs alternate, so that a change in the machine's load weighs on both alike.
void TimeCase(const Case& test, const std::string& xmlPath) {
    std::vector<double> whole;
    std::vector<double> check;
    long errors = 0;
    long rows = 0;
    for (int run = 0; run < Repeats; ++run) {
        whole.push_back(Milliseconds([&] { errors = ValidateWholeDocument(xmlPath); }));
        check.push_back(Milliseconds([&] { rows = Check(xmlPath); }));
    }
    std::printf("%-22s %8.2f ms %8.2f ms %7.2f %7ld %7ld\n", test.title, Median(whole),
                Median(check), Median(check) / Median(whole), errors, rows);
}

long PeakMemoryKb(const std::string& xmlPath, const char* what) {
    const std::string command = std::filesystem::read_symlink("/proc/self/exe").string() +
                                " --peak-memory '" + xmlPath + "' " + what;
    FILE* child = popen(command.c_str(), "r");
    long kilobytes = -1;
    if (child != nullptr) {
        if (std::fscanf(child, "%ld", &kilobytes) != 1) {
            kilobytes = -1;
        }
        pclose(child);
    }
    return kilobytes;
}

int MeasureOnce(const std::string& xmlPath, const std::string& what) {
    if (what == "whole") {
        ValidateWholeDocument(xmlPath);
    } else {
        Check(xmlPath);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--peak-memory") == 0) {
        return MeasureOnce(argv[2], argv[3]);
    }
    const auto folder = std::filesystem::temp_directory_path() / "vat-validation-bench";
    std::filesystem::create_directories(folder);
    for (const int records : {TimedRecords, MemoryRecords[0], MemoryRecords[1]}) {
        for (const Case& test : Cases) {
            const std::string path = FilePath(folder, records, test.failing);
            if (!std::filesystem::exists(path)) {
                WriteReturnFile(path, records, test.failing);
            }
        }
    }

    std::printf("%d records of %d checked children; median of %d runs each\n", TimedRecords,
                ChildrenPerRecord, Repeats);
    std::printf("%-22s %11s %11s %7s %7s %7s\n", "", "whole doc.", "Validate", "ratio", "errors",
                "rows");
    for (const Case& test : Cases) {
        TimeCase(test, FilePath(folder, TimedRecords, test.failing));
    }

    std::printf("\npeak memory (ru_maxrss), each run in a process of its own\n%-32s", "");
    for (const int records : MemoryRecords) {
        std::printf(" %8d rec.", records);
    }
    std::printf("\n%-32s", "whole-document validation");
    for (const int records : MemoryRecords) {
        std::printf(" %8.1f MB",
                    PeakMemoryKb(FilePath(folder, records, Failing::None), "whole") / 1024.0);
    }
    for (const Case& test : Cases) {
        std::printf("\nValidate, %-22s", test.title);
        for (const int records : MemoryRecords) {
            std::printf(" %8.1f MB",
                        PeakMemoryKb(FilePath(folder, records, test.failing), "check") / 1024.0);
        }
    }
    std::printf("\n");
    std::filesystem::remove_all(folder);
    return 0;
}
