#pragma once

#include <string>
#include <string_view>

namespace vat {

// The TIN written for an unregistered dealer (URD): "29" and nine zeros.
inline constexpr std::string_view kUrdMarkerTin = "29000000000";

// A stored TIN of any length but 11 marks an unregistered dealer.
std::string NormalizePartyTin(std::string_view storedTin);

// A dealer within the state: a TIN beginning with "29".
bool IsWithinStateTin(std::string_view tin);

// The party name written in a return: the sanitised name, one space, the sanitised city,
// cut so that the whole never exceeds 30 characters (the 29/20/9 rule).
std::string BuildPartyName(std::string_view name, std::string_view cityName);

}  // namespace vat
