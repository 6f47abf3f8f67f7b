#include "returns/rules/party.h"

#include "returns/rules/text_sanitiser.h"

namespace vat {

namespace {

constexpr std::size_t kTinLength = 11;
constexpr std::size_t kNameAndCityLength = 29;
constexpr std::size_t kShortName = 20;
constexpr std::size_t kShortCity = 9;

}  // namespace

std::string NormalizePartyTin(std::string_view storedTin) {
    return std::string(storedTin.size() == kTinLength ? storedTin : kUrdMarkerTin);
}

bool IsWithinStateTin(std::string_view tin) { return tin.starts_with("29"); }

std::string BuildPartyName(std::string_view name, std::string_view cityName) {
    std::string party = StripSpecialChars(name);
    std::string city = StripSpecialChars(cityName);
    if (CharacterCount(party) + CharacterCount(city) > kNameAndCityLength) {
        party = FirstCharacters(party, kShortName);
        city = FirstCharacters(city, kShortCity);
    }
    return party + " " + city;
}

}  // namespace vat
