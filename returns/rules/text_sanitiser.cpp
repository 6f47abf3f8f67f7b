#include "returns/rules/text_sanitiser.h"

namespace vat {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

constexpr std::string_view kSpecialChars = "~`!@#$%^&*()-_=+\\|[]{};:'\"<>.,/?";
static_assert(kSpecialChars.size() == 32);

// The Char production of XML 1.0: what an XML document may carry at all.
bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// A byte of an 8-bit code page (0x80 to 0xFF) read as Latin-1, in UTF-8.
void AppendLatin1(std::string& text, unsigned char byte) {
    text += static_cast<char>(0xC0 | (byte >> 6));
    text += static_cast<char>(0x80 | (byte & 0x3F));
}

// The lead byte of a multi-byte sequence: its marker bits, the length it announces, and the
// smallest code point that needs that length (anything less is an overlong form).
struct LeadByte {
    unsigned char mask;
    unsigned char marker;
    std::size_t length;
    char32_t smallest;
};
constexpr LeadByte kLeadBytes[] = {
    {0xE0, 0xC0, 2, 0x80},
    {0xF0, 0xE0, 3, 0x800},
    {0xF8, 0xF0, 4, 0x10000},
};

}  // namespace

std::optional<Utf8Character> DecodeUtf8(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return Utf8Character{lead, 1};
    for (const LeadByte& form : kLeadBytes) {
        if ((lead & form.mask) != form.marker) continue;
        if (at + form.length > text.size()) return std::nullopt;
        char32_t codePoint = lead & static_cast<unsigned char>(~form.mask);
        for (std::size_t i = 1; i < form.length; ++i) {
            if (!IsContinuationByte(text[at + i])) return std::nullopt;
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
        }
        const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        if (codePoint < form.smallest || surrogate || codePoint > 0x10FFFF) return std::nullopt;
        return Utf8Character{codePoint, form.length};
    }
    return std::nullopt;
}

std::string StripSpecialChars(std::string_view text) {
    std::string stripped;
    stripped.reserve(text.size());
    for (char c : text)
        if (kSpecialChars.find(c) == std::string_view::npos) stripped += c;
    return stripped;
}

std::string Utf8Text(std::string_view text) {
    std::string converted;
    converted.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (const std::optional<Utf8Character> character = DecodeUtf8(text, at)) {
            converted += text.substr(at, character->length);
            at += character->length;
        } else {
            AppendLatin1(converted, static_cast<unsigned char>(text[at++]));
        }
    }
    return converted;
}

std::string XmlText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    AppendXmlText(escaped, text);
    return escaped;
}

void AppendXmlText(std::string& escaped, std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<Utf8Character> character = DecodeUtf8(text, at);
        if (!character) {
            // A byte of an 8-bit code page: read it as Latin-1 so the file stays readable.
            AppendLatin1(escaped, static_cast<unsigned char>(text[at++]));
            continue;
        }
        switch (character->codePoint) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            default:
                if (IsXmlChar(character->codePoint)) escaped += text.substr(at, character->length);
        }
        at += character->length;
    }
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if (!IsContinuationByte(c)) ++count;
    return count;
}

std::string FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t kept = 0; at < text.size(); ++at) {
        if (!IsContinuationByte(text[at]) && kept++ == count) break;
    }
    return std::string(text.substr(0, at));
}

}  // namespace vat
