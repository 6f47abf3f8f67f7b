#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vat {

// Appends text as a JSON string's contents, escaped as the record's JSON library escapes it
// (UTF-8 kept as it is, the quote, the backslash and the controls escaped). False, leaving
// escaped as it was, when the text is not UTF-8: such text is left to that library.
bool AppendJsonStringContents(std::string& escaped, std::string_view text);

// The text as a JSON string, quotes and all, as the record's JSON library writes it (text that
// is not UTF-8 with its bad bytes replaced).
std::string JsonStringText(std::string_view text);

// Reads the JSON string whose opening quote is text[at] into contents, and moves at past its
// closing quote. False for a string with a \u escape, a control or text that is not UTF-8, and
// for one not closed: those are left to the JSON library.
bool ReadPlainJsonString(std::string_view text, std::size_t& at, std::string& contents);

}  // namespace vat
