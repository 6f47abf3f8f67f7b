#pragma once

#include <string>
#include <string_view>

namespace vat {

// Appends text as a JSON string's contents, escaped as the record's JSON library escapes it
// (UTF-8 kept as it is, the quote, the backslash and the controls escaped). False, leaving
// escaped as it was, when the text is not UTF-8: such text is left to that library.
bool AppendJsonStringContents(std::string& escaped, std::string_view text);

}  // namespace vat
