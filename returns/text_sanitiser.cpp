#include "returns/text_sanitiser.h"

namespace vat {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

constexpr std::string_view kSpecialChars = "~`!@#$%^&*()-_=+\\|[]{};:'\"<>.,/?";
static_assert(kSpecialChars.size() == 32);

// The length of the well-formed UTF-8 sequence starting at text[at], or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80                    ? 1
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if (!IsContinuationByte(text[at + i])) return 0;
    return length;
}

}  // namespace

std::string StripSpecialChars(std::string_view text) {
    std::string stripped;
    stripped.reserve(text.size());
    for (char c : text)
        if (kSpecialChars.find(c) == std::string_view::npos) stripped += c;
    return stripped;
}

std::string XmlText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) >= 0x80) {
            if (std::size_t length = Utf8SequenceLength(text, at)) {
                escaped.append(text.substr(at, length));
                at += length;
            } else {
                // A byte of an 8-bit code page: read it as Latin-1 so the file stays readable.
                const auto byte = static_cast<unsigned char>(c);
                escaped += static_cast<char>(0xC0 | (byte >> 6));
                escaped += static_cast<char>(0x80 | (byte & 0x3F));
                ++at;
            }
            continue;
        }
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '\t':
            case '\n':
            case '\r':
                escaped += c;
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20) escaped += c;
        }
        ++at;
    }
    return escaped;
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
