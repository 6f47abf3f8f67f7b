#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vat {

// One character of UTF-8 text: its code point and the number of bytes it takes.
struct Utf8Character {
    char32_t codePoint;
    std::size_t length;
};

// The character starting at text[at] (at < size), or nullopt when the bytes there are not
// well-formed UTF-8: a stray or missing continuation byte, an overlong form, a surrogate or a
// code point beyond U+10FFFF.
std::optional<Utf8Character> DecodeUtf8(std::string_view text, std::size_t at);

// The text without the 32 punctuation characters the tax portal refuses in names and
// document numbers; every other character, spaces included, stays in place.
std::string StripSpecialChars(std::string_view text);

// A value as it may stand between two tags: "&", "<" and ">" escaped, every character outside
// the Char production of XML 1.0 dropped (the controls below a space but tab, CR and LF, and
// U+FFFE and U+FFFF), and bytes that are not UTF-8 (a data file kept in an 8-bit code page)
// read as Latin-1, so the file always loads.
std::string XmlText(std::string_view text);
// XmlText appended to a text being built.
void AppendXmlText(std::string& escaped, std::string_view text);

// The text as UTF-8: bytes that are not UTF-8 are read as Latin-1, as XmlText reads them.
std::string Utf8Text(std::string_view text);

// Length and prefix in characters of UTF-8 text, so that a cut never splits a character.
std::size_t CharacterCount(std::string_view text);
std::string FirstCharacters(std::string_view text, std::size_t count);

}  // namespace vat
