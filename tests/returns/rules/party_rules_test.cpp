#include <gtest/gtest.h>

#include "returns/rules/party.h"
#include "returns/rules/text_sanitiser.h"

namespace vat {
namespace {

TEST(StripSpecialChars, RemovesExactlyTheThirtyTwoCharacters) {
    EXPECT_EQ(StripSpecialChars("M/S. SHREE (RAMA) & CO."), "MS SHREE RAMA  CO");
    EXPECT_EQ(StripSpecialChars("2014-15/A-7"), "201415A7");
    EXPECT_EQ(StripSpecialChars("~`!@#$%^&*()-_=+\\|[]{};:'\"<>.,/?"), "");
    EXPECT_EQ(StripSpecialChars(""), "");
    EXPECT_EQ(StripSpecialChars("A B\tC 9 z"), "A B\tC 9 z");
    EXPECT_EQ(StripSpecialChars("12, MG Road,Shivajinagar, BANGALORE"),
              "12 MG RoadShivajinagar BANGALORE");
}

TEST(XmlText, EscapesMarkupDropsWhatXmlCannotCarryAndReadsOtherBytesAsLatin1) {
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string text;
        std::string xml;
    } cases[] = {
        {"plain", "S/101", "S/101"},
        {"markup", "A&B<C>D", "A&amp;B&lt;C&gt;D"},
        {"decimal", "1234.5", "1234.5"},
        {"C0 controls but tab, LF and CR", "X\0Y\x01Z\x1f\tW\r\n"s, "XYZ\tW\r\n"},
        {"DEL and C1 controls are XML 1.0 characters", "A\x7f-\xc2\x85-\xc2\x9f",
         "A\x7f-\xc2\x85-\xc2\x9f"},
        {"UTF-8", "CAF\xc3\x89", "CAF\xc3\x89"},
        {"U+FFFE and U+FFFF", "B\xef\xbf\xbe-1\xef\xbf\xbf-2", "B-1-2"},
        {"U+FFFD, the last below them", "\xef\xbf\xbd", "\xef\xbf\xbd"},
        {"U+D7FF and U+E000 either side of the surrogates", "\xed\x9f\xbf\xee\x80\x80",
         "\xed\x9f\xbf\xee\x80\x80"},
        {"U+FDD0, a noncharacter XML 1.0 allows", "\xef\xb7\x90", "\xef\xb7\x90"},
        {"U+10000 and U+10FFFF", "\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
         "\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
        {"8-bit bytes", "CAF\xc9 \xe2\x82", "CAF\xc3\x89 \xc3\xa2\xc2\x82"},
        {"an encoded surrogate is not UTF-8", "\xed\xa0\x80", "\xc3\xad\xc2\xa0\xc2\x80"},
        {"an overlong \"<\" is not UTF-8", "\xc0\xbc", "\xc3\x80\xc2\xbc"},
        {"beyond U+10FFFF is not UTF-8", "\xf4\x90\x80\x80", "\xc3\xb4\xc2\x90\xc2\x80\xc2\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(XmlText(c.text), c.xml) << c.name;
}

TEST(NormalizePartyTin, MarksEveryLengthButElevenAsUrd) {
    EXPECT_EQ(NormalizePartyTin("29412345678"), "29412345678");
    EXPECT_EQ(NormalizePartyTin("30123456789"), "30123456789");
    EXPECT_EQ(NormalizePartyTin(""), "29000000000");
    EXPECT_EQ(NormalizePartyTin("2941234567"), "29000000000");
    EXPECT_EQ(NormalizePartyTin("294123456789"), "29000000000");
    EXPECT_TRUE(IsWithinStateTin(kUrdMarkerTin));
    EXPECT_FALSE(IsWithinStateTin("30123456789"));
    EXPECT_FALSE(IsWithinStateTin("2"));
}

TEST(BuildPartyName, CutsNameAndCityByTheTwentyNineTwentyNineRule) {
    const std::string name25(25, 'N'), name18(18, 'N'), name10(10, 'N');
    const std::string city12(12, 'C'), city19(19, 'C');
    const struct {
        std::string name, city, party;
    } cases[] = {
        {name25, city12, std::string(20, 'N') + " " + std::string(9, 'C')},
        {name18, city12, name18 + " " + std::string(9, 'C')},
        {name10, city19, name10 + " " + city19},
        {"KRISHNA MEDICALS", "", "KRISHNA MEDICALS "},
        {"M/S. SHREE (RAMA) & CO.", "HUBLI.", "MS SHREE RAMA  CO HUBLI"},
        {std::string(40, 'N'), "", std::string(20, 'N') + " "},
        // Characters, not bytes: a cut never splits a character.
        {"\xC3\x89" + std::string(24, 'N'), city12,
         "\xC3\x89" + std::string(19, 'N') + " " + std::string(9, 'C')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildPartyName(c.name, c.city), c.party) << c.name << " / " << c.city;
        EXPECT_LE(CharacterCount(BuildPartyName(c.name, c.city)), 30u);
    }
}

}  // namespace
}  // namespace vat
