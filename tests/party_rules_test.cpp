#include <gtest/gtest.h>

#include "returns/party.h"
#include "returns/text_sanitiser.h"

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

TEST(XmlText, EscapesMarkupAndDropsForbiddenControls) {
    EXPECT_EQ(XmlText("S/101"), "S/101");
    EXPECT_EQ(XmlText("A&B<C>D"), "A&amp;B&lt;C&gt;D");
    EXPECT_EQ(XmlText(std::string("X\x01Y\x1fZ\tW", 8)), "XYZ\tW");
    EXPECT_EQ(XmlText("1234.5"), "1234.5");
    EXPECT_EQ(XmlText("CAF\xC3\x89"), "CAF\xC3\x89") << "UTF-8 passes through";
    EXPECT_EQ(XmlText("CAF\xC9 \xE2\x82"), "CAF\xC3\x89 \xC3\xA2\xC2\x82")
        << "8-bit bytes read as Latin-1";
}

TEST(NormalizePartyTin, MarksEveryLengthButElevenAsUrd) {
    EXPECT_EQ(NormalizePartyTin("29412345678"), "29412345678");
    EXPECT_EQ(NormalizePartyTin("30123456789"), "30123456789");
    EXPECT_EQ(NormalizePartyTin(""), "29000000000");
    EXPECT_EQ(NormalizePartyTin("2941234567"), "29000000000");
    EXPECT_EQ(NormalizePartyTin("294123456789"), "29000000000");
    EXPECT_TRUE(IsWithinStateTin(UrdMarkerTin));
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
