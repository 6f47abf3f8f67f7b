// The command line's year written month by month, without a server: the same bytes as the dump
// of the whole object, and the table's messages after the year's line.
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/cli_books_report.h"
#include "app/cli/cli_companies_report.h"
#include "app/cli/cli_report.h"
#include "returns/results/json_object_writer.h"

namespace {

using Json = nlohmann::ordered_json;

// What the whole object would have printed: the streamed text must be its own dump.
std::string Redumped(const std::string& text) {
    return Json::parse(text).dump(2, ' ', false, Json::error_handler_t::replace);
}

vat::RunResult Refused(const std::string& reason) {
    vat::RunResult result{.outcome = vat::RunOutcome::Refused};
    result.messages.push_back({reason, true});
    return result;
}

TEST(JsonObjectWriter, WritesTheBytesOfTheWholeDump) {
    const Json values[] = {
        Json::object(),
        Json::array(),
        "text with \"quotes\", a \n line break and \xc3\xa9",
        "bytes that are not UTF-8: \xff\xfe",
        {{"figures", {{"input", 12.5}, {"output", nullptr}}}, {"empty", Json::object()}},
        {1, "two", {{"three", Json::array({3})}}, Json::array()},
    };
    std::ostringstream out;
    vat::JsonObjectWriter object(out, 0);
    object.OpenArray("none");
    object.CloseArray();
    object.OpenArray("each");
    for (const Json& value : values) object.Element(value);
    object.CloseArray();
    for (std::size_t at = 0; at < std::size(values); ++at)
        object.Member("member " + std::to_string(at), values[at]);
    object.Close();
    EXPECT_EQ(out.str(), Redumped(out.str()));
    EXPECT_EQ(Json::parse(out.str())["each"].size(), std::size(values));

    std::ostringstream empty;
    vat::JsonObjectWriter(empty, 3).Close();
    EXPECT_EQ(empty.str(), "{}");
}

TEST(YearReport, StreamsTheMonthsOfAYearAmongTheDataFiles) {
    std::ostringstream out;
    CompaniesReport companies(out, true);
    companies.Add({.dataFile = "alone", .status = 1, .report = JsonReasons({"cannot be opened"})});
    YearReport year(*companies.OpenYear());
    year.Add(4, 2, Refused("INCORRECT TIN CAN NOT PROCEED"));
    year.Add(5, 1, Refused("The data file yearly can no longer be read"));
    year.Finish();
    EXPECT_EQ(year.Months(), 2);
    companies.Add({.dataFile = "yearly", .dealerTin = "29876543210", .status = 1});
    companies.Finish(1);

    const std::string text = out.str();
    EXPECT_EQ(text, Redumped(text) + "\n");
    const Json yearly = Json::parse(text)["dataFiles"][1];
    std::vector<std::string> keys;
    for (const auto& [key, value] : yearly.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"months", "totals", "dataFile", "dealerTin",
                                              "exitStatus"}));
    ASSERT_EQ(yearly["months"].size(), 2u);
    EXPECT_EQ(yearly["months"][1]["month"], "MAY");
    EXPECT_EQ(yearly["months"][1]["exitStatus"], 1);
    EXPECT_EQ(yearly["months"][1]["messages"][0], "The data file yearly can no longer be read");
    EXPECT_EQ(yearly["totals"]["monthsCompleted"], 0);
}

TEST(YearReport, PrintsEachMonthsLineAndTheMessagesAfterTheYear) {
    std::ostringstream out;
    YearReport table(out);
    table.Add(4, 2, Refused("INCORRECT TIN CAN NOT PROCEED"));
    const std::size_t afterApril = out.str().size();
    EXPECT_TRUE(out.str().substr(out.str().find('\n') + 1).starts_with("APR ")) << out.str();
    table.Add(5, 2, Refused("Bill \x1b[2J"));
    table.Finish();
    const std::string text = out.str().substr(afterApril);
    EXPECT_TRUE(text.starts_with("MAY ")) << text;
    EXPECT_NE(text.find("\nYear "), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\nAPR: INCORRECT TIN CAN NOT PROCEED\nMAY: Bill \\x1b[2J\n"))
        << text;
}

}  // namespace
