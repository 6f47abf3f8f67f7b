#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace vat {

// A moment in local time as "yyyy-mm-dd hh:mm:ss", the form the run record keeps.
std::string LocalTimeText(std::chrono::system_clock::time_point moment);

// A day or a moment kept as LocalTimeText writes it, in the one form a person is shown:
// "2026-12-07 17:20:05" as "07/12/2026 17:20:05", "2026-12-07" as "07/12/2026". Any other
// text is returned as it is.
std::string PersonsForm(std::string_view localTime);

// A moment in local time as a person reads it: "07/12/2026 17:20:05".
std::string PersonsTimeText(std::chrono::system_clock::time_point moment);

}  // namespace vat
