#pragma once

#include <string>
#include <string_view>

namespace vat {

// The text without the 32 punctuation characters the tax portal refuses in names and
// document numbers; every other character, spaces included, stays in place.
std::string StripSpecialChars(std::string_view text);

// A value as it may stand between two tags: "&", "<" and ">" escaped, the control characters
// XML 1.0 forbids (all below a space but tab, CR and LF) dropped, and bytes that are not UTF-8
// (a data file kept in an 8-bit code page) read as Latin-1, so the file always loads.
std::string XmlText(std::string_view text);

// Length and prefix in characters of UTF-8 text, so that a cut never splits a character.
std::size_t CharacterCount(std::string_view text);
std::string FirstCharacters(std::string_view text, std::size_t count);

}  // namespace vat
