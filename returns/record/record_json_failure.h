#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace vat {

// Why a run record's JSON could not be read, as a person reads it: "a value is a number where a
// string belongs", "it has no member \"month\"", "its JSON breaks off or is malformed at byte
// 120", never the JSON library's own coded text.
std::string RecordJsonFailure(const nlohmann::json::exception& error);

}  // namespace vat
