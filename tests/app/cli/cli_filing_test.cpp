// Filing on the real server: a month marked filed, a voucher changed in the books, the month run
// again and the change reported against the filed files, which stay as they were.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/program_run.h"
#include "support/server_psql.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const std::string kBooks = "t_changing_books";

test::ProgramResult RunCli(std::vector<std::string> arguments, const test::ProgramFolder& folder) {
    arguments.insert(arguments.end(), {"--data-file", kBooks, "--folder", folder.Path().string()});
    return test::RunProgram(VAT_CLI_PROGRAM, arguments, folder);
}

// Voucher 2, a purchase of April, with its VAT of 160.00 raised to 1,400.00 while it lives.
class RaisedPurchaseVat {
public:
    RaisedPurchaseVat() {
        test::Psql(kBooks,
                   "update daybok set amount = 1400.00 where vno = 2 and recact = 20 and "
                   "amount = 160.00");
    }
    ~RaisedPurchaseVat() {
        test::Psql(kBooks,
                   "update daybok set amount = 160.00 where vno = 2 and recact = 20 and "
                   "amount = 1400.00");
    }
};

TEST(CliFiling, ARevisionNamesTheChangedVoucherAgainstTheFiledFilesWhichStayAsFiled) {
    const test::ProgramFolder folder;
    const test::ProgramResult first = RunCli({"--month", "APR"}, folder);
    ASSERT_TRUE(first.status == 0 || first.status == 3) << test::Describe(first);

    const test::ProgramResult marked = RunCli(
        {"--month", "APR", "--mark-filed", "ACK-1", "--filed-on", "20/05/2014", "--json"}, folder);
    ASSERT_EQ(marked.status, 0) << test::Describe(marked);
    const Json filed = Json::parse(marked.out).at("filed");
    EXPECT_EQ(filed.at("acknowledgement"), "ACK-1");
    EXPECT_EQ(filed.at("filedOn"), "2014-05-20");
    const fs::path set = filed.at("folder").get<std::string>();
    EXPECT_EQ(set, folder / (kBooks + "/2014-15/filed/04/filing-1"));
    const std::map<std::string, std::string> kept = test::FolderBytes(set);
    ASSERT_TRUE(kept.contains("efile_pur04.xml"));

    // Nothing changed: a run says so.
    const std::string csv = (folder / "errors.csv").string();
    const test::ProgramResult same = RunCli({"--month", "APR", "--errors-csv", csv}, folder);
    EXPECT_NE(test::ReadBytes(csv).find("filed on 20/05/2014 (acknowledgement ACK-1)"),
              std::string::npos);
    EXPECT_NE(same.out.find("April 2014 was filed on 20/05/2014 (acknowledgement ACK-1); these "
                            "files are a revision of it\nNothing changed since filing."),
              std::string::npos)
        << same.out;

    Json revision, verified, year;
    std::string human;
    {
        const RaisedPurchaseVat raised;
        const test::ProgramResult json = RunCli({"--month", "APR", "--json"}, folder);
        revision = Json::parse(json.out).at("revision");
        human = RunCli({"--month", "APR"}, folder).out;
        const test::ProgramResult verify = RunCli({"--month", "APR", "--verify", "--json"}, folder);
        EXPECT_EQ(verify.status, 0) << test::Describe(verify);
        verified = Json::parse(verify.out);
        year = Json::parse(RunCli({"--year", "--json"}, folder).out);
    }
    EXPECT_EQ(revision.at("of"), (Json{{"acknowledgement", "ACK-1"}, {"filedOn", "2014-05-20"}}));
    ASSERT_EQ(revision.at("documents").size(), 1u) << revision.dump(2);
    const Json& changed = revision.at("documents")[0];
    EXPECT_EQ(changed.at("file"), "efile_pur04.xml");
    EXPECT_EQ(changed.at("change"), "changed");
    EXPECT_EQ(changed.at("fields").at("TaxCh"), (Json{"173.4", "1413.4"}));
    EXPECT_EQ(revision.at("figures").at("vatAmount"), (Json{22980.74, 21740.74}));
    EXPECT_NE(human.find("\nefile_pur04.xml: INV363 of 27/03/2014, party 29000000000 changed: "
                         "tax 173.4 -> 1,413.4, total 3,641.38 -> 4,881.38\n"),
              std::string::npos)
        << human;
    EXPECT_NE(human.find("\nVAT payable: 22,980.74 -> 21,740.74\n"), std::string::npos) << human;

    // The books as the month's files have them, which the filing does not.
    EXPECT_TRUE(verified.at("unchanged")) << verified.dump(2);
    EXPECT_EQ(verified.at("filed").at("revised"), true);
    EXPECT_EQ(verified.at("sinceFiling").at("documents"), revision.at("documents"));
    const Json& april = year.at("months")[0];
    EXPECT_EQ(april.at("month"), "APR");
    EXPECT_EQ(april.at("filed"), (Json{{"acknowledgement", "ACK-1"},
                                       {"filedOn", "2014-05-20"},
                                       {"revised", true},
                                       {"altered", Json::array()}}));
    EXPECT_FALSE(year.at("months")[1].contains("filed"));

    // The filed files are as they were kept, and read-only.
    EXPECT_EQ(test::FolderBytes(set), kept);
    for (const auto& entry : fs::directory_iterator(set))
        EXPECT_EQ(fs::status(entry).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read)
            << entry.path();

    // A filed copy altered by hand is reported, and the check fails.
    fs::permissions(set, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(set / "efile_pur04.xml");
    const test::ProgramResult altered = RunCli({"--month", "APR", "--verify"}, folder);
    EXPECT_EQ(altered.status, 4) << test::Describe(altered);
    EXPECT_NE(altered.out.find("  filing-1: efile_pur04.xml is missing\n"), std::string::npos)
        << altered.out;
    EXPECT_NE(altered.out.find("was altered after filing (efile_pur04.xml is missing); it is not "
                               "compared"),
              std::string::npos)
        << altered.out;
    // A run says so in place of a revision.
    const Json run = Json::parse(RunCli({"--month", "APR", "--json"}, folder).out);
    EXPECT_NE(run.at("revision").at("error").get<std::string>().find("was altered after filing"),
              std::string::npos)
        << run.at("revision");
}

TEST(CliFiling, RefusesInOneLine) {
    const test::ProgramFolder folder;
    struct Case {
        std::vector<std::string> arguments;
        std::string refusal;
    };
    const std::vector<Case> cases = {
        {{"--month", "MAY", "--mark-filed", "ACK", "--filed-on", "20/06/2014"},
         "vat-efile-cli: May 2014 of t_changing_books was never run; run it first\n"},
        {{"--month", "MAY", "--mark-filed", "", "--filed-on", "20/06/2014"},
         "vat-efile-cli: the acknowledgement is empty\n"},
        {{"--month", "MAY", "--mark-filed", "ACK", "--filed-on", "20/05/2014"},
         "vat-efile-cli: the day filed, 20/05/2014, is not after the end of May 2014\n"},
    };
    for (const Case& test : cases) {
        const test::ProgramResult result = RunCli(test.arguments, folder);
        EXPECT_EQ(result.status, 2) << test::Describe(result);
        EXPECT_EQ(result.err, test.refusal);
    }
}

}  // namespace
}  // namespace vat
